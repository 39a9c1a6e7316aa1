#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "library/Playlist.h"
#include "library/VideoLibrary.h"
#include "ui/FilePickers.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace orx {

class LibraryTableModel;
class PlaylistTableModel;
struct TransitionValues;

// "Edit video playlist": the operator builds the playlist on the left from the library
// "Available files" on the right, orders it, gives clips transitions and extra commands, and loads
// and saves playlist files. The dialog edits the caller's playlist in place and hands back the
// path of the file last loaded or saved; it always ends with the cancel result. It also keeps the
// library: refresh from the video folder, descriptions, deleting clip files.
//
// Invariant: the playlist's last entry is its end entry (empty name), so clips are inserted
// before it and it never moves or goes. Enter and Escape are never dialog keys here: they go to
// the list that has the focus (Enter adds a clip or edits the selection).
class PlaylistEditorDialog : public QDialog {
    Q_OBJECT

public:
    // Columns of the two lists and the widths they have without settings.
    static constexpr int kPlaylistColumns = 5;
    static constexpr int kLibraryColumns = 3;
    static constexpr int kDefaultPlaylistWidths[kPlaylistColumns] = {28, 120, 60, 64, 120};
    static constexpr int kDefaultLibraryWidths[kLibraryColumns] = {128, 64, 120};

    // Reads the library and the "VideoList" settings and fills both lists. With
    // openedWhilePlaying the playlist is on air: Clear, Load and the logo box are disabled and
    // the editor never asks to save.
    PlaylistEditorDialog(Playlist& playlist, std::string playlistPath, bool openedWhilePlaying,
                         QWidget* parent = nullptr);
    // Writes the sort mode and the current column widths to "VideoList".
    ~PlaylistEditorDialog() override;

    const std::string& playlistPath() const { return playlistPath_; }
    bool modified() const { return modified_; }
    bool openedWhilePlaying() const { return openedWhilePlaying_; }
    const VideoLibrary& library() const { return library_; }
    TransitionValues defaults() const;

    // Commands, as the buttons, keys and clicks trigger them.
    void OnRefresh();
    void OnAddToPlaylist();
    void OnDelete();
    void OnEditDescription();
    void OnEdit();
    void OnRemove();
    void OnMoveUp();
    void OnMoveDown();
    void OnSelectAll();
    void OnDefaultTransition();
    void OnLogoClicked(bool checked);
    void OnClear();
    void OnLoad();
    ui::FileDialogRequest PlaylistFileRequest() const;
    void OnSave();
    void OnClose();
    void OnLibraryHeaderClicked(int column);
    // Whether the playlist may be discarded; asks to save it when it was modified.
    bool QuerySaveChanges();

    // The row that is both current and selected, or -1.
    int CurrentPlaylistRow() const;
    int CurrentLibraryRow() const;

    QTreeView* playlistView() const { return playlistView_; }
    QTreeView* libraryView() const { return libraryView_; }
    QLineEdit* nameField() const { return nameField_; }
    QLineEdit* playTimeField() const { return playTimeField_; }
    QCheckBox* logoCheck() const { return logoCheck_; }
    QPushButton* button(int controlId) const;

    // The "close box" and Escape route through here: the dialog ends only when allowed.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NewPlaylist();
    PlaylistEntry EndEntry() const;
    void FillPlaylistList(int selectRow);
    void FillLibraryList(int selectRow);
    void ShowName();
    void SetupColumns();
    void ReadDefaults();
    // The path of a library record's file.
    static std::string ClipFullPath(const LibraryClip& clip);
    static PlaylistEntry EntryFromClip(const LibraryClip& clip);

    Playlist& playlist_;
    std::string playlistPath_;
    bool openedWhilePlaying_ = false;
    bool modified_ = false;
    VideoLibrary library_;
    int32_t defaultTransition_ = 0;
    int32_t defaultInterleaveMs_ = 500;
    int32_t defaultSpacingMs_ = 500;

    PlaylistTableModel* playlistModel_ = nullptr;
    LibraryTableModel* libraryModel_ = nullptr;
    QTreeView* playlistView_ = nullptr;
    QTreeView* libraryView_ = nullptr;
    QLineEdit* nameField_ = nullptr;
    QLineEdit* playTimeField_ = nullptr;
    QCheckBox* logoCheck_ = nullptr;
};

// Runs the editor modally on workingCopy (the main window's hook); playlistPath goes in and
// comes back as the file last loaded or saved.
void RunPlaylistEditor(QWidget* parent, std::string& playlistPath, bool openedWhilePlaying,
                       Playlist& workingCopy);

}  // namespace orx
