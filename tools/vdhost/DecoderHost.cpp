#include "DecoderHost.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "ClipDuration.h"
#include "ClipFile.h"
#include "devices/Channels.h"

namespace orx {

const char* DecoderHostUsage() {
    return "usage: vdhost ?<window title>? [options]\n"
           "Stand-in decoder host: owns the window <title> and answers decoder commands.\n"
           "  --fail-isinit        answer ISINIT with 0\n"
           "  --fail-play          answer PLAY, PLAY2 and CUE with 0\n"
           "  --speed F            divide every clip duration by F (F > 0)\n"
           "  --default-ms MS      duration of clips whose name encodes none and that cannot be\n"
           "                       probed (default 5000)\n";
}

bool ParseDecoderHostArgs(const std::vector<std::string>& args, DecoderHostOptions& options,
                          bool& help, std::string& error) {
    auto own = [&options](const std::vector<std::string>& list, size_t& i, std::string& why) {
        const std::string& a = list[i];
        std::string v;
        if (a == "--fail-isinit") {
            options.failIsInit = true;
        } else if (a == "--fail-play") {
            options.failPlay = true;
        } else if (a == "--speed") {
            if (!TakeOptionValue(list, i, v, why))
                return false;
            char* end = nullptr;
            double f = std::strtod(v.c_str(), &end);
            if (end == v.c_str() || *end != 0 || !(f > 0) || !std::isfinite(f)) {
                why = "--speed needs a positive number";
                return false;
            }
            options.speed = f;
        } else if (a == "--default-ms") {
            if (!TakeOptionValue(list, i, v, why))
                return false;
            int64_t ms = 0;
            auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), ms);
            if (ec != std::errc() || p != v.data() + v.size() || ms < 0) {
                why = "--default-ms needs a number of milliseconds";
                return false;
            }
            options.defaultDurationMs = ms;
        } else {
            return false;
        }
        return true;
    };
    return ParseHostArgs(args, options, help, error, own);
}

DecoderHost::DecoderHost(DecoderHostOptions options, Clock& clock, std::ostream& out,
                         DurationProbe probe)
    : DecoderHostBase(out), options_(std::move(options)), clock_(clock), probe_(std::move(probe)) {
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
    if (startReported_)
        QueueReport(replyWindow_, kNotifyStopped);
    loaded_ = false;
    paused_ = false;
    startReported_ = false;
    clip_.clear();
}

int64_t DecoderHost::Load(WindowHandle replyTo, const std::string& path, bool paused) {
    if (options_.failPlay || !ClipFile(path).IsOpen()) {
        out_ << "  cannot play " << path << '\n';
        return 0;
    }
    Unload("replaced");
    loaded_ = true;
    paused_ = paused;
    clip_ = path;
    replyWindow_ = replyTo;
    remainingMs_ = ClipDurationMs(path);
    resumedTick_ = clock_.Ticks();
    startReported_ = !paused;
    if (!paused)
        QueueReport(replyWindow_, kNotifyStarted);
    out_ << (paused ? "cued: " : "started: ") << path << '\n';
    return 1;
}

int64_t DecoderHost::Command(uint64_t code, const std::string& text, WindowHandle replyTo) {
    int64_t result = 0;
    switch (code) {
        case VIDCMD_ISINIT:
            result = options_.failIsInit ? 0 : 1;
            break;
        case VIDCMD_PLAY:
        case VIDCMD_PLAY2:
            result = Load(replyTo, text, false);
            break;
        case VIDCMD_CUE:
            result = Load(replyTo, text, true);
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
                    QueueReport(replyWindow_, kNotifyStarted);
                }
                out_ << (paused_ ? "  paused, " : "  resumed, ") << remainingMs_ << " ms left\n";
                result = 1;
            }
            break;
        case VIDCMD_ISPLAYING:
            result = loaded_ ? 1 : 0;
            break;
        case VIDCMD_VOLUME:
            if (const std::optional<int> v = WholeNumber(text)) {
                volume_ = *v;
                result = 1;
            }
            break;
        default:
            break;
    }
    return result;
}

}  // namespace orx
