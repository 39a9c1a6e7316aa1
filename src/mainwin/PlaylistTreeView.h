#pragma once

#include <QTreeWidget>
#include <string>

namespace orx {

// The tree of playlists found in the video folder: a root item, the folders that hold playlists
// somewhere below them, and the playlists, each level sorted by name without regard to case.
class PlaylistTreeView : public QTreeWidget {
    Q_OBJECT

public:
    enum Kind { kNone = 0, kFolder = 1, kPlaylist = 2 };

    explicit PlaylistTreeView(QWidget* parent = nullptr);

    // Rebuilds the tree from videoPath (which ends with a separator); a folder that cannot be
    // read gives the root alone. rootText is the root item's (translated) text.
    void Fill(const std::string& videoPath, const QString& rootText);

    static Kind KindOf(const QTreeWidgetItem* item);
    // The file of a playlist item: videoPath, the folder of every ancestor but the root, then the
    // playlist's file name. Empty for other items.
    std::string PlaylistPathOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* SelectedItem() const;

private:
    // Returns the number of children added below parent.
    int AddFolder(QTreeWidgetItem* parent, const std::string& folder, int depth);

    std::string videoPath_;
};

}  // namespace orx
