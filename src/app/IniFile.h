#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orx {

// The settings store: a private-profile (INI) file. Sections and keys match without regard to
// case, the first match wins. Every call opens, reads or rewrites, and closes the file; a write
// goes to a file beside it that is renamed over the old one, so the file is never left half
// written. Write failures are not reported. Writes made while an IniWriteBatch is alive are
// applied together, in one rewrite, when the outermost batch ends.

// The settings file every call uses; set once at start-up (tests point it at their own file).
void SetIniPath(std::string path);
const std::string& IniPath();

int32_t GetIniInt(std::string_view section, std::string_view key, int32_t defaultValue);
std::string GetIniString(std::string_view section, std::string_view key,
                         std::string_view defaultValue = {});
void WriteIniInt(std::string_view section, std::string_view key, int32_t value);
void WriteIniString(std::string_view section, std::string_view key, std::string_view text);

// Collects the writes of its lifetime and applies them, in the order made, with one rewrite of
// the file (still written beside it and renamed over it) when it ends. Batches nest; the
// outermost one writes. Reads inside a batch see its writes. One thread, as the whole store.
class IniWriteBatch {
public:
    IniWriteBatch();
    ~IniWriteBatch();
    IniWriteBatch(const IniWriteBatch&) = delete;
    IniWriteBatch& operator=(const IniWriteBatch&) = delete;
};

}  // namespace orx
