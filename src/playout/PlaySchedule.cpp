#include "playout/PlaySchedule.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "app/AppSettings.h"

namespace orx {

namespace {

// Times are summed in 64 bits so that absurd durations read from a file cannot overflow; a time
// beyond the 32-bit range is held at its edge.
int32_t ClampMs(int64_t ms) {
    return static_cast<int32_t>(std::clamp<int64_t>(ms, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t TransitionIndex(int32_t transition) {
    return (transition >= 0 && transition < kTransitionCount) ? transition : 0;
}

}  // namespace

void PlaySchedule::Clear() {
    for (auto& queue : boardQueue)
        queue.clear();
    mixerEvents.clear();
    totalMs = 0;
}

void PlaySchedule::Reset() {
    nextEvent = 0;
    for (int b = 0; b < kPlayoutBoards; ++b) {
        nextClip[b] = 0;
        started[b] = 0;
        free[b] = 1;
    }
}

void PlaySchedule::Report(int board, bool playingNow) {
    if (board < 0 || board >= kPlayoutBoards)
        return;
    if (playingNow) {
        started[board] = 1;
    } else {
        free[board] = 1;
    }
}

int32_t PlaySchedule::FirstClipMs() const {
    return boardQueue[0].empty() ? 0 : boardQueue[0].front().durationMs;
}

void PrepareSchedule(Playlist& playlist, PlaySchedule& schedule) {
    const bool twoBoards = playlist.boardCount == 2;
    const AppSettings& settings = Settings();

    schedule.Clear();
    schedule.totalMs = playlist.totalMs;
    schedule.logoOff = playlist.logoOff;

    playlist.playSequence.clear();
    Playlist::BuildPlaySequence(playlist.playSequence, playlist.entries, 0);
    const std::vector<PlaylistEntry>& sequence = playlist.playSequence;
    const int n = static_cast<int>(sequence.size());

    auto addEvent = [&schedule](int64_t timeMs, std::string word, int32_t mode) {
        schedule.mixerEvents.push_back(MixerEvent{ClampMs(timeMs), std::move(word), mode});
    };

    int64_t t = 0;
    for (int i = 0; i < n; ++i) {
        const PlaylistEntry& e = sequence[i];
        const int64_t interleave = e.interleaveMs;
        const int64_t spacing = e.spacingMs;
        const int32_t x = TransitionIndex(e.transition);
        const int64_t minInterleave = kTransitions[x].minInterleaveMs;
        const int board = twoBoards ? i % 2 : 0;
        const bool last = i == n - 1;

        int64_t ev;
        if (i == 0) {
            ev = t + interleave - minInterleave;
        } else if (last) {
            ev = t - interleave;
        } else if (twoBoards) {
            ev = t + (interleave - minInterleave) / 2;
        } else {
            ev = t - spacing - 100;
        }

        if (!twoBoards && i > 0 && !last) {
            // The picture is frozen from 100 ms before the previous clip ends until 200 ms after
            // the next one starts; the mixer stays on board 0's input.
            addEvent(ev, "FREEZE", 0);
            addEvent(ev + spacing + 300, "FREEZE", 0);
        } else {
            if (x == 0) {
                addEvent(ev, "CUT", 0);
            } else {
                addEvent(ev, "AUTO", 0);
                addEvent(ev, kTransitions[x].word, 0);
            }
            if (!last) {
                const int32_t input = board == 0 ? settings.mpegInput1 : settings.mpegInput2;
                char word[32];
                std::snprintf(word, sizeof word, "IN%d", static_cast<int>(int64_t{input} + 1));
                addEvent(ev, word, 0);
            }
        }
        for (uint8_t code : e.extraCommands) {
            const char* word = ExtraCommandWord(code);
            if (word == nullptr)
                continue;
            addEvent(ev, word, ExtraCommandIsOn(code) ? 1 : 2);
        }

        if (e.fileName[0] != '\0') {
            ClipCue cue;
            cue.startMs = ClampMs(t);
            cue.durationMs = e.durationMs;
            cue.path = Playlist::FullPath(e);
            cue.fullPath = 1;
            cue.playMode = e.reserved;
            cue.sequenceIndex = i;
            schedule.boardQueue[board].push_back(std::move(cue));
            t += e.durationMs;
            if (i < n - 2) {
                // The next clip starts that long before this one ends (two boards) or that long
                // after it (one board).
                t += twoBoards ? -int64_t{sequence[i + 1].interleaveMs}
                               : int64_t{sequence[i + 1].spacingMs};
            }
        }
    }
}

}  // namespace orx
