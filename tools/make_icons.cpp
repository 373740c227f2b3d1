// Draws the label program's toolbar strip and its icons and writes them as PNG files:
//
//   pelmora_make_icons OUTPUT_FOLDER
//
// writes toolbar.png (14 images of 16 x 16 pixels side by side, in toolbar order) and
// pelmora-, label-file- and template-file-{16,32,48}.png. The pictures are plain shapes drawn
// with QPainter, so the output is the same on every run; the PNGs are committed in
// resources/icons and embedded from there.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <array>
#include <cstdio>
#include <functional>
#include <string_view>

namespace {

constexpr int kCell = 16;

const QColor kOutline(0x30, 0x30, 0x30);
const QColor kDiskBlue(0x2a, 0x5c, 0xaa);
const QColor kDiskDark(0x1b, 0x3b, 0x6f);
const QColor kMetal(0xc8, 0xcc, 0xd2);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kInk(0x60, 0x60, 0x60);
const QColor kGreen(0x2e, 0x9e, 0x3e);
const QColor kRed(0xd0, 0x30, 0x30);
const QColor kFolder(0xf0, 0xc0, 0x40);
const QColor kFolderDark(0xb0, 0x80, 0x10);

QImage transparentImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// Filled rectangle over whole pixels, corners inclusive.
void box(QPainter& p, int x0, int y0, int x1, int y1, const QColor& fill) {
    p.fillRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1, fill);
}

// Rectangle with a one-pixel outline, corners inclusive.
void framedBox(QPainter& p, int x0, int y0, int x1, int y1, const QColor& fill,
               const QColor& outline) {
    box(p, x0, y0, x1, y1, outline);
    box(p, x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill);
}

void dot(QPainter& p, int x, int y, const QColor& colour) {
    box(p, x, y, x, y, colour);
}

// A 3 x 5 pixel font, enough for the few letters the toolbar shows. Each row is three bits,
// the leftmost pixel in the highest bit.
const std::array<int, 5>* glyph(char c) {
    static const std::array<int, 5> kK{0b101, 0b110, 0b100, 0b110, 0b101};
    static const std::array<int, 5> kB{0b110, 0b101, 0b110, 0b101, 0b110};
    static const std::array<int, 5> kE{0b111, 0b100, 0b110, 0b100, 0b111};
    static const std::array<int, 5> kX{0b101, 0b101, 0b010, 0b101, 0b101};
    static const std::array<int, 5> kT{0b111, 0b010, 0b010, 0b010, 0b010};
    switch (c) {
    case 'K':
        return &kK;
    case 'B':
        return &kB;
    case 'E':
        return &kE;
    case 'X':
        return &kX;
    case 'T':
        return &kT;
    default:
        return nullptr;
    }
}

// Draws `text` with the pixel font at `scale` pixels per font pixel; "." is one pixel wide.
void pixelText(QPainter& p, int x, int y, std::string_view text, int scale, const QColor& colour) {
    for (char c : text) {
        if (c == '.') {
            box(p, x, y + 4 * scale, x + scale - 1, y + 5 * scale - 1, colour);
            x += 2 * scale;
            continue;
        }
        if (const auto* rows = glyph(c)) {
            for (int row = 0; row < 5; ++row) {
                for (int column = 0; column < 3; ++column) {
                    if ((*rows)[row] & (4 >> column)) {
                        box(p, x + column * scale, y + row * scale, x + (column + 1) * scale - 1,
                            y + (row + 1) * scale - 1, colour);
                    }
                }
            }
        }
        x += 4 * scale;
    }
}

// A 3.5-inch disk filling x0..x0+11, y0..y0+11: shutter at the top, paper label below.
void disk(QPainter& p, int x0, int y0) {
    framedBox(p, x0, y0, x0 + 11, y0 + 11, kDiskBlue, kDiskDark);
    box(p, x0 + 3, y0 + 1, x0 + 8, y0 + 4, kMetal);
    box(p, x0 + 6, y0 + 2, x0 + 7, y0 + 3, kDiskDark);
    box(p, x0 + 2, y0 + 6, x0 + 9, y0 + 10, kPaper);
    box(p, x0 + 3, y0 + 7, x0 + 8, y0 + 7, kInk);
    box(p, x0 + 3, y0 + 9, x0 + 6, y0 + 9, kInk);
}

// A sheet with a few lines of names, x0..x1, y0..y1.
void listSheet(QPainter& p, int x0, int y0, int x1, int y1) {
    framedBox(p, x0, y0, x1, y1, kPaper, kOutline);
    for (int y = y0 + 2; y <= y1 - 2; y += 2) {
        box(p, x0 + 2, y, x1 - 2 - ((y / 2) % 2) * 2, y, kInk);
    }
}

void columnsPicture(QPainter& p) {
    framedBox(p, 0, 1, 11, 12, kPaper, kOutline);
    for (int column = 0; column < 3; ++column) {
        for (int y = 3; y <= 10; y += 2) {
            box(p, 2 + column * 3, y, 3 + column * 3, y, kInk);
        }
    }
}

void plusOrMinus(QPainter& p, bool plus, const QColor& colour) {
    box(p, 9, 11, 15, 13, colour); // horizontal bar, 3 pixels thick
    if (plus) {
        box(p, 11, 9, 13, 15, colour);
    }
}

void folder(QPainter& p, int x0, int y0) { // 7 x 5
    box(p, x0, y0, x0 + 2, y0, kFolderDark);
    framedBox(p, x0, y0 + 1, x0 + 6, y0 + 5, kFolder, kFolderDark);
}

void drawReadDisk(QPainter& p) {
    disk(p, 0, 0);
    // Green arrow leaving the disk, pointing down.
    box(p, 12, 7, 13, 11, kGreen);
    box(p, 10, 11, 15, 11, kGreen);
    box(p, 11, 12, 14, 12, kGreen);
    box(p, 12, 13, 13, 13, kGreen);
    dot(p, 12, 14, kGreen);
    dot(p, 13, 14, kGreen);
}

void drawClearAllLabels(QPainter& p) {
    listSheet(p, 3, 0, 13, 11);
    listSheet(p, 0, 3, 10, 14);
    // Red cross over both.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(7, 7, 14, 14);
    p.drawLine(14, 7, 7, 14);
    p.setPen(Qt::NoPen);
}

void drawReduceColumns(QPainter& p) {
    columnsPicture(p);
    plusOrMinus(p, false, kRed);
}

void drawIncreaseColumns(QPainter& p) {
    columnsPicture(p);
    plusOrMinus(p, true, kGreen);
}

void drawZoom(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(0x80, 0x50, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 10.5), QPointF(14.0, 14.0));
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(0xbf, 0xdf, 0xff));
    p.drawEllipse(QPointF(6.5, 6.5), 5.0, 5.0);
    p.setPen(QPen(kPaper, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3.5, 3.5, 6.0, 6.0), 100 * 16, 70 * 16);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
}

void drawFileSizes(QPainter& p) {
    box(p, 0, 1, 7, 1, kInk);
    box(p, 10, 1, 15, 1, kDiskBlue);
    box(p, 0, 3, 5, 3, kInk);
    box(p, 12, 3, 15, 3, kDiskBlue);
    pixelText(p, 1, 5, "KB", 2, kDiskBlue);
}

void drawExtensions(QPainter& p) {
    box(p, 0, 1, 9, 1, kInk);
    box(p, 0, 3, 6, 3, kInk);
    box(p, 0, 5, 11, 5, kInk);
    pixelText(p, 1, 9, ".EXT", 1, kRed);
    box(p, 0, 15, 15, 15, kOutline);
}

void drawChooseSubdirectories(QPainter& p) {
    folder(p, 0, 0);
    box(p, 2, 6, 2, 13, kOutline);
    box(p, 3, 9, 5, 9, kOutline);
    box(p, 3, 13, 5, 13, kOutline);
    folder(p, 6, 5);
    folder(p, 6, 9);
    // Tick on the chosen one.
    dot(p, 13, 7, kGreen);
    dot(p, 14, 6, kGreen);
    dot(p, 15, 5, kGreen);
    dot(p, 12, 6, kGreen);
}

void drawFontsAndColors(QPainter& p) {
    // A bold letter A.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, 2.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({QPointF(1.5, 11.5), QPointF(6.0, 0.8), QPointF(10.5, 11.5)}));
    p.drawLine(QPointF(3.5, 7.5), QPointF(8.5, 7.5));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    framedBox(p, 0, 12, 5, 15, kRed, kOutline);
    framedBox(p, 5, 12, 10, 15, kGreen, kOutline);
    framedBox(p, 10, 12, 15, 15, kDiskBlue, kOutline);
}

void drawEditFiles(QPainter& p) {
    listSheet(p, 0, 0, 11, 15);
    // Pencil from the lower right up to the left.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, 4.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(15.0, 3.0), QPointF(7.0, 11.0));
    p.setPen(QPen(QColor(0xf0, 0xb0, 0x30), 2.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(14.6, 3.4), QPointF(7.8, 10.2));
    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    p.drawPolygon(QPolygonF({QPointF(7.6, 8.6), QPointF(9.4, 10.4), QPointF(5.5, 12.5)}));
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void drawInsertImage(QPainter& p) {
    framedBox(p, 0, 1, 15, 14, QColor(0x9c, 0xd0, 0xff), kOutline);
    // Sun.
    box(p, 10, 3, 12, 5, QColor(0xff, 0xd8, 0x20));
    dot(p, 11, 2, QColor(0xff, 0xd8, 0x20));
    // Hills.
    p.setBrush(kGreen);
    p.drawPolygon(QPolygon({QPoint(1, 13), QPoint(5, 6), QPoint(9, 13)}));
    p.setBrush(QColor(0x1f, 0x7a, 0x2c));
    p.drawPolygon(QPolygon({QPoint(6, 13), QPoint(10, 8), QPoint(14, 13)}));
    p.setBrush(Qt::NoBrush);
}

void drawInsertString(QPainter& p) {
    // A serif T ...
    box(p, 0, 1, 10, 2, kOutline);
    box(p, 0, 3, 0, 4, kOutline);
    box(p, 10, 3, 10, 4, kOutline);
    box(p, 4, 3, 6, 13, kOutline);
    box(p, 3, 14, 7, 14, kOutline);
    // ... and a text cursor after it.
    box(p, 12, 4, 14, 4, kDiskBlue);
    box(p, 13, 5, 13, 13, kDiskBlue);
    box(p, 12, 14, 14, 14, kDiskBlue);
}

void drawWriteTemplate(QPainter& p) {
    disk(p, 0, 4);
    // Pencil writing on the disk.
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(kOutline, 4.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(15.5, 0.5), QPointF(9.0, 7.0));
    p.setPen(QPen(kRed, 2.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(15.1, 0.9), QPointF(9.8, 6.2));
    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    p.drawPolygon(QPolygonF({QPointF(9.6, 4.6), QPointF(11.4, 6.4), QPointF(7.5, 8.5)}));
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);
}

void drawPrint(QPainter& p) {
    framedBox(p, 3, 0, 12, 5, kPaper, kOutline);  // paper going in
    framedBox(p, 0, 5, 15, 11, kMetal, kOutline); // printer body
    box(p, 12, 7, 13, 7, kGreen);                 // power light
    framedBox(p, 3, 9, 12, 15, kPaper, kOutline); // printed sheet
    box(p, 5, 11, 10, 11, kInk);
    box(p, 5, 13, 8, 13, kInk);
}

QImage toolbarStrip() {
    const std::array<std::function<void(QPainter&)>, 14> pictures{
        drawReadDisk,       drawClearAllLabels, drawReduceColumns, drawIncreaseColumns,
        drawZoom,           drawFileSizes,      drawExtensions,    drawChooseSubdirectories,
        drawFontsAndColors, drawEditFiles,      drawInsertImage,   drawInsertString,
        drawWriteTemplate,  drawPrint,
    };
    QImage strip = transparentImage(kCell * static_cast<int>(pictures.size()), kCell);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        QImage cell = transparentImage(kCell, kCell);
        QPainter painter(&cell);
        painter.setPen(Qt::NoPen);
        pictures[i](painter);
        painter.end();
        QPainter stripPainter(&strip);
        stripPainter.drawImage(static_cast<int>(i) * kCell, 0, cell);
    }
    return strip;
}

// The larger icons are drawn on a 48-unit grid and scaled to each size.

void drawPage(QPainter& p) {
    QPainterPath page;
    page.moveTo(8, 2);
    page.lineTo(30, 2);
    page.lineTo(41, 13);
    page.lineTo(41, 46);
    page.lineTo(8, 46);
    page.closeSubpath();
    p.setPen(QPen(kOutline, 2.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.setBrush(QColor(0xdd, 0xdd, 0xdd));
    p.drawPolygon(QPolygonF({QPointF(30, 2), QPointF(30, 13), QPointF(41, 13)}));
}

void drawProgramIcon(QPainter& p) {
    // A disk with a catalog label.
    p.setPen(QPen(kDiskDark, 2.5));
    p.setBrush(kDiskBlue);
    p.drawRoundedRect(QRectF(3, 3, 42, 42), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kMetal);
    p.drawRect(QRectF(13, 4.5, 20, 13));
    p.setBrush(kDiskDark);
    p.drawRect(QRectF(25, 7, 5, 8));
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 22, 30, 21));
    p.setBrush(kRed);
    p.drawRect(QRectF(9, 22, 30, 5));
    const QColor lines[] = {kInk, kDiskBlue, kInk};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(lines[i]);
        p.drawRect(QRectF(12, 30 + i * 4.5, i == 1 ? 16 : 22, 2.5));
    }
}

void drawLabelFileIcon(QPainter& p) {
    drawPage(p);
    // A small label: file list above a blue spine.
    p.setPen(Qt::NoPen);
    const QColor lines[] = {kInk, kFolderDark, kInk, kInk};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(lines[i]);
        p.drawRect(QRectF(13, 17 + i * 5, i % 2 ? 14 : 20, 3));
    }
    p.setBrush(kDiskBlue);
    p.drawRect(QRectF(12, 37, 25, 6));
}

void drawTemplateFileIcon(QPainter& p) {
    drawPage(p);
    // Empty frames where the label's body and spine go.
    p.setBrush(QColor(0xff, 0xf0, 0xe0));
    p.setPen(QPen(QColor(0xe0, 0x70, 0x10), 3.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(13.5, 17.5, 22, 15));
    p.drawRect(QRectF(13.5, 36.5, 22, 5));
}

QImage icon(const std::function<void(QPainter&)>& draw, int size) {
    QImage image = transparentImage(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(size / 48.0, size / 48.0);
    draw(painter);
    return image;
}

bool save(const QImage& image, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "pelmora_make_icons: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pelmora_make_icons OUTPUT_FOLDER\n");
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        std::fprintf(stderr, "pelmora_make_icons: no folder %s\n", argv[1]);
        return 2;
    }
    bool ok = save(toolbarStrip(), folder, QStringLiteral("toolbar.png"));
    const struct {
        const char* name;
        void (*draw)(QPainter&);
    } icons[] = {
        {"pelmora", drawProgramIcon},
        {"label-file", drawLabelFileIcon},
        {"template-file", drawTemplateFileIcon},
    };
    for (const auto& entry : icons) {
        for (int size : {16, 32, 48}) {
            ok = save(icon(entry.draw, size), folder,
                      QStringLiteral("%1-%2.png").arg(QLatin1String(entry.name)).arg(size)) &&
                 ok;
        }
    }
    return ok ? 0 : 2;
}
