#pragma once

#include <cstdint>
#include <string>

#include "devices/CRemoteCmd.h"
#include "devices/CVideoCmd.h"
#include "platform/Clock.h"
#include "platform/WindowTransport.h"

namespace orx {

// Bringing the decoder hosts and the remote-control application into use and out of it, and the
// Settings dialog's board check. The main window's methods of the same names delegate here; the
// operator is told of failures through the text services and Ui().
class HardwareControl {
public:
    // Waits of the board check: for the remote-control application, then for the hosts.
    static constexpr uint32_t kCheckRemoteWaitMs = 1000;
    static constexpr uint32_t kCheckHostsWaitMs = 3000;

    HardwareControl(CVideoCmd& video, CRemoteCmd& remote, Clock& clock);

    // Starts the configured boards (unless there are none or edit-only mode is on), sets their
    // volume and makes sure the remote-control application runs. Returns hardwareOk: true only
    // when both the hosts and the application are available.
    bool OpenHardware(WindowHandle mainWindow);
    // Stops and closes the decoder hosts; the remote-control application keeps running.
    void CloseHardware();
    // Before a run: relaunches, as OpenHardware starts them (volume included), the host of every
    // open board that has died. False after telling the operator (3047) when one cannot be
    // started again.
    bool ReviveBoards();
    // 1 when the remote-control application runs or was started from folder; else 0 after
    // telling the operator.
    int LaunchRemote(const std::string& folder);
    // Plays "test.mpg" of the video folder on board (0 or 1) and switches the mixer to input
    // (0-based) until the operator closes the message, then puts the mixer back. Runs while the
    // regular hardware is closed: it starts and closes the hosts by itself.
    void CheckVideoBoard(int board, int input, const std::string& folder);

private:
    CVideoCmd& video_;
    CRemoteCmd& remote_;
    Clock& clock_;
};

}  // namespace orx
