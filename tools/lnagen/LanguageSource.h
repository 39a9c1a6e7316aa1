#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lang/TranslationTable.h"

namespace orx {

// The reviewable text form of a language, compiled into a language file by the build.
//
// One text per line: a key, "=", the text. A key is "dialog <template id> <control id>" (control
// 0 is the dialog's caption) or "string <string id>". In a text, "\n" stands for a line break;
// every other character is taken as it is, so "\t" stays the backslash-and-t pair with which
// language files store a tab. Blanks around the key and the text are ignored. Lines starting
// with "#" and blank lines are skipped. The file is UTF-8.
//
// Returns false with a message naming the line when a line cannot be read or a key repeats.
bool ParseLanguageSource(std::string_view source, std::vector<TranslationText>& texts,
                         std::string& error);

// Orders the texts as the master lists them. Fails when a text has a key the master lacks, when
// a translation drops or adds an insert (%1..%99) of its original, or when a command string
// loses the line break before its tool tip; with requireComplete also when a master key has no
// text.
bool MatchMaster(const std::vector<TranslationText>& master,
                 const std::vector<TranslationText>& texts, bool requireComplete,
                 std::vector<TranslationText>& ordered, std::string& error);

// "dialog 304 1323" or "string 3000".
std::string DescribeKey(TranslationKey key);

}  // namespace orx
