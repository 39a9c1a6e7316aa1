#include "library/Playlist.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>

#include "app/AppSettings.h"
#include "app/BinaryFile.h"
#include "app/IniFile.h"
#include "app/UiHost.h"
#include "lang/TextServices.h"
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

template <size_t N>
std::string_view BoundedText(const char (&field)[N]) {
    return std::string_view(field, strnlen(field, N));
}

template <size_t N>
void SetBoundedText(char (&field)[N], std::string_view text) {
    const size_t length = std::min(text.size(), N - 1);
    if (length > 0) {  // an empty view may carry no data pointer at all
        std::memcpy(field, text.data(), length);
    }
    std::memset(field + length, 0, N - length);
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
    return BoundedText(entry.fileName);
}

std::string_view EntryComment(const PlaylistEntry& entry) {
    return BoundedText(entry.comment);
}

void SetEntryFileName(PlaylistEntry& entry, std::string_view name) {
    SetBoundedText(entry.fileName, name);
}

void SetEntryComment(PlaylistEntry& entry, std::string_view comment) {
    SetBoundedText(entry.comment, comment);
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

void Playlist::Clear() {
    totalMs = 0;
    std::vector<PlaylistEntry>().swap(entries);
    boardCount = CurrentBoardCount();
}

std::string Playlist::FullPath(const PlaylistEntry& entry) {
    const std::string name = NativeSeparators(EntryFileName(entry));
    if (entry.absolutePath != 0) {
        return name;
    }
    return Settings().videoPath + name;
}

int Playlist::Load(const std::string& path, bool warnBoards, int depth) {
    BinaryFile file;
    if (!file.Open(path, BinaryFile::Mode::Read)) {
        // The playlist keeps what it held.
        ComputeTotal();
        return kPlaylistCannotOpen;
    }
    Clear();
    const int32_t previousLogoOff = logoOff;

    int result = kPlaylistOk;
    int32_t storedBoardCount = 0;
    try {
        unsigned char header[kPlaylistHeaderSize] = {};
        const size_t headerBytes = file.Read(header, sizeof(header));
        if (std::memcmp(header, kMagic, sizeof(kMagic)) != 0) {
            result = kPlaylistBadMagic;
        } else if (GetLe32(header + kOffsetVersion) != kVersion) {
            result = kPlaylistBadVersion;
        } else {
            logoOff = (GetLe32(header + kOffsetFlags) & kFlagLogoOff) ? 1 : 0;
            storedBoardCount = static_cast<int32_t>(GetLe32(header + kOffsetBoardCount));
            const auto storedCount = static_cast<int32_t>(GetLe32(header + kOffsetEntryCount));
            // The stored count is bounded by what the file can supply: a record cut short by
            // the end of the file is kept (its missing tail stays zero), records wholly
            // beyond it are not invented.
            const uint64_t length = file.Length();
            const uint64_t bodyBytes = length > headerBytes ? length - headerBytes : 0;
            const uint64_t recordsPresent = (bodyBytes + kRecordSize - 1) / kRecordSize;
            const uint64_t count =
                storedCount > 0 ? std::min<uint64_t>(uint64_t(storedCount), recordsPresent) : 0;
            if (count > 0) {
                entries.assign(count, PlaylistEntry{});
                file.Read(entries.data(), count * kRecordSize);
                for (PlaylistEntry& entry : entries) {
                    SanitizeRecord(entry);
                }
            }
        }
        file.Close();
    } catch (const FileError&) {
        // A read failure after the open abandons the load: the playlist is left empty, as after
        // a file of the wrong format, and the caller reports it like a file it cannot open.
        std::vector<PlaylistEntry>().swap(entries);
        logoOff = previousLogoOff;
        ComputeTotal();
        return kPlaylistCannotOpen;
    }

    if (result == kPlaylistOk) {
        if (storedBoardCount != boardCount && warnBoards) {
            TranslatedMessageBox(kMsgDifferentBoards, mb::Ok | mb::IconWarning);
        }
        size_t i = 0;
        while (i < entries.size()) {
            PlaylistEntry& entry = entries[i];
            if (EntryFileName(entry).empty()) {
                ++i;
                continue;
            }
            const std::string full = FullPath(entry);
            bool usable = FileExists(full);
            if (usable && IsPlaylistFile(full)) {
                entry.durationMs = 0;
                if (depth < kMaxPlaylistDepth) {
                    Playlist nested;
                    if ((nested.Load(full, false, depth + 1) & kResultFailureBit) == 0) {
                        nested.ComputeTotal();
                        entry.durationMs = nested.totalMs;
                    }
                }
                usable = entry.durationMs != 0;
            }
            if (usable) {
                ++i;
            } else {
                // The entry that moves into slot i is examined next.
                entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
                result = kPlaylistMissingClips;
            }
        }
    }
    ComputeTotal();
    return result;
}

int Playlist::Save(const std::string& path) {
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
    totalMs = static_cast<int32_t>(std::clamp<int64_t>(total, std::numeric_limits<int32_t>::min(),
                                                       std::numeric_limits<int32_t>::max()));
}

void Playlist::BuildPlaySequence(std::vector<PlaylistEntry>& target,
                                 const std::vector<PlaylistEntry>& source, int depth) {
    if (&target == &source) {
        const std::vector<PlaylistEntry> copy = source;
        BuildPlaySequence(target, copy, depth);
        return;
    }
    for (const PlaylistEntry& entry : source) {
        const std::string full = FullPath(entry);
        if (IsPlaylistFile(full)) {
            if (depth >= kMaxPlaylistDepth) {
                continue;
            }
            Playlist nested;
            if (nested.Load(full, false, depth + 1) & kResultFailureBit) {
                continue;
            }
            const size_t before = target.size();
            BuildPlaySequence(target, nested.entries, depth + 1);
            if (target.size() > before) {
                // The nested playlist comes on air with the transition of the entry naming it.
                TransitionSpec::Of(entry).ApplyTo(target[before]);
            }
        } else if (!EntryFileName(entry).empty() || depth == 0) {
            target.push_back(entry);
        }
    }
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
