#include "editor/DialogText.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

#include "lang/ProgramTexts.h"
#include "lang/qt/DialogTranslation.h"
#include "lang/qt/QtText.h"

namespace orx::editor {

QString TemplateText(int templateId, int controlId) {
    const char* text = DialogTemplateText(templateId, controlId);
    return text != nullptr ? ToQString(text) : QString();
}

void SetTemplateControl(QWidget* widget, int templateId, int controlId) {
    const QString text = TemplateText(templateId, controlId);
    if (controlId == 0) {
        // The caption: the dialog itself carries the template id, never control id 0.
        widget->setWindowTitle(text);
        return;
    }
    SetControlId(widget, controlId);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    }
}

}  // namespace orx::editor
