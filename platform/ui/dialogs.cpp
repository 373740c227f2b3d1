#include "platform/ui/dialogs.h"

#include "platform/core/busy.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/gdi_types.h"
#include "platform/ui/font_conversion.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <utility>

namespace pelmora::ui {

namespace {

DialogAnswerer& answererSlot() {
    static DialogAnswerer answerer;
    return answerer;
}

} // namespace

std::optional<ModalAnswer> askDialogAnswerer(const ModalRequest& request) {
    if (answererSlot()) {
        return answererSlot()(request);
    }
    return std::nullopt;
}

namespace {

std::optional<ModalAnswer> askAnswerer(const ModalRequest& request) {
    return askDialogAnswerer(request);
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QColor toQColor(COLORREF color) {
    return QColor(static_cast<int>(GetRValue(color)), static_cast<int>(GetGValue(color)),
                  static_cast<int>(GetBValue(color)));
}

COLORREF fromQColor(const QColor& color) {
    return RGB(static_cast<unsigned>(color.red()), static_cast<unsigned>(color.green()),
               static_cast<unsigned>(color.blue()));
}

// The font chooser works on the screen: lfHeight counts its pixels at 96 dpi.
constexpr int kChooserUnitsPerInch = 96;

// Adds "Apply" to a chooser's button row; `pressed` runs each time it is clicked. Nothing is
// added without a function.
void addApplyButton(QDialog& chooser, std::function<void()> pressed) {
    auto* buttons = chooser.findChild<QDialogButtonBox*>();
    if (!pressed || buttons == nullptr) {
        return;
    }
    // The button belongs to the button box (Qt parent ownership); its role leaves the chooser
    // open.
    QPushButton* apply = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::ApplyRole);
    apply->setObjectName(QStringLiteral("applyButton"));
    apply->setAutoDefault(false);
    QObject::connect(apply, &QPushButton::clicked, &chooser, std::move(pressed));
}

// Runs a prepared chooser at its remembered position and remembers where it was left. The
// installed answerer decides when there is one: its answer is returned; otherwise the user
// does (nullopt, with the outcome in chooser.result()).
std::optional<ModalAnswer> runChooser(QDialog& chooser, ModalRequest& request, POINT* remembered) {
    chooser.adjustSize();
    if (remembered != nullptr) {
        placeDialog(chooser, *remembered);
    }
    request.dialog = &chooser;
    std::optional<ModalAnswer> answer = askAnswerer(request);
    if (!answer) {
        chooser.exec();
    }
    if (remembered != nullptr) {
        rememberDialogPosition(chooser, *remembered);
    }
    return answer;
}

void setMessageIcon(QMessageBox& box, unsigned flags) {
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
}

int showQtMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                     unsigned flags) {
    QMessageBox box(owner);
    box.setWindowTitle(qs(caption));
    box.setText(qs(text));
    // As on other desktops, a message's text can be selected and copied (an address, a path).
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setMessageIcon(box, flags);
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    auto add = [&](QMessageBox::StandardButton button, int result) {
        buttons.emplace_back(box.addButton(button), result);
    };
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        add(QMessageBox::Ok, IDOK);
        add(QMessageBox::Cancel, IDCANCEL);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MB_YESNOCANCEL:
        add(QMessageBox::Yes, IDYES);
        add(QMessageBox::No, IDNO);
        add(QMessageBox::Cancel, IDCANCEL);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case MB_YESNO:
        add(QMessageBox::Yes, IDYES);
        add(QMessageBox::No, IDNO);
        break;
    default:
        add(QMessageBox::Ok, IDOK);
        break;
    }
    box.exec();
    for (const auto& [button, result] : buttons) {
        if (box.clickedButton() == button) {
            return result;
        }
    }
    // Closed without a button: Cancel where there is one, else the only sensible answer.
    unsigned kind = flags & 0x0F;
    if (kind == MB_OKCANCEL || kind == MB_YESNOCANCEL) {
        return IDCANCEL;
    }
    return kind == MB_YESNO ? IDNO : IDOK;
}

std::optional<std::string> askFileName(ModalKind kind, QWidget* owner, const std::string& title,
                                       const std::string& filter, const std::string& dir,
                                       const std::string& initialName) {
    ModalRequest request;
    request.kind = kind;
    request.owner = owner;
    request.title = title;
    request.filter = filter;
    request.directory = dir;
    request.initialName = initialName;
    if (auto answer = askAnswerer(request)) {
        if (answer->result == 0) {
            return std::nullopt;
        }
        return answer->path;
    }
    QString start = qs(dir);
    if (!initialName.empty()) {
        start = start.isEmpty() ? qs(initialName) : start + "/" + qs(initialName);
    }
    QString path = kind == ModalKind::OpenFile
                       ? QFileDialog::getOpenFileName(owner, qs(title), start, qs(filter))
                       : QFileDialog::getSaveFileName(owner, qs(title), start, qs(filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

} // namespace

DialogAnswerer setDialogAnswerer(DialogAnswerer answerer) {
    return std::exchange(answererSlot(), std::move(answerer));
}

void installProgramHandlers() {
    setMessageHandler([](const Message& message) {
        return messageBox(static_cast<QWidget*>(message.owner), message.text, message.caption,
                          message.flags);
    });
    setBusyHandler([](bool busy) {
        if (!qApp) {
            return;
        }
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    });
}

int messageBox(QWidget* owner, const std::string& text, const std::string& caption,
               unsigned flags) {
    ModalRequest request;
    request.kind = ModalKind::Message;
    request.owner = owner;
    request.title = caption;
    request.text = text;
    request.flags = flags;
    if (auto answer = askAnswerer(request)) {
        return answer->result;
    }
    return showQtMessageBox(owner, text, caption, flags);
}

int askChoice(QWidget* owner, const std::string& text, const std::string& caption,
              const std::vector<std::string>& buttons, unsigned icon) {
    ModalRequest request;
    request.kind = ModalKind::Message;
    request.owner = owner;
    request.title = caption;
    request.text = text;
    request.flags = icon;
    request.buttons = buttons;
    if (auto answer = askAnswerer(request)) {
        return answer->result;
    }
    if (buttons.empty()) {
        return 0;
    }
    QMessageBox box(owner);
    box.setWindowTitle(qs(caption));
    box.setTextFormat(Qt::PlainText); // names in the text are never markup
    box.setText(qs(text));
    setMessageIcon(box, icon);
    std::vector<QAbstractButton*> added;
    const std::size_t last = buttons.size() - 1;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const QMessageBox::ButtonRole role = i == 0      ? QMessageBox::AcceptRole
                                             : i == last ? QMessageBox::RejectRole
                                                         : QMessageBox::DestructiveRole;
        added.push_back(box.addButton(qs(buttons[i]), role));
    }
    box.setDefaultButton(static_cast<QPushButton*>(added.front()));
    box.setEscapeButton(added.back());
    box.exec();
    const auto chosen = std::find(added.begin(), added.end(), box.clickedButton());
    // Closed without a button: as Escape.
    return chosen == added.end() ? static_cast<int>(last)
                                 : static_cast<int>(chosen - added.begin());
}

std::optional<std::string> askOpenFileName(QWidget* owner, const std::string& title,
                                           const std::string& filter, const std::string& dir,
                                           const std::string& initialName) {
    return askFileName(ModalKind::OpenFile, owner, title, filter, dir, initialName);
}

std::optional<std::string> askSaveFileName(QWidget* owner, const std::string& title,
                                           const std::string& filter, const std::string& dir,
                                           const std::string& initialName) {
    return askFileName(ModalKind::SaveFile, owner, title, filter, dir, initialName);
}

std::optional<COLORREF> chooseColor(QWidget* owner, const std::string& title, COLORREF initial,
                                    std::array<COLORREF, 16>& customColors,
                                    const std::function<void(COLORREF)>& apply, POINT* remembered) {
    // Qt keeps one set of custom colours for the process; the program's set is loaded into it
    // for the chooser and read back afterwards, whatever the outcome.
    for (int i = 0; i < 16; ++i) {
        QColorDialog::setCustomColor(i, toQColor(customColors[static_cast<std::size_t>(i)]));
    }
    QColorDialog chooser(toQColor(initial), owner);
    chooser.setObjectName(QStringLiteral("colorChooser"));
    chooser.setOption(QColorDialog::DontUseNativeDialog);
    chooser.setWindowTitle(qs(title));
    std::function<void()> pressed;
    if (apply) {
        pressed = [&] { apply(fromQColor(chooser.currentColor())); };
    }
    addApplyButton(chooser, std::move(pressed));

    ModalRequest request;
    request.kind = ModalKind::Color;
    request.owner = owner;
    request.title = title;
    request.color = initial;
    std::optional<COLORREF> chosen;
    if (auto answer = runChooser(chooser, request, remembered)) {
        if (answer->result != 0) {
            chosen = answer->color;
        }
    } else if (chooser.result() == QDialog::Accepted) {
        chosen = fromQColor(chooser.selectedColor());
    }
    for (int i = 0; i < 16; ++i) {
        customColors[static_cast<std::size_t>(i)] = fromQColor(QColorDialog::customColor(i));
    }
    return chosen;
}

std::optional<FontChoice> chooseFont(QWidget* owner, const std::string& title,
                                     const LOGFONTA& initial, COLORREF initialColor,
                                     const std::function<void(const FontChoice&)>& apply,
                                     POINT* remembered) {
    // The chooser lists installed families only; a face served by another family ("Arial")
    // is shown as that family, and comes back under its own name when it is kept.
    QFont shown = toQFont(initial, kChooserUnitsPerInch);
    shown.setFamily(listedFamily(initial));
    QFontDialog chooser(shown, owner);
    chooser.setObjectName(QStringLiteral("fontChooser"));
    chooser.setOption(QFontDialog::DontUseNativeDialog);
    chooser.setWindowTitle(qs(title));
    const auto choiceOf = [&](const QFont& font) {
        return FontChoice{toLogFont(font, kChooserUnitsPerInch, initial), initialColor};
    };
    std::function<void()> pressed;
    if (apply) {
        pressed = [&] { apply(choiceOf(chooser.currentFont())); };
    }
    addApplyButton(chooser, std::move(pressed));

    ModalRequest request;
    request.kind = ModalKind::Font;
    request.owner = owner;
    request.title = title;
    request.font = initial;
    request.color = initialColor;
    if (auto answer = runChooser(chooser, request, remembered)) {
        if (answer->result == 0) {
            return std::nullopt;
        }
        return FontChoice{answer->font, answer->color};
    }
    if (chooser.result() != QDialog::Accepted) {
        return std::nullopt;
    }
    return choiceOf(chooser.selectedFont());
}

int runDialog(QDialog& dialog) {
    ModalRequest request;
    request.kind = ModalKind::Dialog;
    request.owner = dialog.parentWidget();
    request.title = dialog.windowTitle().toStdString();
    request.dialog = &dialog;
    if (auto answer = askAnswerer(request)) {
        dialog.setResult(QDialog::Rejected);
        if (answer->result == QDialog::Accepted) {
            // Through accept(), so that the dialog's own checks and read-back run.
            dialog.accept();
        } else {
            dialog.reject();
        }
        return dialog.result() == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected;
    }
    return dialog.exec() == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected;
}

int runPlacedDialog(QDialog& dialog, POINT& remembered) {
    placeDialog(dialog, remembered);
    const int result = runDialog(dialog);
    rememberDialogPosition(dialog, remembered);
    return result == QDialog::Accepted ? 1 : 0;
}

void placeDialog(QWidget& dialog, POINT& remembered) {
    if (remembered.x != 0 && remembered.y != 0) {
        auto display = gdi::createInformationContext(gdi::displayCaps());
        const int width = display->GetDeviceCaps(gdi::HORZRES);
        const int height = display->GetDeviceCaps(gdi::VERTRES);
        remembered.x = std::min(remembered.x, width - 100);
        if (remembered.x <= 0) {
            remembered.x = 0;
        }
        remembered.y = std::min(remembered.y, height - 100);
        if (remembered.y <= 0) {
            remembered.y = 0;
        }
        dialog.move(remembered.x, remembered.y);
        return;
    }
    QRect over;
    if (QWidget* parent = dialog.parentWidget()) {
        over = parent->window()->frameGeometry();
    } else {
        auto display = gdi::createInformationContext(gdi::displayCaps());
        over =
            QRect(0, 0, display->GetDeviceCaps(gdi::HORZRES), display->GetDeviceCaps(gdi::VERTRES));
    }
    const QSize size = dialog.frameGeometry().size();
    dialog.move(over.left() + (over.width() - size.width()) / 2,
                over.top() + (over.height() - size.height()) / 2);
}

void rememberDialogPosition(const QWidget& dialog, POINT& remembered) {
    const QPoint corner = dialog.pos();
    remembered = {corner.x(), corner.y()};
}

} // namespace pelmora::ui
