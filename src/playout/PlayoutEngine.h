#pragma once

// The on-air playback engine: the current playlist, its play schedule and the run that sends
// clips to the decoder boards and commands to the mixer on time. The main window owns one, wires
// its timer 1 and views to it, and forwards the board reports and its transport commands.
//
// Everything runs on the user-interface thread. A command to a companion program may show a
// message box whose nested event loop keeps timer 1 firing, so OnRunTick can arrive while a step
// is still inside a command: PlayStep never re-enters itself (the nested tick only updates the
// time display), and after every outgoing command it stops when the run ended or paused meanwhile.
// StopPlayback ends a run at most once, whoever calls it first.
//
// Timing: the periodic tick keeps the time display going, and after every step the one-shot due
// timer is armed for the next clip, mixer command or end of the run, so each goes out as soon
// as it is due, never before (PlayStep sends only what is due). Pause and stop cancel it; resume
// and an edit during a run arm it again from the shifted start and the new schedule. What is due
// at the same moment goes out in PlayStep's pass order, as before.
//
// Board reports (started/stopped) only set the schedule's flags; a step proceeds while every
// board has one of them set, and a board is marked free again right after it is sent a clip, so
// reports never hold a run back. A board still playing when its next clip is due is sent the new
// PLAY without a STOP first: the decoder host contract is that a new PLAY replaces the running
// clip (the host then reports the old one stopped), which keeps the picture continuous; a STOP in
// between would show black on that input. The board's air-log record is closed and the new one
// opened at that moment, so the log stays consistent either way.
//
// A clip whose PLAY fails (its host died, or cannot open it) did not go to air: it gets no air-log
// record, the failure is logged, and the operator is told once per run, after the step, so the
// run goes on meanwhile (the other board may still be on air). Before a run starts the run
// preparation (the main window: relaunch dead decoder hosts) may refuse it.

#include <cstdint>
#include <functional>
#include <limits>
#include <mutex>
#include <string>

#include "devices/Channels.h"
#include "library/Playlist.h"
#include "platform/Clock.h"
#include "playout/AirLog.h"
#include "playout/PlaySchedule.h"

namespace orx {

// What the engine asks of the main window's views.
class IPlayoutView {
public:
    virtual ~IPlayoutView() = default;
    virtual void ShowTimes(int32_t clipMs, int32_t totalMs) = 0;
    virtual void ShowFileName(const std::string& path) = 0;
    virtual void UpdateToolbar() = 0;         // the enabling rule with ready = true
    virtual void FillClipList() = 0;          // rows from the playlist's play sequence
    virtual int SelectedClipRow() = 0;        // -1 when none
    virtual void SelectClipRow(int row) = 0;  // select and scroll into view
    virtual void ClearClipSelection() = 0;
    virtual int RestoreComboIndex() = 0;  // 0 "On preview", 1 "Previous", 2 + k source k
    // A message that must not hold up the run: a window shows it once the current tick is over,
    // so timer 1 keeps firing while the box is open. By default it is shown at once.
    virtual void ShowRunMessage(const std::string& text, unsigned type);
};

// Timer 1 of the main window, and the one-shot due timer of a run. Both call the same handler
// (OnRunTick during a run). Arming the due timer again replaces the earlier arming. A timer
// without a due timer leaves the run to the periodic ticks.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void Start(uint32_t periodMs) = 0;
    virtual void Stop() = 0;
    virtual void ArmDue(uint32_t delayMs) { (void)delayMs; }
    virtual void CancelDue() {}
};

class PlayoutEngine {
public:
    PlayoutEngine(IVideoChannel& video, IRemoteChannel& remote, Clock& clock, ITimer& timer,
                  IPlayoutView& view);

    void ApplyPlaylist(const Playlist* newPlaylist);
    void OnAirPlay();
    void OnAirPause();
    void OnAirStop();
    void StopPlayback(bool restore);
    // Timer 1 during a run: the times display, then PlayStep under the schedule lock. A tick
    // that arrives when no run plays (queued before a stop or pause) does nothing.
    void OnRunTick();
    void PlayStep(int32_t elapsedMs);
    // A board report after CVideoCmd::OnNotify: PlaySchedule::Report.
    void OnBoardReport(int board, bool playingNow);
    // End every open air-log record (window destruction).
    void EndAirLog();

    void SetHardwareOk(bool ok) { hardwareOk_ = ok; }
    // Runs before the mixer is seized for a run; false starts no run (it has told the operator).
    void SetRunPreparation(std::function<bool()> prepare) { prepareRun_ = std::move(prepare); }
    bool hardwareOk() const { return hardwareOk_; }
    bool readyToPlay() const { return readyToPlay_; }
    bool playing() const { return playing_; }
    bool paused() const { return paused_; }

    Playlist& playlist() { return playlist_; }
    const PlaySchedule& schedule() const { return schedule_; }
    std::recursive_mutex& scheduleLock() { return scheduleLock_; }
    std::string playlistPath;

    // The main window's handle, passed with every scheduled mixer command.
    void SetReplyWindow(WindowHandle window) { replyWindow_ = window; }
    int32_t runTotalMs() const { return runTotalMs_; }
    int32_t clipMs() const { return clipMs_; }
    // The tick the run's elapsed time counts from (shifted by pauses).
    uint32_t playStartTick() const { return playStartTick_; }
    const AirLogState& airLog() const { return airLog_; }

    static constexpr uint32_t kRunTimerMs = 50;
    static constexpr int32_t kEndGraceMs = 1000;
    static constexpr uint32_t kStopSettleMs = 500;
    static constexpr int64_t kMaxDueDelayMs = std::numeric_limits<int32_t>::max();

private:
    uint32_t ElapsedMs();
    void ShowRunTimes();
    void ShowTimes(int32_t clipMs, int32_t totalMs);
    bool RunInterrupted() const { return !playing_ || paused_; }
    bool SendDueClip(int board, int32_t elapsedMs);
    // Arms the due timer for the next thing the run sends (or its end); nothing while no run
    // plays or a step is on the stack (that step arms it when it is done).
    void ArmDueTimer();
    bool GateOpen() const;
    void WaitAfterRestore();
    // The message of a failed PLAY, once per run, outside the step and the schedule lock.
    void ReportPlayFailure();
    // Tells the operator, once per run, that air-log lines were lost; called only outside
    // PlayStep.
    void ReportAirLogLoss();

    IVideoChannel& video_;
    IRemoteChannel& remote_;
    Clock& clock_;
    ITimer& timer_;
    IPlayoutView& view_;
    AirLogState airLog_;
    WindowHandle replyWindow_ = 0;

    Playlist playlist_;
    PlaySchedule schedule_;
    std::recursive_mutex scheduleLock_;
    bool hardwareOk_ = false;
    bool readyToPlay_ = false;
    bool playing_ = false;
    bool paused_ = false;
    bool stepping_ = false;  // PlayStep is on the stack
    std::function<bool()> prepareRun_;
    std::string failedClip_;         // a PLAY of this run failed: the clip, until reported
    bool playFailureShown_ = false;  // the operator has been told during this run

    int32_t runTotalMs_ = 0;
    int32_t clipMs_ = 0;
    uint32_t playStartTick_ = 0;
    uint32_t clipStartTick_ = 0;
    uint32_t pauseTick_ = 0;  // tick of the pause, then the length of the pause
};

}  // namespace orx
