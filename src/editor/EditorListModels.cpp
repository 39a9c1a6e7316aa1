#include "editor/EditorListModels.h"

#include <limits>

#include "lang/qt/QtText.h"
#include "library/ClipDuration.h"

namespace orx {

namespace {

constexpr int kDurationColumnOfPlaylist = 2;
constexpr int kDurationColumnOfLibrary = 1;

QVariant Title(const QStringList& titles, int section, Qt::Orientation orientation, int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= titles.size()) {
        return {};
    }
    return titles[section];
}

QVariant Alignment(int column, int rightColumn) {
    const Qt::Alignment alignment =
        Qt::AlignVCenter | (column == rightColumn ? Qt::AlignRight : Qt::AlignLeft);
    return static_cast<int>(alignment);
}

}  // namespace

PlaylistTableModel::PlaylistTableModel(const std::vector<PlaylistEntry>& entries, QObject* parent)
    : QAbstractTableModel(parent), entries_(entries) {}

void PlaylistTableModel::SetTitles(const QStringList& titles) {
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void PlaylistTableModel::Refill() {
    beginResetModel();
    endResetModel();
}

int PlaylistTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return static_cast<int>(std::min<size_t>(entries_.size(), std::numeric_limits<int>::max()));
}

int PlaylistTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PlaylistTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignment(index.column(), kDurationColumnOfPlaylist);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const PlaylistEntry& entry = entries_[static_cast<size_t>(index.row())];
    const bool endEntry = static_cast<size_t>(index.row()) + 1 == entries_.size();
    switch (index.column()) {
        case 0:
            return endEntry ? QStringLiteral("-") : QString::number(index.row() + 1);
        case 1:
            return ToQString(EntryFileName(entry));
        case 2:
            return endEntry ? QString() : ToQString(FormatDuration(entry.durationMs));
        case 3:
            return ToQString(TransitionText(entry));
        case 4:
            return ToQString(EntryComment(entry));
        default:
            return {};
    }
}

QVariant PlaylistTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal) {
        return Alignment(section, kDurationColumnOfPlaylist);
    }
    return Title(titles_, section, orientation, role);
}

LibraryTableModel::LibraryTableModel(const std::vector<LibraryClip>& clips, QObject* parent)
    : QAbstractTableModel(parent), clips_(clips) {}

void LibraryTableModel::SetTitles(const QStringList& titles) {
    titles_ = titles;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void LibraryTableModel::Refill() {
    beginResetModel();
    endResetModel();
}

int LibraryTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return static_cast<int>(std::min<size_t>(clips_.size(), std::numeric_limits<int>::max()));
}

int LibraryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant LibraryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return Alignment(index.column(), kDurationColumnOfLibrary);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const LibraryClip& clip = clips_[static_cast<size_t>(index.row())];
    switch (index.column()) {
        case 0:
            return ToQString(ClipFileName(clip));
        case 1:
            // Durations are at most 0x7FFFFFFF ms; a larger stored value shows as the largest.
            return ToQString(FormatDuration(
                static_cast<int32_t>(std::min<uint32_t>(clip.durationMs, kMaxClipDurationMs))));
        case 2:
            return ToQString(ClipDescription(clip));
        default:
            return {};
    }
}

QVariant LibraryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal) {
        return Alignment(section, kDurationColumnOfLibrary);
    }
    return Title(titles_, section, orientation, role);
}

}  // namespace orx
