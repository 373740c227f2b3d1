#include "catalog/dialogs/drive_dialog.h"

#include "platform/core/drives.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "resources/menus.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace pelmora {

namespace {

// "X:\" and, when the letter stands for a folder, two blanks and that folder.
QString driveLine(char letter) {
    QString line = QString(QChar(letter)) + QStringLiteral(":\\");
    if (const std::optional<std::string> folder = driveFolder(letter)) {
        line += QStringLiteral("  ") + QFile::decodeName(QByteArray::fromStdString(*folder));
    }
    return line;
}

} // namespace

DriveDialog::DriveDialog(QWidget* owner, char currentDrive, std::uint32_t drives) : QDialog(owner) {
    const std::string diskType(kDiskType);
    setObjectName(QStringLiteral("driveDialog"));
    setWindowTitle(QString::fromStdString(insertName("%s Drive Selection", diskType)));
    setFixedSize(ui::dluSize(181, 46));

    // Child widgets belong to the dialog (Qt parent ownership).
    auto* caption = new QLabel(QString::fromStdString(insertName("%s &Drive:", diskType)), this);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setGeometry(ui::dluRect(7, 18, 50, 8));
    drives_ = new QComboBox(this);
    drives_->setObjectName(QStringLiteral("driveList"));
    drives_->setGeometry(ui::dluRect(61, 16, 48, 12));
    caption->setBuddy(drives_);
    for (int bit = 0; bit < 26; ++bit) {
        if (drives & (1u << bit)) {
            const char letter = static_cast<char>('A' + bit);
            drives_->addItem(driveLine(letter));
            if (letter == currentDrive) {
                drives_->setCurrentIndex(drives_->count() - 1);
            }
        }
    }
    if (currentDrive < 'A' || currentDrive > 'Z' || !(drives & (1u << (currentDrive - 'A')))) {
        drives_->setCurrentIndex(-1);
    }
    // The folders make lines longer than the box: the open list shows them whole, and the
    // selected one is in the tool tip.
    drives_->view()->setMinimumWidth(drives_->view()->sizeHintForColumn(0) +
                                     drives_->view()->verticalScrollBar()->sizeHint().width());
    drives_->setToolTip(drives_->currentText());
    connect(drives_, &QComboBox::currentTextChanged, drives_, &QWidget::setToolTip);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(124, 7, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setGeometry(ui::dluRect(124, 24, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    drives_->setFocus();
}

char DriveDialog::chosenDrive(char fallback) const {
    if (drives_->currentIndex() < 0) {
        return fallback;
    }
    const QString line = drives_->currentText();
    return line.isEmpty() ? fallback : line.at(0).toLatin1();
}

int SelectDrive(QWidget* owner, CatalogSettings& catalog, POINT& remembered) {
    DriveDialog dialog(owner, catalog.driveLetter, GetLogicalDrives());
    if (ui::runPlacedDialog(dialog, remembered) != 1) {
        return 0;
    }
    catalog.driveLetter = dialog.chosenDrive(catalog.driveLetter);
    return 1;
}

} // namespace pelmora
