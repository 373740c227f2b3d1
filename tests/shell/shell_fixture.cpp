#include "shell_fixture.h"

#include "platform/core/busy.h"
#include "platform/core/message.h"
#include "platform/gdi/devices.h"
#include "render/geometry.h"
#include "render/paint_settings.h"
#include "render/printer.h"
#include "render/view_state.h"
#include "storage/program_settings.h"

#include <QCoreApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QTest>
#include <cstring>

namespace pelmora::test {

void ShellFixture::SetUp() {
    previousWindir_ = qgetenv("PELMORA_WINDIR");
    qputenv("PELMORA_WINDIR", QByteArray::fromStdString(dir_.path()));
    theView = ViewState{};
    theProgramSettings = ProgramSettings{};
    thePaintSettings = PaintSettings{};
    setDefaultPrinterSource([] { return std::string(); });
    setPrinterICFactory(
        [](const PrinterIdentity&) { return gdi::createInformationContext(gdi::displayCaps()); });
    // Core messages become message boxes, answered below like every other dialog.
    ui::installProgramHandlers();
    previousAnswerer_ = ui::setDialogAnswerer([this](const ui::ModalRequest& request) {
        requests_.push_back(request);
        if (answer_) {
            if (auto answer = answer_(request)) {
                return answer;
            }
        }
        ui::ModalAnswer answer;
        answer.result = request.kind == ui::ModalKind::Message ? int(IDOK) : int(QDialog::Rejected);
        return std::optional<ui::ModalAnswer>(answer);
    });
}

void ShellFixture::TearDown() {
    window_.reset();
    app_.reset();
    ui::setDialogAnswerer(previousAnswerer_);
    setMessageHandler({});
    setBusyHandler({});
    setDefaultPrinterSource({});
    setPrinterICFactory({});
    qputenv("PELMORA_WINDIR", previousWindir_);
}

std::string ShellFixture::iniPath() const {
    return dir_.file("Pelmora.ini");
}

void ShellFixture::writeIni(const std::string& contents) {
    dir_.writeText("Pelmora.ini", contents);
}

void ShellFixture::start() {
    app_ = std::make_unique<App>();
    window_ = std::make_unique<MainWindow>(*app_);
    window_->setPopupsShown(false);
    processEvents();
    ASSERT_TRUE(app_->shell.started);
}

void ShellFixture::processEvents() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
}

void ShellFixture::setView(LabelFormat format, int zoomed, int index, int position) {
    app_->view.format = format;
    app_->view.zoomed = zoomed;
    app_->labels.currentLabelIndex = index;
    app_->view.position = position;
    app_->shell.selectedKind = SELECTED_NONE;
}

QPoint ShellFixture::toWindow(POINT label) const {
    auto dc = window_->screenContext();
    dc->LPtoDP(&label, 1);
    return QPoint(label.x, label.y);
}

QPoint ShellFixture::faceToWindow(int index, int position, POINT faceRelative) {
    VAROINFO& label = app_->labels.labels[static_cast<std::size_t>(index)];
    PlaceFace(app_->view.zoomed, position, index, label);
    POINT p = faceRelative;
    if (app_->view.zoomed == 0) {
        p.x /= 2;
        p.y /= 2;
    }
    return toWindow(POINT{label.labelLeft + p.x, label.labelTop + p.y});
}

PlacedObject& ShellFixture::placeObject(int kind, RECT outline, int page) {
    VAROINFO& label = app_->currentLabel();
    PlacedObject object;
    object.kind = kind;
    object.page = page;
    object.layer = LAYER_ABOVE;
    object.left = outline.left;
    object.top = outline.top;
    object.right = outline.right;
    object.bottom = outline.bottom;
    if (kind == OBJECT_STRING) {
        std::strcpy(object.text, "Edit Me...");
        object.autoSize = 0;
    }
    label.objects.insert(label.objects.begin(), std::move(object));
    return label.objects.front();
}

void ShellFixture::click(QPoint pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    QTest::mousePress(window_.get(), button, modifiers, pos);
    QTest::mouseRelease(window_.get(), button, modifiers, pos);
    processEvents();
}

void ShellFixture::drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) {
    QTest::mousePress(window_.get(), Qt::LeftButton, modifiers, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), window_->mapToGlobal(QPointF(to)),
                     Qt::NoButton, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(window_.get(), &move);
    QTest::mouseRelease(window_.get(), Qt::LeftButton, modifiers, to);
    processEvents();
}

} // namespace pelmora::test
