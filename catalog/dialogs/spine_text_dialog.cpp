#include "catalog/dialogs/spine_text_dialog.h"

#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "resources/menus.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace pelmora {

std::string spineTextTitle(const VAROINFO& label, bool numbered) {
    std::string title = std::string(kProgramName) + " Label ";
    if (numbered) {
        title += std::to_string(label.labelNumber);
    }
    return title;
}

SpineTextDialog::SpineTextDialog(QWidget* owner, VAROINFO& label, bool numbered)
    : QDialog(owner), label_(label) {
    setObjectName(QStringLiteral("spineTextDialog"));
    setWindowTitle(QString::fromStdString(spineTextTitle(label, numbered)));
    setFixedSize(ui::dluSize(260, 49));

    // Child widgets belong to the dialog (Qt parent ownership).
    auto* caption = new QLabel(QStringLiteral("&Label: "), this);
    caption->setObjectName(QStringLiteral("spineTextCaption"));
    caption->setGeometry(ui::dluRect(10, 20, 25, 8));
    text_ = new QLineEdit(QString::fromUtf8(label.volumeName), this);
    text_->setObjectName(QStringLiteral("spineTextEdit"));
    text_->setGeometry(ui::dluRect(38, 17, 142, 14));
    caption->setBuddy(text_);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(203, 7, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(ui::dluRect(203, 24, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    text_->selectAll();
    text_->setFocus();
}

void SpineTextDialog::accept() {
    const QByteArray text = text_->text().toUtf8();
    copyTruncatedUtf8(label_.volumeName, sizeof label_.volumeName, text.constData(),
                      static_cast<std::size_t>(text.size()));
    QDialog::accept();
}

int EditSpineText(QWidget* owner, VAROINFO& label, bool numbered, POINT& remembered) {
    SpineTextDialog dialog(owner, label, numbered);
    return ui::runPlacedDialog(dialog, remembered);
}

} // namespace pelmora
