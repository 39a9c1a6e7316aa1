#include "ui/QtFilePickers.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include "app/BinaryFile.h"
#include "lang/TextServices.h"
#include "lang/qt/QtText.h"
#include "platform/Paths.h"

namespace orx::ui {

namespace {

std::string WithoutTrailingSeparator(std::string folder) {
    // A root ("/") keeps its only separator.
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) {
        folder.pop_back();
    }
    return folder;
}

QString NativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Options every file dialog shares; the read-only check box does not exist in Qt's dialogs.
void PrepareFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setNameFilter(QtFilterFromFileFilter(request.filter));
    std::string extension = request.defaultExtension;
    if (!extension.empty() && extension.front() == '.') {
        extension.erase(0, 1);
    }
    dialog.setDefaultSuffix(ToQString(extension));
    if (!request.initialFolder.empty()) {
        dialog.setDirectory(ToQString(request.initialFolder));
    }
    if (!request.initialFile.empty()) {
        dialog.selectFile(ToQString(request.initialFile));
    }
}

std::string RunFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? std::string() : FromQString(NativePath(files.front()));
}

}  // namespace

QString QtFilterFromFileFilter(const std::string& filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        if (description.isEmpty() && pattern.isEmpty()) {
            continue;
        }
        const QString named = QStringLiteral("(%1)").arg(pattern);
        filters.append(description.endsWith(named)
                           ? description
                           : QStringLiteral("%1 %2").arg(description, named));
    }
    return filters.join(QStringLiteral(";;"));
}

bool FolderAcceptable(const std::string& folder, const std::string& requiredFile) {
    if (folder.empty() || !QFileInfo(ToQString(folder)).isDir()) {
        return false;
    }
    if (requiredFile.empty()) {
        return true;
    }
    const std::string candidate = WithTrailingSeparator(NativeSeparators(folder)) + requiredFile;
    return FileExists(candidate) && !QFileInfo(ToQString(candidate)).isDir();
}

FolderBrowserDialog::FolderBrowserDialog(QWidget* parent, const QString& title,
                                         const std::string& initialFolder, std::string requiredFile)
    : QFileDialog(parent, title), requiredFile_(std::move(requiredFile)) {
    // Qt's own dialog, so the confirm button can follow the required-file rule.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ShowDirsOnly, true);
    setFileMode(QFileDialog::Directory);
    setAcceptMode(QFileDialog::AcceptOpen);
    if (!initialFolder.empty()) {
        const QString folder = ToQString(WithoutTrailingSeparator(initialFolder));
        const QFileInfo info(folder);
        // The folder itself is selected in its parent's listing, as the shell browser does.
        if (info.isDir() && !info.isRoot()) {
            setDirectory(info.absolutePath());
            selectFile(info.absoluteFilePath());
        } else {
            setDirectory(folder);
        }
    } else {
        setDirectory(QDir::homePath());
    }
    // Connected after the dialog's own handlers, which re-enable the button on every change.
    connect(this, &QFileDialog::currentChanged, this, [this] { UpdateConfirmButton(); });
    connect(this, &QFileDialog::directoryEntered, this, [this] { UpdateConfirmButton(); });
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        connect(edit, &QLineEdit::textChanged, this, [this] { UpdateConfirmButton(); });
    }
    UpdateConfirmButton();
}

QString FolderBrowserDialog::CandidateFolder() const {
    const QStringList files = selectedFiles();
    QString chosen = files.isEmpty() ? directory().absolutePath() : files.front();
    // Only one folder can be chosen. When the initial folder is selected while its parent is
    // still being listed, the listed folder itself may stay selected beside it (and first): the
    // folder named in the name box is the one the dialog shows as chosen.
    if (files.size() > 1) {
        const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        for (const QString& file : files) {
            if (edit != nullptr && QFileInfo(file).fileName() == edit->text()) {
                chosen = file;
                break;
            }
        }
    }
    return QDir::cleanPath(chosen);
}

QPushButton* FolderBrowserDialog::ConfirmButton() const {
    auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return box != nullptr ? box->button(QDialogButtonBox::Open) : nullptr;
}

void FolderBrowserDialog::UpdateConfirmButton() {
    if (requiredFile_.empty()) {
        return;
    }
    if (QPushButton* button = ConfirmButton()) {
        button->setEnabled(FolderAcceptable(FromQString(CandidateFolder()), requiredFile_));
    }
}

void FolderBrowserDialog::accept() {
    if (!FolderAcceptable(FromQString(CandidateFolder()), requiredFile_)) {
        UpdateConfirmButton();
        return;
    }
    QFileDialog::accept();
}

std::string QtFilePickers::OpenFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    PrepareFileDialog(dialog, request);
    return RunFileDialog(dialog);
}

std::string QtFilePickers::SaveFile(const FileDialogRequest& request) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Overwriting an existing file is confirmed by the dialog (Qt's default). The current
    // directory of the process is never changed by Qt's dialogs.
    PrepareFileDialog(dialog, request);
    return RunFileDialog(dialog);
}

bool QtFilePickers::BrowseForFolder(std::string& path, const std::string& requiredFile,
                                    int titleId) {
    const QString title = titleId == -1 ? QString() : ToQString(TranslateString(titleId));
    FolderBrowserDialog dialog(QApplication::activeWindow(), title, path, requiredFile);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const QString folder = dialog.CandidateFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return false;
    }
    path = WithTrailingSeparator(FromQString(NativePath(folder)));
    return true;
}

}  // namespace orx::ui
