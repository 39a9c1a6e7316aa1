#include "devices/CVideoCmd.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "app/DebugLog.h"
#include "devices/Payloads.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace orx {

namespace {

// A peer may answer with any 64-bit value; the channel's results are 32-bit. Clamping keeps a
// non-zero answer non-zero, which is all callers rely on besides small values.
int ClampResult(int64_t result) {
    return static_cast<int>(std::clamp<int64_t>(result, INT_MIN, INT_MAX));
}

}  // namespace

CVideoCmd::CVideoCmd(Clock& clock) : clock_(clock) {}

std::string CVideoCmd::HostTitle(int board) {
    return "MPEG2_Video_Window_" + std::to_string(board + 1);
}

bool CVideoCmd::LaunchHost(const std::string& program, const std::string& title,
                           const std::vector<std::string>& extraArgs,
                           std::unique_ptr<ChildProcess>* process) {
    if (program.empty())
        return false;
    std::vector<std::string> args;
    args.reserve(1 + extraArgs.size());
    args.push_back("?" + title + "?");
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::unique_ptr<ChildProcess> started = StartProcess(program, args);
    const bool ok = started != nullptr;
    if (process != nullptr)
        *process = std::move(started);
    return ok;
}

bool CVideoCmd::Launch(int board, const std::string& title) {
    hostProcess_[board].reset();
    if (launcher_)
        return launcher_(board, title);
    std::string program = hostProgram_;
    if (program.empty())
        program = FindProgram(FolderOf(ExecutablePath()), "vdhost");
    return LaunchHost(program, title, {}, &hostProcess_[board]);
}

bool CVideoCmd::StartHost(int i) {
    boardBusy_[i] = 0;
    hostWindow_[i] = 0;
    const std::string title = HostTitle(i);
    if (!Launch(i, title)) {
        DebugLog("CVideoCmd::CreateProcess(): failed for board %d", i);
        return false;
    }
    clock_.Sleep(kHostStartWaitMs);
    hostWindow_[i] = FindWindowByTitle(title);
    return true;
}

void CVideoCmd::EndHostProcess(int board) {
    std::unique_ptr<ChildProcess> process = std::move(hostProcess_[board]);
    if (process == nullptr || !process->Running())
        return;
    // A window that came up late is closed in order; a host without one is ended.
    const WindowHandle window = FindWindowByTitle(HostTitle(board));
    if (window != 0) {
        SendWindowMessage(window, kWmClose, 0, 0, nullptr, 0);
        if (process->WaitExit(kHostStartWaitMs))
            return;
    }
    process->Terminate();
}

int CVideoCmd::Start(WindowHandle replyWindow, int boardCount) {
    startedCount_ = 0;
    // The arrays hold kMaxBoards hosts: a larger count from a hand-edited settings file starts
    // the boards that exist instead of writing past them.
    boardCount = std::min(boardCount, kMaxBoards);
    if (boardCount < 1)
        return 0;

    for (int i = 0; i < boardCount; ++i) {
        hostProcess_[i].reset();
    }
    for (int i = 0; i < boardCount; ++i) {
        if (!StartHost(i))
            continue;
        ++startedCount_;
        // Carries the reply window of the previous successful start: the new one is stored only
        // once every board is up.
        if (SendCmd(i, VIDCMD_ISINIT) == 0) {
            DebugLog("CVideoCmd::SendCmd(VIDCMD_ISINIT): failed for board %d", i);
            --startedCount_;
            // Not counted as started, so Stop would leave it running and holding its title.
            if (hostWindow_[i] != 0 && IsWindow(hostWindow_[i])) {
                SendWindowMessage(hostWindow_[i], kWmClose, 0, 0, nullptr, 0);
            }
            break;
        }
        DebugLog("CVideoCmd::Start(): board %d ok", i);
    }

    if (startedCount_ == boardCount) {
        replyWindow_ = replyWindow;
        return 1;
    }
    if (startedCount_ != 0)
        Stop();
    for (int i = 0; i < boardCount; ++i)
        EndHostProcess(i);
    return 0;
}

bool CVideoCmd::RestartDeadHosts(std::vector<int>& relaunched) {
    bool ok = true;
    for (int i = 0; i < startedCount_; ++i) {
        if (hostWindow_[i] != 0 && IsWindow(hostWindow_[i]))
            continue;
        // What is left of the old host must not hold the title the new one takes.
        if (hostProcess_[i] != nullptr && hostProcess_[i]->Running())
            hostProcess_[i]->Terminate();
        const bool launched = StartHost(i);
        if (launched && SendCmd(i, VIDCMD_ISINIT) != 0) {
            DebugLog("CVideoCmd::Start(): board %d ok", i);
            relaunched.push_back(i);
            continue;
        }
        if (launched)
            DebugLog("CVideoCmd::SendCmd(VIDCMD_ISINIT): failed for board %d", i);
        // A host that failed its initialisation must not keep the title either.
        if (hostWindow_[i] != 0 && IsWindow(hostWindow_[i]))
            SendWindowMessage(hostWindow_[i], kWmClose, 0, 0, nullptr, 0);
        hostWindow_[i] = 0;
        EndHostProcess(i);
        ok = false;
    }
    return ok;
}

int CVideoCmd::SendCmd(int board, int code, const char* text) {
    if (board < 0 || board >= startedCount_)
        return 0;
    if (hostWindow_[board] == 0)
        return 0;
    // The send itself tells whether the window is still there (no separate probe, which would
    // cost the host a second connection per command): a window found gone is forgotten and
    // the command yields 0 without a log line.
    const DecoderPayload payload = EncodeDecoderPayload(text ? std::string_view(text) : "");
    SendOutcome outcome = SendOutcome::kFailed;
    const int result = ClampResult(SendWindowMessage(
        hostWindow_[board], kWmCopyData, replyWindow_, static_cast<uint64_t>(code), payload.data(),
        static_cast<uint32_t>(payload.size()), &outcome));
    if (outcome == SendOutcome::kGone) {
        hostWindow_[board] = 0;
        return 0;
    }
    DebugLog("CVideoCmd::SendCmd(): board %d, cmd: %d, result: %d", board, code, result);
    return result;
}

void CVideoCmd::StopAll() {
    for (int i = 0; i < startedCount_; ++i) {
        SendCmd(i, VIDCMD_STOP);
        boardBusy_[i] = 0;
    }
}

void CVideoCmd::Stop() {
    for (int i = 0; i < startedCount_; ++i) {
        if (hostWindow_[i] != 0 && IsWindow(hostWindow_[i])) {
            DebugLog("CVideoCmd::Stop(): board %d", i);
            SendWindowMessage(hostWindow_[i], kWmClose, 0, 0, nullptr, 0);
        }
    }
    startedCount_ = 0;
}

int CVideoCmd::OnNotify(WindowHandle sender, uint64_t code) {
    if (sender == 0)
        return -1;
    for (int i = 0; i < startedCount_; ++i) {
        if (hostWindow_[i] != sender)
            continue;
        if (code == static_cast<uint64_t>(kNotifyStarted)) {
            boardBusy_[i] = 1;
        } else if (code == static_cast<uint64_t>(kNotifyStopped)) {
            boardBusy_[i] = 0;
        }
        return i;
    }
    return -1;
}

bool CVideoCmd::boardBusy(int board) const {
    return ValidBoard(board) && boardBusy_[board] != 0;
}

WindowHandle CVideoCmd::hostWindow(int board) const {
    return ValidBoard(board) ? hostWindow_[board] : 0;
}

CVideoCmd& VideoChannel() {
    static CVideoCmd channel(SystemClock());
    return channel;
}

}  // namespace orx
