#include "ClipDuration.h"

#include <memory>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace orx {

std::optional<int64_t> DurationFromClipName(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.resize(dot);
    size_t underscore = name.rfind('_');
    if (underscore == std::string::npos)
        return std::nullopt;
    std::string tail = name.substr(underscore + 1);
    if (tail.empty())
        return std::nullopt;
    bool millis = false;
    if (tail.size() >= 3) {
        char m = tail[tail.size() - 2], s = tail[tail.size() - 1];
        if ((m == 'm' || m == 'M') && (s == 's' || s == 'S')) {
            millis = true;
            tail.resize(tail.size() - 2);
        }
    }
    int64_t value = 0;
    for (char c : tail) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        // Larger values make no sense for a clip and would overflow below.
        if (value > (int64_t{1} << 40))
            return std::nullopt;
    }
    return millis ? value : value * 1000;
}

namespace {

struct FormatContextCloser {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};

}  // namespace

std::optional<int64_t> ProbeMediaDurationMs(const std::string& path) {
    av_log_set_level(AV_LOG_QUIET);
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) != 0)
        return std::nullopt;
    std::unique_ptr<AVFormatContext, FormatContextCloser> ctx(raw);
    if (avformat_find_stream_info(ctx.get(), nullptr) < 0)
        return std::nullopt;
    if (ctx->duration == AV_NOPTS_VALUE || ctx->duration <= 0)
        return std::nullopt;
    return ctx->duration / (AV_TIME_BASE / 1000);
}

}  // namespace orx
