// Writes the master text file from the program's own texts and compiles language sources.
//
//   lnagen <master.lna> [<language.txt> <language.brl>]...
//
// A language source must translate every text of the master; the build fails otherwise.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lang/ProgramTexts.h"
#include "lang/TextEncoding.h"
#include "lang/TranslationTable.h"
#include "lnagen/LanguageSource.h"

namespace {

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    content = buffer.str();
    return static_cast<bool>(in) || in.eof();
}

// A language is written as the translation editor writes a new one: in code page 1252 when every
// text fits, so the Windows program reads it as well, else in UTF-8. The master is plain ASCII.
bool WriteTable(const std::vector<orx::TranslationText>& texts, const std::string& path,
                bool language) {
    orx::TranslationTable table;
    table.Assign(texts);
    if (language) {
        orx::TranslationTable encoded = table;
        if (orx::EncodeTable(encoded, orx::kDefaultCodePage)) {
            table = std::move(encoded);
        }
    }
    if (table.Save(path) != orx::TranslationTable::kOk) {
        std::fprintf(stderr, "lnagen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: lnagen <master.lna> [<language.txt> <language.brl>]...\n");
        return 2;
    }
    const std::vector<orx::TranslationText> master = orx::MasterTexts();
    if (!WriteTable(master, argv[1], false)) {
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string sourcePath = argv[i];
        std::string source;
        if (!ReadWholeFile(sourcePath, source)) {
            std::fprintf(stderr, "lnagen: cannot read %s\n", sourcePath.c_str());
            return 1;
        }
        std::vector<orx::TranslationText> texts;
        std::vector<orx::TranslationText> ordered;
        std::string error;
        if (!orx::ParseLanguageSource(source, texts, error) ||
            !orx::MatchMaster(master, texts, true, ordered, error)) {
            std::fprintf(stderr, "%s: %s\n", sourcePath.c_str(), error.c_str());
            return 1;
        }
        if (!WriteTable(ordered, argv[i + 1], true)) {
            return 1;
        }
    }
    return 0;
}
