#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orx {

// Probe result codes. Callers only tell 0 from the rest.
inline constexpr int kProbeOk = 0;
inline constexpr int kProbeNoDuration = 2;   // no video stream, or no known duration
inline constexpr int kProbeNotAccepted = 3;  // not a file of that kind, or its header is unusable

// Every duration the probes report fits in a signed 32-bit value (it is written as "%d" and
// copied into playlist entries); longer media clamp to this.
inline constexpr uint32_t kMaxClipDurationMs = 0x7FFFFFFF;

// The duration of one library item in milliseconds, from its name when it carries one, else from
// its content: a playlist counts with its total play time (unrounded), media files are truncated
// to whole tenths of a second. fileName is relative to the video folder ("\" allowed) unless
// absolutePath is non-zero. durationMs is written only on success; a success may be 0 ms.
bool MeasureClip(std::string_view fileName, int32_t absolutePath, uint32_t& durationMs);

// A name whose title ends in "_<digits>" (seconds) or "_<digits>ms" (milliseconds, any case)
// carries its duration: kProbeOk and the milliseconds, else kProbeNotAccepted and 0. Only the text
// after the last underscore counts; a value beyond kMaxClipDurationMs is not a duration.
int DurationFromFileName(std::string_view path, uint32_t& durationMs);

// The first video stream's header: length x scale x 1000 / rate, truncating. kProbeNotAccepted
// for a file that is not a RIFF AVI, has no video stream, or whose scale, rate or length is 0.
// Only the header list is read, never the media data.
int ProbeAviDuration(const std::string& path, uint32_t& durationMs);
// The same on the bytes of a whole file (or its beginning, up to and including the header list).
int AviDurationFromBytes(const uint8_t* data, size_t size, uint32_t& durationMs);

// MPEG-1/2 program streams, transport streams and elementary video streams, measured in-process
// from the stream headers and the end of the file (the data is not decoded). kProbeNotAccepted for
// a file that is not MPEG; kProbeNoDuration without a video stream or without a known duration.
int ProbeMpegDuration(const std::string& path, uint32_t& durationMs);

}  // namespace orx
