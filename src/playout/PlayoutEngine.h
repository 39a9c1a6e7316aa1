#pragma once

// Contract sketch between the playback engine and the main window. The playout owner fills in
// the implementation and may add members; the methods below are what the main window calls.

#include <cstdint>
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
    virtual void UpdateToolbar() = 0;  // the enabling rule with ready = true
    virtual void FillClipList() = 0;   // rows from the playlist's play sequence
    virtual int SelectedClipRow() = 0;  // -1 when none
    virtual void SelectClipRow(int row) = 0;  // select and scroll into view
    virtual void ClearClipSelection() = 0;
    virtual int RestoreComboIndex() = 0;  // 0 "On preview", 1 "Previous", 2 + k source k
};

// Timer 1 of the main window.
class ITimer {
public:
    virtual ~ITimer() = default;
    virtual void Start(uint32_t periodMs) = 0;
    virtual void Stop() = 0;
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
    // The run tick: times display, then PlayStep under the schedule lock.
    void OnRunTick();
    void PlayStep(int32_t elapsedMs);
    // A board report after CVideoCmd::OnNotify: PlaySchedule::Report.
    void OnBoardReport(int board, bool playingNow);
    // End every open air-log record (window destruction).
    void EndAirLog();

    void SetHardwareOk(bool ok) { hardwareOk_ = ok; }
    bool hardwareOk() const { return hardwareOk_; }
    bool readyToPlay() const { return readyToPlay_; }
    bool playing() const { return playing_; }
    bool paused() const { return paused_; }

    Playlist& playlist() { return playlist_; }
    const PlaySchedule& schedule() const { return schedule_; }
    std::recursive_mutex& scheduleLock() { return scheduleLock_; }
    std::string playlistPath;

private:
    // (implementation members)
    Playlist playlist_;
    PlaySchedule schedule_;
    std::recursive_mutex scheduleLock_;
    bool hardwareOk_ = false;
    bool readyToPlay_ = false;
    bool playing_ = false;
    bool paused_ = false;
};

}  // namespace orx
