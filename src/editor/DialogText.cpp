#include "editor/DialogText.h"

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
    SetWidgetText(widget, text, LineEditText::Keep);
}

}  // namespace orx::editor
