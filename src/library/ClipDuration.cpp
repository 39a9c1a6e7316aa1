#include "library/ClipDuration.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

#include "app/AppSettings.h"
#include "app/BinaryFile.h"
#include "library/Playlist.h"
#include "platform/Paths.h"

namespace orx {
namespace {

uint32_t ClampDuration(uint64_t ms) {
    return static_cast<uint32_t>(std::min<uint64_t>(ms, kMaxClipDurationMs));
}

uint32_t WholeTenths(uint32_t ms) {
    return ms / 100 * 100;
}

// ---- AVI: a bounded RIFF reader over the file or a buffer --------------------------------------

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Reads up to size bytes at offset; returns how many (fewer only at the end).
    virtual size_t ReadAt(uint64_t offset, void* buffer, size_t size) const = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t size) const override {
        // An empty read may come with no buffer at all (an empty list's data()).
        if (offset >= size_ || size == 0) {
            return 0;
        }
        const size_t n = std::min<uint64_t>(size, size_ - offset);
        std::memcpy(buffer, data_ + offset, n);
        return n;
    }

private:
    const uint8_t* data_;
    size_t size_;
};

class FileSource : public ByteSource {
public:
    explicit FileSource(int fd) : fd_(fd) {
        struct stat st {};
        size_ = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    }
    ~FileSource() override { close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t size) const override {
        size_t done = 0;
        while (done < size) {
            const ssize_t n = pread(fd_, static_cast<char*>(buffer) + done, size - done,
                                    static_cast<off_t>(offset + done));
            if (n <= 0) {
                break;
            }
            done += static_cast<size_t>(n);
        }
        return done;
    }

private:
    int fd_;
    uint64_t size_ = 0;
};

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// The header list is small (a few kilobytes); a larger one is not an AVI this probe accepts.
constexpr uint32_t kMaxHeaderListSize = 4 << 20;
// Chunks skipped before the header list; in a well-formed file it is the first.
constexpr int kMaxChunksBeforeHeader = 64;
// Offsets in the stream header: fccType, ..., dwScale 20, dwRate 24, dwStart 28, dwLength 32.
constexpr size_t kStreamHeaderMinSize = 36;

// Finds the first video stream header inside the "hdrl" list's content.
int DurationFromHeaderList(const uint8_t* list, size_t size, uint32_t& durationMs) {
    size_t pos = 0;
    while (size - pos >= 12) {
        const uint32_t chunkSize = Le32(list + pos + 4);
        const size_t bodySize = std::min<size_t>(chunkSize, size - pos - 8);
        if (bodySize >= 4 && std::memcmp(list + pos, "LIST", 4) == 0 &&
            std::memcmp(list + pos + 8, "strl", 4) == 0) {
            const uint8_t* strl = list + pos + 12;
            const size_t strlSize = bodySize - 4;
            // The stream header is the first chunk of a stream list.
            if (strlSize >= 12 && std::memcmp(strl, "strh", 4) == 0 &&
                std::memcmp(strl + 8, "vids", 4) == 0) {
                const size_t headerSize = std::min<size_t>(Le32(strl + 4), strlSize - 8);
                if (headerSize < kStreamHeaderMinSize) {
                    return kProbeNotAccepted;
                }
                const uint8_t* strh = strl + 8;
                const uint64_t scale = Le32(strh + 20);
                const uint64_t rate = Le32(strh + 24);
                const uint64_t length = Le32(strh + 32);
                if (scale == 0 || rate == 0 || length == 0) {
                    return kProbeNotAccepted;
                }
                // length x scale x 1000 / rate without overflowing 64 bits.
                const uint64_t units = length * scale;
                const uint64_t ms = units / rate * 1000 + units % rate * 1000 / rate;
                durationMs = ClampDuration(ms);
                return kProbeOk;
            }
        }
        const uint64_t next = pos + 8 + uint64_t{chunkSize} + (chunkSize & 1);
        if (next > size) {
            break;
        }
        pos = static_cast<size_t>(next);
    }
    return kProbeNotAccepted;
}

int AviDuration(const ByteSource& source, uint32_t& durationMs) {
    durationMs = 0;
    uint8_t head[12];
    if (source.ReadAt(0, head, 12) != 12 || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "AVI ", 4) != 0) {
        return kProbeNotAccepted;
    }
    const uint64_t end = std::min<uint64_t>(source.Size(), 8 + uint64_t{Le32(head + 4)});
    uint64_t pos = 12;
    for (int chunk = 0; chunk < kMaxChunksBeforeHeader && pos + 12 <= end; ++chunk) {
        uint8_t chunkHead[12];
        if (source.ReadAt(pos, chunkHead, 12) != 12) {
            break;
        }
        const uint32_t chunkSize = Le32(chunkHead + 4);
        if (std::memcmp(chunkHead, "LIST", 4) == 0 && std::memcmp(chunkHead + 8, "hdrl", 4) == 0) {
            if (chunkSize < 4 || chunkSize > kMaxHeaderListSize) {
                return kProbeNotAccepted;
            }
            // A list cut short by the end of the file is read as far as it goes.
            const size_t want =
                static_cast<size_t>(std::min<uint64_t>(chunkSize - 4, end - pos - 12));
            std::vector<uint8_t> list(want);
            const size_t got = source.ReadAt(pos + 12, list.data(), want);
            uint32_t ms = 0;
            const int code = DurationFromHeaderList(list.data(), got, ms);
            if (code == kProbeOk) {
                durationMs = ms;
            }
            return code;
        }
        pos += 8 + uint64_t{chunkSize} + (chunkSize & 1);
    }
    return kProbeNotAccepted;
}

// ---- MPEG elementary video: headers at the start, group time codes at the end -----------------

// An elementary stream carries no timestamps; libavformat can only guess its length from a bit
// rate. The group-of-pictures headers carry time codes, so the length is the last group's time
// code, plus the pictures after it, minus the first group's time code.
constexpr size_t kEsHeadBytes = 256 * 1024;
constexpr size_t kEsTailBytes = 4 * 1024 * 1024;

struct FrameRate {
    uint32_t num, den, nominal;  // nominal: frames counted per time-code second
};
constexpr FrameRate kFrameRates[9] = {{0, 0, 0},   {24000, 1001, 24}, {24, 1, 24},
                                      {25, 1, 25}, {30000, 1001, 30}, {30, 1, 30},
                                      {50, 1, 50}, {60000, 1001, 60}, {60, 1, 60}};

// Offset of the next start code 00 00 01 xx at or after from, or size.
size_t NextStartCode(const uint8_t* data, size_t size, size_t from) {
    for (size_t i = from; i + 3 < size; ++i) {
        const void* zero = std::memchr(data + i, 0, size - i - 3);
        if (zero == nullptr) {
            break;
        }
        i = static_cast<size_t>(static_cast<const uint8_t*>(zero) - data);
        if (i + 3 < size && data[i + 1] == 0 && data[i + 2] == 1) {
            return i;
        }
    }
    return size;
}

// Frames since 00:00:00:00 of a GOP time code (drop-frame codes skip two numbers a minute except
// every tenth minute at 30 fps, four at 60 fps).
int64_t TimeCodeFrames(const uint8_t* gop, uint32_t nominal) {
    const uint32_t bits = uint32_t{gop[0]} << 17 | uint32_t{gop[1]} << 9 | uint32_t{gop[2]} << 1 |
                          uint32_t{gop[3]} >> 7;
    const bool dropFrame = (bits >> 24) & 1;
    const int64_t hours = (bits >> 19) & 0x1F;
    const int64_t minutes = (bits >> 13) & 0x3F;
    const int64_t seconds = (bits >> 6) & 0x3F;
    const int64_t pictures = bits & 0x3F;
    const int64_t totalMinutes = hours * 60 + minutes;
    int64_t frames = (totalMinutes * 60 + seconds) * nominal + pictures;
    if (dropFrame && (nominal == 30 || nominal == 60)) {
        frames -= (nominal / 15) * (totalMinutes - totalMinutes / 10);
    }
    return frames;
}

int ElementaryDuration(const ByteSource& source, uint32_t& durationMs) {
    const uint64_t size = source.Size();
    std::vector<uint8_t> head(static_cast<size_t>(std::min<uint64_t>(size, kEsHeadBytes)));
    head.resize(source.ReadAt(0, head.data(), head.size()));
    const FrameRate* rate = nullptr;
    int64_t firstFrames = -1;
    for (size_t at = NextStartCode(head.data(), head.size(), 0); at + 8 <= head.size();
         at = NextStartCode(head.data(), head.size(), at + 4)) {
        const uint8_t code = head[at + 3];
        if (code == 0xB3 && rate == nullptr) {
            const uint8_t rateCode = head[at + 7] & 0x0F;
            if (rateCode == 0 || rateCode > 8) {
                return kProbeNoDuration;
            }
            rate = &kFrameRates[rateCode];
        } else if (code == 0xB8 && rate != nullptr) {
            firstFrames = TimeCodeFrames(&head[at + 4], rate->nominal);
            break;
        }
    }
    if (rate == nullptr || firstFrames < 0) {
        return kProbeNoDuration;
    }
    const uint64_t tailStart = size - std::min<uint64_t>(size, kEsTailBytes);
    std::vector<uint8_t> tail(static_cast<size_t>(size - tailStart));
    tail.resize(source.ReadAt(tailStart, tail.data(), tail.size()));
    int64_t lastFrames = -1;
    int64_t picturesAfter = 0;
    for (size_t at = NextStartCode(tail.data(), tail.size(), 0); at + 8 <= tail.size();
         at = NextStartCode(tail.data(), tail.size(), at + 4)) {
        const uint8_t code = tail[at + 3];
        if (code == 0xB8) {
            lastFrames = TimeCodeFrames(&tail[at + 4], rate->nominal);
            picturesAfter = 0;
        } else if (code == 0x00 && lastFrames >= 0) {
            ++picturesAfter;
        }
    }
    const int64_t frames = lastFrames - firstFrames + picturesAfter;
    if (lastFrames < 0 || frames <= 0) {
        return kProbeNoDuration;
    }
    durationMs = ClampDuration(static_cast<uint64_t>(frames) * 1000 * rate->den / rate->num);
    return kProbeOk;
}

// ---- MPEG through libavformat ------------------------------------------------------------------

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct DictionaryFreer {
    void operator()(AVDictionary* dictionary) const { av_dict_free(&dictionary); }
};

// What the demuxer may read from the start of the file to find the streams. The duration comes
// from the first timestamps here and the last ones near the end of the file (read separately by
// libavformat), so nothing in between is touched.
constexpr int64_t kMpegProbeBytes = 512 * 1024;
constexpr int64_t kMpegAnalyzeMicroseconds = 500 * 1000;

}  // namespace

int DurationFromFileName(std::string_view path, uint32_t& durationMs) {
    durationMs = 0;
    // The file title: after the last separator ("\\" on every platform), before the last dot.
    std::string_view title = path;
    const size_t separator = title.find_last_of("/\\");
    if (separator != std::string_view::npos) {
        title.remove_prefix(separator + 1);
    }
    title = title.substr(0, title.rfind('.'));
    const size_t underscore = title.rfind('_');
    if (underscore == std::string::npos) {
        return kProbeNotAccepted;
    }
    std::string_view tail = title.substr(underscore + 1);
    if (tail.empty()) {
        return kProbeNotAccepted;
    }
    bool milliseconds = false;
    if (tail.size() >= 3 && (tail[tail.size() - 2] == 'm' || tail[tail.size() - 2] == 'M') &&
        (tail.back() == 's' || tail.back() == 'S')) {
        milliseconds = true;
        tail.remove_suffix(2);
    }
    uint64_t value = 0;
    for (const char c : tail) {
        if (c < '0' || c > '9') {
            return kProbeNotAccepted;
        }
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > kMaxClipDurationMs) {
            return kProbeNotAccepted;
        }
    }
    if (!milliseconds) {
        value *= 1000;
        if (value > kMaxClipDurationMs) {
            return kProbeNotAccepted;
        }
    }
    durationMs = static_cast<uint32_t>(value);
    return kProbeOk;
}

int AviDurationFromBytes(const uint8_t* data, size_t size, uint32_t& durationMs) {
    return AviDuration(MemorySource(data, size), durationMs);
}

int ProbeAviDuration(const std::string& path, uint32_t& durationMs) {
    durationMs = 0;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return kProbeNotAccepted;
    }
    FileSource source(fd);
    if (source.Size() == 0) {
        return kProbeNotAccepted;  // empty, or not a regular file
    }
    return AviDuration(source, durationMs);
}

int ProbeMpegDuration(const std::string& path, uint32_t& durationMs) {
    durationMs = 0;
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
    // Regular files only: opening a pipe or a device would wait for data that never ends.
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return kProbeNotAccepted;
    }

    AVFormatContext* raw = avformat_alloc_context();
    if (raw == nullptr) {
        return kProbeNoDuration;
    }
    raw->probesize = kMpegProbeBytes;
    raw->max_analyze_duration = kMpegAnalyzeMicroseconds;
    AVDictionary* rawOptions = nullptr;
    // Only local files, only the MPEG demuxers: the name must not be read as another protocol,
    // and a file of another kind is not a clip the MPEG boards play.
    av_dict_set(&rawOptions, "protocol_whitelist", "file", 0);
    av_dict_set(&rawOptions, "format_whitelist", "mpeg,mpegts,mpegvideo", 0);
    std::unique_ptr<AVDictionary, DictionaryFreer> options(rawOptions);
    const std::string url = "file:" + path;
    rawOptions = options.release();
    const int opened = avformat_open_input(&raw, url.c_str(), nullptr, &rawOptions);
    options.reset(rawOptions);
    if (opened < 0) {
        return kProbeNotAccepted;  // avformat_open_input freed the context
    }
    std::unique_ptr<AVFormatContext, FormatContextCloser> context(raw);
    if (std::strcmp(context->iformat->name, "mpegvideo") == 0) {
        context.reset();
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            return kProbeNotAccepted;
        }
        return ElementaryDuration(FileSource(fd), durationMs);
    }
    if (avformat_find_stream_info(context.get(), nullptr) < 0) {
        return kProbeNoDuration;
    }
    const int video = av_find_best_stream(context.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video < 0) {
        return kProbeNoDuration;
    }
    int64_t microseconds = context->duration;
    if (microseconds == AV_NOPTS_VALUE || microseconds <= 0) {
        const AVStream* stream = context->streams[video];
        if (stream->duration == AV_NOPTS_VALUE || stream->duration <= 0) {
            return kProbeNoDuration;
        }
        microseconds = av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q);
        if (microseconds <= 0) {
            return kProbeNoDuration;
        }
    }
    durationMs = ClampDuration(static_cast<uint64_t>(microseconds / 1000));
    return kProbeOk;
}

bool MeasureClip(std::string_view fileName, int32_t absolutePath, uint32_t& durationMs) {
    // The kind and the name rule depend on the file name only; the full path is needed only
    // when the file is opened.
    const int kind = FileKind(fileName);
    auto fullPath = [&] {
        const std::string name = NativeSeparators(fileName);
        return absolutePath != 0 ? name : Settings().videoPath + name;
    };
    if (kind == kFileKindPlaylist) {
        Playlist playlist;
        if (playlist.Load(fullPath(), false, 0) != kPlaylistOk) {
            return false;
        }
        playlist.ComputeTotal();
        // A negative total (an end entry's interleave longer than the clips) is no duration.
        if (playlist.totalMs < 0) {
            return false;
        }
        durationMs = static_cast<uint32_t>(playlist.totalMs);
        return true;
    }
    uint32_t ms = 0;
    if (Settings().noFileNameDur == 0 && DurationFromFileName(fileName, ms) == kProbeOk) {
        durationMs = WholeTenths(ms);
        return true;
    }
    const std::string full = fullPath();
    // Opening a pipe for reading would wait for a writer: only regular files are opened.
    struct stat st {};
    if (stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || !CanOpenForReading(full)) {
        return false;
    }
    const int code =
        kind == kFileKindAvi ? ProbeAviDuration(full, ms) : ProbeMpegDuration(full, ms);
    if (code != kProbeOk) {
        return false;
    }
    durationMs = WholeTenths(ms);
    return true;
}

}  // namespace orx
