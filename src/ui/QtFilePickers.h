#pragma once

#include <QFileDialog>
#include <QString>
#include <string>

#include "ui/FilePickers.h"

class QPushButton;

namespace orx::ui {

// A filter text of BuildFileFilter ("desc|pattern|desc|pattern|") in Qt's form: one
// "desc (pattern)" per filter, joined by ";;". A description that already names its pattern in
// parentheses is used as it is.
QString QtFilterFromFileFilter(const std::string& filter);

// True when folder (with or without a trailing separator) is one the folder browser may
// confirm: any existing folder without a required file, else only one holding that file.
bool FolderAcceptable(const std::string& folder, const std::string& requiredFile);

// The folder browser. Its confirm button is enabled only while the folder that would be chosen
// passes FolderAcceptable, and accept() refuses any other folder, so typing a name cannot get
// round the rule.
class FolderBrowserDialog : public QFileDialog {
    Q_OBJECT

public:
    // initialFolder may end with a separator; empty opens without a pre-selected folder.
    FolderBrowserDialog(QWidget* parent, const QString& title, const std::string& initialFolder,
                        std::string requiredFile);

    // The folder confirming would choose now, without a trailing separator.
    QString CandidateFolder() const;
    QPushButton* ConfirmButton() const;
    void accept() override;

private:
    void UpdateConfirmButton();

    std::string requiredFile_;
};

// The pickers on Qt's file dialogs.
class QtFilePickers : public FilePickers {
public:
    std::string OpenFile(const FileDialogRequest& request) override;
    std::string SaveFile(const FileDialogRequest& request) override;
    bool BrowseForFolder(std::string& path, const std::string& requiredFile, int titleId) override;
};

}  // namespace orx::ui
