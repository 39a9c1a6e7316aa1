#pragma once

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

// Result codes of file operations. Bit 0x100 marks a failure.
enum PlaylistResult : int {
    kPlaylistOk = 0,
    kPlaylistMissingClips = 6,
    kPlaylistCannotOpen = 0x101,
    kPlaylistCannotCreate = 0x102,
    kPlaylistBadMagic = 0x103,
    kPlaylistBadVersion = 0x104,
};
inline constexpr int kResultFailureBit = 0x100;

// "Hardware"/"MPEG" of the settings store, with 0 read as 2.
int32_t CurrentBoardCount();
bool IsPlaylistFile(std::string_view path);
// "%4d:%02d.%d" of minutes, seconds and tenths.
std::string FormatDuration(int32_t ms);

class Playlist {
public:
    int32_t boardCount = 0;
    int32_t totalMs = 0;
    std::vector<PlaylistEntry> entries;
    std::vector<PlaylistEntry> playSequence;
    int32_t logoOff = 0;

    void Clear();
    // The video folder followed by the entry's name, or the name alone for an absolute entry;
    // in native separators.
    static std::string FullPath(const PlaylistEntry& entry);
    int Load(const std::string& path, bool warnBoards, int depth);
    int Save(const std::string& path);
    void ComputeTotal();
    static void BuildPlaySequence(std::vector<PlaylistEntry>& target,
                                  const std::vector<PlaylistEntry>& source, int depth);
    void Assign(const Playlist& other);
};

}  // namespace orx
