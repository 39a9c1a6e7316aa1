// The AVI header reader: the duration of an ".avi" clip from its first video stream's header.
// The file reader and the byte parser must agree.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "library/ClipDuration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orx::fuzz::ScratchFolder scratch;
    uint32_t parsedMs = 0;
    const int parsed = orx::AviDurationFromBytes(data, size, parsedMs);
    if (parsed != orx::kProbeOk && parsed != orx::kProbeNoDuration &&
        parsed != orx::kProbeNotAccepted) {
        orx::fuzz::Fail("unexpected probe result");
    }
    if (parsed == orx::kProbeOk && parsedMs > orx::kMaxClipDurationMs) {
        orx::fuzz::Fail("a duration beyond the clamp");
    }

    const std::string path = scratch / "fuzz.avi";
    orx::fuzz::WriteWholeFile(path, data, size);
    uint32_t probedMs = 0;
    const int probed = orx::ProbeAviDuration(path, probedMs);
    // An empty file is refused before it is read.
    const int expected = size == 0 ? orx::kProbeNotAccepted : parsed;
    if (probed != expected || (probed == orx::kProbeOk && probedMs != parsedMs)) {
        orx::fuzz::Fail("the file reader and the parser disagree");
    }
    return 0;
}
