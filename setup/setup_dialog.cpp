#include "setup/setup_dialog.h"

#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "setup/folder_browser.h"
#include "setup/free_space.h"
#include "setup/static_text.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace pelmora {

namespace {

QCheckBox* checkBox(const QString& text, bool checked, const QRect& rect, const char* name,
                    QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(rect);
    box->setChecked(checked);
    ui::widenToText(*box, 240);
    return box;
}

} // namespace

SetupDialog::SetupDialog(SetupState& state, const SetupConfig& config) : state_(state) {
    const QString product = QString::fromStdString(config.productName);
    setObjectName(QStringLiteral("setupDialog"));
    setWindowTitle(QStringLiteral("%1 Setup").arg(product));
    setFixedSize(ui::dluSize(250, 194));

    staticText(QStringLiteral("%1 Version %2, Released %3")
                   .arg(product, QString::fromStdString(config.version),
                        QString::fromStdString(config.releaseDate)),
               ui::dluRect(10, 8, 230, 10), this, "banner");
    staticText(QStringLiteral("Thanks for trying %1!").arg(product), ui::dluRect(10, 20, 230, 10),
               this);

    // The group boxes come first, so the controls they frame lie above them.
    auto* copying = new QGroupBox(QStringLiteral("Copying Files"), this);
    copying->setGeometry(ui::dluRect(6, 34, 238, 72));
    auto* after = new QGroupBox(QStringLiteral("After Installation"), this);
    after->setGeometry(ui::dluRect(6, 110, 238, 54));

    staticText(QStringLiteral("%1 Installation Directory:").arg(product),
               ui::dluRect(14, 46, 220, 9), this);
    folderEdit_ = new QLineEdit(QString::fromStdString(state.installFolder), this);
    folderEdit_->setObjectName(QStringLiteral("installFolderEdit"));
    folderEdit_->setMaxLength(static_cast<int>(kInstallFolderCapacity) - 1);
    folderEdit_->setGeometry(ui::dluRect(14, 57, 170, 13));
    auto* browse = new QPushButton(QStringLiteral("Browse"), this);
    browse->setObjectName(QStringLiteral("browseButton"));
    browse->setAutoDefault(false);
    browse->setGeometry(ui::dluRect(190, 56, 46, 14));
    staticText(QStringLiteral("Space Available:"), ui::dluRect(14, 76, 70, 9), this);
    available_ =
        staticText(QStringLiteral("lots"), ui::dluRect(86, 76, 100, 9), this, "availableSpace");
    staticText(QStringLiteral("Space Required:"), ui::dluRect(14, 88, 70, 9), this);
    staticText(QString::fromStdString(kilobytesText(state.requiredBytes)),
               ui::dluRect(86, 88, 100, 9), this, "requiredSpace");

    addToMenu_ = checkBox(QStringLiteral("Add %1 to Programs Menu").arg(product), state.addToMenu,
                          ui::dluRect(14, 122, 220, 10), "addToMenuCheck", this);
    viewReadme_ = checkBox(QStringLiteral("View README.TXT after installation"), state.viewReadme,
                           ui::dluRect(14, 134, 220, 10), "viewReadmeCheck", this);
    startAfter_ =
        checkBox(QStringLiteral("Start %1 after installation").arg(product), state.startAfter,
                 ui::dluRect(14, 146, 220, 10), "startAfterCheck", this);

    auto* install = new QPushButton(QStringLiteral("Install %1!").arg(product), this);
    install->setObjectName(QStringLiteral("installButton"));
    install->setDefault(true);
    install->setGeometry(ui::dluRect(56, 172, 74, 14));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    cancel->setGeometry(ui::dluRect(140, 172, 54, 14));

    connect(install, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse, &QPushButton::clicked, this, &SetupDialog::browse);
    connect(folderEdit_, &QLineEdit::editingFinished, this, &SetupDialog::takeFolder);

    takeFolder();
    folderEdit_->selectAll();
    folderEdit_->setFocus();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void SetupDialog::takeFolder() {
    state_.installFolder = folderEdit_->text().toStdString();
    available_->setText(QString::fromStdString(
        kilobytesText(availableBytesFor(absoluteFolder(state_.installFolder)))));
}

void SetupDialog::browse() {
    takeFolder();
    FolderBrowser browser(this, state_.installFolder, state_.requiredBytes);
    if (ui::runDialog(browser) == QDialog::Accepted) {
        folderEdit_->setText(QString::fromStdString(browser.folder()));
        takeFolder();
    }
}

void SetupDialog::accept() {
    takeFolder();
    state_.addToMenu = addToMenu_->isChecked();
    state_.viewReadme = viewReadme_->isChecked();
    state_.startAfter = startAfter_->isChecked();
    QDialog::accept();
}

} // namespace pelmora
