// The "video.dat" reader: the library index is a text file in the program folder. However the
// bytes arrive (whole, in two reads, from the file), the records are the same, and what was read
// is written and read back unchanged.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "library/ClipDuration.h"
#include "library/VideoLibrary.h"

namespace {

bool Same(const std::vector<orx::LibraryClip>& a, const std::vector<orx::LibraryClip>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0);
}

// What a record says: its texts up to their terminators, its duration and whether the name is a
// full path. Bytes after a terminator are not part of the index.
bool SameMeaning(const std::vector<orx::LibraryClip>& a, const std::vector<orx::LibraryClip>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (orx::ClipFileName(a[i]) != orx::ClipFileName(b[i]) ||
            orx::ClipDescription(a[i]) != orx::ClipDescription(b[i]) ||
            a[i].durationMs != b[i].durationMs ||
            (a[i].absolutePath != 0) != (b[i].absolutePath != 0)) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orx::fuzz::ScratchFolder scratch;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<orx::LibraryClip> clips = orx::ParseVideoDat(bytes);
    for (const orx::LibraryClip& clip : clips) {
        if (orx::ClipFileName(clip).size() >= sizeof(clip.fileName) ||
            orx::ClipDescription(clip).size() >= sizeof(clip.description)) {
            orx::fuzz::Fail("a text runs past its field");
        }
        uint32_t ms = 0;
        (void)orx::DurationFromFileName(orx::ClipFileName(clip), ms);
    }

    // Two reads, split where the first byte says.
    const size_t split = size == 0 ? 0 : data[0] % (size + 1);
    orx::VideoDatReader reader;
    reader.Feed(bytes.data(), split);
    reader.Feed(bytes.data() + split, size - split);
    if (!Same(reader.Finish(), clips)) {
        orx::fuzz::Fail("the records depend on how the bytes arrive");
    }

    const std::string path = scratch / "video.dat";
    orx::fuzz::WriteWholeFile(path, data, size);
    orx::VideoLibrary library;
    library.Load(path);
    if (!Same(library.clips, clips)) {
        orx::fuzz::Fail("the file reader and the parser disagree");
    }

    if (!SameMeaning(orx::ParseVideoDat(orx::FormatVideoDat(clips)), clips)) {
        orx::fuzz::Fail("a written index reads back different");
    }
    return 0;
}
