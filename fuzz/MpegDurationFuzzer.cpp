// The MPEG duration probe: program and transport streams through libavformat, elementary video
// streams from their sequence and group headers, read by the program itself.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "library/ClipDuration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orx::fuzz::ScratchFolder scratch;
    const std::string path = scratch / "fuzz.mpg";
    orx::fuzz::WriteWholeFile(path, data, size);
    uint32_t durationMs = 0;
    const int result = orx::ProbeMpegDuration(path, durationMs);
    if (result != orx::kProbeOk && result != orx::kProbeNoDuration &&
        result != orx::kProbeNotAccepted) {
        orx::fuzz::Fail("unexpected probe result");
    }
    if (result == orx::kProbeOk ? durationMs > orx::kMaxClipDurationMs : durationMs != 0) {
        orx::fuzz::Fail("a duration outside its range");
    }
    return 0;
}
