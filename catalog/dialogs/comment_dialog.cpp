#include "catalog/dialogs/comment_dialog.h"

#include "catalog/comment_macros.h"
#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "resources/menus.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <cstring>

namespace pelmora {

namespace {

struct MacroButton {
    const char* text;
    const char* name;
    const char* macro;
    int x;
    int y;
};

constexpr MacroButton kMacroButtons[] = {
    {"&Short Date", "shortDateButton", "%shortdate%", 13, 50},
    {"&Long Date", "longDateButton", "%longdate%", 75, 50},
    {"S&pace Free", "spaceFreeButton", "%spacefree%", 137, 50},
    {"Sp&ace Used", "spaceUsedButton", "%spaceused%", 199, 50},
    {"F&iles", "filesButton", "%files%", 13, 69},
    {"&Folders", "foldersButton", "%folders%", 75, 69},
    {"% Fr&ee", "percentFreeButton", "%pctfree%", 137, 69},
    {"% &Used", "percentUsedButton", "%pctused%", 199, 69},
};

QPushButton* pushButton(const QString& text, const char* name, const QRect& rect, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(rect);
    return button;
}

} // namespace

CommentDialog::CommentDialog(QWidget* owner, VAROINFO& label) : QDialog(owner), label_(label) {
    setObjectName(QStringLiteral("commentDialog"));
    setWindowTitle(QString::fromStdString(insertName("%s Comment Entry", kDiskType)));
    setFixedSize(ui::dluSize(319, 93));

    // Child widgets belong to the dialog (Qt parent ownership). The group box comes first so
    // that the buttons inside it lie on top of it.
    auto* group = new QGroupBox(QStringLiteral("Macros"), this);
    group->setObjectName(QStringLiteral("macroGroup"));
    group->setGeometry(ui::dluRect(7, 40, 248, 46));

    auto* caption = new QLabel(QStringLiteral("Co&mment:"), this);
    caption->setObjectName(QStringLiteral("commentCaption"));
    caption->setGeometry(ui::dluRect(7, 13, 34, 8));
    ui::widenToText(*caption, 44);
    comment_ = new QLineEdit(QString::fromUtf8(label.comment), this);
    comment_->setObjectName(QStringLiteral("commentEdit"));
    comment_->setGeometry(ui::dluRect(45, 11, 207, 14));
    caption->setBuddy(comment_);

    auto* sampleCaption = new QLabel(QStringLiteral("Sample:"), this);
    sampleCaption->setObjectName(QStringLiteral("sampleCaption"));
    sampleCaption->setGeometry(ui::dluRect(7, 29, 34, 8));
    sample_ = new QLabel(this);
    sample_->setObjectName(QStringLiteral("sampleText"));
    sample_->setTextFormat(Qt::PlainText); // a comment is never markup
    sample_->setGeometry(ui::dluRect(45, 29, 205, 8));

    for (const MacroButton& macro : kMacroButtons) {
        auto* button = pushButton(QString::fromLatin1(macro.text), macro.name,
                                  ui::dluRect(macro.x, macro.y, 50, 14), this);
        const char* text = macro.macro;
        connect(button, &QPushButton::clicked, this, [this, text] { insertMacro(text); });
    }
    auto* ok = pushButton(QStringLiteral("&OK"), "okButton", ui::dluRect(262, 7, 50, 14), this);
    ok->setDefault(true);
    auto* cancel =
        pushButton(QStringLiteral("&Cancel"), "cancelButton", ui::dluRect(262, 24, 50, 14), this);
    auto* standard =
        pushButton(QStringLiteral("&Default"), "defaultButton", ui::dluRect(262, 42, 50, 14), this);

    connect(comment_, &QLineEdit::textChanged, this, [this] { showSample(); });
    connect(standard, &QPushButton::clicked, this, [this] {
        comment_->setText(QString::fromLatin1(kDefaultComment));
        comment_->setFocus();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    showSample();
    comment_->selectAll();
    comment_->setFocus();
}

void CommentDialog::showSample() {
    // The expansion reads the comment and the scan figures only; a probe record with those
    // avoids copying the label's catalog tree on every key stroke.
    VAROINFO probe;
    const QByteArray text = comment_->text().toUtf8();
    copyTruncatedUtf8(probe.comment, sizeof probe.comment, text.constData(),
                      static_cast<std::size_t>(text.size()));
    std::memcpy(probe.shortDate, label_.shortDate, sizeof probe.shortDate);
    std::memcpy(probe.longDate, label_.longDate, sizeof probe.longDate);
    probe.spaceFree = label_.spaceFree;
    probe.spaceUsed = label_.spaceUsed;
    probe.spaceTotal = label_.spaceTotal;
    probe.fileCount = label_.fileCount;
    probe.folderCount = label_.folderCount;
    std::array<char, kExpandedCommentCapacity> expanded{};
    expandComment(probe, expanded.data(), expanded.size());
    sample_->setText(QString::fromUtf8(expanded.data()));
}

void CommentDialog::insertMacro(const char* macro) {
    comment_->insert(QString::fromLatin1(macro)); // at the caret, over the selection
    comment_->setFocus();
}

void CommentDialog::accept() {
    const QByteArray text = comment_->text().toUtf8();
    copyTruncatedUtf8(label_.comment, sizeof label_.comment, text.constData(),
                      static_cast<std::size_t>(text.size()));
    QDialog::accept();
}

int EditComment(QWidget* owner, VAROINFO& label, POINT& remembered) {
    CommentDialog dialog(owner, label);
    return ui::runPlacedDialog(dialog, remembered);
}

} // namespace pelmora
