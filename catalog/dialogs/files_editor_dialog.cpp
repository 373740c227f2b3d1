#include "catalog/dialogs/files_editor_dialog.h"

#include "catalog/dialogs/change_file_dialog.h"
#include "catalog/dialogs/tree_list.h"
#include "platform/core/message.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"

#include <QPushButton>
#include <cstring>
#include <new>

namespace pelmora {

namespace {

std::unique_ptr<VAROINFO> duplicateLabel(const VAROINFO& label) {
    std::unique_ptr<VAROINFO> copy;
    try {
        copy = copyTree(label);
    } catch (const std::bad_alloc&) {
        copy.reset();
    }
    if (!copy) {
        fatalAllocationFailure("Can't allocate duplicate VAROINFO, exiting Tessarin");
    }
    return copy;
}

QPushButton* button(QDialog* dialog, const char* text, const char* name, QRect geometry) {
    auto* created = new QPushButton(QString::fromUtf8(text), dialog);
    created->setObjectName(QString::fromUtf8(name));
    created->setGeometry(geometry);
    return created;
}

} // namespace

FilesEditorDialog::FilesEditorDialog(QWidget* owner, const VAROINFO& label,
                                     POINT& changeFilePosition)
    : QDialog(owner), copy_(duplicateLabel(label)), changeFilePosition_(changeFilePosition) {
    setObjectName(QStringLiteral("filesEditorDialog"));
    setWindowTitle(QStringLiteral("Files and Folders Editor"));
    setFixedSize(ui::dluSize(238, 161));

    // Child widgets belong to the dialog (Qt parent ownership).
    list_ = new TreeList(TreeListKind::Everything, this);
    list_->setObjectName(QStringLiteral("entryList"));
    list_->setGeometry(ui::dluRect(7, 7, 166, 147));
    QPushButton* up = button(this, "Move &Up", "moveUpButton", ui::dluRect(181, 7, 50, 14));
    QPushButton* down = button(this, "Move Do&wn", "moveDownButton", ui::dluRect(181, 28, 50, 14));
    QPushButton* add = button(this, "Add &New", "addNewButton", ui::dluRect(181, 49, 50, 14));
    QPushButton* remove = button(this, "&Delete", "deleteButton", ui::dluRect(181, 70, 50, 14));
    QPushButton* change = button(this, "C&hange", "changeButton", ui::dluRect(181, 91, 50, 14));
    change->setDefault(true);
    QPushButton* ok = button(this, "&OK", "okButton", ui::dluRect(181, 119, 50, 14));
    QPushButton* cancel = button(this, "&Cancel", "cancelButton", ui::dluRect(181, 140, 50, 14));

    connect(up, &QPushButton::clicked, this, [this] { moveUp(); });
    connect(down, &QPushButton::clicked, this, [this] { moveDown(); });
    connect(add, &QPushButton::clicked, this, [this] { addNew(); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteSelected(); });
    connect(change, &QPushButton::clicked, this, [this] { this->change(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &TreeList::lineActivated, this, [this](int row) { activate(row); });
    connect(list_, &TreeList::deletePressed, this, [this](int) { deleteSelected(); });

    list_->fill(*copy_);
    list_->setFocus();
}

FilesEditorDialog::~FilesEditorDialog() = default;

void FilesEditorDialog::changeFile(int row) {
    if (row < 0 || row >= list_->count()) {
        return;
    }
    // The entry stays where it is while the modal Change File runs.
    ChangeFile(this, list_->line(row).entry(), changeFilePosition_);
    list_->refreshLine(row);
}

void FilesEditorDialog::activate(int row) {
    if (row < 0 || row >= list_->count()) {
        return;
    }
    if (list_->line(row).entry().child) {
        list_->toggle(row);
    } else {
        changeFile(row);
    }
}

void FilesEditorDialog::deleteSelected() {
    list_->removeEntry(list_->currentRow());
}

void FilesEditorDialog::moveUp() {
    list_->moveUp(list_->currentRow());
}

void FilesEditorDialog::moveDown() {
    list_->moveDown(list_->currentRow());
}

void FilesEditorDialog::addNew() {
    FileEntry entry;
    std::strcpy(entry.name, "name");
    std::strcpy(entry.sizeText, "0K");
    const int row = list_->insertEntry(list_->currentRow(), *copy_, std::move(entry));
    changeFile(row);
}

void FilesEditorDialog::change() {
    changeFile(list_->currentRow());
}

int EditFilesAndFolders(QWidget* owner, VAROINFO& label, POINT& remembered,
                        POINT& changeFilePosition) {
    std::unique_ptr<VAROINFO> edited;
    {
        FilesEditorDialog dialog(owner, label, changeFilePosition);
        if (ui::runPlacedDialog(dialog, remembered) != 1) {
            return 0; // the copy goes with the dialog
        }
        edited = dialog.takeCopy();
    }
    freeTree(label);
    label.entries = std::move(edited->entries);
    edited.reset();
    // The display lines pointed into the old tree; they are built anew from the new one.
    label.lineEntries.clear();
    label.lineDepths.clear();
    label.lineTreeMasks.clear();
    label.lineStemLengths.clear();
    label.lineStyleIndexes.clear();
    label.lineCount = 0;
    label.layoutValid = 0;
    countEntries(label);
    return 1;
}

} // namespace pelmora
