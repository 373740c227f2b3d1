#include "platform/ui/dialogs.h"

#include "platform/core/busy.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/gdi_types.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <cstring>
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

// lfHeight is in screen pixels at 96 dpi: negative for the character height (what a point
// size gives), positive for the cell height, which is taken as the character height here.
QFont toQFont(const LOGFONTA& font) {
    QFont result(QString::fromLatin1(font.lfFaceName));
    int pixels = std::abs(font.lfHeight);
    if (pixels > 0) {
        result.setPointSizeF(pixels * 72.0 / 96.0);
    }
    result.setBold(font.lfWeight >= FW_BOLD);
    result.setItalic(font.lfItalic != 0);
    result.setUnderline(font.lfUnderline != 0);
    result.setStrikeOut(font.lfStrikeOut != 0);
    return result;
}

LOGFONTA fromQFont(const QFont& font, const LOGFONTA& base) {
    LOGFONTA result = base;
    result.lfHeight = -static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    result.lfWeight = font.bold() ? FW_BOLD : FW_NORMAL;
    result.lfItalic = font.italic() ? 1 : 0;
    result.lfUnderline = font.underline() ? 1 : 0;
    result.lfStrikeOut = font.strikeOut() ? 1 : 0;
    std::memset(result.lfFaceName, 0, sizeof(result.lfFaceName));
    QByteArray face = font.family().toLatin1().left(LF_FACESIZE - 1);
    std::memcpy(result.lfFaceName, face.constData(), static_cast<std::size_t>(face.size()));
    return result;
}

int showQtMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                     unsigned flags) {
    QMessageBox box(owner);
    box.setWindowTitle(qs(caption));
    box.setText(qs(text));
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
                                    const std::function<void(COLORREF)>& /*apply*/,
                                    POINT* /*remembered*/) {
    ModalRequest request;
    request.kind = ModalKind::Color;
    request.owner = owner;
    request.title = title;
    request.color = initial;
    if (auto answer = askAnswerer(request)) {
        if (answer->result == 0) {
            return std::nullopt;
        }
        return answer->color;
    }
    for (int i = 0; i < 16; ++i) {
        QColorDialog::setCustomColor(i, toQColor(customColors[static_cast<std::size_t>(i)]));
    }
    QColor chosen = QColorDialog::getColor(toQColor(initial), owner, qs(title));
    for (int i = 0; i < 16; ++i) {
        customColors[static_cast<std::size_t>(i)] = fromQColor(QColorDialog::customColor(i));
    }
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return fromQColor(chosen);
}

std::optional<FontChoice> chooseFont(QWidget* owner, const std::string& title,
                                     const LOGFONTA& initial, COLORREF initialColor,
                                     const std::function<void(const FontChoice&)>& /*apply*/,
                                     POINT* /*remembered*/) {
    ModalRequest request;
    request.kind = ModalKind::Font;
    request.owner = owner;
    request.title = title;
    request.font = initial;
    request.color = initialColor;
    if (auto answer = askAnswerer(request)) {
        if (answer->result == 0) {
            return std::nullopt;
        }
        return FontChoice{answer->font, answer->color};
    }
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, toQFont(initial), owner, qs(title));
    if (!ok) {
        return std::nullopt;
    }
    return FontChoice{fromQFont(chosen, initial), initialColor};
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
