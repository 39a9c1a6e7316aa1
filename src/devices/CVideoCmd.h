#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "devices/Channels.h"
#include "platform/Clock.h"
#include "platform/Process.h"
#include "platform/WindowTransport.h"

namespace orx {

// The channel to the decoder hosts: one "vdhost" process per board, each owning the window
// "MPEG2_Video_Window_<n>" (n = board index + 1). Commands are synchronous window messages; a
// host reports playback start and stop to the reply window, which passes them to OnNotify.
//
// Invariant: only board indexes below startedCount() are served; a host window found dead is
// forgotten (null) until the next Start or RestartDeadHosts.
//
// The channel keeps the process of every host it launched itself. When a start fails, every
// host it launched for that start is ended (WM_CLOSE when its window is there, else terminated
// and reaped), so a host whose window came up too late cannot keep its board busy.
class CVideoCmd : public IVideoChannel {
public:
    static constexpr int kMaxBoards = 2;
    // The fixed wait between launching a host and looking up its window.
    static constexpr uint32_t kHostStartWaitMs = 1000;

    // Starts the host of one board with the given window title; false when it could not be
    // started. Tests replace it to inject launch failures or host options.
    using HostLauncher = std::function<bool(int board, const std::string& title)>;

    explicit CVideoCmd(Clock& clock);
    ~CVideoCmd() override = default;
    CVideoCmd(const CVideoCmd&) = delete;
    CVideoCmd& operator=(const CVideoCmd&) = delete;

    // Launches and initialises boardCount hosts (at most kMaxBoards); 1 when every one answered
    // its initialisation query, else 0 with every host launched for it ended again.
    int Start(WindowHandle replyWindow, int boardCount);
    // Launches and initialises again, as Start does, the host of every started board whose
    // window has gone (the host died); the boards so started are added to relaunched. False
    // when one of them could not be started: that board stays unreachable.
    bool RestartDeadHosts(std::vector<int>& relaunched);
    // The host's result, or 0 when the board cannot be reached. A text longer than the payload
    // is cut.
    int SendCmd(int board, int code, const char* text = nullptr) override;
    // VIDCMD_STOP to every started board; the boards count as idle afterwards.
    void StopAll() override;
    // Closes every started host that is still alive; the channel is closed afterwards.
    void Stop();
    // The board index whose host sent the notification, or -1 for any other sender.
    int OnNotify(WindowHandle sender, uint64_t code);

    int startedCount() const { return startedCount_; }
    bool boardBusy(int board) const;
    WindowHandle hostWindow(int board) const;
    WindowHandle replyWindow() const { return replyWindow_; }

    // The host program; empty means "vdhost" in the program's own folder, then on PATH.
    void SetHostProgram(std::string program) { hostProgram_ = std::move(program); }
    // An empty launcher restores the default one.
    void SetHostLauncher(HostLauncher launcher) { launcher_ = std::move(launcher); }

    // The production launch of one host: argv[1] is the title between two question marks. The
    // started process goes to process when given.
    static bool LaunchHost(const std::string& program, const std::string& title,
                           const std::vector<std::string>& extraArgs = {},
                           std::unique_ptr<ChildProcess>* process = nullptr);
    static std::string HostTitle(int board);

private:
    bool Launch(int board, const std::string& title);
    // Launches, finds and initialises the host of one board; false (logged) when that fails.
    bool StartHost(int board);
    // Ends the process of a board's host launched by this channel, if it still runs.
    void EndHostProcess(int board);
    static bool ValidBoard(int board) { return board >= 0 && board < kMaxBoards; }

    Clock& clock_;
    std::array<WindowHandle, kMaxBoards> hostWindow_{};
    std::array<int32_t, kMaxBoards> boardBusy_{};
    std::array<std::unique_ptr<ChildProcess>, kMaxBoards> hostProcess_;
    int32_t startedCount_ = 0;
    WindowHandle replyWindow_ = 0;
    std::string hostProgram_;
    HostLauncher launcher_;
};

// The process-wide decoder channel (on the system clock).
CVideoCmd& VideoChannel();

}  // namespace orx
