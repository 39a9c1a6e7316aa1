// The settings store: "brenvik.ini" is a text file operators edit by hand. Reading it must never
// fail, and a write must change the one key it names and nothing else the store can read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "app/AppSettings.h"
#include "app/IniFile.h"

namespace {

struct Key {
    const char* section;
    const char* key;
};

// Keys of the program's own sections, spelled as the program spells them, and key names that
// also appear in another section, so a lookup that strays into the wrong section shows.
constexpr Key kKeys[] = {
    {"Hardware", "MPEG"}, {"Hardware", "Video"}, {"Paths", "Video"},  {"Paths", "Remote"},
    {"Debug", "Log"},     {"Language", "Name"},  {"Language", "Log"}, {"Hot Keys", "Play"},
};
constexpr size_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orx::fuzz::ScratchFolder scratch;
    const std::string path = scratch / "brenvik.ini";
    orx::SetIniPath(path);
    orx::fuzz::WriteWholeFile(path, data, size);

    orx::AppSettings settings;
    orx::LoadSettings(settings);

    std::string before[kKeyCount];
    for (size_t i = 0; i < kKeyCount; ++i) {
        before[i] = orx::GetIniString(kKeys[i].section, kKeys[i].key, "\x01missing");
        (void)orx::GetIniInt(kKeys[i].section, kKeys[i].key, -1);
    }

    const size_t written = size % kKeyCount;
    const std::string value = "fuzz value " + std::to_string(size);
    {
        // Writes made together: reads see them at once, the last write of a key wins.
        orx::IniWriteBatch batch;
        orx::WriteIniString(kKeys[written].section, kKeys[written].key, "first");
        orx::WriteIniString(kKeys[written].section, kKeys[written].key, value);
        if (orx::GetIniString(kKeys[written].section, kKeys[written].key) != value) {
            orx::fuzz::Fail("a read inside a batch does not see its write");
        }
    }
    for (size_t i = 0; i < kKeyCount; ++i) {
        const std::string after = orx::GetIniString(kKeys[i].section, kKeys[i].key, "\x01missing");
        if (i == written ? after != value : after != before[i]) {
            orx::fuzz::Fail(i == written ? "a written value does not read back"
                                         : "a write changed another key");
        }
    }
    if (orx::GetIniInt(kKeys[written].section, kKeys[written].key, -1) != 0) {
        orx::fuzz::Fail("a value without digits does not read as 0");
    }
    return 0;
}
