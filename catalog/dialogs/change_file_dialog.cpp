#include "catalog/dialogs/change_file_dialog.h"

#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>

namespace pelmora {

namespace {

QString fieldText(const char* text, std::size_t capacity) {
    return QString::fromUtf8(text, static_cast<qsizetype>(strnlen(text, capacity)));
}

} // namespace

ChangeFileDialog::ChangeFileDialog(QWidget* owner, FileEntry& entry)
    : QDialog(owner), entry_(entry) {
    setObjectName(QStringLiteral("changeFileDialog"));
    setWindowTitle(QStringLiteral("Change File"));
    setFixedSize(ui::dluSize(239, 62));

    // Child widgets belong to the dialog (Qt parent ownership).
    auto* nameCaption = new QLabel(QStringLiteral("&Name:"), this);
    nameCaption->setGeometry(ui::dluRect(13, 10, 32, 8));
    name_ = new QLineEdit(fieldText(entry.name, kNameCapacity), this);
    name_->setObjectName(QStringLiteral("nameEdit"));
    name_->setGeometry(ui::dluRect(47, 7, 185, 14));
    nameCaption->setBuddy(name_);

    auto* commentCaption = new QLabel(QStringLiteral("Co&mment:"), this);
    commentCaption->setGeometry(ui::dluRect(11, 25, 34, 8));
    comment_ = new QLineEdit(fieldText(entry.sizeText, kSizeTextCapacity), this);
    comment_->setObjectName(QStringLiteral("commentEdit"));
    comment_->setGeometry(ui::dluRect(47, 23, 40, 14));
    commentCaption->setBuddy(comment_);

    auto* alignCaption = new QLabel(QStringLiteral("&Align:"), this);
    alignCaption->setGeometry(ui::dluRect(93, 25, 22, 8));
    align_ = new QComboBox(this);
    align_->setObjectName(QStringLiteral("alignList"));
    align_->setGeometry(ui::dluRect(117, 23, 48, 14));
    align_->addItems({QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")});
    align_->setCurrentIndex(entry.align >= 0 && entry.align <= 2 ? entry.align : -1);
    alignCaption->setBuddy(align_);

    auto* sizeCaption = new QLabel(QStringLiteral("&Size:"), this);
    sizeCaption->setGeometry(ui::dluRect(170, 25, 20, 8));
    size_ = new QLineEdit(QString::number(entry.size), this);
    size_->setObjectName(QStringLiteral("sizeEdit"));
    size_->setGeometry(ui::dluRect(192, 23, 40, 14));
    size_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), size_));
    sizeCaption->setBuddy(size_);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    ok->setGeometry(ui::dluRect(61, 41, 50, 14));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setGeometry(ui::dluRect(127, 41, 50, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    name_->selectAll();
    name_->setFocus();
}

void ChangeFileDialog::accept() {
    const QByteArray name = name_->text().toUtf8();
    copyTruncatedUtf8(entry_.name, name.constData());
    const QByteArray sizeText = comment_->text().toUtf8();
    copyTruncatedUtf8(entry_.sizeText, sizeText.constData());

    const std::string digits = size_->text().toStdString();
    if (!digits.empty()) {
        std::uint64_t value = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error == std::errc::result_out_of_range) {
            entry_.size = std::numeric_limits<std::uint64_t>::max();
        } else if (error == std::errc() && end == digits.data() + digits.size()) {
            entry_.size = value;
        }
    }
    if (align_->currentIndex() >= 0) {
        entry_.align = align_->currentIndex();
    }
    QDialog::accept();
}

int ChangeFile(QWidget* owner, FileEntry& entry, POINT& remembered) {
    ChangeFileDialog dialog(owner, entry);
    return ui::runPlacedDialog(dialog, remembered);
}

} // namespace pelmora
