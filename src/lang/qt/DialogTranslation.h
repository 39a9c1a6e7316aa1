#pragma once

class QString;
class QWidget;

namespace orx {

// Every widget that shows a fixed, translatable text carries the control id of that text;
// a dialog carries its template id. Widgets that show data carry no id and are never touched.
// Widgets that share an id share one translation.
// Control ids run from 1 to 65535 (0 names the caption).
void SetControlId(QWidget* widget, int controlId);
// -1 when the widget carries none.
int ControlId(const QWidget* widget);
void SetTemplateId(QWidget* dialog, int templateId);
int TemplateId(const QWidget* dialog);

// Whether a control's text also goes into a line edit. A translation fills every widget that
// carries a control id, line edits included; the editor's dialogs keep data in their line edits,
// so the program's own texts they set leave line edits alone.
enum class LineEditText { Replace, Keep };

// Shows the text on the widget as its button or label text (plain text, never markup) or its
// group-box title; a line edit as `lineEdits` says; any other widget is left alone.
void SetWidgetText(QWidget* widget, const QString& text, LineEditText lineEdits);

// Gives the dialog its translated caption and every descendant, at any depth, that carries a
// control id and has a translation its translated text (button and label text, group-box title,
// line-edit text). Widgets without a translation keep their text. Also records the template id
// on the dialog.
void TranslateDialog(int templateId, QWidget* dialog);
// Again, with the template id recorded on the dialog (after a language change).
void TranslateDialog(QWidget* dialog);

}  // namespace orx
