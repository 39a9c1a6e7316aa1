#include "DecoderHostBase.h"

#include <poll.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>

#include "devices/Channels.h"
#include "devices/Payloads.h"

namespace orx {

namespace {

const char* CommandName(uint64_t code) {
    switch (code) {
        case VIDCMD_PLAY:
            return "PLAY";
        case VIDCMD_PLAY2:
            return "PLAY2";
        case VIDCMD_STOP:
            return "STOP";
        case VIDCMD_PAUSE:
            return "PAUSE";
        case VIDCMD_CUE:
            return "CUE";
        case VIDCMD_VOLUME:
            return "VOLUME";
        case VIDCMD_ISINIT:
            return "ISINIT";
        case VIDCMD_ISPLAYING:
            return "ISPLAYING";
        default:
            return "unknown";
    }
}

bool TakesText(uint64_t code) {
    return code == VIDCMD_PLAY || code == VIDCMD_PLAY2 || code == VIDCMD_CUE ||
           code == VIDCMD_VOLUME;
}

const char kCommonUsage[] =
    "  --log FILE           append one line per received message to FILE\n"
    "  --help               show this text\n"
    "Exit status: 0 after WM_CLOSE, 1 when the window cannot be created, 2 on bad usage.\n";

}  // namespace

bool ParseHostArgs(const std::vector<std::string>& args, HostOptions& options, bool& help,
                   std::string& error, const OwnOptionParser& own) {
    help = false;
    error.clear();
    bool haveTitle = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            help = true;
            return true;
        } else if (a == "--log") {
            if (!TakeOptionValue(args, i, options.logPath, error))
                return false;
        } else if (!haveTitle && !a.empty() && a[0] != '-') {
            options.title = a;
            if (a.size() >= 2 && a.front() == '?' && a.back() == '?')
                options.title = a.substr(1, a.size() - 2);
            haveTitle = true;
        } else if (!own(args, i, error)) {
            if (error.empty())
                error = "unknown argument: " + a;
            return false;
        }
    }
    if (!haveTitle || options.title.empty()) {
        error = "missing window title";
        return false;
    }
    return true;
}

std::optional<int> WholeNumber(const std::string& text) {
    int v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size())
        return std::nullopt;
    return v;
}

int64_t DecoderHostBase::Handle(const WindowMessage& message) {
    if (message.message == kWmClose) {
        log_.Write("WM_CLOSE", "");
        out_ << "WM_CLOSE: closing" << std::endl;
        return 0;
    }
    if (message.message != kWmCopyData)
        return 0;
    const uint64_t code = message.dwData;
    const std::string text = TakesText(code)
                                 ? DecodeDecoderPayload(message.data.data(), message.data.size())
                                 : std::string();
    log_.Write(std::to_string(code), text);
    out_ << CommandName(code) << '(' << code << ')';
    if (!text.empty())
        out_ << ' ' << PrintableText(text);
    out_ << '\n';
    const int64_t result = Command(code, text, message.wParam);
    out_ << "  -> " << result << std::endl;
    return result;
}

void DecoderHostBase::QueueReport(WindowHandle window, uint64_t code) {
    if (window != 0)
        reports_.push_back({window, code});
}

std::vector<DecoderHostBase::Report> DecoderHostBase::TakeReports() {
    std::vector<Report> out;
    out.swap(reports_);
    return out;
}

int RunDecoderHost(
    const char* program, const char* usage, int argc, char** argv, const HostOptions& options,
    const std::function<bool(const std::vector<std::string>&, bool&, std::string&)>& parse,
    const std::function<std::unique_ptr<DecoderHostBase>()>& make) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    bool help = false;
    std::string error;
    if (!parse(std::vector<std::string>(argv + 1, argv + argc), help, error)) {
        std::cerr << program << ": " << error << '\n' << usage << kCommonUsage;
        return 2;
    }
    if (help) {
        std::cout << usage << kCommonUsage;
        return 0;
    }
    const std::unique_ptr<DecoderHostBase> host = make();
    if (!host->OpenLog(options.logPath)) {
        std::cerr << program << ": cannot open log " << options.logPath << '\n';
        return 2;
    }
    // The window first, so that the player finds it while the host gets ready; requests wait.
    auto window = MessageWindow::Create(
        options.title, [&host](const WindowMessage& m) { return host->Handle(m); });
    if (!window) {
        std::cerr << program << ": cannot create window \"" << options.title
                  << "\" (window folder refused?)\n";
        return 1;
    }
    host->WindowReady();
    std::cout << program << ": window \"" << options.title << "\" ready" << std::endl;
    while (!window->Closed()) {
        const int64_t wait = host->Service();
        if (host->HasReports()) {
            for (const auto& report : host->TakeReports()) {
                std::cout << "report " << report.code << " to window " << std::hex << report.window
                          << std::dec << std::endl;
                // A reply window that has gone costs an error here, nothing more. Requests
                // served meanwhile may queue further reports; the next round sends them.
                SendWindowMessage(report.window, kWmCopyData, window->Handle(), report.code,
                                  nullptr, 0);
            }
            continue;
        }
        pollfd p[2] = {{window->Fd(), POLLIN, 0}, {host->EventFd(), POLLIN, 0}};
        const int timeout = wait < 0 ? -1 : static_cast<int>(std::min<int64_t>(wait, 1 << 30));
        if (::poll(p, 2, timeout) > 0 && p[0].revents)
            window->ServePending();
    }
    std::cout << program << ": window closed" << std::endl;
    return 0;
}

}  // namespace orx
