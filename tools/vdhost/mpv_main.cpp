#include <poll.h>
#include <stdlib.h>

#include <cstdio>
#include <iostream>

#include "MpvDecoderHost.h"

// vdhost-mpv: the decoder host that plays clips with libmpv. One loop sends the reports the
// last requests and player events caused (after the replies, as the player expects), then waits
// for the next request or player event.
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::vector<std::string> args(argv + 1, argv + argc);
    orx::MpvHostOptions options;
    bool help = false;
    std::string error;
    if (!orx::ParseMpvHostArgs(args, options, help, error)) {
        std::cerr << "vdhost-mpv: " << error << '\n' << orx::MpvHostUsage();
        return 2;
    }
    if (help) {
        std::cout << orx::MpvHostUsage();
        return 0;
    }
    const char* display = ::getenv("DISPLAY");
    const char* wayland = ::getenv("WAYLAND_DISPLAY");
    if ((!display || !*display) && (!wayland || !*wayland))
        options.headless = true;

    orx::MpvDecoderHost host(options, std::cout);
    if (!host.OpenLog()) {
        std::cerr << "vdhost-mpv: cannot open log " << options.logPath << '\n';
        return 2;
    }
    // The window first, so that the player finds it while the decoder starts; requests wait.
    auto window = orx::MessageWindow::Create(
        options.title, [&host](const orx::WindowMessage& m) { return host.Handle(m); });
    if (!window) {
        std::cerr << "vdhost-mpv: cannot create window \"" << options.title
                  << "\" (window folder refused?)\n";
        return 1;
    }
    host.Initialise();
    std::cout << "vdhost-mpv: window \"" << options.title << "\" ready" << std::endl;
    while (!window->Closed()) {
        for (const auto& report : host.TakeReports()) {
            std::cout << "report " << report.code << " to window " << std::hex << report.window
                      << std::dec << std::endl;
            // A reply window that has gone costs an error here, nothing more.
            orx::SendWindowMessage(report.window, orx::kWmCopyData, window->Handle(), report.code,
                                   nullptr, 0);
        }
        if (window->Closed())
            break;
        pollfd p[2] = {{window->Fd(), POLLIN, 0}, {host.EventFd(), POLLIN, 0}};
        if (::poll(p, 2, host.HasReports() ? 0 : -1) > 0) {
            if (p[0].revents)
                window->ServePending();
            if (p[1].revents)
                host.ProcessEvents();
        }
    }
    std::cout << "vdhost-mpv: window closed" << std::endl;
    return 0;
}
