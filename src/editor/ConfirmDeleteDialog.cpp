#include "editor/ConfirmDeleteDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/DialogText.h"
#include "lang/ProgramTexts.h"
#include "lang/qt/DialogTranslation.h"
#include "lang/qt/QtText.h"

namespace orx {

ConfirmDeleteDialog::ConfirmDeleteDialog(const std::vector<std::string>& playlistNames,
                                         QWidget* parent)
    : QDialog(parent) {
    using editor::SetTemplateControl;
    constexpr int id = kDialogConfirmDelete;
    SetTemplateControl(this, id, 0);

    auto* usedLabel = new QLabel(this);
    SetTemplateControl(usedLabel, id, 1314);
    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setSortingEnabled(false);
    list_->setFocusPolicy(Qt::NoFocus);
    for (const std::string& name : playlistNames) {
        list_->addItem(ToQString(name));
    }
    auto* questionLabel = new QLabel(this);
    SetTemplateControl(questionLabel, id, 1315);

    yes_ = new QPushButton(this);
    SetTemplateControl(yes_, id, 1);
    yes_->setAutoDefault(false);
    no_ = new QPushButton(this);
    SetTemplateControl(no_, id, 2);
    no_->setDefault(true);
    connect(yes_, &QPushButton::clicked, this, &QDialog::accept);
    connect(no_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes_);
    buttons->addWidget(no_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(usedLabel);
    layout->addWidget(list_);
    layout->addWidget(questionLabel);
    layout->addLayout(buttons);

    TranslateDialog(id, this);
    no_->setFocus();
}

}  // namespace orx
