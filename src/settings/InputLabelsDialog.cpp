#include "settings/InputLabelsDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "devices/MixerVocabulary.h"
#include "lang/ProgramTexts.h"
#include "lang/TextServices.h"
#include "lang/qt/DialogTranslation.h"
#include "lang/qt/QtText.h"

namespace orx {

namespace {

constexpr int kColumnWidthPx = 160;
constexpr int kInputHeadingId = 22170;
constexpr int kLabelHeadingId = 22171;

QPushButton* Button(QWidget* parent, const char* text, int controlId) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setAutoDefault(false);
    SetControlId(button, controlId);
    return button;
}

}  // namespace

InputLabelDialog::InputLabelDialog(const std::string& sourceName, const std::string& label,
                                   QWidget* parent)
    : QDialog(parent), label_(label) {
    setWindowTitle(QStringLiteral("Edit input label"));
    auto* inputLabel = new QLabel(QStringLiteral("Input"), this);
    auto* labelLabel = new QLabel(QStringLiteral("Label"), this);
    SetControlId(inputLabel, 1323);
    SetControlId(labelLabel, 1314);
    auto* source = new QLineEdit(ToQString(sourceName), this);
    source->setReadOnly(true);
    labelEdit_ = new QLineEdit(ToQString(label), this);
    labelEdit_->setMinimumWidth(240);
    labelLabel->setBuddy(labelEdit_);
    QPushButton* ok = Button(this, "OK", 1);
    QPushButton* cancel = Button(this, "Cancel", 2);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &InputLabelDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &InputLabelDialog::reject);
    auto* grid = new QGridLayout(this);
    grid->addWidget(inputLabel, 0, 0);
    grid->addWidget(source, 0, 1);
    grid->addWidget(labelLabel, 1, 0);
    grid->addWidget(labelEdit_, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    TranslateDialog(kDialogEditInputLabel, this);
    labelEdit_->setFocus();
}

void InputLabelDialog::accept() {
    label_ = FromQString(labelEdit_->text());
    QDialog::accept();
}

InputLabelsDialog::InputLabelsDialog(const InputLabels& labels, QWidget* parent)
    : QDialog(parent), labels_(labels) {
    setWindowTitle(QStringLiteral("Input labels"));
    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setUniformRowHeights(true);
    QPushButton* edit = Button(this, "Edit", 1260);
    QPushButton* reset = Button(this, "Reset", 1256);
    QPushButton* ok = Button(this, "OK", 1);
    QPushButton* cancel = Button(this, "Cancel", 2);
    connect(edit, &QPushButton::clicked, this, &InputLabelsDialog::OnEdit);
    connect(reset, &QPushButton::clicked, this, &InputLabelsDialog::OnReset);
    connect(ok, &QPushButton::clicked, this, &InputLabelsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &InputLabelsDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnEdit(); });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(edit);
    buttons->addWidget(reset);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(2 * kColumnWidthPx + 140, 420);

    TranslateDialog(kDialogInputLabels, this);
    list_->setHeaderLabels(
        {ToQString(TranslateString(kInputHeadingId)), ToQString(TranslateString(kLabelHeadingId))});
    list_->setColumnWidth(0, kColumnWidthPx);
    list_->setColumnWidth(1, kColumnWidthPx);
    Fill();
}

int InputLabelsDialog::ActiveRow() const {
    QTreeWidgetItem* current = list_->currentItem();
    if (current == nullptr || !current->isSelected()) {
        return -1;
    }
    return list_->indexOfTopLevelItem(current);
}

void InputLabelsDialog::Fill() {
    int remembered = -1;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->isSelected()) {
            remembered = i;
            break;
        }
    }
    list_->clear();
    for (int i = 0; i < kSourceCount; ++i) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, QString::fromLatin1(kSourceNames[i]));
        item->setText(1, ToQString(labels_.labels[static_cast<size_t>(i)]));
    }
    if (remembered >= 0) {
        QTreeWidgetItem* item = list_->topLevelItem(remembered);
        list_->setCurrentItem(item);
        item->setSelected(true);
        list_->scrollToItem(item);
    }
}

void InputLabelsDialog::OnEdit() {
    const int row = ActiveRow();
    if (row < 0) {
        return;
    }
    auto& label = labels_.labels[static_cast<size_t>(row)];
    InputLabelDialog dialog(kSourceNames[row], label, this);
    if (dialog.exec() == QDialog::Accepted) {
        label = dialog.label();
        Fill();
    }
}

void InputLabelsDialog::OnReset() {
    const int row = ActiveRow();
    if (row < 0) {
        return;
    }
    labels_.labels[static_cast<size_t>(row)].clear();
    Fill();
}

}  // namespace orx
