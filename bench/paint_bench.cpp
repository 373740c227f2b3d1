// Paints a label with 10,000 display lines in 5 columns over the four pages of the
// quad-length format into a 96-dpi image, and compares the time per full repaint with drawing
// the same strings at the same places with plain QPainter calls, measured in the same run.
//
// usage: bench_paint [--save PREFIX]   (writes PREFIX-1.png .. PREFIX-4.png)

#include "bench/bench_timing.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/face_painter.h"
#include "render/geometry.h"
#include "render/paint_settings.h"
#include "render/text.h"
#include "render/view_state.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace pelmora;

namespace {

void buildLabel(VAROINFO& label) {
    resetFormat(label);
    label.columns = 5;
    std::strcpy(label.volumeName, "BENCHMARK DISK");
    std::strcpy(label.comment, "%files% files, %spacefree% free");
    for (int folder = 0; folder < 100; ++folder) {
        FileEntry dir;
        std::snprintf(dir.name, sizeof dir.name, "Folder%03d", folder);
        std::strcpy(dir.sizeText, "[dir]");
        dir.hasChild = 1;
        dir.open = 1;
        dir.child = std::make_unique<VAROINFO>();
        for (int file = 0; file < 99; ++file) {
            FileEntry entry;
            std::snprintf(entry.name, sizeof entry.name, "file%02d_%03d.txt", file, folder);
            std::snprintf(entry.sizeText, sizeof entry.sizeText, "%dK", file * 7 + folder);
            dir.child->entries.push_back(entry);
        }
        label.entries.push_back(std::move(dir));
    }
    label.fileFontHeight = 13;
    label.folderFontHeight = 13;
    label.layoutValid = 0;
}

QImage blankPage() {
    QImage image(380, 480, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780); // 96 dpi
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

void paintAllPages(VAROINFO& label, std::vector<QImage>& pages) {
    for (int position = 1; position <= 4; ++position) {
        QImage& image = pages[static_cast<std::size_t>(position - 1)];
        image.fill(Qt::white);
        auto dc = gdi::createImageDC(image);
        PlaceFace(1, position, 0, label);
        PaintFace(*dc, 1, position, label);
    }
}

using bench::bestOf;

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    theView.format = QUAD_LABEL;
    theView.viewOriginX = 10;
    theView.viewOriginY = -10;
    std::strcpy(thePaintSettings.spineInitials, "PM");
    std::strcpy(thePaintSettings.spineNumber, "120");

    VAROINFO label;
    buildLabel(label);
    std::vector<QImage> pages(4, blankPage());
    paintAllPages(label, pages); // warm caches and build the display lines
    std::printf("display lines: %d\n", label.lineCount);

    // The strings as the painter placed them, in device pixels, with their fonts.
    struct Placed {
        int page;
        QPoint at;
        QFont font;
        QString text;
    };
    std::vector<Placed> placed;
    for (int position = 1; position <= 4; ++position) {
        std::vector<gdi::DrawRecord> records;
        QImage scratch = blankPage();
        auto dc = gdi::createRecordingImageDC(scratch, records);
        PlaceFace(1, position, 0, label);
        PaintFace(*dc, 1, position, label);
        for (const gdi::DrawRecord& r : records) {
            if (r.kind == gdi::DrawRecord::Kind::Text) {
                QFont font(QString::fromLatin1(r.font.lfFaceName));
                font.setPixelSize(std::max(1, std::abs(r.font.lfHeight) * 96 / 100));
                font.setBold(r.font.lfWeight >= 600);
                placed.push_back({position - 1, QPoint(r.devicePoint.x, r.devicePoint.y), font,
                                  QString::fromUtf8(r.text.c_str())});
            }
        }
    }

    const double ours = bestOf(5, [&] { paintAllPages(label, pages); });
    const double plain = bestOf(5, [&] {
        std::vector<QImage> reference(4, blankPage());
        std::vector<std::unique_ptr<QPainter>> painters;
        for (QImage& image : reference) {
            painters.push_back(std::make_unique<QPainter>(&image));
        }
        for (const Placed& p : placed) {
            QPainter& painter = *painters[static_cast<std::size_t>(p.page)];
            painter.setFont(p.font);
            painter.drawText(p.at + QPoint(0, QFontMetrics(p.font).ascent()), p.text);
        }
    });

    std::printf("strings drawn per repaint: %zu\n", placed.size());
    std::printf("full repaint (4 pages): %.2f ms\n", ours * 1000);
    std::printf("plain QPainter text:    %.2f ms\n", plain * 1000);
    std::printf("ratio repaint/plain: %.2f (goal <= 2.00)\n", ours / plain);

    if (argc > 2 && std::strcmp(argv[1], "--save") == 0) {
        for (int i = 0; i < 4; ++i) {
            pages[static_cast<std::size_t>(i)].save(QString::fromUtf8(argv[2]) +
                                                    QString("-%1.png").arg(i + 1));
        }
    }
    return 0;
}
