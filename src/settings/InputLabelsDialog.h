#pragma once

#include <QDialog>

#include "mainwin/InputLabels.h"

class QLineEdit;
class QTreeWidget;

namespace orx {

// "Edit input label" (template 1173): one source's label. The label box scrolls, so a label of
// any length is shown and edited whole.
class InputLabelDialog : public QDialog {
    Q_OBJECT

public:
    InputLabelDialog(const std::string& sourceName, const std::string& label,
                     QWidget* parent = nullptr);
    // The edited label after "OK".
    const std::string& label() const { return label_; }
    QLineEdit* labelEdit() const { return labelEdit_; }
    void accept() override;

private:
    std::string label_;
    QLineEdit* labelEdit_ = nullptr;
};

// "Input labels" (template 1172): every mixer source with its label, on a copy of a label list;
// labels() holds the edited list after "OK". "Edit" (or a double click) and "Reset" act on the
// row that is both selected and current.
class InputLabelsDialog : public QDialog {
    Q_OBJECT

public:
    explicit InputLabelsDialog(const InputLabels& labels, QWidget* parent = nullptr);

    const InputLabels& labels() const { return labels_; }
    QTreeWidget* list() const { return list_; }

    void OnEdit();
    void OnReset();

private:
    // The row both selected and current, or -1.
    int ActiveRow() const;
    void Fill();

    InputLabels labels_;
    QTreeWidget* list_ = nullptr;
};

}  // namespace orx
