#include <poll.h>
#include <stdlib.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <iostream>
#include <memory>

#include "CommandLog.h"
#include "MixerModel.h"
#include "MixerPanel.h"
#include "devices/Payloads.h"
#include "platform/WindowTransport.h"

namespace {

bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = ::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

}  // namespace

// tallyx: stand-in remote-control application over the mixer model, with its state shown in a
// panel on request.
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::vector<std::string> args(argv + 1, argv + argc);
    orx::MixerOptions options;
    bool help = false;
    std::string error;
    if (!orx::ParseMixerArgs(args, options, help, error)) {
        std::cerr << "tallyx: " << error << '\n' << orx::MixerUsage();
        return 2;
    }
    if (help) {
        std::cout << orx::MixerUsage();
        return 0;
    }
    orx::CommandLog log;
    if (!log.Open(options.logPath)) {
        std::cerr << "tallyx: cannot open log " << options.logPath << '\n';
        return 2;
    }
    orx::MixerModel mixer(options, orx::SystemClock());
    std::unique_ptr<orx::MixerPanel> panel;
    auto handler = [&](const orx::WindowMessage& m) -> int64_t {
        if (m.message == orx::kWmClose) {
            log.Write("WM_CLOSE", "");
            std::cout << "WM_CLOSE: closing" << std::endl;
            return 0;
        }
        if (m.message != orx::kWmCopyData)
            return 0;
        orx::MixerCommand command;
        if (m.dwData != orx::kMixerCommandData ||
            !orx::DecodeMixerPayload(m.data.data(), m.data.size(), command)) {
            log.Write("?", "");
            std::cout << "malformed mixer command (dwData " << m.dwData << ", " << m.data.size()
                      << " bytes) -> 0" << std::endl;
            return 0;
        }
        log.Write(std::to_string(command.mode), command.word);
        int answer = mixer.Command(command.mode, command.word);
        std::cout << "mode " << command.mode << ' ' << orx::PrintableText(command.word) << " -> "
                  << answer << "  [" << mixer.Describe() << ']' << std::endl;
        if (panel)
            panel->Refresh();
        return answer;
    };
    auto window = orx::MessageWindow::Create("ORX Remote Control", handler);
    if (!window) {
        std::cerr << "tallyx: cannot create window (window folder refused?)\n";
        return 1;
    }
    std::cout << "tallyx: ready, " << mixer.Describe() << std::endl;
    if (options.panel && !DisplayAvailable())
        std::cout << "tallyx: no display, running without the panel" << std::endl;
    if (options.panel && DisplayAvailable()) {
        QApplication app(argc, argv);
        panel = std::make_unique<orx::MixerPanel>(mixer);
        QSocketNotifier requests(window->Fd(), QSocketNotifier::Read);
        QObject::connect(&requests, &QSocketNotifier::activated, [&] {
            window->ServePending();
            if (window->Closed())
                app.quit();
        });
        panel->show();
        // Closing the panel ends the application, as closing any application's window does.
        app.exec();
        panel.reset();
        std::cout << (window->Closed() ? "tallyx: window closed" : "tallyx: panel closed")
                  << std::endl;
        return 0;
    }
    while (!window->Closed()) {
        pollfd p{window->Fd(), POLLIN, 0};
        if (::poll(&p, 1, -1) > 0)
            window->ServePending();
    }
    std::cout << "tallyx: window closed" << std::endl;
    return 0;
}
