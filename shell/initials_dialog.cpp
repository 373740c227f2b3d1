#include "shell/initials_dialog.h"

#include "platform/core/message.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "resources/menus.h"
#include "storage/settings_store.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

namespace pelmora {

namespace {

QLineEdit* captionedEdit(const QString& caption, const QRect& captionRect, const QString& text,
                         const char* name, const QRect& editRect, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Caption"));
    label->setGeometry(captionRect);
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(editRect);
    label->setBuddy(edit);
    return edit;
}

} // namespace

InitialsDialog::InitialsDialog(QWidget* owner, PaintSettings& paint, std::string iniPath)
    : QDialog(owner), paint_(paint), iniPath_(std::move(iniPath)) {
    setObjectName(QStringLiteral("initialsDialog"));
    setWindowTitle(QStringLiteral("Spine Initials"));
    setFixedSize(ui::dluSize(158, 71));

    // Child widgets belong to the dialog (Qt parent ownership).
    initials_ = captionedEdit(QStringLiteral("&Initials: "), ui::dluRect(7, 9, 35, 8),
                              QString::fromUtf8(paint.spineInitials), "initialsEdit",
                              ui::dluRect(46, 6, 105, 14), this);
    number_ = captionedEdit(QStringLiteral("&Number: "), ui::dluRect(7, 30, 35, 8),
                            QString::fromUtf8(paint.spineNumber), "numberEdit",
                            ui::dluRect(45, 27, 40, 14), this);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(20, 50, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(ui::dluRect(86, 50, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    initials_->selectAll();
    initials_->setFocus();
}

void InitialsDialog::accept() {
    const QByteArray initials = initials_->text().toUtf8();
    copyTruncatedUtf8(paint_.spineInitials, sizeof paint_.spineInitials, initials.constData(),
                      static_cast<std::size_t>(initials.size()));
    const QByteArray number = number_->text().toUtf8();
    copyTruncatedUtf8(paint_.spineNumber, sizeof paint_.spineNumber, number.constData(),
                      static_cast<std::size_t>(number.size()));
    // The settings written at exit leave these two keys out, so this is their only chance to
    // reach the file: say so when it fails rather than lose them quietly.
    if (!WriteSpineInitials(paint_, iniPath_)) {
        reportMessage(static_cast<QWidget*>(this),
                      "The initials could not be saved in " + iniPath_ + ".",
                      std::string(kProgramName), MB_OK | MB_ICONWARNING);
    }
    QDialog::accept();
}

int CustomizeInitials(QWidget* owner, PaintSettings& paint, POINT& remembered,
                      const std::string& iniPath) {
    InitialsDialog dialog(owner, paint, iniPath);
    return ui::runPlacedDialog(dialog, remembered);
}

} // namespace pelmora
