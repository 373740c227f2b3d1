#pragma once
// A main window on the offscreen platform with its Windows folder in a temporary folder, no
// printer, and every modal interaction answered through the modal layer.

#include "platform/gdi/device_context.h"
#include "platform/ui/dialogs.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "tests/support/test_support.h"

#include <QPoint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmora::test {

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes Pelmora.ini into the temporary Windows folder.
    void writeIni(const std::string& contents);
    std::string iniPath() const;
    // Creates the window and runs the posted start-up step (and what it posts).
    void start();
    void processEvents();

    // Puts the view into a format and zoom without going through the menus.
    void setView(LabelFormat format, int zoomed, int index = 0, int position = 1);

    // A point in label units (with the face offset) as window pixels, and the window pixel
    // at the middle of a face-relative rectangle of label `index`, page `position`.
    QPoint toWindow(POINT label) const;
    QPoint faceToWindow(int index, int position, POINT faceRelative);

    // Places a string or image on the current label.
    PlacedObject& placeObject(int kind, RECT outline, int page = 1);

    void click(QPoint pos, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    TempDir dir_;
    std::unique_ptr<App> app_;
    std::unique_ptr<MainWindow> window_;
    // Every modal request, and the answer the test gives (default: messages OK, dialogs
    // cancelled).
    std::vector<ui::ModalRequest> requests_;
    std::function<std::optional<ui::ModalAnswer>(const ui::ModalRequest&)> answer_;

private:
    ui::DialogAnswerer previousAnswerer_;
    QByteArray previousWindir_;
};

} // namespace pelmora::test
