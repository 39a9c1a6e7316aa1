#pragma once

// Media and shortcut files for the library tests: real clips made by ffmpeg at test time, AVI
// headers and ".lnk" files built byte by byte from their documented layouts; a failing save.

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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
inline void AppendLe32(std::vector<uint8_t>& bytes, uint32_t value) {
    bytes.resize(bytes.size() + 4);
    PutLe32(bytes, bytes.size() - 4, value);
}
inline void AppendText(std::vector<uint8_t>& bytes, const std::string& text, bool nul = true) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    if (nul)
        bytes.push_back(0);
}

// One stream of a hand-made AVI header.
struct AviStream {
    std::string type = "vids";
    uint32_t scale = 1, rate = 25, length = 250;
};

// "RIFF" size "AVI " { "LIST" "hdrl" { "avih", "LIST" "strl" { "strh" ... } ... } }, then a
// small "movi" list.
inline std::vector<uint8_t> AviHeader(const std::vector<AviStream>& streams) {
    std::vector<uint8_t> hdrl;
    AppendText(hdrl, "hdrl", false);
    AppendText(hdrl, "avih", false);
    AppendLe32(hdrl, 56);
    hdrl.resize(hdrl.size() + 56);
    for (const AviStream& stream : streams) {
        std::vector<uint8_t> strh(56);
        std::memcpy(strh.data(), stream.type.data(), 4);
        PutLe32(strh, 20, stream.scale);
        PutLe32(strh, 24, stream.rate);
        PutLe32(strh, 32, stream.length);
        AppendText(hdrl, "LIST", false);
        AppendLe32(hdrl, 4 + 8 + 56);
        AppendText(hdrl, "strlstrh", false);
        AppendLe32(hdrl, 56);
        hdrl.insert(hdrl.end(), strh.begin(), strh.end());
    }
    std::vector<uint8_t> file;
    AppendText(file, "RIFF", false);
    AppendLe32(file, 0);
    AppendText(file, "AVI LIST", false);
    AppendLe32(file, static_cast<uint32_t>(hdrl.size()));
    file.insert(file.end(), hdrl.begin(), hdrl.end());
    AppendText(file, "LIST", false);
    AppendLe32(file, 4);
    AppendText(file, "movi", false);
    PutLe32(file, 4, static_cast<uint32_t>(file.size() - 8));
    return file;
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
    std::vector<uint8_t> bytes(0x4C, 0);
    PutLe32(bytes, 0, 0x4C);
    const uint8_t classId[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    std::memcpy(bytes.data() + 4, classId, 16);
    PutLe32(bytes, 0x14, (spec.idList ? 0x1u : 0u) | 0x2u | 0x80u);
    PutLe32(bytes, 0x18, spec.attributes);
    PutLe32(bytes, 0x3C, 1);  // show normal
    if (spec.idList) {
        // One opaque item and the terminating zero size.
        const std::vector<uint8_t> item = {0x14, 0x00, 0x1F, 0x50, 0xE0, 0x4F, 0xD0,
                                           0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8,
                                           0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
        bytes.push_back(static_cast<uint8_t>(item.size() + 2));
        bytes.push_back(0);
        bytes.insert(bytes.end(), item.begin(), item.end());
        bytes.push_back(0);
        bytes.push_back(0);
    }
    const bool local = !spec.localBase.empty();
    const bool network = !spec.netName.empty();
    std::vector<uint8_t> info(0x1C, 0);
    PutLe32(info, 4, 0x1C);
    PutLe32(info, 8, (local ? 1u : 0u) | (network ? 2u : 0u));
    if (local) {
        PutLe32(info, 12, static_cast<uint32_t>(info.size()));
        AppendLe32(info, 0x11);  // volume id: size, drive type, serial, label offset, label ""
        AppendLe32(info, 3);
        AppendLe32(info, 0x1234ABCD);
        AppendLe32(info, 0x10);
        info.push_back(0);
        PutLe32(info, 16, static_cast<uint32_t>(info.size()));
        AppendText(info, spec.localBase);
    }
    if (network) {
        PutLe32(info, 20, static_cast<uint32_t>(info.size()));
        const size_t at = info.size();
        AppendLe32(info, 0);
        AppendLe32(info, 0x2);  // valid net type
        AppendLe32(info, 0x14);
        AppendLe32(info, 0);
        AppendLe32(info, 0x20000);
        AppendText(info, spec.netName);
        PutLe32(info, at, static_cast<uint32_t>(info.size() - at));
    }
    PutLe32(info, 24, static_cast<uint32_t>(info.size()));
    AppendText(info, spec.suffix);
    PutLe32(info, 0, static_cast<uint32_t>(info.size()));
    bytes.insert(bytes.end(), info.begin(), info.end());
    AppendLe32(bytes, 0);  // terminal extra-data block
    return bytes;
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
