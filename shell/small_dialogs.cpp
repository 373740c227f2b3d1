#include "shell/small_dialogs.h"

#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"
#include "resources/toolbar.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

namespace pelmora {

void PlaceDialog(QWidget& dialog, POINT& remembered) {
    ui::placeDialog(dialog, remembered);
}

void RememberDialogPosition(const QWidget& dialog, POINT& remembered) {
    ui::rememberDialogPosition(dialog, remembered);
}

int ShowHint(QWidget* owner, ProgramSettings& settings, const std::string& caption,
             const std::string& message, const std::string& yes, const std::string& no, int index) {
    if (index < 0 || index >= static_cast<int>(kHintCount)) {
        return 0;
    }
    std::int32_t& hidden = settings.hiddenHints[static_cast<std::size_t>(index)];
    if (hidden == 1) {
        return 0;
    }
    POINT& position = settings.position(WindowName::Dummy);

    // Child widgets belong to the dialog (Qt parent ownership).
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("hintDialog"));
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setFixedSize(ui::dluSize(257, 86));
    auto* text = new QLabel(QString::fromStdString(message), &dialog);
    text->setObjectName(QStringLiteral("hintMessage"));
    text->setWordWrap(true);
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text->setGeometry(ui::dluRect(38, 7, 180, 35));
    // Left the icon the caption stands for (a warning, else a question), right the program's.
    constexpr int kIconSize = 32;
    const bool warning = caption.find("Warning") != std::string::npos;
    auto* icon = new QLabel(&dialog);
    icon->setObjectName(QStringLiteral("hintIcon"));
    icon->setPixmap(
        dialog.style()
            ->standardIcon(warning ? QStyle::SP_MessageBoxWarning : QStyle::SP_MessageBoxQuestion,
                           nullptr, &dialog)
            .pixmap(kIconSize, kIconSize));
    icon->setGeometry(ui::dluToPixelsX(7), ui::dluToPixelsY(7), kIconSize, kIconSize);
    auto* programIcon = new QLabel(&dialog);
    programIcon->setObjectName(QStringLiteral("hintProgramIcon"));
    programIcon->setPixmap(QPixmap::fromImage(iconImage(IconKind::Program, kIconSize)));
    programIcon->setGeometry(ui::dluToPixelsX(229), ui::dluToPixelsY(7), kIconSize, kIconSize);
    auto* silence = new QCheckBox(QStringLiteral("&Don't Show This Hint Again"), &dialog);
    silence->setObjectName(QStringLiteral("hintSilence"));
    silence->setGeometry(ui::dluRect(73, 48, 110, 10));
    auto* yesButton = new QPushButton(QString::fromStdString(yes), &dialog);
    yesButton->setObjectName(QStringLiteral("hintYes"));
    yesButton->setGeometry(ui::dluRect(7, 65, 95, 14));
    yesButton->setDefault(true);
    auto* noButton = new QPushButton(QString::fromStdString(no), &dialog);
    noButton->setObjectName(QStringLiteral("hintNo"));
    noButton->setGeometry(ui::dluRect(155, 65, 95, 14));
    QObject::connect(yesButton, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(noButton, &QPushButton::clicked, &dialog, &QDialog::reject);
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{yesButton, noButton, silence}) {
        QObject::connect(button, &QAbstractButton::clicked, &dialog,
                         [&dialog, &position] { RememberDialogPosition(dialog, position); });
    }
    yesButton->setFocus();
    PlaceDialog(dialog, position);

    const int result = ui::runDialog(dialog);
    RememberDialogPosition(dialog, position);
    hidden = silence->isChecked() ? 1 : 0;
    return result == QDialog::Accepted ? 1 : 0;
}

} // namespace pelmora
