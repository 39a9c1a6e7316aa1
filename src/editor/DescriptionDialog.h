#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

namespace orx {

// "Edit description": shows a library clip's file name and lets the operator edit its
// description. Changes nothing itself; the caller reads description() after "OK".
class DescriptionDialog : public QDialog {
    Q_OBJECT

public:
    // The description field takes at most this many bytes, the room of the library record.
    static constexpr int kMaxDescriptionBytes = 63;

    DescriptionDialog(const std::string& fileName, const std::string& description,
                      QWidget* parent = nullptr);

    std::string description() const;
    QLineEdit* descriptionEdit() const { return descriptionEdit_; }
    QLineEdit* fileEdit() const { return fileEdit_; }

private:
    QLineEdit* fileEdit_ = nullptr;
    QLineEdit* descriptionEdit_ = nullptr;
};

}  // namespace orx
