#pragma once

#include <QTreeWidget>
#include <vector>

#include "library/Playlist.h"

namespace orx {

// The clips of the current playlist, one row per element of its play sequence but the end
// entry, so that row i is element i (the engine highlights clips on air by that index). Four
// columns whose widths persist under the logical column numbers 0, 1, 2 and 4.
class ClipListView : public QTreeWidget {
    Q_OBJECT

public:
    // Logical column numbers of the shown columns; 3 ("Transition") is not shown.
    static constexpr int kLogicalColumns[] = {0, 1, 2, 4};
    static constexpr int kColumnCount = 4;

    explicit ClipListView(QWidget* parent = nullptr);

    // Saves the widths of the present columns under their logical numbers, then rebuilds the
    // columns with translated titles and the stored widths.
    void SetupColumns();
    void Fill(const std::vector<PlaylistEntry>& playSequence);
    void ClearClipSelection();
    int SelectedRow() const;  // -1 when none
    void SelectRow(int row);  // selects and scrolls into view; ignored when out of range
};

}  // namespace orx
