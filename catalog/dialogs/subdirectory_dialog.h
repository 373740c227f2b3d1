#pragma once
// The Subdirectory Selection dialog: the label's folders as a tree list; opening and closing
// them sets their `open` flags on the label directly (there is nothing to undo).

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <QDialog>

class QPushButton;

namespace pelmora {

class TreeList;

// Widgets (objectName): "folderList", "okButton", "openAllButton", "closeAllButton".
class SubdirectoryDialog : public QDialog {
public:
    SubdirectoryDialog(QWidget* owner, VAROINFO& label);

    TreeList* list() const { return list_; }

    // Enter, Space or a double-click on a line: the folder opens or closes.
    void toggle(int row);
    // `open` 1 (Open All) or 0 (Close All) on every entry of the tree, files included; the
    // list is filled anew.
    void setAllOpen(int open);

private:
    VAROINFO& label_;
    TreeList* list_;
};

// Runs Subdirectory Selection on `label` at `remembered` (the "SubdirWindow" position, updated
// when it closes). OK returns 1, Escape or the close box 0; in both cases the `open` flags stay
// as the user left them and the label's layout is marked stale.
int ChooseSubdirectories(QWidget* owner, VAROINFO& label, POINT& remembered);

} // namespace pelmora
