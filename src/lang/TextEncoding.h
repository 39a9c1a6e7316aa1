#pragma once

#include <string>
#include <string_view>

#include "lang/TranslationTable.h"

namespace orx {

// Text encodings of language files. The program keeps every text in memory as UTF-8; a language
// file holds its texts either in UTF-8 or in one single-byte Windows code page ("ANSI"), the
// same for all texts of the file. docs/language-files.md states the rule.
inline constexpr int kCodePageUtf8 = 65001;
inline constexpr int kDefaultCodePage = 1252;

bool IsValidUtf8(std::string_view text);

// The code page of the settings ("Language"/"CodePage") in which files that are not UTF-8 are
// read: one of the single-byte Windows code pages 874 and 1250 to 1258; 1252 otherwise.
int LegacyCodePage();
// 874 and 1250 to 1258.
bool IsSupportedCodePage(int codePage);

// UTF-8 when every text of the table is valid UTF-8, else legacyCodePage.
int DetectEncoding(const TranslationTable& table, int legacyCodePage);

// Bytes of a single-byte code page as UTF-8. Every byte has a character: bytes the code page
// leaves undefined become the control character of the same value (U+0080 to U+009F, as
// Windows reads them) or, where that is taken, a private-use character, so decoding and
// encoding again gives back the same bytes.
std::string DecodeCodePage(std::string_view bytes, int codePage);
// UTF-8 text in a single-byte code page; false (out unspecified) when a character has no byte
// there or the text is not valid UTF-8. kCodePageUtf8 copies valid UTF-8.
bool EncodeCodePage(std::string_view utf8, int codePage, std::string& out);
// The first character of text that codePage cannot hold, as UTF-8; "" when all fit.
std::string FirstUnencodable(std::string_view utf8, int codePage);

// The table's texts re-encoded, entries and their order kept. A table whose texts cannot all be
// converted is left as it was and false returned.
bool DecodeTable(TranslationTable& table, int codePage);
bool EncodeTable(TranslationTable& table, int codePage);

}  // namespace orx
