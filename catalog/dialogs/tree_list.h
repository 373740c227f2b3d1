#pragma once
// The owner-drawn tree list of Subdirectory Selection and of the Files and Folders Editor:
// one line per listed entry of a catalog tree, indented 18 pixels per depth, with an open
// folder, closed folder or file icon and the name in Arial 10 point.
//
// The lines always show the tree as it is: the entries of a node in order, and below an entry
// the lines of its child (one level deeper) exactly when it has a child and `open` is 1. Every
// edit of the tree goes through this widget, which changes the tree and its lines together, so
// that no line refers to an entry or node that is gone.
//
// Keys while the list has the focus: Enter and Space (and a double-click) emit lineActivated,
// Delete and Backspace emit deletePressed; the dialog decides what they do. The list takes
// these keys itself, so Enter never reaches the dialog's default button.

#include "catalog/records.h"

#include <QListView>
#include <cstdint>
#include <vector>

namespace pelmora {

// One line: entry `index` of `node`, drawn `depth` levels deep (0 for the label's own
// entries). Keeping node and index rather than the entry lets the line follow its entry when
// entries of the node move.
struct TreeLine {
    VAROINFO* node = nullptr;
    std::int32_t index = 0;
    std::int32_t depth = 0;

    FileEntry& entry() const { return node->entries[static_cast<std::size_t>(index)]; }
};

enum class TreeListKind {
    Folders,    // Subdirectory Selection: only entries with hasChild 1 and a child
    Everything, // the editor: every entry
};

// The icon of a line (resources 166, 167 and 169 of the original program).
enum class TreeIcon { ClosedFolder, OpenFolder, File };
TreeIcon treeIconFor(const FileEntry& entry, TreeListKind kind);

class TreeListModel;

class TreeList : public QListView {
    Q_OBJECT

public:
    TreeList(TreeListKind kind, QWidget* parent);
    ~TreeList() override;

    TreeListKind kind() const { return kind_; }

    // Lists `root`'s tree anew; the first line becomes the selected one.
    void fill(VAROINFO& root);

    int count() const { return static_cast<int>(lines_.size()); }
    const std::vector<TreeLine>& lines() const { return lines_; }
    const TreeLine& line(int row) const { return lines_[static_cast<std::size_t>(row)]; }
    // The selected line, -1 for none.
    int currentRow() const;
    void setCurrentRow(int row);
    // The row of entry `index` of `node`, -1 when it is not listed.
    int rowOf(const VAROINFO* node, std::int32_t index) const;
    // One past the last line of the subtree listed below `row`.
    int subtreeEnd(int row) const;

    // The height of every line: the height of "M" in the list's font.
    int lineHeight() const { return lineHeight_; }

    // --- Edits of the tree, lines kept in step ------------------------------------------
    // An entry with a child: `open` 1 removes the lines below it and sets `open` 0, else its
    // child's lines are inserted below it and `open` becomes 1. Other entries stay as they are.
    void toggle(int row);
    // Removes the entry of `row` and everything below it from its node, together with their
    // lines; the next line (or else the previous one) becomes the selected one.
    void removeEntry(int row);
    // Exchanges the entry with the previous or next one of its node, both with their listed
    // subtrees; the moved line stays selected. False (and nothing changes) at the node's
    // first or last entry.
    bool moveUp(int row);
    bool moveDown(int row);
    // Inserts `entry` before the entry of `row`, into that entry's node; with no line given
    // (row -1, or an empty list) at index 0 of `root`. The new line is selected; returns its
    // row.
    int insertEntry(int row, VAROINFO& root, FileEntry entry);
    // Repaints a line whose entry changed.
    void refreshLine(int row);

signals:
    // Enter, Space or a double-click on line `row`.
    void lineActivated(int row);
    // Delete or Backspace with line `row` selected.
    void deletePressed(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void appendLines(std::vector<TreeLine>& out, VAROINFO& node, std::int32_t depth) const;
    // Moves the block of `second` (the entry after `first` in the same node) before `first`
    // and exchanges the two entries. Returns the new row of `first`.
    int exchange(int first, int second);

    TreeListKind kind_;
    std::vector<TreeLine> lines_;
    TreeListModel* model_;
    int lineHeight_ = 16;

    friend class TreeListModel;
};

} // namespace pelmora
