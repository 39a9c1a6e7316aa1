#include "lang/qt/DialogTranslation.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>
#include <QWidget>
#include <string>

#include "lang/TextServices.h"
#include "lang/TranslationKey.h"
#include "lang/qt/QtText.h"

namespace orx {

namespace {

constexpr const char* kControlIdProperty = "orxControlId";
constexpr const char* kTemplateIdProperty = "orxTemplateId";

int IntProperty(const QWidget* widget, const char* name) {
    if (widget == nullptr) {
        return -1;
    }
    const QVariant value = widget->property(name);
    bool ok = false;
    const int id = value.toInt(&ok);
    return value.isValid() && ok ? id : -1;
}

}  // namespace

void SetWidgetText(QWidget* widget, const QString& text, LineEditText lineEdits) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        // Control texts are plain text: markup in a language file is shown, not interpreted.
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget);
               edit != nullptr && lineEdits == LineEditText::Replace) {
        edit->setText(text);
    }
}

void SetControlId(QWidget* widget, int controlId) {
    widget->setProperty(kControlIdProperty, controlId);
}

int ControlId(const QWidget* widget) {
    return IntProperty(widget, kControlIdProperty);
}

void SetTemplateId(QWidget* dialog, int templateId) {
    dialog->setProperty(kTemplateIdProperty, templateId);
}

int TemplateId(const QWidget* dialog) {
    return IntProperty(dialog, kTemplateIdProperty);
}

void TranslateDialog(int templateId, QWidget* dialog) {
    if (dialog == nullptr) {
        return;
    }
    SetTemplateId(dialog, templateId);
    const TranslationKey captionKey = DialogKey(templateId);
    std::string text;
    if (LookupTranslation(captionKey, text)) {
        dialog->setWindowTitle(ToQString(text));
    }
    const QList<QWidget*> children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        // Id 0 is the caption's; a child never takes it.
        const int controlId = ControlId(child);
        if (controlId < 1 || controlId > 0xFFFF) {
            continue;
        }
        if (LookupTranslation(DialogKey(templateId, controlId), text)) {
            SetWidgetText(child, ToQString(text), LineEditText::Replace);
        }
    }
}

void TranslateDialog(QWidget* dialog) {
    const int templateId = TemplateId(dialog);
    if (templateId >= 0) {
        TranslateDialog(templateId, dialog);
    }
}

}  // namespace orx
