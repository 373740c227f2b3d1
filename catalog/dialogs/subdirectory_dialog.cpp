#include "catalog/dialogs/subdirectory_dialog.h"

#include "catalog/dialogs/tree_list.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"

#include <QPushButton>

namespace pelmora {

namespace {

void setOpenEverywhere(VAROINFO& node, int open) {
    for (FileEntry& entry : node.entries) {
        entry.open = open;
        if (entry.child) {
            setOpenEverywhere(*entry.child, open);
        }
    }
}

} // namespace

SubdirectoryDialog::SubdirectoryDialog(QWidget* owner, VAROINFO& label)
    : QDialog(owner), label_(label) {
    setObjectName(QStringLiteral("subdirectoryDialog"));
    setWindowTitle(QStringLiteral("Subdirectory Selection"));
    setFixedSize(ui::dluSize(224, 178));

    // Child widgets belong to the dialog (Qt parent ownership).
    list_ = new TreeList(TreeListKind::Folders, this);
    list_->setObjectName(QStringLiteral("folderList"));
    list_->setGeometry(ui::dluRect(7, 7, 208, 141));
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(20, 156, 50, 14));
    auto* openAll = new QPushButton(QStringLiteral("Open &All"), this);
    openAll->setObjectName(QStringLiteral("openAllButton"));
    openAll->setGeometry(ui::dluRect(86, 156, 50, 14));
    auto* closeAll = new QPushButton(QStringLiteral("&Close All"), this);
    closeAll->setObjectName(QStringLiteral("closeAllButton"));
    closeAll->setGeometry(ui::dluRect(152, 156, 50, 14));

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(openAll, &QPushButton::clicked, this, [this] { setAllOpen(1); });
    connect(closeAll, &QPushButton::clicked, this, [this] { setAllOpen(0); });
    connect(list_, &TreeList::lineActivated, this, [this](int row) { toggle(row); });

    list_->fill(label_);
    list_->setFocus();
}

void SubdirectoryDialog::toggle(int row) {
    list_->toggle(row);
}

void SubdirectoryDialog::setAllOpen(int open) {
    setOpenEverywhere(label_, open);
    list_->fill(label_);
}

int ChooseSubdirectories(QWidget* owner, VAROINFO& label, POINT& remembered) {
    int result = 0;
    {
        SubdirectoryDialog dialog(owner, label);
        ui::placeDialog(dialog, remembered);
        result = ui::runDialog(dialog) == QDialog::Accepted ? 1 : 0;
        ui::rememberDialogPosition(dialog, remembered);
    }
    label.layoutValid = 0;
    return result;
}

} // namespace pelmora
