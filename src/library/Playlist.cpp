#include "library/Playlist.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <unordered_map>

#include "app/AppSettings.h"
#include "app/BinaryFile.h"
#include "app/IniFile.h"
#include "app/UiHost.h"
#include "lang/TextServices.h"
#include "library/FixedText.h"
#include "platform/Paths.h"

namespace orx {

// The file's records are images of the in-memory entries, so the field offsets are the format.
static_assert(std::endian::native == std::endian::little, "records are stored little-endian");
static_assert(offsetof(PlaylistEntry, durationMs) == 260);
static_assert(offsetof(PlaylistEntry, comment) == 264);
static_assert(offsetof(PlaylistEntry, transition) == 328);
static_assert(offsetof(PlaylistEntry, interleaveMs) == 332);
static_assert(offsetof(PlaylistEntry, spacingMs) == 336);
static_assert(offsetof(PlaylistEntry, reserved) == 340);
static_assert(offsetof(PlaylistEntry, absolutePath) == 344);
static_assert(offsetof(PlaylistEntry, extraCommands) == 348);

namespace {

constexpr size_t kRecordSize = sizeof(PlaylistEntry);
constexpr char kMagic[4] = {'B', 'R', 'M', 'M'};
constexpr uint32_t kVersion = 0x00010000;
constexpr uint32_t kFlagLogoOff = 0x1;
constexpr size_t kOffsetVersion = 4;
constexpr size_t kOffsetBoardCount = 8;
constexpr size_t kOffsetEntryCount = 12;
constexpr size_t kOffsetFlags = 80;
constexpr int kMsgDifferentBoards = 22169;

uint32_t GetLe32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutLe32(unsigned char* p, uint32_t value) {
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

const char* const kExtraWords[] = {"LOGO1", "LOGO2", "CLOCK", "THERMO"};
const char* const kExtraLabels[kExtraCommandCount] = {
    "-",        "LOGO 1 ON", "LOGO 1 OFF", "LOGO 2 ON",  "LOGO 2 OFF",
    "CLOCK ON", "CLOCK OFF", "THERMO ON",  "THERMO OFF",
};

// Makes a record read from a file safe for every later reader: both texts end inside their
// fields, and extra-command codes the program does not know mean "none".
void SanitizeRecord(PlaylistEntry& entry) {
    entry.fileName[sizeof(entry.fileName) - 1] = '\0';
    entry.comment[sizeof(entry.comment) - 1] = '\0';
    for (uint8_t& code : entry.extraCommands) {
        if (code >= kExtraCommandCount) {
            code = 0;
        }
    }
}

// IsPlaylistFile without building a path: a name stored in an entry (either separator) names a
// playlist when its extension is ".vid" in any case.
bool IsPlaylistName(std::string_view name) {
    const size_t slash = name.find_last_of("/\\");
    const std::string_view file = slash == name.npos ? name : name.substr(slash + 1);
    const size_t dot = file.rfind('.');
    if (dot == file.npos || file.size() - dot != 4) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        const char c = file[dot + i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != ".vid"[i]) {
            return false;
        }
    }
    return true;
}

// ---- Loading: one session per load, and the files it read ----

// What identifies one version of a file on disk. Saves replace a file by renaming a new one over
// it, so every save gives a new inode; an edit in place changes the size or the times.
struct FileSignature {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;

    static FileSignature Of(const struct stat& st) {
        return {st.st_dev, st.st_ino, st.st_size,
                int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec,
                int64_t{st.st_ctim.tv_sec} * 1'000'000'000 + st.st_ctim.tv_nsec};
    }
    bool operator==(const FileSignature&) const = default;
};

// The content of a playlist file that was read successfully: header fields and raw records.
struct PlaylistFileContent {
    int32_t storedBoardCount = 0;
    int32_t logoOff = 0;
    std::vector<PlaylistEntry> entries;
};

// Files read by earlier loads, used again while the file on disk is unchanged, so a nested
// playlist named many times (or by the load and again by the play-sequence build) is read once.
class PlaylistFileCache {
public:
    std::shared_ptr<const PlaylistFileContent> Find(const std::string& path,
                                                    const FileSignature& signature) const {
        const auto it = files_.find(path);
        if (it == files_.end() || !(it->second.signature == signature)) {
            return nullptr;
        }
        return it->second.content;
    }
    void Store(const std::string& path, const FileSignature& signature,
               std::shared_ptr<const PlaylistFileContent> content) {
        if (content->entries.size() > kMaxEntries) {
            return;
        }
        entriesHeld_ -= Remove(path);
        if (files_.size() >= kMaxFiles || entriesHeld_ + content->entries.size() > kMaxEntries) {
            Clear();
        }
        entriesHeld_ += content->entries.size();
        files_[path] = {signature, std::move(content)};
    }
    void Clear() {
        files_.clear();
        entriesHeld_ = 0;
    }

private:
    // Enough for every playlist of a studio's video folder, small enough to be no burden.
    static constexpr size_t kMaxFiles = 512;
    static constexpr size_t kMaxEntries = 200'000;

    struct Cached {
        FileSignature signature;
        std::shared_ptr<const PlaylistFileContent> content;
    };
    size_t Remove(const std::string& path) {
        const auto it = files_.find(path);
        if (it == files_.end()) {
            return 0;
        }
        const size_t count = it->second.content->entries.size();
        files_.erase(it);
        return count;
    }

    std::unordered_map<std::string, Cached> files_;
    size_t entriesHeld_ = 0;
};

PlaylistFileCache& FileCache() {
    static PlaylistFileCache cache;
    return cache;
}

// The work of one load (the operator's playlist with all it names) is bounded: a playlist that
// names itself many times per level would otherwise expand to its count to the fifth power.
// Entries examined: of every playlist read, once per nesting level it is used at.
constexpr size_t kMaxEntriesExamined = 200'000;
// Entries of the play sequence a playlist expands to.
constexpr size_t kMaxEntriesExpanded = 50'000;

// A playlist loaded at one nesting level: the same for every use within one session.
struct LoadOutcome {
    int result = kPlaylistOk;
    int32_t storedBoardCount = 0;
    int32_t logoOff = 0;
    std::vector<PlaylistEntry> entries;  // usable entries only, normalised as by ComputeTotal
    int32_t totalMs = 0;
    size_t expanded = 0;  // entries it adds to a play sequence
};

// State shared by a load and the nested loads it makes: the board count (read from the settings
// once), what is known of each path (each clip is checked once), each playlist loaded at each
// level (each loaded once), and the work done so far.
struct LoadSession {
    struct PathInfo {
        bool exists = false;
        bool regular = false;
        FileSignature signature;
    };

    int32_t boardCount = 2;
    size_t examined = 0;
    bool tooLarge = false;
    std::unordered_map<std::string, PathInfo> paths;
    std::unordered_map<std::string, std::shared_ptr<const PlaylistFileContent>> contents;
    std::map<std::pair<std::string, int>, std::shared_ptr<LoadOutcome>> outcomes;

    const PathInfo& Examine(const std::string& path) {
        const auto [it, inserted] = paths.try_emplace(path);
        if (inserted) {
            struct stat st {};
            if (stat(path.c_str(), &st) == 0) {
                it->second.exists = true;
                it->second.regular = S_ISREG(st.st_mode);
                it->second.signature = FileSignature::Of(st);
            }
        }
        return it->second;
    }
};

LoadSession*& ActiveSession() {
    static LoadSession* session = nullptr;
    return session;
}

// The session of the load in progress, or a new one that lasts as long as this object.
class SessionScope {
public:
    SessionScope() : owner_(ActiveSession() == nullptr) {
        if (owner_) {
            own_.boardCount = CurrentBoardCount();
            ActiveSession() = &own_;
        }
    }
    ~SessionScope() {
        if (owner_) {
            ActiveSession() = nullptr;
        }
    }
    SessionScope(const SessionScope&) = delete;
    SessionScope& operator=(const SessionScope&) = delete;

    LoadSession& session() { return *ActiveSession(); }
    bool owner() const { return owner_; }

private:
    bool owner_;
    LoadSession own_;
};

int32_t SessionBoardCount() {
    return ActiveSession() != nullptr ? ActiveSession()->boardCount : CurrentBoardCount();
}

// A read that failed after the open: reported as kPlaylistCannotOpen, but the playlist is left
// empty rather than as it was.
constexpr int kReadFailedAfterOpen = -1;

// Reads a playlist file: kPlaylistOk with content, or the failure code.
int ReadPlaylistFile(const std::string& path, PlaylistFileContent& content) {
    BinaryFile file;
    if (!file.Open(path, BinaryFile::Mode::Read)) {
        return kPlaylistCannotOpen;
    }
    try {
        unsigned char header[kPlaylistHeaderSize] = {};
        const size_t headerBytes = file.Read(header, sizeof(header));
        if (std::memcmp(header, kMagic, sizeof(kMagic)) != 0) {
            return kPlaylistBadMagic;
        }
        if (GetLe32(header + kOffsetVersion) != kVersion) {
            return kPlaylistBadVersion;
        }
        content.logoOff = (GetLe32(header + kOffsetFlags) & kFlagLogoOff) ? 1 : 0;
        content.storedBoardCount = static_cast<int32_t>(GetLe32(header + kOffsetBoardCount));
        const auto storedCount = static_cast<int32_t>(GetLe32(header + kOffsetEntryCount));
        // The stored count is bounded by what the file can supply: a record cut short by the
        // end of the file is kept (its missing tail stays zero), records wholly beyond it are
        // not invented.
        const uint64_t length = file.Length();
        const uint64_t bodyBytes = length > headerBytes ? length - headerBytes : 0;
        const uint64_t recordsPresent = (bodyBytes + kRecordSize - 1) / kRecordSize;
        const uint64_t count =
            storedCount > 0 ? std::min<uint64_t>(uint64_t(storedCount), recordsPresent) : 0;
        if (count > kMaxEntriesExamined) {
            // More than one load may expand: not read at all.
            return kPlaylistTooLarge;
        }
        if (count > 0) {
            content.entries.assign(count, PlaylistEntry{});
            file.Read(content.entries.data(), count * kRecordSize);
            for (PlaylistEntry& entry : content.entries) {
                SanitizeRecord(entry);
            }
        }
        file.Close();
    } catch (const FileError&) {
        return kReadFailedAfterOpen;
    }
    return kPlaylistOk;
}

// True when the file was last changed so recently that a change within the same step of the
// file system's clock could follow unseen (same size, same times): such a file is not kept.
bool ChangedRecently(const FileSignature& signature) {
    constexpr int64_t kMarginNs = 2'000'000'000;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const int64_t nowNs = int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
    return std::max(signature.modifiedNs, signature.changedNs) + kMarginNs > nowNs;
}

// The content of path: read once per session, and taken from the cache while the file is
// unchanged since an earlier load.
int FetchPlaylistFile(LoadSession& session, const std::string& path,
                      std::shared_ptr<const PlaylistFileContent>& content) {
    if (const auto known = session.contents.find(path); known != session.contents.end()) {
        content = known->second;
        return kPlaylistOk;
    }
    const LoadSession::PathInfo& info = session.Examine(path);
    if (info.regular) {
        content = FileCache().Find(path, info.signature);
    }
    if (!content) {
        auto read = std::make_shared<PlaylistFileContent>();
        const int result = ReadPlaylistFile(path, *read);
        if (result != kPlaylistOk) {
            return result;
        }
        if (info.regular && !ChangedRecently(info.signature)) {
            FileCache().Store(path, info.signature, read);
        }
        content = std::move(read);
    }
    session.contents.emplace(path, content);
    return kPlaylistOk;
}

}  // namespace

const TransitionInfo kTransitions[kTransitionCount] = {
    {"CUT", 100},     {"MIX", 300},     {"EFFECT1", 700}, {"EFFECT2", 700},
    {"EFFECT3", 700}, {"EFFECT4", 700}, {"EFFECT5", 700}, {"EFFECT6", 700},
};

const TransitionInfo& TransitionOf(int32_t transition) {
    if (transition < 0 || transition >= kTransitionCount) {
        return kTransitions[0];
    }
    return kTransitions[transition];
}

const char* ExtraCommandWord(int code) {
    if (code < 1 || code >= kExtraCommandCount) {
        return nullptr;
    }
    return kExtraWords[(code - 1) / 2];
}

bool ExtraCommandIsOn(int code) {
    return code >= 1 && code < kExtraCommandCount && code % 2 == 1;
}

const char* ExtraCommandLabel(int code) {
    if (code < 0 || code >= kExtraCommandCount) {
        return kExtraLabels[0];
    }
    return kExtraLabels[code];
}

std::string TransitionText(const PlaylistEntry& entry) {
    std::string text = TransitionOf(entry.transition).word;
    for (uint8_t code : entry.extraCommands) {
        if (const char* word = ExtraCommandWord(code)) {
            text += " [";
            text += word;
            text += ExtraCommandIsOn(code) ? " ON]" : " OFF]";
        }
    }
    return text;
}

std::string_view EntryFileName(const PlaylistEntry& entry) {
    return FixedText(entry.fileName);
}

std::string_view EntryComment(const PlaylistEntry& entry) {
    return FixedText(entry.comment);
}

void SetEntryFileName(PlaylistEntry& entry, std::string_view name) {
    SetFixedText(entry.fileName, name);
}

void SetEntryComment(PlaylistEntry& entry, std::string_view comment) {
    SetFixedText(entry.comment, comment);
}

TransitionSpec TransitionSpec::Of(const PlaylistEntry& entry) {
    TransitionSpec spec;
    spec.transition = entry.transition;
    spec.interleaveMs = entry.interleaveMs;
    spec.spacingMs = entry.spacingMs;
    std::memcpy(spec.extraCommands, entry.extraCommands, sizeof(spec.extraCommands));
    return spec;
}

void TransitionSpec::ApplyTo(PlaylistEntry& entry) const {
    entry.transition = transition;
    entry.interleaveMs = interleaveMs;
    entry.spacingMs = spacingMs;
    std::memcpy(entry.extraCommands, extraCommands, sizeof(entry.extraCommands));
}

int32_t CurrentBoardCount() {
    // Read as the settings store reads "MPEG": 1 is one board, anything else two, so that the
    // timing always matches the boards the hardware opens.
    return GetIniInt("Hardware", "MPEG", 0) == 1 ? 1 : 2;
}

bool IsPlaylistFile(std::string_view path) {
    return FileKind(path) == kFileKindPlaylist;
}

std::string FormatDuration(int32_t ms) {
    // Negative values (a total shortened by the end entry's interleave) show as a signed
    // magnitude; truncated fields would read "0:00.-4".
    const bool negative = ms < 0;
    const int64_t magnitude = negative ? -int64_t{ms} : int64_t{ms};
    const long long minutes = magnitude / 60000;
    const int seconds = static_cast<int>((magnitude / 1000) % 60);
    const int tenths = static_cast<int>((magnitude / 100) % 10);
    char text[32];
    if (negative) {
        char minuteText[24];
        std::snprintf(minuteText, sizeof(minuteText), "-%lld", minutes);
        std::snprintf(text, sizeof(text), "%4s:%02d.%d", minuteText, seconds, tenths);
    } else {
        std::snprintf(text, sizeof(text), "%4lld:%02d.%d", minutes, seconds, tenths);
    }
    return text;
}

namespace {

// What ComputeTotal does for a playlist of these entries timed for boardCount boards.
int32_t NormalizeAndTotal(std::vector<PlaylistEntry>& entries, int32_t boardCount) {
    // Summed wide: durations and spacings come from files and need not be sane.
    int64_t total = 0;
    const size_t n = entries.size();
    for (size_t i = 0; i < n; ++i) {
        PlaylistEntry& entry = entries[i];
        total += entry.durationMs;
        if (entry.transition < 0 || entry.transition >= kTransitionCount) {
            entry.transition = 0;
        }
        const int32_t minMs = kTransitions[entry.transition].minInterleaveMs;
        if (entry.interleaveMs < minMs) {
            entry.interleaveMs = minMs;
        }
        if (i == 0) {
            continue;
        }
        if (i == n - 1) {
            total += int64_t{minMs} - entry.interleaveMs;
        } else if (boardCount == 2) {
            total -= entry.interleaveMs;
        } else {
            entry.transition = 0;
            total += entry.spacingMs;
        }
    }
    return static_cast<int32_t>(std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Loads path at one nesting level once per session; later uses get the same outcome.
std::shared_ptr<LoadOutcome> LoadOnce(LoadSession& session, const std::string& path, int depth) {
    const auto key = std::make_pair(path, depth);
    if (const auto found = session.outcomes.find(key); found != session.outcomes.end()) {
        return found->second;
    }
    auto outcome = std::make_shared<LoadOutcome>();
    std::shared_ptr<const PlaylistFileContent> content;
    outcome->result =
        session.tooLarge ? kPlaylistTooLarge : FetchPlaylistFile(session, path, content);
    if (outcome->result == kPlaylistOk) {
        session.examined += content->entries.size() + 1;
        if (session.examined > kMaxEntriesExamined) {
            session.tooLarge = true;
            outcome->result = kPlaylistTooLarge;
        }
    }
    if (outcome->result != kPlaylistOk) {
        session.outcomes.emplace(key, outcome);
        return outcome;
    }
    outcome->storedBoardCount = content->storedBoardCount;
    outcome->logoOff = content->logoOff;

    // Entries that cannot be played are dropped; the rest keep their order.
    outcome->entries.reserve(content->entries.size());
    for (const PlaylistEntry& stored : content->entries) {
        PlaylistEntry& entry = outcome->entries.emplace_back(stored);
        const std::string_view name = EntryFileName(entry);
        size_t expanded = !name.empty() || depth == 0 ? 1 : 0;
        bool usable = true;
        if (!name.empty()) {
            const std::string full = Playlist::FullPath(entry);
            usable = session.Examine(full).exists;
            if (usable && IsPlaylistName(name)) {
                entry.durationMs = 0;
                expanded = 0;
                if (depth < kMaxPlaylistDepth) {
                    const std::shared_ptr<const LoadOutcome> nested =
                        LoadOnce(session, full, depth + 1);
                    if ((nested->result & kResultFailureBit) == 0) {
                        entry.durationMs = nested->totalMs;
                        expanded = nested->expanded;
                    }
                }
                usable = entry.durationMs != 0;
            }
        }
        if (usable) {
            outcome->expanded += expanded;
        } else {
            outcome->entries.pop_back();
            outcome->result = kPlaylistMissingClips;
        }
    }
    if (outcome->expanded > kMaxEntriesExpanded) {
        session.tooLarge = true;
    }
    if (session.tooLarge) {
        outcome->result = kPlaylistTooLarge;
        outcome->entries.clear();
    }
    outcome->totalMs = NormalizeAndTotal(outcome->entries, session.boardCount);
    session.outcomes.emplace(key, outcome);
    return outcome;
}

// Appends source to target with nested playlists expanded, each loaded once per session.
void ExpandInto(LoadSession& session, std::vector<PlaylistEntry>& target,
                const std::vector<PlaylistEntry>& source, int depth) {
    for (const PlaylistEntry& entry : source) {
        if (IsPlaylistName(EntryFileName(entry))) {
            if (depth >= kMaxPlaylistDepth) {
                continue;
            }
            const std::shared_ptr<const LoadOutcome> nested =
                LoadOnce(session, Playlist::FullPath(entry), depth + 1);
            if (nested->result & kResultFailureBit) {
                continue;
            }
            const size_t before = target.size();
            ExpandInto(session, target, nested->entries, depth + 1);
            if (target.size() > before) {
                // The nested playlist comes on air with the transition of the entry naming it.
                TransitionSpec::Of(entry).ApplyTo(target[before]);
            }
        } else if (!EntryFileName(entry).empty() || depth == 0) {
            target.push_back(entry);
        }
    }
}

}  // namespace

Playlist::Playlist() : boardCount(SessionBoardCount()) {}

void Playlist::Clear() {
    totalMs = 0;
    std::vector<PlaylistEntry>().swap(entries);
    boardCount = SessionBoardCount();
}

std::string Playlist::FullPath(const PlaylistEntry& entry) {
    const std::string name = NativeSeparators(EntryFileName(entry));
    if (entry.absolutePath != 0) {
        return name;
    }
    return Settings().videoPath + name;
}

int Playlist::Load(const std::string& path, bool warnBoards, int depth) {
    SessionScope scope;
    LoadSession& session = scope.session();
    std::shared_ptr<LoadOutcome> outcome = LoadOnce(session, path, depth);
    if (scope.owner() && session.tooLarge) {
        // Beyond the bound somewhere below: the whole playlist is unusable, not a part of it.
        auto refused = std::make_shared<LoadOutcome>();
        refused->result = kPlaylistTooLarge;
        outcome = std::move(refused);
    }
    if (outcome->result == kPlaylistCannotOpen) {
        // The playlist keeps what it held.
        ComputeTotal();
        return kPlaylistCannotOpen;
    }
    Clear();
    if (outcome->result & kResultFailureBit) {
        // Left empty, as a file of the wrong format.
        ComputeTotal();
        return outcome->result == kReadFailedAfterOpen ? kPlaylistCannotOpen : outcome->result;
    }
    logoOff = outcome->logoOff;
    if (scope.owner()) {
        entries = std::move(outcome->entries);  // the session ends here
    } else {
        entries = outcome->entries;
    }
    if (outcome->storedBoardCount != boardCount && warnBoards) {
        TranslatedMessageBox(kMsgDifferentBoards, mb::Ok | mb::IconWarning);
    }
    ComputeTotal();
    return outcome->result;
}

int Playlist::Save(const std::string& path) {
    // Whatever was read before describes files as they were; this save may replace one of them.
    FileCache().Clear();
    int result = kPlaylistOk;
    BinaryFile file;
    if (!file.Open(path, BinaryFile::Mode::Write)) {
        result = kPlaylistCannotCreate;
    } else {
        try {
            unsigned char header[kPlaylistHeaderSize] = {};
            std::memcpy(header, kMagic, sizeof(kMagic));
            PutLe32(header + kOffsetVersion, kVersion);
            PutLe32(header + kOffsetBoardCount, static_cast<uint32_t>(boardCount));
            PutLe32(header + kOffsetEntryCount, static_cast<uint32_t>(entries.size()));
            PutLe32(header + kOffsetFlags, logoOff != 0 ? kFlagLogoOff : 0);
            file.Write(header, sizeof(header));
            if (!entries.empty()) {
                file.Write(entries.data(), entries.size() * kRecordSize);
            }
            file.Close();
        } catch (const FileError&) {
            // The unclosed file is discarded, so the previous file on disk stays intact.
            result = kPlaylistCannotCreate;
        }
    }
    ComputeTotal();
    return result;
}

void Playlist::ComputeTotal() {
    totalMs = NormalizeAndTotal(entries, boardCount);
}

void Playlist::BuildPlaySequence(std::vector<PlaylistEntry>& target,
                                 const std::vector<PlaylistEntry>& source, int depth) {
    if (&target == &source) {
        const std::vector<PlaylistEntry> copy = source;
        BuildPlaySequence(target, copy, depth);
        return;
    }
    SessionScope scope;
    LoadSession& session = scope.session();
    // What the entries expand to, known from their loads: the sequence grows once.
    size_t expected = 0;
    for (const PlaylistEntry& entry : source) {
        if (!IsPlaylistName(EntryFileName(entry))) {
            ++expected;
        } else if (depth < kMaxPlaylistDepth) {
            const std::shared_ptr<const LoadOutcome> nested =
                LoadOnce(session, FullPath(entry), depth + 1);
            if ((nested->result & kResultFailureBit) == 0) {
                expected += nested->expanded;
            }
        }
    }
    if (expected > kMaxEntriesExpanded + source.size()) {
        // Only entries that were never loaded as a whole can get here: they expand to nothing
        // rather than to more than a load would accept.
        return;
    }
    target.reserve(target.size() + expected);
    ExpandInto(session, target, source, depth);
}

void Playlist::Assign(const Playlist& other) {
    if (this == &other) {
        return;
    }
    boardCount = other.boardCount;
    totalMs = other.totalMs;
    logoOff = other.logoOff;
    entries = other.entries;
    playSequence = other.playSequence;
}

}  // namespace orx
