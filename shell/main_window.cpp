#include "shell/main_window.h"

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
#include "shell/dispatch.h"
#include "shell/document_types.h"
#include "shell/object_hit.h"
#include "shell/unsaved_changes.h"
#include "shell/view.h"
#include "storage/settings_store.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace pelmora {

namespace {

constexpr const char* kCreationTitle = "Pelmora - Version 4.0";
constexpr const char* kBanner = "Pelmora Version 4.0 - Ready";

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

std::string formatInches(const char* format, double a, double b) {
    char text[96];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string positionText(const PlacedObject& o) {
    return formatInches("Position: %0.2f\", %0.2f\"", o.left / 100.0, -o.top / 100.0);
}

std::string sizeText(const PlacedObject& o) {
    return formatInches("Size: %0.2f\" x %0.2f\"", (o.right - o.left) / 100.0,
                        (o.top - o.bottom) / 100.0);
}

std::string geometryText(const PlacedObject& o) {
    return positionText(o) + "     " + sizeText(o);
}

// The pointer relative to the label's placed face, doubled in the half-size overview.
POINT faceRelative(const VAROINFO& label, POINT p, int zoomed) {
    POINT f{p.x - label.labelLeft, p.y - label.labelTop};
    if (zoomed == 0) {
        f.x *= 2;
        f.y *= 2;
    }
    return f;
}

bool inRect(const RECT& r, POINT p) {
    return InRange2D(r.left, r.top, r.right, r.bottom, p.x, p.y) != 0;
}

// The object's outline on screen: halved in the overview and moved onto its face.
RECT objectFrame(const VAROINFO& label, const PlacedObject& object, int zoomed) {
    RECT r{object.left, object.top, object.right, object.bottom};
    if (zoomed == 0) {
        ScaleRect(r, 0.5);
    }
    return RECT{r.left + label.labelLeft, r.top + label.labelTop, r.right + label.labelLeft,
                r.bottom + label.labelTop};
}

const gdi::HPEN& currentLabelPen() {
    static const gdi::HPEN pen = gdi::CreatePen(gdi::PS_DASH, 1, 0x0000FF);
    return pen;
}

const gdi::HPEN& dragPen() {
    static const gdi::HPEN pen = gdi::CreatePen(gdi::PS_SOLID, 2, 0x000000);
    return pen;
}

bool pagedFormat(LabelFormat format) {
    return format == QUAD_LABEL || isTwoLabelFormat(format);
}

} // namespace

MainWindow::MainWindow(App& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    setObjectName(QStringLiteral("Pelmora"));
    setWindowTitle(QString::fromLatin1(kCreationTitle));
    setFocusPolicy(Qt::StrongFocus);
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
    setStatusText(kBanner);
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
    setStatusText(kBanner);
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

// --- Mouse -----------------------------------------------------------------------------------

void MainWindow::resolveLabelUnderPointer(POINT p, bool rightButton, int& index, int& position) {
    const LabelFormat format = app_.view.format;
    index = app_.labels.currentLabelIndex;
    position = app_.view.position;
    if (format == ONE_LABEL) {
        index = 0;
        return;
    }
    if (app_.view.zoomed == 1) {
        return;
    }
    const int column = p.x - app_.view.viewOriginX >= kFaceWidth / 2 ? 1 : 0;
    switch (format) {
    case QUAD_LABEL: {
        VAROINFO& probe = app_.labels.labels[1];
        PlaceFace(0, 3, 1, probe);
        const int cx = probe.labelLeft + probe.labelWidth / 2;
        const int cy = probe.labelTop + probe.labelHeight / 2;
        const bool left = p.x <= cx;
        const bool top = p.y >= cy;
        position = top ? (left ? 3 : 2) : (left ? 4 : 1);
        return;
    }
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT: {
        const bool around = format == TWO_FOLD_AROUND;
        index = column;
        VAROINFO& label = app_.labels.labels[static_cast<std::size_t>(index)];
        if (!rightButton) {
            const int upper = around ? 2 : 1;
            PlaceFace(0, upper, index, label);
            position = p.y > label.labelTop ? 3 - upper : upper;
        } else {
            const int probe = around ? 1 : 2;
            PlaceFace(0, probe, index, label);
            const int lower = around ? 2 : 1;
            const int chosen = p.y < label.labelTop + label.labelHeight / 2 ? lower : 3 - lower;
            if (chosen != app_.view.position) {
                SelectPlacedObject(app_, *this, -1);
            }
            position = chosen;
        }
        return;
    }
    case FOUR_LABELS: {
        const int row = app_.view.viewOriginY - p.y >= -kFrontFaceHeight / 2 ? 1 : 0;
        index = 2 * row + column;
        position = 1;
        return;
    }
    default:
        return;
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (!labelArea_.contains(pos) || !app_.shell.initialised) {
        QMainWindow::mousePressEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton) {
        onLeftDown(pos, event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        onRightDown(pos);
    }
}

void MainWindow::onLeftDown(QPoint pos, Qt::KeyboardModifiers modifiers) {
    const POINT p = windowToLabel(pos);
    const LabelFormat format = app_.view.format;
    const int zoomed = app_.view.zoomed;
    {
        VAROINFO& label = app_.currentLabel();
        const int position = app_.view.position;
        PlaceFace(zoomed, position, app_.labels.currentLabelIndex, label);
        const POINT f = faceRelative(label, p, zoomed);
        const bool onObject = HitTestObjects(label, position, f.x, f.y) >= 0;
        const bool onBody = inRect(GetTextRect(position), f);
        const bool onSpine = position == 1 && inRect(kSpineRect, f);
        if (!onObject && !onBody && !onSpine && pagedFormat(format) && zoomed == 1) {
            // A click beside the zoomed face turns the page.
            SelectPlacedObject(app_, *this, -1);
            int next;
            if (isTwoLabelFormat(format)) {
                next = position == 1 ? 2 : 1;
            } else if (position == 1) {
                next = 2;
            } else if (p.y > (label.labelTop + label.labelHeight) / 2) {
                next = std::min(position + 1, 4);
            } else {
                next = std::max(position - 1, 1);
            }
            setCurrentLabel(app_.labels.currentLabelIndex, next);
            invalidateLabelArea(true);
            return;
        }
    }

    int index = 0;
    int position = 1;
    resolveLabelUnderPointer(p, false, index, position);
    setCurrentLabel(index, position);
    VAROINFO& label = app_.currentLabel();
    PlaceFace(zoomed, app_.view.position, app_.labels.currentLabelIndex, label);
    const POINT f = faceRelative(label, p, zoomed);
    SelectPlacedObject(app_, *this, HitTestObjects(label, app_.view.position, f.x, f.y));
    setStatusText("Ready");
    if (app_.shell.selectedKind == SELECTED_NONE || label.objects.empty()) {
        return;
    }

    PlacedObject& object = label.objects[0];
    setStatusText(geometryText(object));
    DragState& drag = app_.shell.drag;
    const int handle = HitTestHandles(label, zoomed, f.x, f.y);
    drag.startLabel = p;
    if (handle < 0 || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier))) {
        drag.mode = DRAG_MOVE;
        drag.grabOffsetLabel = {object.left - f.x, object.top - f.y};
    } else {
        drag.mode = DRAG_RESIZE;
        drag.handle = handle;
        drag.grabOffsetLabel = HandleOffset(
            RECT{object.left, object.top, object.right, object.bottom}, f.x, f.y, handle);
    }
    PlaceFace(zoomed, object.page, app_.labels.currentLabelIndex, label);
    drag.frameLabel = objectFrame(label, object, zoomed);
    invalidateLabelRect(drag.frameLabel);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (app_.shell.drag.mode != DRAG_NONE) {
        onDragMove(event->position().toPoint());
        return;
    }
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::onDragMove(QPoint pos) {
    VAROINFO& label = app_.currentLabel();
    if (label.objects.empty()) {
        app_.shell.drag.mode = DRAG_NONE;
        return;
    }
    DragState& drag = app_.shell.drag;
    PlacedObject& object = label.objects[0];
    const int zoomed = app_.view.zoomed;
    const POINT p = windowToLabel(pos);
    PlaceFace(zoomed, object.page, app_.labels.currentLabelIndex, label);
    POINT f = faceRelative(label, p, zoomed);
    f.x += drag.grabOffsetLabel.x;
    f.y += drag.grabOffsetLabel.y;

    invalidateLabelRect(drag.frameLabel);
    if (drag.mode == DRAG_MOVE) {
        const int width = object.right - object.left;
        const int height = object.bottom - object.top; // negative: y is up
        int left = std::max(f.x, 0);
        int top = std::min(f.y, 0);
        if (left + width > label.labelWidth) {
            left = label.labelWidth - width;
        }
        if (top + height < label.labelHeight) {
            top = label.labelHeight - height;
        }
        object.left = left;
        object.top = top;
        object.right = left + width;
        object.bottom = top + height;
        setStatusText(positionText(object));
    } else {
        ResizeByHandle(drag.handle, object, f.x, f.y, label.labelWidth, label.labelHeight);
        setStatusText(sizeText(object));
    }
    drag.frameLabel = objectFrame(label, object, zoomed);
    invalidateLabelRect(drag.frameLabel);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && app_.shell.drag.mode != DRAG_NONE) {
        onLeftUp(event->position().toPoint());
        return;
    }
    QMainWindow::mouseReleaseEvent(event);
}

void MainWindow::onLeftUp(QPoint pos) {
    DragState& drag = app_.shell.drag;
    const POINT p = windowToLabel(pos);
    if (p.x == drag.startLabel.x && p.y == drag.startLabel.y) {
        // Nothing moved: only the outline is refreshed.
        drag.mode = DRAG_NONE;
        invalidateLabelRect(drag.frameLabel);
    } else {
        onDragMove(pos);
        drag.mode = DRAG_NONE;
        markDocumentChanged(app_, *this);
        invalidateLabelArea(true);
    }
    const VAROINFO& label = app_.currentLabel();
    if (!label.objects.empty()) {
        setStatusText(geometryText(label.objects[0]));
    }
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !labelArea_.contains(pos) || !app_.shell.initialised) {
        QMainWindow::mouseDoubleClickEvent(event);
        return;
    }
    onDoubleClick(pos, event->modifiers());
}

void MainWindow::onDoubleClick(QPoint pos, Qt::KeyboardModifiers modifiers) {
    enum class Place { Object, Body, Spine, Nothing };
    const POINT p = windowToLabel(pos);
    const int zoomed = app_.view.zoomed;
    const int position = app_.view.position;
    VAROINFO& label = app_.currentLabel();
    PlaceFace(zoomed, position, app_.labels.currentLabelIndex, label);
    const POINT f = faceRelative(label, p, zoomed);
    const RECT body = GetTextRect(position);
    Place place = Place::Body;
    if (HitTestObjects(label, position, f.x, f.y) >= 0) {
        place = Place::Object;
    } else if (inRect(body, f)) {
        place = Place::Body;
    } else if (position == 1 && inRect(kSpineRect, f)) {
        place = Place::Spine;
    } else if (pagedFormat(app_.view.format) && zoomed == 1) {
        place = Place::Nothing;
    }

    if ((modifiers & Qt::ShiftModifier) || place == Place::Spine) {
        postCommand(CMD_EDIT_SPINE_TEXT);
        return;
    }
    if (place == Place::Object) {
        if (app_.shell.selectedKind == SELECTED_STRING) {
            postCommand(CMD_MODIFY_TEXT);
        }
        return;
    }
    if (place == Place::Nothing) {
        return;
    }
    // Just above the body's bottom edge is the comment line.
    const int bottomEdge = zoomed == 0 ? body.bottom / 2 : body.bottom;
    const int above = (p.y - label.labelTop) - bottomEdge;
    const int band = zoomed == 0 ? 15 : 25;
    if (label.showComment != 0 && position == 1 && above > 0 && above < band) {
        postCommand(CMD_EDIT_COMMENT);
    } else {
        postCommand(CMD_READ_DISK);
    }
}

void MainWindow::onRightDown(QPoint pos) {
    if (app_.shell.drag.mode != DRAG_NONE) {
        return;
    }
    const POINT p = windowToLabel(pos);
    int index = 0;
    int position = 1;
    resolveLabelUnderPointer(p, true, index, position);
    setCurrentLabel(index, position);
    const int zoomed = app_.view.zoomed;
    VAROINFO& label = app_.currentLabel();
    PlaceFace(zoomed, app_.view.position, app_.labels.currentLabelIndex, label);

    CheckPopupItems();
    checkCommand(CMD_PAGE_ONE, app_.view.position == 1);
    checkCommand(CMD_PAGE_TWO, app_.view.position == 2);
    checkCommand(CMD_PAGE_THREE, app_.view.position == 3);
    checkCommand(CMD_PAGE_FOUR, app_.view.position == 4);

    const QPoint global = mapToGlobal(pos);
    const POINT f = faceRelative(label, p, zoomed);
    const int hit = HitTestObjects(label, app_.view.position, f.x, f.y);
    if (hit >= 0) {
        SelectPlacedObject(app_, *this, hit);
        const PlacedObject& object = label.objects[0];
        checkCommand(CMD_LAYER_ABOVE, object.layer == LAYER_ABOVE);
        checkCommand(CMD_LAYER_ON, object.layer == LAYER_ON);
        checkCommand(CMD_LAYER_BELOW, object.layer == LAYER_BELOW);
        if (object.kind == OBJECT_STRING) {
            CheckStringItems();
            ShowPopup(kPopupString, global);
        } else {
            ShowPopup(kPopupImage, global);
        }
        return;
    }
    const LabelFormat format = app_.view.format;
    int popupResource = kPopupBody;
    if (inRect(GetTextRect(app_.view.position), f)) {
        popupResource = kPopupBody;
    } else if (app_.view.position == 1 && inRect(kSpineRect, f)) {
        popupResource = kPopupSpine;
    } else if (format == QUAD_LABEL && zoomed == 1) {
        popupResource = kPopupFourPages;
    } else if (isTwoLabelFormat(format) && zoomed == 1) {
        popupResource = kPopupTwoPages;
    }
    ShowPopup(popupResource, global);
}

// --- Shutdown --------------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    // Unsaved changes are saved or discarded first; Cancel keeps the window open.
    if (!shutDown_ && !confirmDiscardChanges(app_, *this)) {
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
