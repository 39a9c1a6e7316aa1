#include "lang/qt/TranslationEditorDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "app/UiHost.h"
#include "lang/LanguageManager.h"
#include "lang/ProgramTexts.h"
#include "lang/TextEncoding.h"
#include "lang/TextServices.h"
#include "lang/TranslationEditing.h"
#include "lang/qt/DialogTranslation.h"
#include "lang/qt/QtText.h"

namespace orx {

namespace {

constexpr int kTextLabelId = 1314;
constexpr int kOriginalLabelId = 1315;
constexpr int kTranslationLabelId = 1316;
constexpr int kResetId = 1256;

QString Shown(const std::string& stored) {
    return ToQString(stored);
}

// A typed or pasted tab is kept in the stored form, the backslash-t pair.
std::string Typed(const QString& text) {
    QString copy = text;
    copy.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return FromQString(copy);
}

QIcon KindIcon(QColor fill, QChar letter, bool untranslated) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(fill.darker(160));
    painter.setBrush(fill);
    painter.drawRect(1, 2, 11, 11);
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(1, 2, 12, 12), Qt::AlignCenter, QString(letter));
    if (untranslated) {
        painter.setPen(QColor(0xD0, 0, 0));
        font.setPixelSize(11);
        painter.setFont(font);
        painter.drawText(QRect(8, 4, 8, 12), Qt::AlignCenter, QStringLiteral("?"));
    }
    painter.end();
    return QIcon(pixmap);
}

}  // namespace

std::array<QIcon, 6> TranslationKindIcons() {
    const QColor kinds[3] = {QColor(0x80, 0x80, 0x80), QColor(0x30, 0x60, 0xC0),
                             QColor(0x20, 0x90, 0x40)};
    const QChar letters[3] = {QLatin1Char('R'), QLatin1Char('D'), QLatin1Char('S')};
    std::array<QIcon, 6> icons;
    for (size_t k = 0; k < 3; ++k) {
        icons[2 * k] = KindIcon(kinds[k], letters[k], false);
        icons[2 * k + 1] = KindIcon(kinds[k], letters[k], true);
    }
    return icons;
}

TranslationEditorDialog::TranslationEditorDialog(const TranslationTable& master,
                                                 std::vector<std::string> translations,
                                                 int codePage, QWidget* parent)
    : QDialog(parent),
      master_(master),
      translations_(std::move(translations)),
      codePage_(codePage),
      icons_(TranslationKindIcons()) {
    translations_.resize(master_.Size());
    setWindowTitle(QStringLiteral("Edit translation"));
    setSizeGripEnabled(true);

    auto* textLabel = new QLabel(QStringLiteral("Text"), this);
    auto* originalLabel = new QLabel(QStringLiteral("Original"), this);
    auto* translationLabel = new QLabel(QStringLiteral("Translation"), this);
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setIconSize(QSize(16, 16));
    list_->setUniformItemSizes(true);
    original_ = new QPlainTextEdit(this);
    original_->setReadOnly(true);
    original_->setLineWrapMode(QPlainTextEdit::NoWrap);
    translation_ = new QPlainTextEdit(this);
    translation_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Enter makes a new line in the box; Tab moves on, as in the other dialogs.
    translation_->setTabChangesFocus(true);
    original_->setTabChangesFocus(true);
    reset_ = new QPushButton(QStringLiteral("Reset"), this);
    reset_->setAutoDefault(false);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setAutoDefault(false);
    textLabel->setBuddy(list_);
    originalLabel->setBuddy(original_);
    translationLabel->setBuddy(translation_);

    SetControlId(textLabel, kTextLabelId);
    SetControlId(originalLabel, kOriginalLabelId);
    SetControlId(translationLabel, kTranslationLabelId);
    SetControlId(reset_, kResetId);
    SetControlId(ok_, 1);
    SetControlId(cancel, 2);

    auto* grid = new QGridLayout(this);
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(list_, 1, 0, 4, 1);
    grid->addWidget(originalLabel, 0, 1);
    grid->addWidget(original_, 1, 1);
    grid->addWidget(translationLabel, 2, 1);
    grid->addWidget(translation_, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(reset_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 4, 1);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    resize(720, 420);

    TranslateDialog(kDialogEditTranslation, this);

    rowIcons_.assign(master_.Size(), -1);
    for (size_t i = 0; i < master_.Size(); ++i) {
        list_->addItem(ToQString(RowLabel(master_.TextAt(i))));
        const uint32_t kind = master_.Entries()[i].key >> 30;
        rowIcons_[i] = kind == 0 ? -1 : static_cast<int>(2 * kind - 2);
        UpdateMark(static_cast<int>(i));
    }

    connect(list_, &QListWidget::currentRowChanged, this,
            [this](int row) { OnCurrentRowChanged(row); });
    connect(reset_, &QPushButton::clicked, this, [this] { OnReset(); });
    connect(ok_, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

    if (list_->count() > 0) {
        list_->setCurrentRow(0);
    }
}

bool TranslationEditorDialog::Valid(int row) const {
    return row >= 0 && static_cast<size_t>(row) < translations_.size();
}

int TranslationEditorDialog::RowIcon(int row) const {
    if (!Valid(row) || rowIcons_[static_cast<size_t>(row)] < 0) {
        return -1;
    }
    return rowIcons_[static_cast<size_t>(row)] +
           (translations_[static_cast<size_t>(row)].empty() ? 1 : 0);
}

void TranslationEditorDialog::UpdateMark(int row) {
    QListWidgetItem* item = list_->item(row);
    const int icon = RowIcon(row);
    if (item == nullptr || icon < 0) {
        return;
    }
    if (item->data(Qt::UserRole).toInt() != icon + 1) {
        item->setIcon(icons_[static_cast<size_t>(icon)]);
        item->setData(Qt::UserRole, icon + 1);
    }
}

void TranslationEditorDialog::OnCurrentRowChanged(int row) {
    StoreCurrent();
    current_ = row;
    ShowCurrent();
}

void TranslationEditorDialog::StoreCurrent() {
    if (!Valid(current_)) {
        return;
    }
    const auto index = static_cast<size_t>(current_);
    translations_[index] =
        StoredTranslation(Typed(translation_->toPlainText()), master_.TextAt(index));
    UpdateMark(current_);
}

void TranslationEditorDialog::ShowCurrent() {
    if (!Valid(current_)) {
        return;
    }
    const auto index = static_cast<size_t>(current_);
    const std::string original = master_.TextAt(index);
    original_->setPlainText(Shown(original));
    const std::string& translation = translations_[index];
    translation_->setPlainText(Shown(translation.empty() ? original : translation));
    UpdateMark(current_);
}

void TranslationEditorDialog::OnReset() {
    if (!Valid(current_)) {
        return;
    }
    translations_[static_cast<size_t>(current_)].clear();
    ShowCurrent();
}

void TranslationEditorDialog::accept() {
    StoreCurrent();
    for (size_t i = 0; i < translations_.size(); ++i) {
        const std::string unfit = FirstUnencodable(translations_[i], codePage_);
        if (unfit.empty()) {
            continue;
        }
        // The language file keeps its code page; a character it cannot hold would be lost.
        list_->setCurrentRow(static_cast<int>(i));
        ShowMessageText(
            FormatTranslated(kStringCharacterNotInCodePage, {unfit, std::to_string(codePage_)}),
            mb::Ok | mb::IconWarning);
        return;
    }
    QDialog::accept();
}

bool EditTranslations(TranslationTable& table, int codePage, QWidget* parent) {
    const LanguageManager& languages = Languages();
    if (!languages.IsAvailable()) {
        return false;
    }
    const TranslationTable& master = languages.MasterTable();
    TranslationEditorDialog dialog(master, TranslationsFor(master, table), codePage, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    RebuildTable(table, master, dialog.translations());
    return true;
}

}  // namespace orx
