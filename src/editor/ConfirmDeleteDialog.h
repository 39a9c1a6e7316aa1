#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace orx {

// "Confirm deleting": lists the playlists that use a clip and asks whether its file goes.
// "Yes" accepts; "No", the default button, and the close box reject.
class ConfirmDeleteDialog : public QDialog {
    Q_OBJECT

public:
    explicit ConfirmDeleteDialog(const std::vector<std::string>& playlistNames,
                                 QWidget* parent = nullptr);

    QListWidget* playlistList() const { return list_; }
    QPushButton* yesButton() const { return yes_; }
    QPushButton* noButton() const { return no_; }

private:
    QListWidget* list_ = nullptr;
    QPushButton* yes_ = nullptr;
    QPushButton* no_ = nullptr;
};

}  // namespace orx
