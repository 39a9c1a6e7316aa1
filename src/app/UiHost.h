#pragma once

#include <string>

namespace orx {

// Message-box types and results carry the values of the Windows API, so stored texts and callers
// written for it keep their meaning.
namespace mb {
inline constexpr unsigned Ok = 0x0;
inline constexpr unsigned OkCancel = 0x1;
inline constexpr unsigned AbortRetryIgnore = 0x2;
inline constexpr unsigned YesNoCancel = 0x3;
inline constexpr unsigned YesNo = 0x4;
inline constexpr unsigned RetryCancel = 0x5;
inline constexpr unsigned ButtonMask = 0xF;
inline constexpr unsigned IconError = 0x10;  // stop / hand
inline constexpr unsigned IconQuestion = 0x20;
inline constexpr unsigned IconWarning = 0x30;      // exclamation
inline constexpr unsigned IconInformation = 0x40;  // asterisk
inline constexpr unsigned IconMask = 0xF0;
inline constexpr unsigned DefaultButton2 = 0x100;  // the second button is the default
inline constexpr unsigned DefaultButton3 = 0x200;
inline constexpr unsigned DefaultButtonMask = 0xF00;
}  // namespace mb

namespace id {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace id

// What the core needs from the user interface. The Qt layer installs its implementation at
// start-up; tests install recorders. The core never includes Qt.
class UiHost {
public:
    virtual ~UiHost() = default;
    // Shows a modal box owned by the active window; returns the id of the button pressed.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                               unsigned type) = 0;
    virtual void SetWaitCursor(bool on) = 0;
};

// The installed host; without one, boxes are written to stderr and answer id::Ok.
UiHost& Ui();
void SetUiHost(UiHost* host);  // nullptr restores the default

// Keeps the wait cursor for the rest of a scope, whichever way it is left.
class WaitCursor {
public:
    WaitCursor() { Ui().SetWaitCursor(true); }
    ~WaitCursor() { Ui().SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace orx
