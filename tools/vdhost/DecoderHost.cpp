#include "DecoderHost.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "ClipDuration.h"
#include "ClipFile.h"
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

}  // namespace

const char* DecoderHostUsage() {
    return "usage: vdhost ?<window title>? [options]\n"
           "Stand-in decoder host: owns the window <title> and answers decoder commands.\n"
           "  --fail-isinit        answer ISINIT with 0\n"
           "  --fail-play          answer PLAY, PLAY2 and CUE with 0\n"
           "  --speed F            divide every clip duration by F (F > 0)\n"
           "  --default-ms MS      duration of clips whose name encodes none and that cannot be\n"
           "                       probed (default 5000)\n"
           "  --log FILE           append one line per received message to FILE\n"
           "  --help               show this text\n"
           "Exit status: 0 after WM_CLOSE, 1 when the window cannot be created, 2 on bad usage.\n";
}

bool ParseDecoderHostArgs(const std::vector<std::string>& args, DecoderHostOptions& options,
                          bool& help, std::string& error) {
    help = false;
    bool haveTitle = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) { return TakeOptionValue(args, i, out, error); };
        std::string v;
        if (a == "--help" || a == "-h") {
            help = true;
            return true;
        } else if (a == "--fail-isinit") {
            options.failIsInit = true;
        } else if (a == "--fail-play") {
            options.failPlay = true;
        } else if (a == "--log") {
            if (!value(options.logPath))
                return false;
        } else if (a == "--speed") {
            if (!value(v))
                return false;
            char* end = nullptr;
            double f = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end != 0 || !(f > 0) || !std::isfinite(f)) {
                error = "--speed needs a positive number";
                return false;
            }
            options.speed = f;
        } else if (a == "--default-ms") {
            if (!value(v))
                return false;
            int64_t ms = 0;
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), ms);
            if (ec != std::errc() || p != v.data() + v.size() || ms < 0) {
                error = "--default-ms needs a number of milliseconds";
                return false;
            }
            options.defaultDurationMs = ms;
        } else if (!haveTitle && !a.empty() && a[0] != '-') {
            options.title = a;
            if (a.size() >= 2 && a.front() == '?' && a.back() == '?') {
                options.title = a.substr(1, a.size() - 2);
            }
            haveTitle = true;
        } else {
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

DecoderHost::DecoderHost(DecoderHostOptions options, Clock& clock, std::ostream& out,
                         DurationProbe probe)
    : options_(std::move(options)), clock_(clock), out_(out), probe_(std::move(probe)) {
    if (!probe_)
        probe_ = ProbeMediaDurationMs;
}

int64_t DecoderHost::Remaining() {
    if (!loaded_)
        return 0;
    if (paused_)
        return remainingMs_;
    uint32_t elapsed = clock_.Ticks() - resumedTick_;
    return remainingMs_ - int64_t(elapsed);
}

int64_t DecoderHost::MsUntilEnd() {
    if (!loaded_ || paused_)
        return -1;
    return std::max<int64_t>(0, Remaining());
}

void DecoderHost::Tick() {
    if (loaded_ && !paused_ && Remaining() <= 0)
        Unload("ended");
}

int64_t DecoderHost::ClipDurationMs(const std::string& path) {
    std::optional<int64_t> ms = DurationFromClipName(path);
    const char* source = "name";
    if (!ms) {
        ms = probe_(path);
        source = "probe";
    }
    if (!ms) {
        ms = options_.defaultDurationMs;
        source = "default";
    }
    // A tiny speed factor must give a very long clip, not a value past what int64 holds.
    const double exact = static_cast<double>(*ms) / options_.speed;
    const int64_t scaled = static_cast<int64_t>(std::min(exact, 0x1p62));
    out_ << "  duration " << *ms << " ms (" << source << "), runs " << scaled << " ms\n";
    return scaled;
}

void DecoderHost::Unload(const char* why) {
    if (!loaded_)
        return;
    out_ << "stopped (" << why << "): " << clip_ << '\n';
    // A clip that was cued but never ran has nothing to report as stopped.
    if (startReported_ && replyWindow_ != 0)
        reports_.push_back({replyWindow_, kNotifyStopped});
    loaded_ = false;
    paused_ = false;
    startReported_ = false;
    clip_.clear();
}

int64_t DecoderHost::Load(const WindowMessage& message, const std::string& path, bool paused) {
    if (options_.failPlay || !ClipFile(path).IsOpen()) {
        out_ << "  cannot play " << path << '\n';
        return 0;
    }
    Unload("replaced");
    loaded_ = true;
    paused_ = paused;
    clip_ = path;
    replyWindow_ = message.wParam;
    remainingMs_ = ClipDurationMs(path);
    resumedTick_ = clock_.Ticks();
    startReported_ = !paused;
    if (!paused && replyWindow_ != 0)
        reports_.push_back({replyWindow_, kNotifyStarted});
    out_ << (paused ? "cued: " : "started: ") << path << '\n';
    return 1;
}

int64_t DecoderHost::Handle(const WindowMessage& message) {
    if (message.message == kWmClose) {
        log_.Write("WM_CLOSE", "");
        out_ << "WM_CLOSE: closing" << std::endl;
        return 0;
    }
    if (message.message != kWmCopyData)
        return 0;
    uint64_t code = message.dwData;
    std::string text = TakesText(code)
                           ? DecodeDecoderPayload(message.data.data(), message.data.size())
                           : std::string();
    log_.Write(std::to_string(code), text);
    out_ << CommandName(code) << '(' << code << ')';
    if (!text.empty())
        out_ << ' ' << PrintableText(text);
    out_ << '\n';

    int64_t result = 0;
    switch (code) {
        case VIDCMD_ISINIT:
            result = options_.failIsInit ? 0 : 1;
            break;
        case VIDCMD_PLAY:
        case VIDCMD_PLAY2:
            result = Load(message, text, false);
            break;
        case VIDCMD_CUE:
            result = Load(message, text, true);
            break;
        case VIDCMD_STOP:
            Unload("STOP");
            result = 1;
            break;
        case VIDCMD_PAUSE:
            if (loaded_) {
                remainingMs_ = std::max<int64_t>(0, Remaining());
                resumedTick_ = clock_.Ticks();
                paused_ = !paused_;
                if (!paused_ && !startReported_) {
                    startReported_ = true;
                    if (replyWindow_ != 0)
                        reports_.push_back({replyWindow_, kNotifyStarted});
                }
                out_ << (paused_ ? "  paused, " : "  resumed, ") << remainingMs_ << " ms left\n";
                result = 1;
            }
            break;
        case VIDCMD_ISPLAYING:
            result = loaded_ ? 1 : 0;
            break;
        case VIDCMD_VOLUME: {
            int v = 0;
            auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
            if (ec == std::errc() && p == text.data() + text.size()) {
                volume_ = v;
                result = 1;
            }
            break;
        }
        default:
            break;
    }
    out_ << "  -> " << result << std::endl;
    return result;
}

std::vector<DecoderHost::Report> DecoderHost::TakeReports() {
    std::vector<Report> out;
    out.swap(reports_);
    return out;
}

}  // namespace orx
