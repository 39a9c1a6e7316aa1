#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <cstddef>
#include <vector>

#include "library/Playlist.h"
#include "library/VideoLibrary.h"

namespace orx {

// The editor's two lists are views over these models: one row per playlist entry or library
// record, texts made when a row is drawn. The editor refills a list by resetting its model after
// the data changed, so opening on a large library costs no more than the visible rows.

// What both lists share: translated column titles, plain-text cells, the duration column aligned
// right and every other column left.
class EditorListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    void SetTitles(const QStringList& titles);
    // The data changed: every row is made anew.
    void Refill();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    EditorListModel(int columnCount, int durationColumn, QObject* parent);

    virtual size_t RecordCount() const = 0;
    // Called with row < RecordCount() and 0 <= column < the column count.
    virtual QString CellText(size_t row, int column) const = 0;

private:
    QVariant Alignment(int column) const;

    const int columnCount_;
    const int durationColumn_;
    QStringList titles_;
};

// Columns "#", "Video", "Duration", "Transition", "Comment" over a playlist's entries; the last
// entry is the end entry ("-" in "#", no duration).
class PlaylistTableModel : public EditorListModel {
public:
    PlaylistTableModel(const std::vector<PlaylistEntry>& entries, QObject* parent = nullptr);

private:
    size_t RecordCount() const override { return entries_.size(); }
    QString CellText(size_t row, int column) const override;

    const std::vector<PlaylistEntry>& entries_;
};

// Columns "Video", "Duration", "Comment" over the library's records, in index order.
class LibraryTableModel : public EditorListModel {
public:
    LibraryTableModel(const std::vector<LibraryClip>& clips, QObject* parent = nullptr);

private:
    size_t RecordCount() const override { return clips_.size(); }
    QString CellText(size_t row, int column) const override;

    const std::vector<LibraryClip>& clips_;
};

}  // namespace orx
