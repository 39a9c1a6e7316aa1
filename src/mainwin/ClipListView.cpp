#include "mainwin/ClipListView.h"

#include <QHeaderView>
#include <cstring>
#include <string>

#include "app/IniFile.h"
#include "lang/TextServices.h"
#include "lang/qt/QtText.h"

namespace orx {

namespace {

constexpr int kFirstTitleId = 22161;
constexpr int kDefaultWidths[] = {28, 120, 60, 120, 120};  // by logical number

std::string WidthKey(int logical) {
    return "Column" + std::to_string(logical);
}

Qt::Alignment AlignmentOf(int logical) {
    return (logical == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

// A fixed-size text field of a record, which may lack its terminator.
QString FieldText(const char* field, size_t size) {
    return ToQString(std::string_view(field, strnlen(field, size)));
}

}  // namespace

ClipListView::ClipListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    setColumnCount(0);
}

void ClipListView::SetupColumns() {
    {
        IniWriteBatch batch;
        for (int c = 0; c < columnCount() && c < kColumnCount; ++c) {
            WriteIniInt("List", WidthKey(kLogicalColumns[c]), columnWidth(c));
        }
    }
    setColumnCount(kColumnCount);
    QStringList titles;
    for (int logical : kLogicalColumns) {
        titles << ToQString(TranslateString(kFirstTitleId + logical));
    }
    setHeaderLabels(titles);
    for (int c = 0; c < kColumnCount; ++c) {
        const int logical = kLogicalColumns[c];
        headerItem()->setTextAlignment(c, AlignmentOf(logical));
        setColumnWidth(c, GetIniInt("List", WidthKey(logical), kDefaultWidths[logical]));
    }
}

void ClipListView::Fill(const std::vector<PlaylistEntry>& playSequence) {
    clear();
    QList<QTreeWidgetItem*> rows;
    // The last element is the end entry and gets no row.
    for (size_t i = 0; i + 1 < playSequence.size(); ++i) {
        const PlaylistEntry& entry = playSequence[i];
        auto* row = new QTreeWidgetItem(
            QStringList{QString::number(i + 1), FieldText(entry.fileName, sizeof entry.fileName),
                        QString::fromStdString(FormatDuration(entry.durationMs)),
                        FieldText(entry.comment, sizeof entry.comment)});
        for (int c = 0; c < kColumnCount; ++c) {
            row->setTextAlignment(c, AlignmentOf(kLogicalColumns[c]));
        }
        rows << row;
    }
    addTopLevelItems(rows);
    ClearClipSelection();
}

void ClipListView::ClearClipSelection() {
    clearSelection();
    setCurrentItem(nullptr, 0, QItemSelectionModel::NoUpdate);
}

int ClipListView::SelectedRow() const {
    const QList<QTreeWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : indexOfTopLevelItem(items.front());
}

void ClipListView::SelectRow(int row) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollToItem(item);
}

}  // namespace orx
