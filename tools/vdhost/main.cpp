#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "DecoderHost.h"

// vdhost: stand-in decoder host. One loop serves requests, then sends the notifications they
// caused (after the reply, as the player expects), then ends a clip whose time has run out.
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::vector<std::string> args(argv + 1, argv + argc);
    orx::DecoderHostOptions options;
    bool help = false;
    std::string error;
    if (!orx::ParseDecoderHostArgs(args, options, help, error)) {
        std::cerr << "vdhost: " << error << '\n' << orx::DecoderHostUsage();
        return 2;
    }
    if (help) {
        std::cout << orx::DecoderHostUsage();
        return 0;
    }
    orx::DecoderHost host(options, orx::SystemClock(), std::cout);
    if (!host.OpenLog()) {
        std::cerr << "vdhost: cannot open log " << options.logPath << '\n';
        return 2;
    }
    auto window = orx::MessageWindow::Create(
        options.title, [&host](const orx::WindowMessage& m) { return host.Handle(m); });
    if (!window) {
        std::cerr << "vdhost: cannot create window \"" << options.title
                  << "\" (window folder refused?)\n";
        return 1;
    }
    std::cout << "vdhost: window \"" << options.title << "\" ready" << std::endl;
    while (!window->Closed()) {
        for (const auto& report : host.TakeReports()) {
            std::cout << "report " << report.code << " to window " << std::hex << report.window
                      << std::dec << std::endl;
            orx::SendWindowMessage(report.window, orx::kWmCopyData, window->Handle(), report.code,
                                   nullptr, 0);
        }
        if (window->Closed())
            break;
        host.Tick();
        int64_t wait = host.MsUntilEnd();
        // Reports queued meanwhile (served inside a send) go out without waiting.
        pollfd p{window->Fd(), POLLIN, 0};
        int timeout = host.HasReports() ? 0
                      : wait < 0        ? -1
                                        : static_cast<int>(std::min<int64_t>(wait, 1 << 30));
        if (::poll(&p, 1, timeout) > 0)
            window->ServePending();
    }
    std::cout << "vdhost: window closed" << std::endl;
    return 0;
}
