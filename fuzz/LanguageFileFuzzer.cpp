// The language-file reader: ".brl" and ".lna" files come from a folder operators copy files into.
// The file reader and the in-memory parser must agree, and what loads must save and load again.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "lang/TranslationTable.h"

namespace {

using orx::TranslationTable;

void CheckLookups(const TranslationTable& table) {
    for (size_t i = 0; i < table.Size(); ++i) {
        const orx::TranslationKey key = table.Entries()[i].key;
        const char* found = table.Find(key);
        if (found == nullptr) {
            orx::fuzz::Fail("a key of the file is not found");
        }
        // The first entry of a key in file order wins.
        size_t first = 0;
        while (table.Entries()[first].key != key) {
            ++first;
        }
        if (std::strcmp(found, table.TextAt(first)) != 0) {
            orx::fuzz::Fail("a duplicate key finds a later text");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orx::fuzz::ScratchFolder scratch;
    const std::span<const uint8_t> bytes(data, size);

    TranslationTable parsed;
    const int parseResult = parsed.Parse(bytes);
    if (parseResult != TranslationTable::kOk && parseResult != TranslationTable::kBadFormat) {
        orx::fuzz::Fail("unexpected parse result");
    }

    const std::string path = scratch / "fuzz.brl";
    orx::fuzz::WriteWholeFile(path, data, size);
    TranslationTable loaded;
    const int loadResult = loaded.Load(path);
    if (loadResult != parseResult || loaded.Serialize() != parsed.Serialize()) {
        orx::fuzz::Fail("the file reader and the parser disagree");
    }
    if (parseResult != TranslationTable::kOk) {
        if (!parsed.Empty()) {
            orx::fuzz::Fail("a refused file left entries");
        }
        return 0;
    }

    parsed.BuildIndex();
    CheckLookups(parsed);

    const std::vector<uint8_t> image = parsed.Serialize();
    TranslationTable again;
    if (again.Parse(image) != TranslationTable::kOk || again.Serialize() != image) {
        orx::fuzz::Fail("a loaded table does not read back as saved");
    }
    return 0;
}
