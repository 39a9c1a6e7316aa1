#include "editor/DescriptionDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "editor/DialogText.h"
#include "lang/ProgramTexts.h"
#include "lang/qt/DialogTranslation.h"
#include "lang/qt/QtText.h"

namespace orx {

namespace {

// Refuses a text whose stored form (UTF-8) would not fit the record: a character that would
// have been cut in the middle cannot be typed at all.
class ByteLengthValidator : public QValidator {
public:
    ByteLengthValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString& input, int& /*pos*/) const override {
        return input.toUtf8().size() <= maxBytes_ ? Acceptable : Invalid;
    }

private:
    int maxBytes_;
};

}  // namespace

DescriptionDialog::DescriptionDialog(const std::string& fileName, const std::string& description,
                                     QWidget* parent)
    : QDialog(parent) {
    using editor::SetTemplateControl;
    constexpr int id = kDialogEditDescription;
    SetTemplateControl(this, id, 0);

    auto* fileLabel = new QLabel(this);
    SetTemplateControl(fileLabel, id, 1323);
    fileEdit_ = new QLineEdit(ToQString(fileName), this);
    fileEdit_->setReadOnly(true);
    fileEdit_->setFocusPolicy(Qt::ClickFocus);
    auto* descriptionLabel = new QLabel(this);
    SetTemplateControl(descriptionLabel, id, 1314);
    descriptionEdit_ = new QLineEdit(this);
    descriptionEdit_->setMaxLength(kMaxDescriptionBytes);
    descriptionEdit_->setValidator(new ByteLengthValidator(kMaxDescriptionBytes, this));
    descriptionEdit_->setText(ToQString(description).left(kMaxDescriptionBytes));
    descriptionEdit_->selectAll();
    descriptionLabel->setBuddy(descriptionEdit_);

    auto* ok = new QPushButton(this);
    SetTemplateControl(ok, id, 1);
    ok->setDefault(true);
    auto* cancel = new QPushButton(this);
    SetTemplateControl(cancel, id, 2);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(fileEdit_, 0, 1, 1, 3);
    grid->addWidget(descriptionLabel, 1, 0);
    grid->addWidget(descriptionEdit_, 1, 1, 1, 3);
    grid->addWidget(ok, 2, 2);
    grid->addWidget(cancel, 2, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 280);

    TranslateDialog(id, this);
    descriptionEdit_->setFocus();
}

std::string DescriptionDialog::description() const {
    return FromQString(descriptionEdit_->text());
}

}  // namespace orx
