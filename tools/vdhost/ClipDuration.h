#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orx {

// Duration encoded in a clip's file name: the text after the last underscore of the name
// without folder and extension, read as seconds ("news_30.mpg") or, ending in "ms" in any case
// and at least 3 characters long, as milliseconds ("jingle_1500ms.mpg"). Nothing when the name
// encodes no duration or the value does not fit.
std::optional<int64_t> DurationFromClipName(const std::string& path);

// Duration of a media file as libavformat reports it; nothing when the file cannot be probed.
std::optional<int64_t> ProbeMediaDurationMs(const std::string& path);

}  // namespace orx
