#include "catalog/read_disk.h"
#include "platform/gdi/devices.h"
#include "render/geometry.h"
#include "render/object_painter.h"
#include "shell/view.h"
#include "shell_fixture.h"

#include <QPainter>
#include <cstring>

namespace pelmora::test {
namespace {

class PictureTest : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        writeIni("[vexo]\nDrive=75\n");
        start();
        // Something on every label: a scanned folder, a title, a comment and a string.
        DriveMapping k('K', disk_.path());
        disk_.writeFile("README.TXT", 1200);
        disk_.writeFile("SRC/MAIN.CPP", 40000);
        disk_.writeFile("SRC/UTIL.H", 300);
        app_->catalog.driveLetter = 'K';
        for (int i = 0; i < 4; ++i) {
            app_->labels.currentLabelIndex = i;
            readDisk(app_->labels, app_->catalog);
            VAROINFO& label = app_->labels.labels[static_cast<std::size_t>(i)];
            std::snprintf(label.volumeName, sizeof label.volumeName, "DISK %d", i + 1);
            std::strcpy(label.comment, "Backups of the week");
        }
        app_->labels.currentLabelIndex = 0;
        placeObject(OBJECT_STRING, {40, -40, 200, -90});
    }

    // The same faces painted straight into an image of the window's size, cut to the band.
    QImage reference() {
        QImage image(window_->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setClipRect(window_->labelArea());
            auto dc = gdi::createPainterDC(painter, gdi::displayCaps());
            PaintWindowFaces(*dc, app_->labels, app_->labels.currentLabelIndex, app_->view.zoomed,
                             false);
        }
        return image.copy(window_->labelArea());
    }

    // The current face's dashed frame in image pixels (relative to the label band).
    QRect frameInImage() {
        RECT frame = CurrentFaceFrame(*app_);
        QPoint a = toWindow(POINT{frame.left, frame.top});
        QPoint b = toWindow(POINT{frame.right, frame.bottom});
        return QRect(a, b).normalized().translated(-window_->labelArea().topLeft());
    }

    TempDir disk_;
};

bool nearFrame(const QRect& frame, int x, int y) {
    const QRect outer = frame.adjusted(-3, -3, 3, 3);
    const QRect inner = frame.adjusted(3, 3, -3, -3);
    return outer.contains(x, y) && !inner.contains(x, y);
}

TEST_F(PictureTest, TheWindowShowsWhatThePainterPaintsInEveryFormatAndZoom) {
    const LabelFormat formats[] = {ONE_LABEL, QUAD_LABEL, TWO_FOLD_AROUND, TWO_FOLD_OUT,
                                   FOUR_LABELS};
    for (LabelFormat format : formats) {
        for (int zoomed : {1, 0}) {
            if (format == ONE_LABEL && zoomed == 0) {
                continue;
            }
            setView(format, zoomed, format == FOUR_LABELS ? 1 : 0, 1);
            const QImage shown = window_->renderLabelArea();
            const QImage painted = reference();
            ASSERT_EQ(shown.size(), painted.size());
            const QRect frame = frameInImage();
            int differing = 0;
            int onFrame = 0;
            for (int y = 0; y < shown.height(); ++y) {
                for (int x = 0; x < shown.width(); ++x) {
                    if (shown.pixel(x, y) == painted.pixel(x, y)) {
                        continue;
                    }
                    if (zoomed == 0 && nearFrame(frame, x, y)) {
                        ++onFrame;
                    } else {
                        ++differing;
                    }
                }
            }
            EXPECT_EQ(differing, 0) << "format " << format << " zoomed " << zoomed;
            // The overview marks the current label with a dashed frame; the zoomed view not.
            if (zoomed == 0) {
                EXPECT_GT(onFrame, 20) << "format " << format;
            } else {
                EXPECT_EQ(onFrame, 0);
            }
            // Not a blank picture either.
            int ink = 0;
            for (int y = 0; y < painted.height(); y += 2) {
                for (int x = 0; x < painted.width(); x += 2) {
                    ink += painted.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
                }
            }
            EXPECT_GT(ink, 500) << "format " << format << " zoomed " << zoomed;
        }
    }
}

TEST_F(PictureTest, TheDragFrameIsDrawnInvertedWhileDragging) {
    setView(ONE_LABEL, 1);
    const QImage before = window_->renderLabelArea();
    VAROINFO& label = app_->currentLabel();
    PlaceFace(1, 1, 0, label);
    app_->shell.drag.mode = DRAG_MOVE;
    app_->shell.drag.frameLabel =
        RECT{label.labelLeft + 40, label.labelTop - 40, label.labelLeft + 200, label.labelTop - 90};
    const QImage during = window_->renderLabelArea();
    app_->shell.drag.mode = DRAG_NONE;
    int inverted = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            QRgb a = before.pixel(x, y);
            QRgb b = during.pixel(x, y);
            if (a != b) {
                EXPECT_EQ(qRed(a) + qRed(b), 255);
                ++inverted;
            }
        }
    }
    EXPECT_GT(inverted, 100);
}

} // namespace
} // namespace pelmora::test
