#pragma once

// Media and shortcut files for the library tests: real clips made by ffmpeg at test time, AVI
// headers and ".lnk" files built byte by byte from their documented layouts; a failing save.

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace orx::test {

// Runs ffmpeg to make a clip of the given seconds (25 fps test picture, a tone unless
// videoOnly); format is an ffmpeg muxer name ("mpeg", "mpegts", "avi", "mpeg2video").
inline bool MakeClip(const std::string& path, const std::string& format, double seconds,
                     bool videoOnly = false, const std::string& codec = "mpeg2video") {
    const std::string time = std::to_string(seconds);
    std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=176x144:rate=25:duration=" + time;
    if (!videoOnly)
        command += " -f lavfi -i sine=sample_rate=48000:duration=" + time + " -c:a mp2";
    command += " -c:v " + codec + " -f " + format + " '" + path + "' </dev/null";
    return std::system(command.c_str()) == 0;
}

inline void PutLe32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}
inline std::string Le32(size_t value) {
    std::vector<uint8_t> bytes(4);
    PutLe32(bytes, 0, static_cast<uint32_t>(value));
    return {bytes.begin(), bytes.end()};
}
// A RIFF chunk: its four-letter id, the size of its body, the body.
inline std::string Chunk(const std::string& id, const std::string& body) {
    return id + Le32(body.size()) + body;
}

// One stream of a hand-made AVI header.
struct AviStream {
    std::string type = "vids";
    uint32_t scale = 1, rate = 25, length = 250;
};

// "RIFF" size "AVI " { "LIST" "hdrl" { "avih", "LIST" "strl" { "strh" ... } ... } }, then a
// small "movi" list.
inline std::vector<uint8_t> AviHeader(const std::vector<AviStream>& streams) {
    std::string hdrl = "hdrl" + Chunk("avih", std::string(56, '\0'));
    for (const AviStream& stream : streams) {
        const std::string strh = stream.type + std::string(16, '\0') + Le32(stream.scale) +
                                 Le32(stream.rate) + Le32(0) + Le32(stream.length) +
                                 std::string(20, '\0');
        hdrl += Chunk("LIST", "strl" + Chunk("strh", strh));
    }
    const std::string file = Chunk("RIFF", "AVI " + Chunk("LIST", hdrl) + Chunk("LIST", "movi"));
    return {file.begin(), file.end()};
}

// A Shell Link file. The target is localBase + suffix, or netName + "\" + suffix when netName
// is given (then localBase is recorded too, but the network form comes first).
struct LinkSpec {
    std::string localBase = {};
    std::string suffix = {};
    std::string netName = {};
    uint32_t attributes = 0x20;  // archive: a file; 0x10 marks a folder
    bool idList = true;
};

inline std::vector<uint8_t> ShellLink(const LinkSpec& spec) {
    // Header: size, class id, flags, attributes, times and sizes, show normal, hot key.
    std::string bytes = Le32(0x4C) + std::string("\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0\x46", 16) +
                        Le32((spec.idList ? 0x1u : 0u) | 0x2u | 0x80u) + Le32(spec.attributes) +
                        std::string(32, '\0') + Le32(1) + std::string(12, '\0');
    if (spec.idList)  // the list's size, one opaque item and the terminating zero size
        bytes += std::string(
            "\x16\0\x14\0\x1F\x50\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\0"
            "\x2B\x30\x30\x9D\0\0",
            24);
    // Link information after its 0x1C-byte header: volume id (size, drive type, serial, label
    // offset, label ""), local base path, network link (valid net type), suffix.
    std::string body;
    size_t volume = 0, local = 0, network = 0;
    if (!spec.localBase.empty()) {
        volume = 0x1C + body.size();
        body += Le32(0x11) + Le32(3) + Le32(0x1234ABCD) + Le32(0x10) + '\0';
        local = 0x1C + body.size();
        body += spec.localBase + '\0';
    }
    if (!spec.netName.empty()) {
        network = 0x1C + body.size();
        const std::string link = Le32(0x2) + Le32(0x14) + Le32(0) + Le32(0x20000) + spec.netName;
        body += Le32(link.size() + 5) + link + '\0';
    }
    const size_t suffix = 0x1C + body.size();
    body += spec.suffix + '\0';
    bytes += Le32(0x1C + body.size()) + Le32(0x1C) +
             Le32((local != 0 ? 1u : 0u) | (network != 0 ? 2u : 0u)) + Le32(volume) + Le32(local) +
             Le32(network) + Le32(suffix) + body + Le32(0);  // a terminal extra-data block
    return {bytes.begin(), bytes.end()};
}

// Runs save() under a file-size limit of the given bytes, so that its write fails part-way.
template <typename Save>
auto UnderFileSizeLimit(rlim_t bytes, Save save) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{bytes, old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const auto result = save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    return result;
}

}  // namespace orx::test
