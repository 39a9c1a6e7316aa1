#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QComboBox;
class QLineEdit;

namespace orx {

// A field of TransitionValues that differs between the edited entries, or is to be left as it is.
inline constexpr int32_t kMixed = -1;
// Interleave and spacing typed in the dialog are capped here.
inline constexpr int32_t kMaxTransitionTimeMs = 5000;

// The six values the transition dialog edits; any may be kMixed.
struct TransitionValues {
    int32_t transition = 0;    // 0..7, index into the transition table
    int32_t interleaveMs = 0;  // 0..5000
    int32_t spacingMs = 0;     // 0..5000
    int32_t extra[3] = {};     // extra-command codes 0..8

    bool operator==(const TransitionValues&) const = default;
};

// "Edit transition effect". Holds the two times as text (empty for mixed) and the four lists as
// positions (-1 for none); the caller moves values in before exec() and reads them back after.
class TransitionDialog : public QDialog {
    Q_OBJECT

public:
    explicit TransitionDialog(QWidget* parent = nullptr);

    // Member values, moved into the controls when the dialog is shown and back on "OK".
    int transitionIndex = -1;
    QString interleaveText;
    QString spacingText;
    int extraIndex[3] = {-1, -1, -1};
    bool extraEnabled = true;

    QComboBox* transitionList() const { return transitionList_; }
    QLineEdit* interleaveEdit() const { return interleaveEdit_; }
    QLineEdit* spacingEdit() const { return spacingEdit_; }
    QComboBox* extraList(int i) const { return extraLists_[i]; }

    int exec() override;
    void accept() override;

private:
    QComboBox* transitionList_ = nullptr;
    QLineEdit* interleaveEdit_ = nullptr;
    QLineEdit* spacingEdit_ = nullptr;
    QComboBox* extraLists_[3] = {};
};

// Runs the dialog on values; true on "OK", which writes the chosen values back (kMixed where
// nothing was chosen or a time field was left empty). The extra-command lists are disabled when
// any of the three extra values is mixed. "Spacing (msec)" is enabled only with one board.
bool EditTransitionSettings(TransitionValues& values, QWidget* parent = nullptr);

// The value of a time field: kMixed for an empty text, else its decimal value capped at 5000.
int32_t TimeFieldValue(const QString& text);

}  // namespace orx
