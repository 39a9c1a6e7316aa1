#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lang/TranslationTable.h"

namespace orx {

// The rules of the translation editor, apart from its dialog. Texts are UTF-8 in memory.

// One translation per master entry, in the master's entry order: the text T holds for the
// entry's key (as stored, tab pairs not expanded), or "" when T lacks the key.
std::vector<std::string> TranslationsFor(const TranslationTable& master,
                                         const TranslationTable& table);

// Replaces table by the non-empty translations, in the master's entry order, with the master
// entries' keys. Keys the master lacks are dropped. An empty table when nothing is translated.
void RebuildTable(TranslationTable& table, const TranslationTable& master,
                  const std::vector<std::string>& translations);

// What the "Translation" box stores: CR removed; "" when the rest is only white space or equals
// the original exactly (an unchanged text is no translation); otherwise the text as typed.
std::string StoredTranslation(std::string_view typed, std::string_view original);

// A list row's label: the original text up to its first line break; more than 25 characters
// are cut to the first 23 followed by "...". Characters, not bytes, are counted.
std::string RowLabel(std::string_view original);

// The editor on one table: true when the operator confirmed and the table was rebuilt. The Qt
// layer implements it; tests replace it.
class TranslationEditor {
public:
    virtual ~TranslationEditor() = default;
    // Runs the dialog on table. Every translation kept must fit codePage (kCodePageUtf8: any).
    virtual bool EditTranslations(TranslationTable& table, int codePage) = 0;
    // The save-file dialog for a new language file (program folder, ".brl"); "" when cancelled.
    virtual std::string ChooseNewLanguageFile() = 0;
};

}  // namespace orx
