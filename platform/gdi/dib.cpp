#include "platform/gdi/dib.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <vector>

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
// The three bit-field masks: right after a 40-byte header, inside any later header.
constexpr std::size_t kMasksOffset = 40;
constexpr std::size_t kMasksEnd = kMasksOffset + 12;

// Whether bit depth and compression go together.
const char* compressionProblem(std::uint32_t compression, std::uint16_t bitCount, bool bottomUp) {
    switch (compression) {
    case BI_RGB:
        return nullptr;
    case BI_RLE8:
    case BI_RLE4:
        if (bitCount != (compression == BI_RLE8 ? 8 : 4) || !bottomUp) {
            return "run-length code needs 8 or 4 bits and bottom-up rows";
        }
        return nullptr;
    case BI_BITFIELDS:
        return bitCount == 16 || bitCount == 32 ? nullptr : "bit-field masks need 16 or 32 bits";
    default:
        return "unsupported compression";
    }
}

// One colour channel of a 16- or 32-bit pixel: where its mask starts and how many bits wide it
// is, scaled to 0..255.
class MaskChannel {
public:
    explicit MaskChannel(std::uint32_t mask) : mask_(mask) {
        if (mask != 0) {
            shift_ = std::countr_zero(mask);
            bits_ = std::bit_width(mask >> shift_);
        }
    }

    int value(std::uint32_t pixel) const {
        if (bits_ == 0) {
            return 0;
        }
        const std::uint32_t v = (pixel & mask_) >> shift_;
        if (bits_ >= 8) {
            return static_cast<int>(v >> (bits_ - 8));
        }
        const std::uint32_t max = (1u << bits_) - 1;
        return static_cast<int>((v * 255 + max / 2) / max);
    }

private:
    std::uint32_t mask_;
    int shift_ = 0;
    int bits_ = 0;
};

// Which source pixel each of `outCount` pixels takes when `count` pixels from `first` are
// brought down to them: the one under its centre. Equal counts give every pixel itself.
std::vector<int> samplePositions(int first, int count, int outCount) {
    std::vector<int> positions(static_cast<std::size_t>(outCount));
    for (int j = 0; j < outCount; ++j) {
        positions[static_cast<std::size_t>(j)] =
            first + static_cast<int>((2 * static_cast<long long>(j) + 1) * count / (2 * outCount));
    }
    return positions;
}

// The inverse of samplePositions over the source pixels [first, first + count): the output
// pixel that takes each one, or -1.
std::vector<int> sampledBy(const std::vector<int>& positions, int first, int count) {
    std::vector<int> taker(static_cast<std::size_t>(count), -1);
    for (std::size_t j = 0; j < positions.size(); ++j) {
        taker[static_cast<std::size_t>(positions[j] - first)] = static_cast<int>(j);
    }
    return taker;
}

// Run-length codes of an 8- or 4-bit bottom-up DIB, played into the part `area` of the
// picture, brought down to the size of `out`. Each code is checked against the data before it
// is used; pixels past the right edge are dropped and the decoding stops at the picture's top
// row, at the end-of-picture code or where the data ends. Pixels no code reached stay
// transparent.
class RleDecoder {
public:
    RleDecoder(const DibLayout& layout, const DibRef& dib, const QRect& area, QImage& out)
        : layout_(layout), data_(dib.bits), size_(dib.bits != nullptr ? dib.bitsSize : 0),
          area_(area), out_(out),
          columns_(sampledBy(samplePositions(area.left(), area.width(), out.width()), area.left(),
                             area.width())),
          rows_(sampledBy(samplePositions(area.top(), area.height(), out.height()), area.top(),
                          area.height())) {}

    // Returns how many pixels of the area were written.
    long long run() {
        const bool four = layout_.compression == BI_RLE4;
        // Rows are counted from the bottom; above the area's top row nothing more is needed.
        const long long lastRow = static_cast<long long>(layout_.height) - 1 - area_.top();
        std::size_t at = 0;
        while (y_ <= lastRow && size_ - at >= 2) {
            const std::uint8_t count = data_[at];
            const std::uint8_t value = data_[at + 1];
            at += 2;
            if (count > 0) {
                // Encoded: `count` pixels of one index (two alternating ones at 4 bits).
                const long long start = x_;
                const long long end = std::min<long long>(start + count, layout_.width);
                if (rowTaken()) {
                    for (; x_ < end; ++x_) {
                        const bool second = four && ((x_ - start) & 1) != 0;
                        put(four ? (second ? value & 0x0Fu : value >> 4u) : value);
                    }
                }
                x_ = end;
            } else if (value == 0) { // end of line
                x_ = 0;
                ++y_;
            } else if (value == 1) { // end of picture
                break;
            } else if (value == 2) { // delta: move right and up
                if (size_ - at < 2) {
                    break;
                }
                x_ = std::min<long long>(x_ + data_[at], layout_.width);
                y_ += data_[at + 1];
                at += 2;
            } else {
                // Absolute: `value` indexes as they are, padded to a whole 16-bit word.
                const std::size_t bytes = four ? (value + 1u) / 2u : value;
                if (size_ - at < bytes) {
                    absolute(at, size_ - at, value, four);
                    break; // the data breaks off inside the run
                }
                absolute(at, bytes, value, four);
                at += std::min<std::size_t>(bytes + (bytes & 1u), size_ - at);
            }
        }
        return written_;
    }

private:
    void absolute(std::size_t at, std::size_t bytes, unsigned count, bool four) {
        if (!rowTaken()) {
            x_ = std::min<long long>(x_ + count, layout_.width);
            return;
        }
        for (unsigned k = 0; k < count && x_ < layout_.width; ++k, ++x_) {
            const std::size_t byte = four ? k / 2 : k;
            if (byte >= bytes) {
                return;
            }
            const std::uint8_t b = data_[at + byte];
            put(four ? ((k & 1u) != 0 ? b & 0x0Fu : b >> 4u) : b);
        }
    }

    // Whether the row of the next pixel is one the output takes (rows outside the area and
    // rows the smaller picture leaves out are skipped whole).
    bool rowTaken() const {
        const long long row = static_cast<long long>(layout_.height) - 1 - y_;
        return row >= area_.top() && row <= area_.bottom() &&
               rows_[static_cast<std::size_t>(row - area_.top())] >= 0;
    }

    void put(unsigned index) {
        const long long row = static_cast<long long>(layout_.height) - 1 - y_;
        if (row < area_.top() || row > area_.bottom() || x_ < area_.left() || x_ > area_.right()) {
            return;
        }
        const int outRow = rows_[static_cast<std::size_t>(row - area_.top())];
        const int outColumn = columns_[static_cast<std::size_t>(x_ - area_.left())];
        if (outRow < 0 || outColumn < 0) {
            return; // a pixel the smaller picture leaves out
        }
        auto* line = reinterpret_cast<QRgb*>(out_.scanLine(outRow));
        line[outColumn] = index < layout_.palette.size() ? layout_.palette[index] : qRgb(0, 0, 0);
        ++written_;
    }

    const DibLayout& layout_;
    const std::uint8_t* data_;
    std::size_t size_;
    QRect area_;
    QImage& out_;
    std::vector<int> columns_; // output column of each source column of the area, or -1
    std::vector<int> rows_;    // output row of each source row of the area, or -1
    long long x_ = 0;          // column of the next pixel
    long long y_ = 0;          // row of the next pixel, 0 at the bottom
    long long written_ = 0;
};

QImage decodeRle(const DibLayout& layout, const DibRef& dib, const QRect& area, const QSize& size) {
    QImage out(size, QImage::Format_ARGB32);
    if (out.isNull()) {
        return {};
    }
    out.fill(Qt::transparent);
    const long long written = RleDecoder(layout, dib, area, out).run();
    // Codes never write a pixel twice (they only move right and up), so a full count means
    // every pixel is opaque.
    if (written == static_cast<long long>(size.width()) * size.height()) {
        return out.convertToFormat(QImage::Format_RGB32);
    }
    return out;
}

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
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return refuse(reason, "unsupported biBitCount");
    }
    if (const char* problem = compressionProblem(compression, bitCount, height > 0)) {
        return refuse(reason, problem);
    }

    DibLayout layout;
    layout.width = width;
    layout.height = static_cast<int>(rows);
    layout.bottomUp = height > 0;
    layout.bitCount = bitCount;
    layout.compression = compression;
    if (compression == BI_BITFIELDS) {
        if (dib.infoSize < kMasksEnd) {
            return refuse(reason, "bit-field masks beyond the info block");
        }
        layout.masks = {in.u32(kMasksOffset), in.u32(kMasksOffset + 4), in.u32(kMasksOffset + 8)};
    } else if (bitCount == 16) {
        layout.masks = {0x7C00, 0x03E0, 0x001F};
    } else if (bitCount == 32) {
        layout.masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }
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
    if (dib.bits == nullptr) {
        return refuse(reason, "pixel rows beyond the bits block");
    }
    // Run-length data has no fixed size: its decoder checks every code against the block.
    const bool runLength = compression == BI_RLE8 || compression == BI_RLE4;
    if (!runLength && static_cast<unsigned long long>(stride * rows) > dib.bitsSize) {
        return refuse(reason, "pixel rows beyond the bits block");
    }
    return layout;
}

QImage decodeDib(const DibLayout& layout, const DibRef& dib, const QRect& area) {
    return decodeDib(layout, dib, area, area.size());
}

QImage decodeDib(const DibLayout& layout, const DibRef& dib, const QRect& area, QSize size) {
    if (area.isEmpty() || !QRect(0, 0, layout.width, layout.height).contains(area) ||
        size.isEmpty()) {
        return {};
    }
    size = size.boundedTo(area.size());
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        return decodeRle(layout, dib, area, size);
    }
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull()) {
        return {};
    }
    const std::vector<int> columns = samplePositions(area.left(), area.width(), size.width());
    const std::vector<int> rows = samplePositions(area.top(), area.height(), size.height());
    const MaskChannel red(layout.masks[0]);
    const MaskChannel green(layout.masks[1]);
    const MaskChannel blue(layout.masks[2]);
    const auto lookup = [&](unsigned index) {
        return index < layout.palette.size() ? layout.palette[index] : qRgb(0, 0, 0);
    };
    for (int y = 0; y < size.height(); ++y) {
        const int pictureRow = rows[static_cast<std::size_t>(y)];
        const int storedRow = layout.bottomUp ? layout.height - 1 - pictureRow : pictureRow;
        const std::uint8_t* src = dib.bits + static_cast<std::size_t>(storedRow) * layout.stride;
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const auto px = static_cast<std::size_t>(columns[static_cast<std::size_t>(x)]);
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
            case 16: {
                const std::uint32_t v =
                    src[2 * px] | (static_cast<std::uint32_t>(src[2 * px + 1]) << 8);
                dst[x] = qRgb(red.value(v), green.value(v), blue.value(v));
                break;
            }
            case 24:
                dst[x] = qRgb(src[3 * px + 2], src[3 * px + 1], src[3 * px]);
                break;
            default: { // 32: one little-endian word split by the masks
                const std::uint8_t* p = src + 4 * px;
                const std::uint32_t v = p[0] | (static_cast<std::uint32_t>(p[1]) << 8) |
                                        (static_cast<std::uint32_t>(p[2]) << 16) |
                                        (static_cast<std::uint32_t>(p[3]) << 24);
                dst[x] = qRgb(red.value(v), green.value(v), blue.value(v));
                break;
            }
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
