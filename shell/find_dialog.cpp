#include "shell/find_dialog.h"

#include "platform/ui/dialogs.h"
#include "shell/library_worker.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace pelmora {

struct FolderProgressView {
    FolderAdder::Progress progress;
};

namespace {

enum Column { kName, kSize, kFolder, kDisk, kLabelFile, kColumnCount };

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// The folder chooser through the modal layer: an answerer gets an OpenFile request titled
// "Add Folder" and answers with the folder's path.
std::optional<std::string> askFolder(QWidget* owner) {
    ui::ModalRequest request;
    request.kind = ui::ModalKind::OpenFile;
    request.owner = owner;
    request.title = "Add Folder";
    if (auto answer = ui::askDialogAnswerer(request)) {
        if (answer->result == 0) {
            return std::nullopt;
        }
        return answer->path;
    }
    const QString folder = QFileDialog::getExistingDirectory(owner, QStringLiteral("Add Folder"));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder.toStdString();
}

// Hits are counted with the catalog's file sizes; folders show "[dir]".
QTableWidgetItem* sizeItem(const library::Hit& hit) {
    auto* item = new QTableWidgetItem;
    if (hit.kind == library::EntryKind::Folder) {
        item->setText(QStringLiteral("[dir]"));
    } else {
        item->setData(Qt::DisplayRole, QVariant::fromValue<qulonglong>(hit.size));
    }
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

FindDialog::FindDialog(QWidget* owner, std::string libraryPath)
    : QDialog(owner), libraryPath_(std::move(libraryPath)) {
    setObjectName(QStringLiteral("findDialog"));
    setWindowTitle(QStringLiteral("Find in Labels"));
    resize(760, 420);

    auto* layout = new QVBoxLayout(this);
    auto* searchRow = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("&Find:"), this);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("findEdit"));
    edit_->setPlaceholderText(QStringLiteral("part of a name; * and ? as wildcards"));
    caption->setBuddy(edit_);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("hitCount"));
    searchRow->addWidget(caption);
    searchRow->addWidget(edit_, 1);
    searchRow->addWidget(count_);
    layout->addLayout(searchRow);

    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("resultTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Size"),
                                       QStringLiteral("Folder"), QStringLiteral("Disk"),
                                       QStringLiteral("Label file")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSortingEnabled(true);
    layout->addWidget(table_, 1);

    progress_ = new QLabel(this);
    progress_->setObjectName(QStringLiteral("progressLine"));
    layout->addWidget(progress_);

    auto* buttons = new QHBoxLayout;
    addButton_ = new QPushButton(QStringLiteral("&Add Folder..."), this);
    addButton_->setObjectName(QStringLiteral("addFolderButton"));
    addButton_->setAutoDefault(false);
    cancelAddButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelAddButton_->setObjectName(QStringLiteral("cancelAddButton"));
    cancelAddButton_->setAutoDefault(false);
    cancelAddButton_->setEnabled(false);
    openButton_ = new QPushButton(QStringLiteral("&Open"), this);
    openButton_->setObjectName(QStringLiteral("openButton"));
    openButton_->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);
    buttons->addWidget(addButton_);
    buttons->addWidget(cancelAddButton_);
    buttons->addStretch(1);
    buttons->addWidget(openButton_);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(edit_, &QLineEdit::textChanged, this, [this] { startSearch(); });
    connect(edit_, &QLineEdit::returnPressed, this, [this] { accept(); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { accept(); });
    connect(openButton_, &QPushButton::clicked, this, [this] { accept(); });
    connect(close, &QPushButton::clicked, this, [this] { reject(); });
    connect(addButton_, &QPushButton::clicked, this, [this] { chooseFolder(); });
    connect(cancelAddButton_, &QPushButton::clicked, this, [this] {
        if (adder_) {
            adder_->cancel();
        }
    });

    QPointer<FindDialog> self(this);
    worker_ = std::make_unique<SearchWorker>(
        libraryPath_,
        [self](std::uint64_t generation, std::vector<library::Hit> hits, std::string problem) {
            if (!self) {
                return;
            }
            QMetaObject::invokeMethod(
                self.data(),
                [self, generation, hits = std::move(hits), problem = std::move(problem)]() mutable {
                    if (self) {
                        self->showHits(generation, std::move(hits), problem);
                    }
                },
                Qt::QueuedConnection);
        });
    edit_->setFocus();
}

FindDialog::~FindDialog() {
    // Both threads end before the widgets they report to go.
    adder_.reset();
    worker_.reset();
}

void FindDialog::startSearch() {
    const std::string pattern = edit_->text().toStdString();
    if (pattern.empty()) {
        latest_ = 0; // any answer still coming is ignored
        hits_.clear();
        table_->setRowCount(0);
        count_->clear();
        return;
    }
    library::FindQuery query;
    query.pattern = pattern;
    query.limit = kShownHits + 1;
    latest_ = worker_->search(std::move(query));
    count_->setText(QStringLiteral("Searching..."));
}

void FindDialog::showHits(std::uint64_t generation, std::vector<library::Hit> hits,
                          const std::string& problem) {
    if (generation != latest_ || latest_ == 0) {
        return; // an older query, or the field was emptied
    }
    const bool more = hits.size() > kShownHits;
    if (more) {
        hits.resize(kShownHits);
    }
    hits_ = std::move(hits);
    table_->setSortingEnabled(false);
    table_->setRowCount(static_cast<int>(hits_.size()));
    for (std::size_t i = 0; i < hits_.size(); ++i) {
        const library::Hit& hit = hits_[i];
        const int row = static_cast<int>(i);
        auto* name = new QTableWidgetItem(text(hit.name));
        name->setData(Qt::UserRole, QVariant::fromValue<qulonglong>(i));
        table_->setItem(row, kName, name);
        table_->setItem(row, kSize, sizeItem(hit));
        table_->setItem(row, kFolder, new QTableWidgetItem(text(hit.folder)));
        table_->setItem(row, kDisk, new QTableWidgetItem(text(hit.volume)));
        table_->setItem(row, kLabelFile, new QTableWidgetItem(text(hit.labelPath)));
    }
    table_->setSortingEnabled(true);
    if (!hits_.empty()) {
        table_->selectRow(0);
    }
    if (!problem.empty()) {
        count_->setText(text(problem));
    } else if (more) {
        count_->setText(QStringLiteral("More than %1 hits; the first %1 are shown")
                            .arg(static_cast<qulonglong>(kShownHits)));
    } else {
        count_->setText(hits_.size() == 1 ? QStringLiteral("1 hit")
                                          : QStringLiteral("%1 hits").arg(hits_.size()));
    }
}

void FindDialog::waitForResults() {
    worker_->waitIdle();
    QCoreApplication::sendPostedEvents(this);
}

void FindDialog::accept() {
    const int row = table_->currentRow();
    QTableWidgetItem* item = row >= 0 ? table_->item(row, kName) : nullptr;
    if (!item) {
        return; // nothing to open: the dialog stays
    }
    const auto index = static_cast<std::size_t>(item->data(Qt::UserRole).toULongLong());
    if (index >= hits_.size()) {
        return;
    }
    chosen_ = hits_[index];
    stopAdding();
    QDialog::accept();
}

void FindDialog::reject() {
    stopAdding();
    QDialog::reject();
}

void FindDialog::chooseFolder() {
    if (const std::optional<std::string> folder = askFolder(this)) {
        addFolder(*folder);
    }
}

void FindDialog::addFolder(const std::string& folder) {
    stopAdding();
    addButton_->setEnabled(false);
    cancelAddButton_->setEnabled(true);
    progress_->setText(QStringLiteral("Looking for label files in %1...").arg(text(folder)));
    QPointer<FindDialog> self(this);
    adder_ = std::make_unique<FolderAdder>(libraryPath_, folder,
                                           [self](const FolderAdder::Progress& progress) {
                                               QMetaObject::invokeMethod(
                                                   self.data(),
                                                   [self, view = FolderProgressView{progress}] {
                                                       if (self) {
                                                           self->showProgress(view);
                                                       }
                                                   },
                                                   Qt::QueuedConnection);
                                           });
}

void FindDialog::showProgress(const FolderProgressView& view) {
    const FolderAdder::Progress& p = view.progress;
    if (!p.finished) {
        progress_->setText(QStringLiteral("Adding %1 of %2: %3")
                               .arg(p.done + 1)
                               .arg(p.found)
                               .arg(text(p.current)));
        return;
    }
    QString line = p.cancelled ? QStringLiteral("Cancelled: ") : QString();
    line += QStringLiteral("%1 label files added, %2 skipped").arg(p.added).arg(p.skipped);
    if (p.failed > 0 || (!p.problem.empty() && p.found == 0)) {
        line += QStringLiteral("; %1 not added: %2").arg(p.failed).arg(text(p.problem));
    }
    progress_->setText(line);
    addButton_->setEnabled(true);
    cancelAddButton_->setEnabled(false);
    if (adder_) {
        adder_->wait();
    }
    // What was added may answer the current search.
    if (!edit_->text().isEmpty()) {
        startSearch();
    }
}

void FindDialog::waitForAdding() {
    if (adder_) {
        adder_->wait();
    }
    QCoreApplication::sendPostedEvents(this);
}

void FindDialog::stopAdding() {
    if (adder_) {
        adder_->cancel();
        adder_->wait();
    }
}

std::optional<library::Hit> FindInLabels(QWidget* owner, const std::string& libraryPath,
                                         POINT& remembered) {
    FindDialog dialog(owner, libraryPath);
    if (ui::runPlacedDialog(dialog, remembered) != 1) {
        return std::nullopt;
    }
    return dialog.chosenHit();
}

} // namespace pelmora
