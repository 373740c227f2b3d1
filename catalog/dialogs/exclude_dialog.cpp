#include "catalog/dialogs/exclude_dialog.h"

#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <iterator>
#include <memory>

namespace pelmora {

namespace {

QPushButton* pushButton(const QString& text, const char* name, const QRect& rect, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(rect);
    return button;
}

} // namespace

ExcludeDialog::ExcludeDialog(QWidget* owner, CatalogSettings& catalog)
    : QDialog(owner), catalog_(catalog) {
    setObjectName(QStringLiteral("excludeDialog"));
    setWindowTitle(QStringLiteral("Exclude/Include Files Containing..."));
    setFixedSize(ui::dluSize(158, 110));

    // Child widgets belong to the dialog (Qt parent ownership).
    exclude_ = new QRadioButton(QStringLiteral("&Exclude "), this);
    exclude_->setObjectName(QStringLiteral("excludeButton"));
    exclude_->setGeometry(ui::dluRect(7, 7, 43, 10));
    include_ = new QRadioButton(QStringLiteral("&Include "), this);
    include_->setObjectName(QStringLiteral("includeButton"));
    include_->setGeometry(ui::dluRect(59, 7, 39, 10));
    ui::widenToText(*exclude_, 59);
    ui::widenToText(*include_, 101);
    // The scanner includes for any mode but 1, so the buttons show it the same way.
    (catalog.excludeMode == 1 ? exclude_ : include_)->setChecked(true);

    patterns_ = new QListWidget(this);
    patterns_->setObjectName(QStringLiteral("patternList"));
    patterns_->setGeometry(ui::dluRect(7, 18, 90, 63));
    patterns_->setSortingEnabled(true);
    for (const auto& pattern : catalog.excludePatterns) {
        patterns_->addItem(QString::fromUtf8(pattern.data()));
    }
    patterns_->setCurrentRow(0);

    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("patternEdit"));
    edit_->setGeometry(ui::dluRect(7, 85, 90, 15));

    auto* add = pushButton(QStringLiteral("&Add"), "addButton", ui::dluRect(101, 86, 50, 14), this);
    add->setDefault(true);
    auto* ok = pushButton(QStringLiteral("&OK"), "okButton", ui::dluRect(101, 7, 50, 14), this);
    auto* cancel =
        pushButton(QStringLiteral("&Cancel"), "cancelButton", ui::dluRect(101, 24, 50, 14), this);
    auto* removeAll = pushButton(QStringLiteral("Re&move All"), "removeAllButton",
                                 ui::dluRect(101, 48, 50, 14), this);
    remove_ =
        pushButton(QStringLiteral("&Remove"), "removeButton", ui::dluRect(101, 66, 50, 14), this);
    // Remove works on the selected line, so it is enabled exactly while a line is selected.
    remove_->setEnabled(!patterns_->selectedItems().isEmpty());

    QWidget* const tabOrder[] = {exclude_, include_, patterns_, edit_,  add,
                                 ok,       cancel,   removeAll, remove_};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(patterns_, &QListWidget::itemSelectionChanged, this,
            [this] { remove_->setEnabled(!patterns_->selectedItems().isEmpty()); });
    connect(add, &QPushButton::clicked, this, [this] { addPattern(); });
    connect(remove_, &QPushButton::clicked, this, [this] { removePattern(); });
    connect(removeAll, &QPushButton::clicked, this, [this] { removeAllPatterns(); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    edit_->setFocus();
}

void ExcludeDialog::addPattern() {
    const std::string pattern = storedPattern(edit_->text().toStdString());
    if (pattern.empty()) {
        return;
    }
    // The item belongs to the list (Qt parent ownership), which sorts it into place.
    auto* item = new QListWidgetItem(QString::fromStdString(pattern), patterns_);
    patterns_->setCurrentItem(item);
    edit_->clear();
}

void ExcludeDialog::removePattern() {
    const QList<QListWidgetItem*> selected = patterns_->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const std::unique_ptr<QListWidgetItem> removed(
        patterns_->takeItem(patterns_->row(selected.front())));
    // Nothing is selected afterwards, so Remove is disabled until the user picks a line.
    patterns_->setCurrentRow(-1);
    patterns_->clearSelection();
}

void ExcludeDialog::removeAllPatterns() {
    patterns_->clear();
    exclude_->setChecked(true);
}

void ExcludeDialog::accept() {
    catalog_.excludePatterns.clear();
    for (int row = 0; row < patterns_->count(); ++row) {
        const QByteArray text = patterns_->item(row)->text().toUtf8();
        std::array<char, kPatternCapacity> stored{};
        copyTruncatedUtf8(stored.data(), stored.size(), text.constData(),
                          static_cast<std::size_t>(text.size()));
        catalog_.excludePatterns.push_back(stored);
    }
    // An include list without patterns would take no file at all.
    catalog_.excludeMode = exclude_->isChecked() || patterns_->count() == 0 ? 1 : 0;
    QDialog::accept();
}

int EditExcludeList(QWidget* owner, CatalogSettings& catalog, POINT& remembered) {
    ExcludeDialog dialog(owner, catalog);
    return ui::runPlacedDialog(dialog, remembered);
}

} // namespace pelmora
