#pragma once

#include <QDialog>
#include <QIcon>
#include <array>
#include <string>
#include <vector>

#include "lang/TranslationTable.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace orx {

// "Edit translation" (template 1163): every master entry in a list with an icon of its key kind
// (the variant with a question mark while untranslated), the selected entry's original text and
// its translation. Works on a copy of the translations; the caller takes them after "OK".
//
// Texts are UTF-8 in memory and shown without length limit. A tab is stored and shown as the
// two characters backslash and "t"; a real tab typed or pasted is stored as that pair.
class TranslationEditorDialog : public QDialog {
    Q_OBJECT

public:
    // translations: one per master entry (TranslationsFor). codePage: the encoding every
    // translation must fit in (kCodePageUtf8 for any text).
    TranslationEditorDialog(const TranslationTable& master, std::vector<std::string> translations,
                            int codePage, QWidget* parent = nullptr);

    const std::vector<std::string>& translations() const { return translations_; }
    int currentEntry() const { return current_; }

    QListWidget* list() const { return list_; }
    QPlainTextEdit* originalBox() const { return original_; }
    QPlainTextEdit* translationBox() const { return translation_; }
    QPushButton* resetButton() const { return reset_; }
    QPushButton* okButton() const { return ok_; }

    // Icon index of a row: 2 x kind - 2, plus 1 while untranslated; -1 for kind 00.
    int RowIcon(int row) const;

    // Stores the current entry, then closes, unless a translation holds a character the file's
    // code page cannot store: that is reported and its entry shown.
    void accept() override;

private:
    void OnCurrentRowChanged(int row);
    void StoreCurrent();
    void ShowCurrent();
    void UpdateMark(int row);
    void OnReset();
    bool Valid(int row) const;

    const TranslationTable& master_;
    std::vector<std::string> translations_;
    std::vector<int> rowIcons_;
    int codePage_;
    int current_ = -1;
    std::array<QIcon, 6> icons_;

    QListWidget* list_ = nullptr;
    QPlainTextEdit* original_ = nullptr;
    QPlainTextEdit* translation_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Runs the dialog on table; on "OK" rebuilds table from the master's keys and returns true.
// False without the language system or when cancelled (table unchanged).
bool EditTranslations(TranslationTable& table, int codePage, QWidget* parent = nullptr);

// The six list icons, drawn by the program: per key kind (01, 10, 11) a translated and an
// untranslated variant (with a red question mark).
std::array<QIcon, 6> TranslationKindIcons();

}  // namespace orx
