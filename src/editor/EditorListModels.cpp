#include "editor/EditorListModels.h"

#include <algorithm>
#include <limits>

#include "lang/qt/QtText.h"
#include "library/ClipDuration.h"

namespace orx {

EditorListModel::EditorListModel(int columnCount, int durationColumn, QObject* parent)
    : QAbstractTableModel(parent), columnCount_(columnCount), durationColumn_(durationColumn) {}

void EditorListModel::SetTitles(const QStringList& titles) {
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount_ - 1);
}

void EditorListModel::Refill() {
    beginResetModel();
    endResetModel();
}

int EditorListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return static_cast<int>(std::min<size_t>(RecordCount(), std::numeric_limits<int>::max()));
}

int EditorListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

QVariant EditorListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount_) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignment(index.column());
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    return CellText(static_cast<size_t>(index.row()), index.column());
}

QVariant EditorListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignment(section);
    }
    if (role != Qt::DisplayRole || section < 0 || section >= titles_.size()) {
        return {};
    }
    return titles_[section];
}

QVariant EditorListModel::Alignment(int column) const {
    const Qt::Alignment alignment =
        Qt::AlignVCenter | (column == durationColumn_ ? Qt::AlignRight : Qt::AlignLeft);
    return static_cast<int>(alignment);
}

PlaylistTableModel::PlaylistTableModel(const std::vector<PlaylistEntry>& entries, QObject* parent)
    : EditorListModel(5, 2, parent), entries_(entries) {}

QString PlaylistTableModel::CellText(size_t row, int column) const {
    const PlaylistEntry& entry = entries_[row];
    const bool endEntry = row + 1 == entries_.size();
    switch (column) {
        case 0:
            return endEntry ? QStringLiteral("-") : QString::number(row + 1);
        case 1:
            return ToQString(EntryFileName(entry));
        case 2:
            return endEntry ? QString() : ToQString(FormatDuration(entry.durationMs));
        case 3:
            return ToQString(TransitionText(entry));
        default:
            return ToQString(EntryComment(entry));
    }
}

LibraryTableModel::LibraryTableModel(const std::vector<LibraryClip>& clips, QObject* parent)
    : EditorListModel(3, 1, parent), clips_(clips) {}

QString LibraryTableModel::CellText(size_t row, int column) const {
    const LibraryClip& clip = clips_[row];
    switch (column) {
        case 0:
            return ToQString(ClipFileName(clip));
        case 1:
            // Durations are at most 0x7FFFFFFF ms; a larger stored value shows as the largest.
            return ToQString(FormatDuration(
                static_cast<int32_t>(std::min<uint32_t>(clip.durationMs, kMaxClipDurationMs))));
        default:
            return ToQString(ClipDescription(clip));
    }
}

}  // namespace orx
