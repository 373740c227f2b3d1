#include "shell/small_dialogs.h"

#include "platform/ui/dialog_units.h"
#include "platform/ui/dialogs.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

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
