#include "library/VideoLibrary.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <set>
#include <unordered_map>
#include <utility>

#include "app/AppSettings.h"
#include "app/BinaryFile.h"
#include "app/UiHost.h"
#include "library/ClipDuration.h"
#include "library/FixedText.h"
#include "library/Shortcut.h"
#include "platform/Paths.h"

namespace orx {
namespace {

// The lax number rule of the index: leading blanks, an optional sign, digits up to the first
// other character; 0 without digits. Values beyond 32 bits clamp.
int32_t LeadingNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
    }
    value = negative ? -value : std::min<int64_t>(value, INT32_MAX);
    return static_cast<int32_t>(value);
}

// The longest line text kept: the name field's capacity. Longer lines are cut, which also bounds
// the memory a damaged file can claim.
constexpr size_t kKeptLineLength = sizeof(LibraryClip::fileName) - 1;

int32_t g_sortMode = kSortByName;

bool Accepted(int kind) {
    return kind == kFileKindMpeg || kind == kFileKindPlaylist ||
           (kind == kFileKindAvi && Settings().useAvi != 0);
}

}  // namespace

std::string_view ClipFileName(const LibraryClip& clip) {
    return FixedText(clip.fileName);
}
std::string_view ClipDescription(const LibraryClip& clip) {
    return FixedText(clip.description);
}
void SetClipFileName(LibraryClip& clip, std::string_view name) {
    SetFixedText(clip.fileName, name);
}
void SetClipDescription(LibraryClip& clip, std::string_view description) {
    SetFixedText(clip.description, description);
}

struct VideoDatReader::State {
    std::string line;        // the current line, at most kKeptLineLength characters
    bool pendingCr = false;  // the kept line ended in a CR that may belong to a CR LF pair
    bool lineStarted = false;
    std::string lines[3];
    int lineCount = 0;
    std::vector<LibraryClip> clips;

    void EndLine() {
        lines[lineCount++].swap(line);  // both keep their buffers for the next lines
        line.clear();
        pendingCr = false;
        lineStarted = false;
        if (lineCount == 3) {
            LibraryClip& clip = clips.emplace_back();
            SetClipFileName(clip, lines[0]);
            const std::string_view second = lines[1];
            clip.durationMs = static_cast<uint32_t>(LeadingNumber(second));
            const size_t comma = second.find(',');
            if (comma != std::string_view::npos) {
                clip.absolutePath = LeadingNumber(second.substr(comma + 1));
            }
            SetClipDescription(clip, lines[2]);
            lineCount = 0;
        }
    }
};

VideoDatReader::VideoDatReader() : state_(std::make_unique<State>()) {}
VideoDatReader::~VideoDatReader() = default;

void VideoDatReader::Feed(const char* data, size_t size) {
    State& s = *state_;
    const char* end = data + size;
    while (data < end) {
        const char* lf = static_cast<const char*>(std::memchr(data, '\n', end - data));
        const char* stop = lf != nullptr ? lf : end;
        if (stop > data) {
            s.lineStarted = true;
            // A CR held back from the previous piece was text after all.
            if (s.pendingCr) {
                s.pendingCr = false;
                if (s.line.size() < kKeptLineLength) {
                    s.line += '\r';
                }
            }
            const char* textEnd = stop;
            if (lf != nullptr && stop[-1] == '\r') {
                --textEnd;  // the CR of a CR LF pair is part of the terminator
            } else if (lf == nullptr && stop[-1] == '\r') {
                --textEnd;
                s.pendingCr = true;  // decided by the next piece
            }
            const size_t room = kKeptLineLength - std::min(kKeptLineLength, s.line.size());
            s.line.append(data, std::min<size_t>(room, textEnd - data));
        }
        if (lf == nullptr) {
            break;
        }
        s.EndLine();
        data = lf + 1;
    }
}

std::vector<LibraryClip> VideoDatReader::Finish() {
    State& s = *state_;
    if (s.lineStarted) {
        if (s.pendingCr && s.line.size() < kKeptLineLength) {
            s.line += '\r';
        }
        s.EndLine();
    }
    std::vector<LibraryClip> clips = std::move(s.clips);
    state_ = std::make_unique<State>();
    return clips;
}

std::vector<LibraryClip> ParseVideoDat(std::string_view bytes) {
    VideoDatReader reader;
    reader.Feed(bytes.data(), bytes.size());
    return reader.Finish();
}

std::string FormatVideoDat(const std::vector<LibraryClip>& clips) {
    std::string out;
    out.reserve(clips.size() * 48);
    char numbers[32];
    for (const LibraryClip& clip : clips) {
        out += ClipFileName(clip);
        out += "\r\n";
        const int n =
            std::snprintf(numbers, sizeof numbers, "%d,%d\r\n",
                          static_cast<int32_t>(clip.durationMs), clip.absolutePath != 0 ? 1 : 0);
        out.append(numbers, static_cast<size_t>(n));
        // A line break inside the description would shift every later record.
        const size_t at = out.size();
        out += ClipDescription(clip);
        std::replace(out.begin() + static_cast<std::ptrdiff_t>(at), out.end(), '\n', ' ');
        out += "\r\n";
    }
    return out;
}

int32_t VideoLibrary::SortMode() {
    return g_sortMode;
}
void VideoLibrary::SetSortMode(int32_t mode) {
    g_sortMode = mode;
}

std::string VideoLibrary::IndexPath() {
    return PathInAppDir("video.dat");
}

void VideoLibrary::Load() {
    Load(IndexPath());
}

void VideoLibrary::Load(const std::string& path) {
    // Only regular files: opening a pipe for reading would wait for a writer.
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return;
    }
    BinaryFile file;
    if (!file.Open(path, BinaryFile::Mode::Read)) {
        return;
    }
    VideoDatReader reader;
    try {
        std::vector<char> buffer(64 * 1024);
        for (;;) {
            const size_t got = file.Read(buffer.data(), buffer.size());
            if (got == 0) {
                break;
            }
            reader.Feed(buffer.data(), got);
        }
    } catch (const FileError&) {
        return;  // a file that cannot be read whole leaves the index as it was
    }
    clips = reader.Finish();
}

bool VideoLibrary::Save() const {
    return Save(IndexPath());
}

bool VideoLibrary::Save(const std::string& path) const {
    const std::string content = FormatVideoDat(clips);
    BinaryFile file;
    if (!file.Open(path, BinaryFile::Mode::Write)) {
        return false;
    }
    try {
        file.Write(content.data(), content.size());
        file.Close();
    } catch (const FileError&) {
        return false;
    }
    return true;
}

struct VideoLibrary::ScanState {
    std::set<std::pair<dev_t, ino_t>> foldersSeen;
    // Records by the hash of their name (the records themselves hold the names, so a scan of
    // many clips makes no copies of them). A scan into an empty index needs none until the first
    // shortcut: names built from distinct paths of one folder tree are distinct.
    bool indexed = false;
    std::unordered_multimap<size_t, size_t> byNameHash;

    void Index(const std::vector<LibraryClip>& clips) {
        if (indexed) {
            return;
        }
        indexed = true;
        byNameHash.reserve(clips.size() * 2);
        for (size_t i = 0; i < clips.size(); ++i) {
            byNameHash.emplace(std::hash<std::string_view>()(ClipFileName(clips[i])), i);
        }
    }
};

void VideoLibrary::Rescan(bool forceRemeasure) {
    WaitCursor wait;
    std::vector<LibraryClip> old;
    old.swap(clips);
    clips.reserve(old.size());
    ScanFolder(Settings().videoPath, forceRemeasure, false);

    // Only descriptions are carried over; without any there is nothing to look up.
    const bool anyDescription = std::any_of(old.begin(), old.end(), [](const LibraryClip& clip) {
        return clip.description[0] != '\0';
    });
    if (anyDescription) {
        std::unordered_map<std::string_view, const LibraryClip*> oldByName;
        oldByName.reserve(old.size());
        for (const LibraryClip& clip : old) {
            oldByName.emplace(ClipFileName(clip), &clip);  // the first of equal names wins
        }
        for (LibraryClip& clip : clips) {
            const auto found = oldByName.find(ClipFileName(clip));
            if (found != oldByName.end()) {
                std::memcpy(clip.description, found->second->description, sizeof clip.description);
            }
        }
    }
    Sort();
}

void VideoLibrary::ScanFolder(const std::string& folder, bool forceRemeasure, bool absolute) {
    ScanState state;
    if (!clips.empty()) {
        state.Index(clips);
    }
    ScanFolderOnce(WithTrailingSeparator(folder), forceRemeasure, absolute, state);
}

void VideoLibrary::ScanFolderOnce(const std::string& folder, bool forceRemeasure, bool absolute,
                                  ScanState& state) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    struct stat folderStat {};
    if (fstat(dirfd(dir), &folderStat) != 0 ||
        !state.foldersSeen.emplace(folderStat.st_dev, folderStat.st_ino).second) {
        closedir(dir);
        return;
    }
    struct Entry {
        std::string name;
        bool isFolder;
    };
    std::vector<Entry> entries;
    while (const dirent* entry = readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type != DT_DIR && entry->d_type != DT_REG) {
            // Links and file systems without types: what the entry leads to decides.
            struct stat st {};
            if (stat((folder + entry->d_name).c_str(), &st) != 0) {
                continue;
            }
            isFolder = S_ISDIR(st.st_mode);
        }
        entries.push_back({std::string(name), isFolder});
    }
    closedir(dir);
    // Directory order is arbitrary; a fixed order makes a scan repeatable.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });

    for (const Entry& entry : entries) {
        const std::string path = folder + entry.name;
        if (entry.isFolder) {
            ScanFolderOnce(path + kPathSeparator, forceRemeasure, absolute, state);
            continue;
        }
        const int kind = FileKind(entry.name);
        if (Accepted(kind)) {
            AddFileIndexed(path, forceRemeasure, absolute, &state);
        } else if (kind == kFileKindShortcut) {
            state.Index(clips);
            ShortcutTarget target;
            if (!ResolveShortcut(path, target)) {
                continue;
            }
            if ((target.attributes & kShortcutTargetFolder) != 0) {
                ScanFolderOnce(WithTrailingSeparator(target.path), forceRemeasure, true, state);
            } else if (Accepted(FileKind(target.path))) {
                AddFileIndexed(target.path, forceRemeasure, true, &state);
            }
        }
    }
}

void VideoLibrary::AddFile(const std::string& path, bool forceRemeasure, bool absolute) {
    AddFileIndexed(path, forceRemeasure, absolute, nullptr);
}

void VideoLibrary::AddFileIndexed(const std::string& path, bool forceRemeasure, bool absolute,
                                  ScanState* state) {
    std::string_view name = path;
    const std::string& videoPath = Settings().videoPath;
    if (!absolute && name.substr(0, videoPath.size()) == videoPath) {
        name.remove_prefix(videoPath.size());
    }
    // A name that does not fit its field, or that would break the index's lines, is left out
    // rather than stored as a different name.
    if (name.empty() || name.size() >= sizeof(LibraryClip::fileName) ||
        name.find('\n') != std::string_view::npos || name.find('\0') != std::string_view::npos) {
        return;
    }

    LibraryClip* existing = nullptr;
    const bool indexed = state != nullptr && state->indexed;
    const size_t hash = indexed ? std::hash<std::string_view>()(name) : 0;
    if (indexed) {
        const auto [first, last] = state->byNameHash.equal_range(hash);
        for (auto it = first; it != last; ++it) {
            if (ClipFileName(clips[it->second]) == name &&
                (existing == nullptr ||
                 it->second < static_cast<size_t>(existing - clips.data()))) {
                existing = &clips[it->second];  // the first record of that name
            }
        }
    } else if (state == nullptr) {
        for (LibraryClip& clip : clips) {
            if (ClipFileName(clip) == name) {
                existing = &clip;
                break;
            }
        }
    }
    if (existing != nullptr) {
        if (forceRemeasure) {
            MeasureClip(ClipFileName(*existing), existing->absolutePath, existing->durationMs);
        }
        return;
    }

    LibraryClip clip;
    clip.absolutePath = absolute ? 1 : 0;
    SetClipFileName(clip, name);
    if (!MeasureClip(ClipFileName(clip), clip.absolutePath, clip.durationMs) ||
        clip.durationMs == 0) {
        return;
    }
    clips.push_back(clip);
    if (indexed) {
        state->byNameHash.emplace(hash, clips.size() - 1);
    }
}

void VideoLibrary::Sort() {
    // Records are large: sort small keys (the text measured once) and move each record once.
    struct Key {
        int32_t group;
        uint32_t number;
        std::string_view text;
        uint32_t index;
    };
    std::vector<Key> keys(clips.size());
    for (size_t i = 0; i < clips.size(); ++i) {
        const LibraryClip& clip = clips[i];
        const uint32_t index = static_cast<uint32_t>(i);
        switch (g_sortMode) {
            case kSortByName:
                keys[i] = {clip.absolutePath, 0, ClipFileName(clip), index};
                break;
            case kSortByDuration:
                keys[i] = {0, clip.durationMs, {}, index};
                break;
            case kSortByDescription:
                keys[i] = {0, 0, ClipDescription(clip), index};
                break;
            default:
                return;  // every record compares equal
        }
    }
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (a.group != b.group) {
            return a.group < b.group;
        }
        if (a.number != b.number) {
            return a.number < b.number;
        }
        return a.text < b.text;
    });
    // Apply the order in place, one cycle of the permutation at a time.
    std::vector<uint32_t> source(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        source[i] = keys[i].index;
    }
    for (size_t start = 0; start < source.size(); ++start) {
        if (source[start] == start) {
            continue;
        }
        const LibraryClip held = clips[start];
        size_t at = start;
        while (source[at] != start) {
            const size_t from = source[at];
            clips[at] = clips[from];
            source[at] = static_cast<uint32_t>(at);
            at = from;
        }
        clips[at] = held;
        source[at] = static_cast<uint32_t>(at);
    }
}

}  // namespace orx
