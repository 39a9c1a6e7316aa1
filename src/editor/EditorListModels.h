#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

#include "library/Playlist.h"
#include "library/VideoLibrary.h"

namespace orx {

// The editor's two lists are views over these models: one row per playlist entry or library
// record, texts made when a row is drawn. The editor refills a list by resetting its model after
// the data changed, so opening on a large library costs no more than the visible rows.

// Columns "#", "Video", "Duration", "Transition", "Comment" over a playlist's entries; the last
// entry is the end entry ("-" in "#", no duration).
class PlaylistTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumnCount = 5;

    PlaylistTableModel(const std::vector<PlaylistEntry>& entries, QObject* parent = nullptr);

    void SetTitles(const QStringList& titles);
    // The entries changed: every row is made anew.
    void Refill();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<PlaylistEntry>& entries_;
    QStringList titles_;
};

// Columns "Video", "Duration", "Comment" over the library's records, in index order.
class LibraryTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kColumnCount = 3;

    LibraryTableModel(const std::vector<LibraryClip>& clips, QObject* parent = nullptr);

    void SetTitles(const QStringList& titles);
    void Refill();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<LibraryClip>& clips_;
    QStringList titles_;
};

}  // namespace orx
