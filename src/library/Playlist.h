#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orx {

// One line of a playlist: the in-memory record is the 516-byte record of the ".vid" file.
struct PlaylistEntry {
    char fileName[260] = {};  // relative to the video folder ("\" separators allowed) or full
    int32_t durationMs = 0;
    char comment[64] = {};
    int32_t transition = 0;  // index into the transition table
    int32_t interleaveMs = 0;
    int32_t spacingMs = 0;
    int32_t reserved = 0;  // non-zero: the clip starts with VIDCMD_PLAY2
    int32_t absolutePath = 0;
    uint8_t extraCommands[3] = {};  // codes 0..8
    uint8_t unused[165] = {};
};
static_assert(sizeof(PlaylistEntry) == 516, "PlaylistEntry is the file's record");

// The name and comment of an entry, never read past their fields (a record from a file need not
// hold a terminator).
std::string_view EntryFileName(const PlaylistEntry& entry);
std::string_view EntryComment(const PlaylistEntry& entry);
// Copies text into the field, truncated so that a terminator always fits; the rest is zeroed.
void SetEntryFileName(PlaylistEntry& entry, std::string_view name);
void SetEntryComment(PlaylistEntry& entry, std::string_view comment);

// The group of an entry that the editor edits together and that a nested playlist's first clip
// takes over from the entry naming it.
struct TransitionSpec {
    int32_t transition = 0;
    int32_t interleaveMs = 0;
    int32_t spacingMs = 0;
    uint8_t extraCommands[3] = {};

    static TransitionSpec Of(const PlaylistEntry& entry);
    void ApplyTo(PlaylistEntry& entry) const;
};

struct TransitionInfo {
    const char* word;
    int32_t minInterleaveMs;
};
inline constexpr int kTransitionCount = 8;
// "CUT" 100, "MIX" 300, "EFFECT1".."EFFECT6" 700.
extern const TransitionInfo kTransitions[kTransitionCount];
// The table row of a stored transition value; values outside 0..7 read as "CUT".
const TransitionInfo& TransitionOf(int32_t transition);

// Extra-command codes 1..8: word (code - 1) / 2 of "LOGO1", "LOGO2", "CLOCK", "THERMO";
// odd = "ON", even = "OFF".
const char* ExtraCommandWord(int code);  // nullptr for 0 or out of range
bool ExtraCommandIsOn(int code);
inline constexpr int kExtraCommandCount = 9;  // codes 0..8, 0 = none
// The editor's list text of a code ("-", "LOGO 1 ON", ... "THERMO OFF"); "-" when out of range.
const char* ExtraCommandLabel(int code);
// The transition word followed by " [WORD ON|OFF]" for each extra command, e.g.
// "MIX [LOGO1 ON] [CLOCK OFF]".
std::string TransitionText(const PlaylistEntry& entry);

// Result codes of file operations. Bit 0x100 marks a failure.
enum PlaylistResult : int {
    kPlaylistOk = 0,
    kPlaylistMissingClips = 6,
    kPlaylistCannotOpen = 0x101,
    kPlaylistCannotCreate = 0x102,
    kPlaylistBadMagic = 0x103,
    kPlaylistBadVersion = 0x104,
    // With its nested playlists, more entries or playlists than one load may expand.
    kPlaylistTooLarge = 0x107,
};
inline constexpr int kResultFailureBit = 0x100;

// Nested playlists are read to this level; deeper ".vid" entries count as unusable.
inline constexpr int kMaxPlaylistDepth = 4;
inline constexpr size_t kPlaylistHeaderSize = 128;

// Boards the timing is computed for, from "Hardware"/"MPEG": 1 is one board; 0 (none configured),
// 2 and any other stored value read as 2, as the settings store reads them.
int32_t CurrentBoardCount();
bool IsPlaylistFile(std::string_view path);
// "%4d:%02d.%d" of minutes, seconds and tenths.
std::string FormatDuration(int32_t ms);

class Playlist {
public:
    // Starts as Clear leaves a playlist: empty, timed for the configured boards.
    Playlist();

    int32_t boardCount = 0;
    int32_t totalMs = 0;
    std::vector<PlaylistEntry> entries;
    std::vector<PlaylistEntry> playSequence;
    int32_t logoOff = 0;

    // Sets totalMs 0, empties entries and re-reads boardCount; playSequence and logoOff stay.
    void Clear();
    // The video folder followed by the entry's name, or the name alone for an absolute entry;
    // in native separators.
    static std::string FullPath(const PlaylistEntry& entry);
    // Reads a ".vid" file and drops entries whose clip is missing or whose nested playlist is
    // unusable (result 6). depth is the nesting level, 0 for a playlist the operator opened.
    // One load reads each file once and checks each clip once; a playlist that expands beyond
    // the bound of one load is refused as a whole (kPlaylistTooLarge, left empty).
    int Load(const std::string& path, bool warnBoards, int depth);
    int Save(const std::string& path);
    // Recomputes totalMs and normalises the transition fields for boardCount.
    void ComputeTotal();
    // Appends source to target with nested playlists expanded (to depth 4).
    static void BuildPlaySequence(std::vector<PlaylistEntry>& target,
                                  const std::vector<PlaylistEntry>& source, int depth);
    void Assign(const Playlist& other);
};

}  // namespace orx
