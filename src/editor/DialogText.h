#pragma once

#include <QString>

class QWidget;

namespace orx::editor {

// The program's own text of a dialog control, before any translation.
QString TemplateText(int templateId, int controlId);
// Gives the widget its control id and the program's own text of that control.
void SetTemplateControl(QWidget* widget, int templateId, int controlId);

}  // namespace orx::editor
