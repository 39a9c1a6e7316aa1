#include "mainwin/PlaylistTreeView.h"

#include <QHeaderView>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/AppSettings.h"
#include "lang/qt/QtText.h"
#include "platform/Paths.h"

namespace orx {

namespace {

constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kFileNameRole = Qt::UserRole + 2;  // name on disk of a folder or playlist
// Links can make a folder its own descendant; deeper trees are not followed.
constexpr int kMaxDepth = 32;

QPixmap FolderPixmap(bool open) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor body = open ? QColor(255, 214, 92) : QColor(230, 180, 60);
    p.setPen(QColor(140, 100, 20));
    p.setBrush(body);
    p.drawRect(1, 3, 6, 2);  // tab
    if (open) {
        p.drawRect(1, 4, 12, 9);
        p.setBrush(QColor(255, 236, 150));
        p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 13), QPoint(1, 13)}));
    } else {
        p.drawRect(1, 4, 13, 9);
    }
    return pixmap;
}

QPixmap PlaylistPixmap(bool selected) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(selected ? QColor(200, 225, 255) : Qt::white);
    p.drawRect(2, 1, 11, 14);
    p.setPen(selected ? QColor(0, 60, 160) : QColor(90, 90, 90));
    for (int y = 4; y <= 12; y += 3) {
        p.drawLine(4, y, 11, y);
    }
    // A play mark in the corner tells a playlist from a plain document.
    p.setPen(Qt::NoPen);
    p.setBrush(selected ? QColor(0, 140, 0) : QColor(0, 110, 0));
    p.drawPolygon(QPolygon({QPoint(9, 9), QPoint(15, 12), QPoint(9, 15)}));
    return pixmap;
}

const QIcon& FolderIcon() {
    static const QIcon icon = [] {
        QIcon i;
        i.addPixmap(FolderPixmap(false), QIcon::Normal);
        i.addPixmap(FolderPixmap(true), QIcon::Selected);
        return i;
    }();
    return icon;
}

const QIcon& PlaylistIcon() {
    static const QIcon icon = [] {
        QIcon i;
        i.addPixmap(PlaylistPixmap(false), QIcon::Normal);
        i.addPixmap(PlaylistPixmap(true), QIcon::Selected);
        return i;
    }();
    return icon;
}

QTreeWidgetItem* NewItem(const QString& text, PlaylistTreeView::Kind kind,
                         const std::string& fileName) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setData(0, kKindRole, static_cast<int>(kind));
    item->setData(0, kFileNameRole, QByteArray::fromStdString(fileName));
    item->setIcon(0, kind == PlaylistTreeView::kPlaylist ? PlaylistIcon() : FolderIcon());
    return item;
}

}  // namespace

PlaylistTreeView::PlaylistTreeView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    header()->hide();
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
}

void PlaylistTreeView::Fill(const std::string& videoPath, const QString& rootText) {
    videoPath_ = videoPath;
    clear();
    auto* root = NewItem(rootText, kFolder, {});
    addTopLevelItem(root);
    AddFolder(root, videoPath, 0);
    root->setExpanded(true);
}

int PlaylistTreeView::AddFolder(QTreeWidgetItem* parent, const std::string& folder, int depth) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator it(fs::path(folder), error);
    if (error) {
        return 0;
    }
    std::vector<QTreeWidgetItem*> children;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            if (depth >= kMaxDepth) {
                continue;
            }
            auto* item = NewItem(ToQString(name), kFolder, name);
            // Folders without playlists anywhere below them are left out.
            if (AddFolder(item, folder + name + kPathSeparator, depth + 1) == 0) {
                delete item;
                continue;
            }
            children.push_back(item);
        } else if (FileKind(name) == kFileKindPlaylist) {
            children.push_back(NewItem(ToQString(FileTitleOf(name)), kPlaylist, name));
        }
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
                         return a->text(0).compare(b->text(0), Qt::CaseInsensitive) < 0;
                     });
    for (QTreeWidgetItem* child : children) {
        parent->addChild(child);
    }
    return static_cast<int>(children.size());
}

PlaylistTreeView::Kind PlaylistTreeView::KindOf(const QTreeWidgetItem* item) {
    return item == nullptr ? kNone : static_cast<Kind>(item->data(0, kKindRole).toInt());
}

std::string PlaylistTreeView::PlaylistPathOf(const QTreeWidgetItem* item) const {
    if (KindOf(item) != kPlaylist) {
        return {};
    }
    // The names on disk are used rather than the shown texts, so that a playlist whose extension
    // is not in lower case opens on a file system that tells case apart.
    std::string relative = item->data(0, kFileNameRole).toByteArray().toStdString();
    for (const QTreeWidgetItem* a = item->parent(); a != nullptr && a->parent() != nullptr;
         a = a->parent()) {
        relative =
            a->data(0, kFileNameRole).toByteArray().toStdString() + kPathSeparator + relative;
    }
    return videoPath_ + relative;
}

QTreeWidgetItem* PlaylistTreeView::SelectedItem() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? nullptr : items.front();
}

}  // namespace orx
