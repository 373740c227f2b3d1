#include "gdi_test_util.h"

#include <cstdlib>
#include <cstring>

namespace pelmora::gdi::test {

QImage whiteImage(int width, int height, int dpi) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

QRect inkBounds(const QImage& image, QRgb background) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

QPointF inkCentroid(const QImage& image, QRgb background) {
    double sx = 0;
    double sy = 0;
    double total = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const double weight = std::abs(qGray(background) - qGray(p));
            sx += weight * x;
            sy += weight * y;
            total += weight;
        }
    }
    return total > 0 ? QPointF(sx / total, sy / total) : QPointF();
}

int countPixels(const QImage& image, QRgb color, const QRect& area) {
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += image.pixel(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

int countPixels(const QImage& image, QRgb color) {
    return countPixels(image, color, image.rect());
}

LOGFONTA makeFont(const char* face, int height, int weight, int escapement) {
    LOGFONTA font;
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfEscapement = escapement;
    font.lfOrientation = escapement;
    copyTruncatedUtf8(font.lfFaceName, face);
    return font;
}

void putU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

namespace {

void putU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

} // namespace

DibBytes makeDib(int width, int height, int bitCount, const std::vector<QRgb>& palette,
                 const std::function<std::uint32_t(int, int)>& pixel, bool topDown) {
    DibBytes dib;
    const std::size_t tableEntries = bitCount <= 8 ? palette.size() : 0;
    dib.info.assign(40 + 4 * tableEntries, 0);
    putU32(dib.info, 0, 40);
    putU32(dib.info, 4, static_cast<std::uint32_t>(width));
    putU32(dib.info, 8, static_cast<std::uint32_t>(topDown ? -height : height));
    putU16(dib.info, 12, 1);
    putU16(dib.info, 14, static_cast<std::uint16_t>(bitCount));
    putU32(dib.info, 16, BI_RGB);
    putU32(dib.info, 32, static_cast<std::uint32_t>(tableEntries));
    for (std::size_t i = 0; i < tableEntries; ++i) {
        dib.info[40 + 4 * i] = static_cast<std::uint8_t>(qBlue(palette[i]));
        dib.info[40 + 4 * i + 1] = static_cast<std::uint8_t>(qGreen(palette[i]));
        dib.info[40 + 4 * i + 2] = static_cast<std::uint8_t>(qRed(palette[i]));
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
    dib.bits.assign(stride * height, 0);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(topDown ? y : height - 1 - y);
        std::uint8_t* out = dib.bits.data() + row * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = pixel(x, y);
            switch (bitCount) {
            case 1:
                out[x / 8] |= static_cast<std::uint8_t>((v & 1u) << (7 - x % 8));
                break;
            case 4:
                out[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? (v & 15u) << 4 : v & 15u);
                break;
            case 8:
                out[x] = static_cast<std::uint8_t>(v);
                break;
            case 24:
                out[3 * x] = static_cast<std::uint8_t>(qBlue(v));
                out[3 * x + 1] = static_cast<std::uint8_t>(qGreen(v));
                out[3 * x + 2] = static_cast<std::uint8_t>(qRed(v));
                break;
            default:
                out[4 * x] = static_cast<std::uint8_t>(qBlue(v));
                out[4 * x + 1] = static_cast<std::uint8_t>(qGreen(v));
                out[4 * x + 2] = static_cast<std::uint8_t>(qRed(v));
                out[4 * x + 3] = 0x5A; // the unused byte must not matter
                break;
            }
        }
    }
    return dib;
}

} // namespace pelmora::gdi::test
