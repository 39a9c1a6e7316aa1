// The ".lnk" reader: shortcuts in the video folder lead the library to clips and folders
// elsewhere. The file reader and the byte parser must agree, and a target is a usable path.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "library/Shortcut.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orx::fuzz::ScratchFolder scratch;
    orx::ShortcutTarget parsed;
    const bool ok = orx::ParseShortcut(data, size, parsed);
    if (ok && (parsed.path.empty() || parsed.path.size() > 259 ||
               parsed.path.find('\0') != std::string::npos)) {
        orx::fuzz::Fail("a target that is no path");
    }

    const std::string path = scratch / "fuzz.lnk";
    orx::fuzz::WriteWholeFile(path, data, size);
    orx::ShortcutTarget resolved;
    if (orx::ResolveShortcut(path, resolved) != ok ||
        (ok && (resolved.path != parsed.path || resolved.attributes != parsed.attributes))) {
        orx::fuzz::Fail("the file reader and the parser disagree");
    }
    return 0;
}
