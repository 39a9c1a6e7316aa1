#include "devices/CRemoteCmd.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string_view>

#include "app/DebugLog.h"
#include "app/UiHost.h"
#include "devices/MixerVocabulary.h"
#include "devices/Payloads.h"
#include "lang/TextServices.h"
#include "platform/Paths.h"
#include "platform/Process.h"

namespace orx {

namespace {

constexpr int kMsgNotRunning = 18006;
constexpr int kMsgCannotExecute = 18005;

}  // namespace

CRemoteCmd::CRemoteCmd(Clock& clock) : clock_(clock) {}

const char* CRemoteCmd::SourceName(int index) {
    if (index < 0 || index >= kSourceCount)
        return nullptr;
    return kSourceNames[index];
}

void CRemoteCmd::ReportFailure(int messageId) {
    if (errorShown_ != 0)
        return;
    errorShown_ = 1;
    TranslatedMessageBox(messageId, mb::IconError);
}

int CRemoteCmd::SendCmd(int mode, const char* word, WindowHandle wParam) {
    if (!word)
        word = "";
    if (unresponsive_) {
        DebugLog("CRemoteCmd::SendCmd() [%s:%d]", word, mode);
        DebugLog("CRemoteCmd::SendCmd() [%s] returns error!", word);
        ReportFailure(kMsgCannotExecute);
        return 0;
    }
    const bool lookedUp = remoteWindow_ == 0;
    if (lookedUp)
        remoteWindow_ = FindWindowByTitle(kWindowTitle);
    DebugLog("CRemoteCmd::SendCmd() [%s:%d]", word, mode);
    // The send itself tells whether the window is still there (no separate probe, which would
    // cost the application a second connection per command); a kept window found gone is looked
    // up again by its title, as a new instance of the application has a new window.
    const MixerPayload payload = EncodeMixerPayload(mode, word);
    auto send = [&](SendOutcome& outcome) {
        return SendWindowMessage(remoteWindow_, kWmCopyData, wParam, kMixerCommandData,
                                 payload.data(), static_cast<uint32_t>(payload.size()), &outcome);
    };
    SendOutcome outcome = SendOutcome::kGone;
    int64_t answer = remoteWindow_ != 0 ? send(outcome) : 0;
    if (outcome == SendOutcome::kGone && !lookedUp) {
        remoteWindow_ = FindWindowByTitle(kWindowTitle);
        answer = remoteWindow_ != 0 ? send(outcome) : 0;
    }
    if (outcome == SendOutcome::kGone)
        remoteWindow_ = 0;
    if (remoteWindow_ == 0) {
        DebugLog("CRemoteCmd::SendCmd() failed: Remote window not found!");
        ReportFailure(kMsgNotRunning);
        return 0;
    }
    if (outcome == SendOutcome::kTimedOut)
        unresponsive_ = true;
    if (answer == 0) {
        DebugLog("CRemoteCmd::SendCmd() [%s] returns error!", word);
        ReportFailure(kMsgCannotExecute);
        return 0;
    }
    errorShown_ = 0;
    // Clamped, not truncated: a non-zero answer must not turn into a failure. A query's answer
    // is lowered by one, so its range starts one higher.
    if (mode == kModeQuery)
        return static_cast<int>(std::clamp<int64_t>(answer, int64_t{INT_MIN} + 1, INT_MAX) - 1);
    return static_cast<int>(std::clamp<int64_t>(answer, INT_MIN, INT_MAX));
}

int CRemoteCmd::Launch(const std::string& folder) {
    errorShown_ = 0;
    if (FindWindowByTitle(kWindowTitle) != 0)
        return 1;

    // The folder is stored with its trailing separator; one typed without it must still name
    // the program inside it, not a sibling file.
    std::string dir = folder;
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\')
        dir += kPathSeparator;
    // A relative folder names the program from the player's current folder, not from the
    // folder the program starts in.
    std::error_code ec;
    std::string program = std::filesystem::absolute(dir + "tallyx", ec).string();
    if (ec)
        program = dir + "tallyx";
    if (!LaunchProcess(program, {}, dir)) {
        errorShown_ = 1;
        return 0;
    }
    return 1;
}

int CRemoteCmd::Seize(int logoOff) {
    DebugLog("CRemoteCmd::Seize(%d)", logoOff);
    unresponsive_ = false;
    if (SendCmd(kModePress, "BREAK") == 0)
        return 0;
    clock_.Sleep(kSeizeBreakWaitMs);
    SendCmd(kModeOff, "TRANSP");

    seize_.savedSource = -1;
    for (int i = 0; i < kSourceCount; ++i) {
        const std::string word = std::string("AIR_") + kSourceNames[i];
        if (Query(word.c_str())) {
            seize_.savedSource = i;
            DebugLog("CRemoteCmd::Seize() OK: active input: %s", word.c_str());
            break;
        }
    }
    if (seize_.savedSource < 0)
        DebugLog("CRemoteCmd::Seize() failed: no active input!");

    seize_.savedTransitionKey = -1;
    for (int i = 0; i < kTransitionKeyCount; ++i) {
        if (Query(kTransitionKeys[i])) {
            seize_.savedTransitionKey = i;
            break;
        }
    }

    seize_.logoWasOn = false;
    if (logoOff != 0 && Query("LOGO1")) {
        SendCmd(kModePress, "LOGO1");
        seize_.logoWasOn = true;
    }

    seize_.fastWasOn = Query("FAST");
    seize_.cutWasOn = Query("CUT");
    if (!seize_.fastWasOn) {
        SendCmd(kModePress, "FAST");
        seize_.setUsed = false;
        clock_.Sleep(kSeizeFastWaitMs);
        if (!Query("FAST")) {
            SendCmd(kModePress, "SET");
            SendCmd(kModePress, "FAST");
            seize_.setUsed = true;
        }
    }
    return 1;
}

void CRemoteCmd::Restore(int cut, int in) {
    DebugLog("CRemoteCmd::Restore(), cut: %d, in: %d", cut, in);
    unresponsive_ = false;
    // A source index past the table cannot be selected (nor stored, which would make every later
    // restore read past it): it is taken as "the seized source".
    if (in < -2 || in >= kSourceCount)
        in = -1;

    SendCmd(kModeOff, "FREEZE");
    if (cut == 0 && in >= 0)
        seize_.savedSource = in;

    if (seize_.savedSource != -1) {
        if (cut != 0)
            SendCmd(kModePress, "CUT");
        if (in != -2)
            SendCmd(kModePress, kSourceNames[seize_.savedSource]);
    }
    if (in == -2) {
        for (int i = 0; i < kSourceCount; ++i) {
            if (Query(kSourceNames[i])) {
                SendCmd(kModePress, kSourceNames[i]);
                break;
            }
        }
    }
    if (seize_.savedTransitionKey != -1) {
        SendCmd(kModePress, kTransitionKeys[seize_.savedTransitionKey]);
    }
    if (seize_.logoWasOn)
        SendCmd(kModePress, "LOGO1");
    if (seize_.fastWasOn) {
        SendCmd(kModePress, seize_.cutWasOn ? "CUT" : "AUTO");
    } else {
        if (seize_.setUsed)
            SendCmd(kModePress, "SET");
        SendCmd(kModePress, "FAST");
    }
    if (seize_.savedSource >= 0 && in != -2) {
        SendCmd(kModePress, kSourceNames[seize_.savedSource]);
    }
}

CRemoteCmd& RemoteChannel() {
    static CRemoteCmd channel(SystemClock());
    return channel;
}

}  // namespace orx
