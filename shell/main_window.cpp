#include "shell/main_window.h"

#include "pelmora/version.h"
#include "platform/core/drives.h"
#include "platform/core/message.h"
#include "platform/core/profile.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/gdi_types.h"
#include "render/geometry.h"
#include "render/object_painter.h"
#include "render/printer.h"
#include "render/styles.h"
#include "resources/accelerators.h"
#include "resources/command_ids.h"
#include "resources/menus.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/dispatch.h"
#include "shell/document_types.h"
#include "shell/unsaved_changes.h"
#include "shell/view.h"
#include "storage/settings_store.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pelmora {

namespace {

// "Pelmora - Version 4.1" and "Pelmora Version 4.1 - Ready", with the release version.
std::string creationTitle() {
    return std::string(kProgramName) + " - Version " + kReleaseVersion;
}
std::string banner() {
    return std::string(kProgramName) + " Version " + kReleaseVersion + " - Ready";
}

// The start of the command line names what the program is asked to do with a file.
struct CommandLineOption {
    const char* text;
    int command;
};
constexpr CommandLineOption kCommandLineOptions[] = {
    {"-label", CMD_CMDLINE_LABEL},
    {"-template", CMD_CMDLINE_TEMPLATE},
    {"-printlabel", CMD_CMDLINE_PRINT},
};

QColor toQColor(COLORREF color) {
    return QColor(static_cast<int>(GetRValue(color)), static_cast<int>(GetGValue(color)),
                  static_cast<int>(GetBValue(color)));
}

const gdi::HPEN& currentLabelPen() {
    static const gdi::HPEN pen = gdi::CreatePen(gdi::PS_DASH, 1, 0x0000FF);
    return pen;
}

const gdi::HPEN& dragPen() {
    static const gdi::HPEN pen = gdi::CreatePen(gdi::PS_SOLID, 2, 0x000000);
    return pen;
}

} // namespace

MainWindow::MainWindow(App& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setObjectName(QStringLiteral("Pelmora"));
    setWindowTitle(QString::fromStdString(creationTitle()));
    setFocusPolicy(Qt::StrongFocus);
    // The right button's menus are shown on the press (onRightDown). The context-menu event
    // that follows it would otherwise open the main window's own toolbar menu: a blank
    // one-item popup over the first item whose only entry hides the toolbar.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setMainWindowHandle(this);

    ReadDefaultPrinter();
    app_.labels.currentLabelIndex = 0;
    for (std::size_t i = 0; i < app_.labels.labels.size(); ++i) {
        app_.labels.labels[i].labelNumber = static_cast<std::int32_t>(i + 1);
        clearLabel(app_.labels.labels[i]);
    }
    app_.view.position = 1;

    for (int resource : {kPopupTwoPages, kPopupImage, kPopupString, kPopupFourPages}) {
        popups_[resource] = buildMenu(popupMenu(resource), this);
    }

    // The remembered position, pulled back onto the display.
    const std::string ini = SettingsPath();
    auto readInt = [&ini](const char* key) {
        return std::atoi(GetPrivateProfileString(kSettingsSection, key, "0", 32, ini).c_str());
    };
    POINT& remembered = app_.settings.position(WindowName::Main);
    remembered = {readInt("MainWindowX"), readInt("MainWindowY")};
    postCommand(kStartupCommand);
    app_.view.position = 1;
    auto display = gdi::createInformationContext(gdi::displayCaps());
    int x = std::max(0, std::min(remembered.x, display->GetDeviceCaps(gdi::HORZRES) - 100));
    int y = std::max(0, std::min(remembered.y, display->GetDeviceCaps(gdi::VERTRES) - 100));
    move(x, y);

    SIZE base = WindowBaseSizePixels(*display);
    baseSize_ = QSize(base.cx, base.cy);
    CreateBars();
    setStatusText(banner());
}

MainWindow::~MainWindow() {
    if (mainWindowHandle() == this) {
        setMainWindowHandle(nullptr);
    }
}

void MainWindow::postCommand(int id) {
    QMetaObject::invokeMethod(
        this, [this, id] { sendCommand(id); }, Qt::QueuedConnection);
}

bool MainWindow::sendCommand(int id) {
    if (app_.shell.readingDisk) {
        app_.shell.deferredCommands.push_back(id);
        return false;
    }
    if (id == kStartupCommand) {
        if (!app_.shell.started) {
            runStartup();
        }
        return true;
    }
    return DispatchCommand(app_, *this, id);
}

void MainWindow::runStartup() {
    app_.shell.started = true;
    BuildMenuBar();
    RecordDocumentTypes(userDataFolder(), documentTypesProgramFolder());
    ReadSettings(app_.labels, app_.catalog, app_.view, app_.paint, app_.printer, app_.settings);
    app_.shell.initialised = true;

    // Fonts the settings held no value for get the defaults for the screen at the window
    // scale just read, as "Reset To Defaults" makes them.
    auto screen = gdi::createInformationContext(gdi::displayCaps());
    for (VAROINFO& label : app_.labels.labels) {
        SetDefaultElementFonts(label, *screen, DefaultFonts::Unset);
    }
    applyWindowScale();
    show();
    MeasureAllFontHeights(app_.labels);
    setCurrentLabel(0, 1);

    if (app_.catalog.driveLetter == 0) {
        app_.catalog.driveLetter = firstRunDriveLetter();
        postCommand(CMD_SELECT_DRIVE);
    }
    const std::string& line = app_.shell.commandLine;
    for (const CommandLineOption& option : kCommandLineOptions) {
        const std::string text = option.text;
        if (line.compare(0, text.size(), text) == 0) {
            postCommand(option.command);
            break;
        }
    }
    setStatusText(banner());
    invalidateLabelArea(true);
}

// --- Painting --------------------------------------------------------------------------------

void MainWindow::invalidateLabelArea(bool) {
    // Every paint fills its background first, so erasing needs nothing extra.
    ++labelAreaInvalidations_;
    update(labelArea_);
}

void MainWindow::invalidateLabelRect(const RECT& labelRect) {
    auto display = gdi::createInformationContext(gdi::displayCaps());
    RECT device = InvalidateLogicalRect(*display, gdi::MM_LOENGLISH, labelRect);
    QRect rect = QRect(QPoint(device.left, device.top), QPoint(device.right, device.bottom))
                     .normalized()
                     .adjusted(-2, -2, 2, 2);
    update(rect.intersected(labelArea_));
}

std::unique_ptr<gdi::DeviceContext> MainWindow::screenContext() const {
    auto dc = gdi::createInformationContext(gdi::displayCaps());
    SetLabelMapping(*dc);
    return dc;
}

POINT MainWindow::windowToLabel(QPoint windowPixels) const {
    auto dc = screenContext();
    POINT p{windowPixels.x(), windowPixels.y()};
    dc->DPtoLP(&p, 1);
    return p;
}

void MainWindow::paintEvent(QPaintEvent* event) {
    updateMenuState();
    QPainter painter(this);
    painter.setClipRect(event->rect().intersected(labelArea_));
    paintLabelArea(painter);
    showLeftOutLines(app_, *this);
}

void MainWindow::paintLabelArea(QPainter& painter) {
    painter.fillRect(labelArea_, toQColor(app_.settings.windowBackColor));
    if (!app_.shell.initialised) {
        return;
    }
    auto dc = gdi::createPainterDC(painter, gdi::displayCaps());
    const int index = app_.labels.currentLabelIndex;
    const int zoomed = app_.view.zoomed;
    PaintWindowFaces(*dc, app_.labels, index, zoomed, app_.shell.selectedKind != SELECTED_NONE);

    const int saved = dc->SaveDC();
    SetLabelMapping(*dc);
    dc->SelectObject(gdi::GetStockBrush(gdi::NULL_BRUSH));
    if (zoomed == 0 && app_.view.format != ONE_LABEL) {
        // The current label of the overview is framed dashed red.
        RECT frame = CurrentFaceFrame(app_);
        dc->SelectObject(currentLabelPen());
        dc->Rectangle(frame.left, frame.top, frame.right, frame.bottom);
    }
    if (app_.shell.drag.mode != DRAG_NONE) {
        // Drag feedback survives repaints: the frame is drawn again, inverted.
        const RECT& frame = app_.shell.drag.frameLabel;
        dc->SelectObject(dragPen());
        dc->SetROP2(gdi::R2_NOT);
        dc->Rectangle(frame.left, frame.top, frame.right, frame.bottom);
    }
    dc->RestoreDC(saved);
}

QImage MainWindow::renderLabelArea() {
    // The label area's top-left corner lands on the image's.
    QImage image(labelArea_.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    render(&image, QPoint(), QRegion(labelArea_), QWidget::RenderFlags());
    return image;
}

void MainWindow::setStatusText(const std::string& text) {
    if (statusLabel_) {
        statusLabel_->setText(QString::fromStdString(text));
    }
}

void MainWindow::setLeftOutText(const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (leftOutLabel_ && leftOutLabel_->text() != value) {
        leftOutLabel_->setText(value);
        // The window may be narrower than the sentence: the whole of it on hovering.
        leftOutLabel_->setToolTip(value);
    }
}

std::string MainWindow::leftOutText() const {
    return leftOutLabel_ ? leftOutLabel_->text().toStdString() : std::string();
}

std::string MainWindow::statusText() const {
    return statusLabel_ ? statusLabel_->text().toStdString() : std::string();
}

// --- Keyboard --------------------------------------------------------------------------------

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (int command = translateAccelerator(event->key(), event->modifiers())) {
        sendCommand(command);
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() < 128 && onCharacter(text.at(0).toLatin1())) {
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool MainWindow::onCharacter(char c) {
    const LabelFormat format = app_.view.format;
    auto choose = [this](int index) {
        setCurrentLabel(index, 1);
        if (app_.view.zoomed == 1) {
            invalidateLabelArea(true);
        }
    };
    if (c >= '1' && c <= '4') {
        const int n = c - '1';
        if (n == app_.labels.currentLabelIndex) {
            postCommand(CMD_READ_DISK);
        } else if (format == ONE_LABEL || format == QUAD_LABEL ||
                   (isTwoLabelFormat(format) && n > 1)) {
            // No such label in this format.
        } else {
            choose(n);
        }
        return true;
    }
    switch (c) {
    case '!':
        choose(0);
        postCommand(CMD_EDIT_SPINE_TEXT);
        return true;
    case '@':
        if (format != ONE_LABEL) {
            choose(1);
            postCommand(CMD_EDIT_SPINE_TEXT);
        }
        return true;
    case '#':
    case '$':
        if (format == FOUR_LABELS) {
            choose(c == '#' ? 2 : 3);
            postCommand(CMD_EDIT_SPINE_TEXT);
        }
        return true;
    default:
        return false;
    }
}

// --- Shutdown --------------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    // Unsaved changes are saved or discarded first; Cancel keeps the window open.
    if (!shutDown_ && !confirmDiscardChanges(app_, *this, DiscardScope::AllLabels)) {
        event->ignore();
        return;
    }
    shutdown();
    event->accept();
}

void MainWindow::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    app_.settings.position(WindowName::Main) = {x(), y()};
    WriteSettings(app_.labels, app_.catalog, app_.view, app_.paint, app_.printer, app_.settings);
    for (VAROINFO& label : app_.labels.labels) {
        clearLabel(label);
        label.extStyles.clear();
    }
    app_.catalog.excludePatterns.clear();
    app_.shell.selectedKind = SELECTED_NONE;
}

} // namespace pelmora
