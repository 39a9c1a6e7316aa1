#include "playout/PlayoutEngine.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "app/AppSettings.h"
#include "app/DebugLog.h"
#include "app/UiHost.h"
#include "devices/MixerVocabulary.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"

namespace orx {

namespace {

constexpr int kMsgPlayFailed = 3048;

// Restore-input list: 0 "On preview" (-2), 1 "Previous" (-1), 2 + k source k. An index outside
// the list (no selection) falls back to "Previous", so the channel is never asked for a source
// beyond its table.
int RestoreInputOf(int comboIndex) {
    const int in = comboIndex - 2;
    return (in >= -2 && in < kSourceCount) ? in : -1;
}

class Flag {
public:
    explicit Flag(bool& flag) : flag_(flag) { flag_ = true; }
    ~Flag() { flag_ = false; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;

private:
    bool& flag_;
};

}  // namespace

PlayoutEngine::PlayoutEngine(IVideoChannel& video, IRemoteChannel& remote, Clock& clock,
                             ITimer& timer, IPlayoutView& view)
    : video_(video), remote_(remote), clock_(clock), timer_(timer), view_(view), airLog_(clock) {
    schedule_.Reset();
}

uint32_t PlayoutEngine::ElapsedMs() {
    return clock_.Ticks() - playStartTick_;
}

void PlayoutEngine::ShowRunTimes() {
    const uint32_t now = clock_.Ticks();
    const int64_t elapsed = static_cast<uint32_t>(now - playStartTick_);
    const int64_t clipElapsed = static_cast<uint32_t>(now - clipStartTick_);
    const int64_t clipLeft = std::max<int64_t>(0, int64_t{clipMs_} - clipElapsed);
    const int64_t totalLeft = std::max<int64_t>(0, int64_t{runTotalMs_} - elapsed);
    view_.ShowTimes(static_cast<int32_t>(clipLeft), static_cast<int32_t>(totalLeft));
}

// The display takes no negative times: durations from a damaged file may be negative.
void PlayoutEngine::ShowTimes(int32_t clipMs, int32_t totalMs) {
    view_.ShowTimes(std::max(0, clipMs), std::max(0, totalMs));
}

void PlayoutEngine::ApplyPlaylist(const Playlist* newPlaylist) {
    if (!playing_) {
        {
            std::lock_guard<std::recursive_mutex> lock(scheduleLock_);
            if (newPlaylist != nullptr && newPlaylist != &playlist_)
                playlist_.Assign(*newPlaylist);
            PrepareSchedule(playlist_, schedule_);
            schedule_.Reset();
        }
        // A negative total (interleaves longer than the clips) is as unplayable as an empty one.
        readyToPlay_ = hardwareOk_ && schedule_.totalMs > 0;
        clipMs_ = schedule_.FirstClipMs();
        // The idle display shows this playlist, also when a stop re-shows it before any run.
        runTotalMs_ = schedule_.totalMs;
        ShowTimes(clipMs_, schedule_.totalMs);
        view_.ShowFileName(playlistPath);
        view_.UpdateToolbar();
        view_.FillClipList();
        return;
    }
    if (newPlaylist == nullptr)
        return;
    {
        // The positions and flags survive the rebuild: the run goes on at the same indexes of the
        // new queues and events, with the same start tick.
        std::lock_guard<std::recursive_mutex> lock(scheduleLock_);
        if (newPlaylist != &playlist_)
            playlist_.Assign(*newPlaylist);
        PrepareSchedule(playlist_, schedule_);
        runTotalMs_ = schedule_.totalMs;
        clipMs_ = schedule_.FirstClipMs();
        ArmDueTimer();
    }
    view_.UpdateToolbar();
    const int row = view_.SelectedClipRow();
    view_.FillClipList();
    if (row >= 0)
        view_.SelectClipRow(row);
}

void PlayoutEngine::OnAirPlay() {
    DebugLog("CMainWin::OnAirPlay()");
    if (playing_)
        return;
    timer_.Stop();
    if (!readyToPlay_)
        return;
    if (prepareRun_ && !prepareRun_())
        return;
    if (remote_.Seize(schedule_.logoOff) == 0) {
        // The channel has shown its message; the next failure is to be reported again.
        remote_.ResetError();
        return;
    }
    {
        std::lock_guard<std::recursive_mutex> lock(scheduleLock_);
        schedule_.Reset();
        runTotalMs_ = schedule_.totalMs;
    }
    playStartTick_ = clipStartTick_ = clock_.Ticks();
    timer_.Start(kRunTimerMs);
    playing_ = true;
    paused_ = false;
    view_.UpdateToolbar();
    airLog_.EmptyRecords();
    failedClip_.clear();
    playFailureShown_ = false;
    PlayStep(0);
    ArmDueTimer();
    ReportPlayFailure();
}

void PlayoutEngine::OnAirPause() {
    if (!playing_)
        return;
    if (!paused_) {
        timer_.Stop();
        timer_.CancelDue();
        pauseTick_ = clock_.Ticks();
    } else {
        timer_.Start(kRunTimerMs);
        pauseTick_ = clock_.Ticks() - pauseTick_;
        playStartTick_ += pauseTick_;
        clipStartTick_ += pauseTick_;
    }
    paused_ = !paused_;
    ArmDueTimer();
    view_.UpdateToolbar();
    // The decoders toggle on the same command both ways; only a board with a clip loaded gets it.
    for (int board = 0; board < kPlayoutBoards; ++board) {
        if (video_.SendCmd(board, VIDCMD_ISPLAYING) != 0)
            video_.SendCmd(board, VIDCMD_PAUSE);
    }
}

void PlayoutEngine::OnAirStop() {
    DebugLog("CMainWin::OnAirStop()");
    StopPlayback(true);
}

void PlayoutEngine::WaitAfterRestore() {
    const uint32_t start = clock_.Ticks();
    // Bounded so that a clock whose ticks stand still cannot hang the window.
    for (int polls = 0; polls < 1000 && clock_.Ticks() - start < kStopSettleMs; ++polls) {
        clock_.Sleep(10);
    }
}

void PlayoutEngine::StopPlayback(bool restore) {
    DebugLog("CMainWin::StopPlayback()");
    if (playing_) {
        // Cleared first: the commands below may run nested event loops whose ticks and stops must
        // find the run already over.
        playing_ = false;
        paused_ = false;
        view_.UpdateToolbar();
        timer_.Stop();
        timer_.CancelDue();
        airLog_.AirLogEndAll();
        if (restore) {
            remote_.Restore(1, -1);
            WaitAfterRestore();
        }
        video_.StopAll();
        ReportAirLogLoss();
    }
    if (readyToPlay_) {
        clipMs_ = schedule_.FirstClipMs();
        ShowTimes(clipMs_, runTotalMs_);
        view_.ClearClipSelection();
    }
}

void PlayoutEngine::OnRunTick() {
    if (!playing_ || paused_)
        return;
    ShowRunTimes();
    const uint32_t elapsed = ElapsedMs();
    {
        std::lock_guard<std::recursive_mutex> lock(scheduleLock_);
        PlayStep(
            static_cast<int32_t>(std::min<uint32_t>(elapsed, std::numeric_limits<int32_t>::max())));
        ArmDueTimer();
    }
    ReportAirLogLoss();
    ReportPlayFailure();
}

void IPlayoutView::ShowRunMessage(const std::string& text, unsigned type) {
    ShowMessageText(text, type);
}

void PlayoutEngine::ReportAirLogLoss() {
    if (stepping_ || !airLog_.TakeLossToReport())
        return;
    view_.ShowRunMessage(FormatTranslated(kStringAirLogNotWritten, {PathInAppDir("airlog.txt")}),
                         mb::Ok | mb::IconWarning);
}

void PlayoutEngine::ReportPlayFailure() {
    if (failedClip_.empty() || stepping_)
        return;
    const std::string clip = std::exchange(failedClip_, {});
    if (playFailureShown_)
        return;
    playFailureShown_ = true;
    view_.ShowRunMessage(FormatTranslated(kMsgPlayFailed, {clip}), mb::Ok | mb::IconError);
}

void PlayoutEngine::ArmDueTimer() {
    if (!playing_ || paused_ || stepping_)
        return;
    const PlaySchedule& s = schedule_;
    int64_t due = int64_t{s.totalMs} + kEndGraceMs;
    for (int b = 0; b < kPlayoutBoards; ++b) {
        const int32_t k = s.nextClip[b];
        if (k >= 0 && k < static_cast<int32_t>(s.boardQueue[b].size()))
            due = std::min<int64_t>(due, s.boardQueue[b][k].startMs);
    }
    if (s.nextEvent >= 0 && s.nextEvent < static_cast<int32_t>(s.mixerEvents.size()))
        due = std::min<int64_t>(due, s.mixerEvents[s.nextEvent].timeMs);
    // What was due when the step began has been sent. What fell due while its commands were on
    // their way (a decoder slow to answer) goes out at once. Should anything due be held back (a
    // board's flags closing the gate), the periodic tick's interval applies rather than a timer
    // that fires again at once.
    const int64_t ahead = due - int64_t{ElapsedMs()};
    int64_t delay = std::min(ahead, kMaxDueDelayMs);
    if (ahead <= 0)
        delay = GateOpen() ? 0 : int64_t{kRunTimerMs};
    timer_.ArmDue(static_cast<uint32_t>(delay));
}

bool PlayoutEngine::GateOpen() const {
    // A board whose clip was sent but has neither started nor been freed holds every step back.
    for (int b = 0; b < kPlayoutBoards; ++b) {
        if (schedule_.started[b] == 0 && schedule_.free[b] == 0)
            return false;
    }
    return true;
}

bool PlayoutEngine::SendDueClip(int board, int32_t elapsedMs) {
    PlaySchedule& s = schedule_;
    const int32_t k = s.nextClip[board];
    const std::vector<ClipCue>& queue = s.boardQueue[board];
    if (k < 0 || k >= static_cast<int32_t>(queue.size()) || queue[k].startMs > elapsedMs ||
        s.free[board] == 0) {
        return false;
    }
    // A copy: the schedule may be rebuilt while the command is pending.
    const ClipCue cue = queue[k];
    s.started[board] = 0;
    s.free[board] = 0;
    const int played =
        video_.SendCmd(board, cue.playMode != 0 ? VIDCMD_PLAY2 : VIDCMD_PLAY, cue.path.c_str());
    s.free[board] = 1;
    airLog_.AirLogEnd(board);
    if (played != 0) {
        airLog_.AirLogBegin(board, cue.path);
    } else {
        DebugLog("CMainWin::PlayStep(): board %d did not play %s", board, cue.path.c_str());
        failedClip_ = cue.path;
    }
    view_.SelectClipRow(cue.sequenceIndex);
    clipMs_ = cue.durationMs;
    clipStartTick_ = clock_.Ticks();
    s.nextClip[board] = k + 1;
    return true;
}

void PlayoutEngine::PlayStep(int32_t elapsedMs) {
    std::lock_guard<std::recursive_mutex> lock(scheduleLock_);
    if (stepping_ || !playing_ || paused_)
        return;
    Flag stepping(stepping_);

    PlaySchedule& s = schedule_;
    const bool gateOpen = GateOpen();
    // Passes until nothing more is due: each pass sends board 0's clip, board 1's clip, then one
    // mixer command, so everything due goes out in this step and in that order.
    for (bool sent = gateOpen; sent;) {
        sent = false;
        for (int b = 0; b < kPlayoutBoards; ++b) {
            if (SendDueClip(b, elapsedMs)) {
                sent = true;
                if (RunInterrupted())
                    return;
            }
        }
        const int32_t index = s.nextEvent;
        if (index >= 0 && index < static_cast<int32_t>(s.mixerEvents.size()) &&
            s.mixerEvents[index].timeMs <= elapsedMs) {
            const MixerEvent event = s.mixerEvents[index];
            if (remote_.SendCmd(event.mode, event.word.c_str(), replyWindow_) == 0) {
                // The channel has shown its message. A run that ended meanwhile is not ended again.
                if (playing_)
                    OnAirStop();
                return;
            }
            s.nextEvent = index + 1;
            if (s.nextEvent == static_cast<int32_t>(s.mixerEvents.size())) {
                remote_.Restore(0, RestoreInputOf(view_.RestoreComboIndex()));
            }
            if (RunInterrupted())
                return;
            sent = true;
        }
    }
    if (int64_t{elapsedMs} >= int64_t{s.totalMs} + kEndGraceMs)
        StopPlayback(false);
}

void PlayoutEngine::OnBoardReport(int board, bool playingNow) {
    schedule_.Report(board, playingNow);
}

void PlayoutEngine::EndAirLog() {
    airLog_.AirLogEndAll();
}

}  // namespace orx
