// The language-file reader: ".brl" and ".lna" files come from a folder operators copy files into.
// The file reader and the in-memory parser must agree, and what loads must save and load again.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "lang/TextEncoding.h"
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

// Key and text of every entry with a text, in file order: what a table means.
std::vector<std::pair<orx::TranslationKey, std::string>> Texts(const TranslationTable& table) {
    std::vector<std::pair<orx::TranslationKey, std::string>> texts;
    for (size_t i = 0; i < table.Size(); ++i) {
        if (*table.TextAt(i) != '\0') {
            texts.emplace_back(table.Entries()[i].key, table.TextAt(i));
        }
    }
    return texts;
}

// A file read in its encoding and written back in it keeps every text.
void CheckEncodingRoundTrip(const TranslationTable& table) {
    // The settings' legacy code page, picked by a spare header byte.
    constexpr int kCodePages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};
    const int legacy = kCodePages[table.Header().reserved[0] % std::size(kCodePages)];
    TranslationTable copy = table;
    const int encoding = orx::DetectEncoding(copy, legacy);
    if (!orx::DecodeTable(copy, encoding)) {
        orx::fuzz::Fail("a file could not be read in its encoding");
    }
    for (size_t i = 0; i < copy.Size(); ++i) {
        if (!orx::IsValidUtf8(copy.TextAt(i))) {
            orx::fuzz::Fail("a text read from a file is not UTF-8");
        }
    }
    if (!orx::EncodeTable(copy, encoding) || Texts(copy) != Texts(table)) {
        orx::fuzz::Fail("a file written back in its encoding lost a text");
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
    CheckEncodingRoundTrip(parsed);

    const std::vector<uint8_t> image = parsed.Serialize();
    TranslationTable again;
    if (again.Parse(image) != TranslationTable::kOk || again.Serialize() != image) {
        orx::fuzz::Fail("a loaded table does not read back as saved");
    }
    return 0;
}
