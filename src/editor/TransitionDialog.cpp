#include "editor/TransitionDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "editor/DialogText.h"
#include "lang/ProgramTexts.h"
#include "lang/qt/DialogTranslation.h"
#include "library/Playlist.h"

namespace orx {

namespace {

constexpr int kId = kDialogEditTransition;

QLineEdit* TimeField(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setAlignment(Qt::AlignRight);
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QString TimeText(int32_t ms) {
    return ms == kMixed ? QString() : QString::number(ms);
}

}  // namespace

int32_t TimeFieldValue(const QString& text) {
    if (text.isEmpty()) {
        return kMixed;
    }
    // Digits only; any value at or over the cap reads as the cap, however long the text.
    int64_t value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            break;
        }
        value = value * 10 + (c.unicode() - u'0');
        if (value >= kMaxTransitionTimeMs) {
            return kMaxTransitionTimeMs;
        }
    }
    return static_cast<int32_t>(value);
}

TransitionDialog::TransitionDialog(QWidget* parent) : QDialog(parent) {
    using editor::SetTemplateControl;
    SetTemplateControl(this, kId, 0);

    auto* transitionGroup = new QGroupBox(this);
    SetTemplateControl(transitionGroup, kId, 1318);
    auto* transitionLabel = new QLabel(transitionGroup);
    SetTemplateControl(transitionLabel, kId, 1323);
    transitionList_ = new QComboBox(transitionGroup);
    transitionList_->setEditable(false);
    auto* interleaveLabel = new QLabel(transitionGroup);
    SetTemplateControl(interleaveLabel, kId, 1314);
    interleaveEdit_ = TimeField(transitionGroup);
    auto* spacingLabel = new QLabel(transitionGroup);
    SetTemplateControl(spacingLabel, kId, 1316);
    spacingEdit_ = TimeField(transitionGroup);
    transitionLabel->setBuddy(transitionList_);
    interleaveLabel->setBuddy(interleaveEdit_);
    spacingLabel->setBuddy(spacingEdit_);

    auto* transitionGrid = new QGridLayout(transitionGroup);
    transitionGrid->addWidget(transitionLabel, 0, 0);
    transitionGrid->addWidget(transitionList_, 0, 1);
    transitionGrid->addWidget(interleaveLabel, 1, 0);
    transitionGrid->addWidget(interleaveEdit_, 1, 1);
    transitionGrid->addWidget(spacingLabel, 2, 0);
    transitionGrid->addWidget(spacingEdit_, 2, 1);

    auto* extraGroup = new QGroupBox(this);
    SetTemplateControl(extraGroup, kId, 1317);
    auto* extraGrid = new QGridLayout(extraGroup);
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(extraGroup);
        SetTemplateControl(label, kId, 1319 + i);
        extraLists_[i] = new QComboBox(extraGroup);
        for (int code = 0; code < kExtraCommandCount; ++code) {
            extraLists_[i]->addItem(QString::fromLatin1(ExtraCommandLabel(code)));
        }
        label->setBuddy(extraLists_[i]);
        extraGrid->addWidget(label, i, 0);
        extraGrid->addWidget(extraLists_[i], i, 1);
    }
    extraGrid->setColumnStretch(1, 1);

    auto* ok = new QPushButton(this);
    SetTemplateControl(ok, kId, 1);
    ok->setDefault(true);
    auto* cancel = new QPushButton(this);
    SetTemplateControl(cancel, kId, 2);
    connect(ok, &QPushButton::clicked, this, &TransitionDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(transitionGroup);
    layout->addWidget(extraGroup);
    layout->addLayout(buttons);
}

int TransitionDialog::exec() {
    TranslateDialog(kId, this);
    transitionList_->clear();
    for (const TransitionInfo& info : kTransitions) {
        transitionList_->addItem(QString::fromLatin1(info.word));
    }
    const auto position = [](const QComboBox* list, int index) {
        return index >= 0 && index < list->count() ? index : -1;
    };
    transitionList_->setCurrentIndex(position(transitionList_, transitionIndex));
    interleaveEdit_->setText(interleaveText);
    spacingEdit_->setText(spacingText);
    // Spacing separates clips only when one decoder board plays them all.
    spacingEdit_->setEnabled(CurrentBoardCount() == 1);
    for (int i = 0; i < 3; ++i) {
        extraLists_[i]->setCurrentIndex(position(extraLists_[i], extraIndex[i]));
        extraLists_[i]->setEnabled(extraEnabled);
    }
    transitionList_->setFocus();
    return QDialog::exec();
}

void TransitionDialog::accept() {
    transitionIndex = transitionList_->currentIndex();
    interleaveText = interleaveEdit_->text();
    spacingText = spacingEdit_->text();
    for (int i = 0; i < 3; ++i) {
        extraIndex[i] = extraLists_[i]->currentIndex();
    }
    QDialog::accept();
}

bool EditTransitionSettings(TransitionValues& values, QWidget* parent) {
    TransitionDialog dialog(parent);
    dialog.transitionIndex = values.transition;
    dialog.interleaveText = TimeText(values.interleaveMs);
    dialog.spacingText = TimeText(values.spacingMs);
    dialog.extraEnabled = true;
    for (int i = 0; i < 3; ++i) {
        dialog.extraIndex[i] = values.extra[i];
        if (values.extra[i] == kMixed) {
            dialog.extraEnabled = false;
        }
    }
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    values.transition = dialog.transitionIndex;  // -1 (mixed) when nothing is selected
    values.interleaveMs = TimeFieldValue(dialog.interleaveText);
    values.spacingMs = TimeFieldValue(dialog.spacingText);
    for (int i = 0; i < 3; ++i) {
        values.extra[i] = dialog.extraIndex[i];
    }
    return true;
}

}  // namespace orx
