#pragma once

#include <cstdint>
#include <string>

#include "devices/Channels.h"
#include "platform/Clock.h"
#include "platform/WindowTransport.h"

namespace orx {

// The channel to the vision-mixer remote-control application "tallyx" (window
// "ORX Remote Control"), plus seizing the mixer before a run and restoring it afterwards.
//
// A burst of failing commands is reported to the operator once: errorShown is set by the first
// report and cleared by a successful command, a launch attempt or ResetError.
//
// A hung application costs one send timeout per sequence, not one per command: after a command
// timed out, the rest of that sequence fails at once (logged and reported as any failure). A
// sequence is a seize and the run's commands after it, or a restore; the next one tries again.
class CRemoteCmd : public IRemoteChannel {
public:
    static constexpr const char* kWindowTitle = "ORX Remote Control";
    static constexpr uint32_t kSeizeBreakWaitMs = 200;
    static constexpr uint32_t kSeizeFastWaitMs = 100;

    // What a seize found, kept for the restores that follow it.
    struct SeizeState {
        int32_t savedSource = -1;         // source index, -1 = none on air
        int32_t savedTransitionKey = -1;  // transition-key index, -1 = none active
        bool logoWasOn = false;
        bool fastWasOn = false;
        bool cutWasOn = false;
        bool setUsed = false;
    };

    explicit CRemoteCmd(Clock& clock);
    ~CRemoteCmd() override = default;
    CRemoteCmd(const CRemoteCmd&) = delete;
    CRemoteCmd& operator=(const CRemoteCmd&) = delete;

    // 0 on failure; for a query 1 = active and 0 = not active; otherwise the answer. A word
    // longer than the payload is cut.
    int SendCmd(int mode, const char* word, WindowHandle wParam = 0) override;
    // 1 when the application runs or was started from folder, else 0 (errorShown is then set;
    // the caller tells the operator).
    int Launch(const std::string& folder);
    void ResetError() override { errorShown_ = 0; }
    // The source word at index, nullptr past the table's end.
    static const char* SourceName(int index);

    // 1 when the mixer answered the first command of the seize, else 0 (the state is kept).
    int Seize(int logoOff) override;
    // in: -1 the seized source, -2 whichever source the preview reports, 0..43 that source.
    void Restore(int cut, int in) override;

    const SeizeState& seizeState() const { return seize_; }
    bool errorShown() const { return errorShown_ != 0; }
    bool unresponsive() const { return unresponsive_; }
    WindowHandle remoteWindow() const { return remoteWindow_; }

private:
    bool Query(const char* word) { return SendCmd(3, word) == 1; }
    void ReportFailure(int messageId);

    Clock& clock_;
    WindowHandle remoteWindow_ = 0;
    int32_t errorShown_ = 0;
    bool unresponsive_ = false;  // a command of this sequence timed out
    SeizeState seize_;
};

// The process-wide remote-control channel (on the system clock).
CRemoteCmd& RemoteChannel();

}  // namespace orx
