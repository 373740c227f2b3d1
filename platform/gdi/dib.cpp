#include "platform/gdi/dib.h"

#include <cstdint>
#include <cstdlib>

namespace pelmora::gdi {
namespace {

// The one way bytes of the info block are read: every read is checked against the block's
// length, and after a failed read the reader stays failed.
class InfoReader {
public:
    InfoReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool failed() const { return failed_; }

    std::uint32_t u32(std::size_t offset) {
        if (!fits(offset, 4)) {
            return 0;
        }
        return static_cast<std::uint32_t>(data_[offset]) |
               (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
    }
    std::int32_t i32(std::size_t offset) { return static_cast<std::int32_t>(u32(offset)); }
    std::uint16_t u16(std::size_t offset) {
        if (!fits(offset, 2)) {
            return 0;
        }
        return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }
    std::uint8_t u8(std::size_t offset) { return fits(offset, 1) ? data_[offset] : 0; }

private:
    bool fits(std::size_t offset, std::size_t length) {
        if (failed_ || data_ == nullptr || offset > size_ || length > size_ - offset) {
            failed_ = true;
        }
        return !failed_;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    bool failed_ = false;
};

std::optional<DibLayout> refuse(std::string* reason, const char* text) {
    if (reason != nullptr) {
        *reason = text;
    }
    return std::nullopt;
}

constexpr std::size_t kInfoHeaderSize = 40;

} // namespace

std::optional<DibLayout> readDibLayout(const DibRef& dib, std::string* reason) {
    if (dib.info == nullptr || dib.infoSize < kInfoHeaderSize) {
        return refuse(reason, "info block shorter than a BITMAPINFOHEADER");
    }
    InfoReader in(dib.info, dib.infoSize);
    const std::uint32_t headerSize = in.u32(0);
    const std::int32_t width = in.i32(4);
    const std::int32_t height = in.i32(8);
    const std::uint16_t planes = in.u16(12);
    const std::uint16_t bitCount = in.u16(14);
    const std::uint32_t compression = in.u32(16);
    const std::uint32_t colorsUsed = in.u32(32);
    if (in.failed()) {
        return refuse(reason, "info block shorter than a BITMAPINFOHEADER");
    }
    if (headerSize < kInfoHeaderSize) {
        return refuse(reason, "biSize below 40");
    }
    if (headerSize > dib.infoSize) {
        return refuse(reason, "biSize beyond the info block");
    }
    if (width <= 0) {
        return refuse(reason, "biWidth not positive");
    }
    if (height == 0) {
        return refuse(reason, "biHeight is 0");
    }
    const long long rows = std::llabs(static_cast<long long>(height));
    if (width > kDibMaxSide || rows > kDibMaxSide ||
        static_cast<long long>(width) * rows > kDibMaxPixels) {
        return refuse(reason, "picture too large");
    }
    if (planes != 1) {
        return refuse(reason, "biPlanes not 1");
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) {
        return refuse(reason, "unsupported biBitCount");
    }
    if (compression != BI_RGB) {
        return refuse(reason, "compressed DIB");
    }

    DibLayout layout;
    layout.width = width;
    layout.height = static_cast<int>(rows);
    layout.bottomUp = height > 0;
    layout.bitCount = bitCount;
    if (bitCount <= 8) {
        const std::uint32_t maxEntries = 1u << bitCount;
        const std::uint32_t entries =
            colorsUsed == 0 || colorsUsed > maxEntries ? maxEntries : colorsUsed;
        if (entries * 4u > dib.infoSize - headerSize) {
            return refuse(reason, "colour table beyond the info block");
        }
        layout.palette.reserve(entries);
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::size_t at = headerSize + 4u * i; // RGBQUAD: blue, green, red, reserved
            layout.palette.push_back(qRgb(in.u8(at + 2), in.u8(at + 1), in.u8(at)));
        }
        if (in.failed()) {
            return refuse(reason, "colour table beyond the info block");
        }
    }
    const long long stride = (static_cast<long long>(width) * bitCount + 31) / 32 * 4;
    layout.stride = static_cast<std::size_t>(stride);
    if (dib.bits == nullptr || static_cast<unsigned long long>(stride * rows) > dib.bitsSize) {
        return refuse(reason, "pixel rows beyond the bits block");
    }
    return layout;
}

QImage decodeDib(const DibLayout& layout, const DibRef& dib, const QRect& area) {
    if (area.isEmpty() || !QRect(0, 0, layout.width, layout.height).contains(area)) {
        return {};
    }
    QImage out(area.size(), QImage::Format_RGB32);
    if (out.isNull()) {
        return {};
    }
    const auto lookup = [&](unsigned index) {
        return index < layout.palette.size() ? layout.palette[index] : qRgb(0, 0, 0);
    };
    for (int y = 0; y < area.height(); ++y) {
        const int pictureRow = area.top() + y;
        const int storedRow = layout.bottomUp ? layout.height - 1 - pictureRow : pictureRow;
        const std::uint8_t* src = dib.bits + static_cast<std::size_t>(storedRow) * layout.stride;
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            const std::size_t px = static_cast<std::size_t>(area.left() + x);
            switch (layout.bitCount) {
            case 1:
                dst[x] = lookup((src[px >> 3] >> (7 - (px & 7))) & 1u);
                break;
            case 4:
                dst[x] = lookup((px & 1) != 0 ? src[px >> 1] & 0x0Fu : src[px >> 1] >> 4);
                break;
            case 8:
                dst[x] = lookup(src[px]);
                break;
            case 24:
                dst[x] = qRgb(src[3 * px + 2], src[3 * px + 1], src[3 * px]);
                break;
            default: // 32: blue, green, red, unused
                dst[x] = qRgb(src[4 * px + 2], src[4 * px + 1], src[4 * px]);
                break;
            }
        }
    }
    return out;
}

QImage dibToImage(const DibRef& dib, std::string* reason) {
    const std::optional<DibLayout> layout = readDibLayout(dib, reason);
    if (!layout) {
        return {};
    }
    return decodeDib(*layout, dib, QRect(0, 0, layout->width, layout->height));
}

} // namespace pelmora::gdi
