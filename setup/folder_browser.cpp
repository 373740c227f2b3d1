#include "setup/folder_browser.h"

#include "platform/core/dirlist.h"
#include "platform/core/drives.h"
#include "platform/ui/dialog_units.h"
#include "setup/free_space.h"
#include "setup/setup_state.h"
#include "setup/static_text.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace pelmora {

namespace {

constexpr const char* kUpEntry = "[..]";

// Whether `folder` lies in `root` (or is it).
bool isInside(const std::string& folder, const std::string& root) {
    if (root == "/") {
        return true;
    }
    return folder.starts_with(root) && (folder.size() == root.size() || folder[root.size()] == '/');
}

} // namespace

std::string parentFolder(const std::string& folder) {
    std::string path = folder;
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

std::string childFolder(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

std::vector<std::string> subfolderNames(const std::string& folder) {
    std::vector<std::string> names;
    DirectoryListing listing;
    FindData found;
    for (bool more = listing.findFirst(folder, found, DotEntries::Omit); more;
         more = listing.findNext(found)) {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            names.push_back(found.cFileName);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

FolderBrowser::FolderBrowser(QWidget* owner, const std::string& folder, std::uint64_t requiredBytes)
    : QDialog(owner), folder_(absoluteFolder(folder)) {
    setObjectName(QStringLiteral("folderBrowser"));
    setWindowTitle(QStringLiteral("Select Installation Directory"));
    setFixedSize(ui::dluSize(260, 134));

    current_ = staticText({}, ui::dluRect(8, 6, 244, 10), this, "currentFolder");
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("folderList"));
    list_->setGeometry(ui::dluRect(8, 20, 122, 106));
    drives_ = new QComboBox(this);
    drives_->setObjectName(QStringLiteral("driveList"));
    drives_->setGeometry(ui::dluRect(136, 20, 116, 14));
    staticText(QStringLiteral("Free Space:"), ui::dluRect(136, 42, 56, 9), this);
    free_ = staticText({}, ui::dluRect(194, 42, 58, 9), this, "freeSpace");
    staticText(QStringLiteral("Required:"), ui::dluRect(136, 54, 56, 9), this);
    staticText(QString::fromStdString(kilobytesText(requiredBytes)), ui::dluRect(194, 54, 58, 9),
               this, "requiredSpace");
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(136, 94, 56, 14));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(ui::dluRect(136, 112, 56, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Every drive letter that stands for a folder, and the one that holds the folder.
    const std::uint32_t present = GetLogicalDrives();
    std::size_t longestRoot = 0;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const auto root = driveFolder(letter);
        if ((present & (1u << (letter - 'A'))) == 0 || !root) {
            continue;
        }
        drives_->addItem(
            QStringLiteral("%1:  %2").arg(QChar(letter), QString::fromStdString(*root)),
            QString::fromStdString(*root));
        if (isInside(folder_, *root) && (drives_->count() == 1 || root->size() > longestRoot)) {
            longestRoot = root->size();
            drives_->setCurrentIndex(drives_->count() - 1);
        }
    }
    connect(drives_, &QComboBox::activated, this, &FolderBrowser::chooseDrive);
    connect(list_, &QListWidget::itemActivated, this, &FolderBrowser::openEntry);
    showFolder();
}

void FolderBrowser::showFolder() {
    current_->setText(QString::fromStdString(folder_));
    free_->setText(QString::fromStdString(kilobytesText(availableBytesFor(folder_))));
    list_->setUpdatesEnabled(false);
    list_->clear();
    list_->addItem(QString::fromLatin1(kUpEntry));
    for (const std::string& name : subfolderNames(folder_)) {
        list_->addItem(QStringLiteral("[%1]").arg(QString::fromStdString(name)));
    }
    list_->setUpdatesEnabled(true);
}

void FolderBrowser::chooseDrive(int index) {
    folder_ = drives_->itemData(index).toString().toStdString();
    showFolder();
}

void FolderBrowser::openEntry(QListWidgetItem* item) {
    const std::string text = item->text().toStdString();
    const std::string name = text.size() >= 2 ? text.substr(1, text.size() - 2) : text;
    folder_ = name == ".." ? parentFolder(folder_) : childFolder(folder_, name);
    showFolder();
}

} // namespace pelmora
