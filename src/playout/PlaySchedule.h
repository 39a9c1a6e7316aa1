#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/Playlist.h"

namespace orx {

inline constexpr int kPlayoutBoards = 2;

// One clip of a board queue.
struct ClipCue {
    int32_t startMs = 0;        // after the start of the run
    int32_t durationMs = 0;     // the entry's duration
    std::string path;           // full path (Playlist::FullPath)
    int32_t fullPath = 1;       // always 1: path is complete
    int32_t playMode = 0;       // the entry's reserved field; non-zero starts with VIDCMD_PLAY2
    int32_t sequenceIndex = 0;  // position in the play sequence = row of the clip list
};

// One vision-mixer command.
struct MixerEvent {
    int32_t timeMs = 0;  // after the start of the run
    std::string word;    // mixer vocabulary
    int32_t mode = 0;    // 0 press (transitions, inputs, freezes), 1 on, 2 off
};

// What a run sends and when, built from a playlist by PrepareSchedule. Rebuilding keeps the
// positions and flags, so a run continues at the same indexes of the new queues and events.
struct PlaySchedule {
    std::vector<ClipCue> boardQueue[kPlayoutBoards];
    std::vector<MixerEvent> mixerEvents;  // in the order they are sent
    int32_t totalMs = 0;
    int32_t logoOff = 0;

    int32_t nextClip[kPlayoutBoards] = {};
    int32_t nextEvent = 0;
    int32_t started[kPlayoutBoards] = {};  // the board reported that it plays
    int32_t free[kPlayoutBoards] = {};     // the board may be sent its next clip

    // Empties the queues and events and sets totalMs to 0; positions and flags stay.
    void Clear();
    // Rewinds the positions for a new run: every board free, nothing started.
    void Reset();
    // A board's report: playing sets started, stopped sets free. Only records flags, since reports
    // arrive while a command to a companion program is pending, in the middle of a step.
    void Report(int board, bool playingNow);

    // Board 0's first clip's duration, or 0 when its queue is empty.
    int32_t FirstClipMs() const;
};

// Rebuilds playlist.playSequence (nested playlists expanded) and fills the schedule from it. Mixer
// inputs come from Settings().mpegInput1/2; transition values outside the table read as "CUT" and
// unknown extra-command codes are skipped.
void PrepareSchedule(Playlist& playlist, PlaySchedule& schedule);

}  // namespace orx
