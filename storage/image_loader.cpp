#include "storage/image_loader.h"

#include "platform/core/regular_file.h"
#include "platform/core/wintypes.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <memory>
#include <new>
#include <unistd.h>

namespace pelmora {
namespace {

// BITMAPINFOHEADER, as it starts every DIB block.
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kBiSize = 0;
constexpr std::size_t kBiWidth = 4;
constexpr std::size_t kBiHeight = 8;
constexpr std::size_t kBiPlanes = 12;
constexpr std::size_t kBiBitCount = 14;
constexpr std::size_t kBiCompression = 16;
constexpr std::size_t kBiSizeImage = 20;
constexpr std::size_t kBiXPelsPerMeter = 24;
constexpr std::size_t kBiYPelsPerMeter = 28;
constexpr std::size_t kBiClrUsed = 32;
constexpr std::size_t kBiClrImportant = 36;

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint64_t kBitfieldMaskBytes = 12; // three masks after a 40-byte header

// A decoded JPEG's pixels follow the information header directly.
constexpr std::uint32_t kJpegPixelsAt = kBitmapFileHeaderBytes + kInfoHeaderBytes;

// A JPEG's whole-image buffers (progressive files keep every coefficient) may take this much
// of the library's memory; past it the library fails instead of asking for more.
constexpr long kJpegWorkingMemory = 1L << 30;

// The only way the DIB header is read: a field that lies outside the block reads as 0 and
// marks the reader failed for good.
class DibFields {
public:
    explicit DibFields(const std::vector<std::uint8_t>& block) : block_(block) {}

    std::uint32_t u32(std::size_t offset) {
        if (!inside(offset, 4)) {
            return 0;
        }
        const std::uint8_t* b = block_.data() + offset;
        return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
               (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    }
    std::int32_t i32(std::size_t offset) { return static_cast<std::int32_t>(u32(offset)); }
    std::uint16_t u16(std::size_t offset) {
        if (!inside(offset, 2)) {
            return 0;
        }
        const std::uint8_t* b = block_.data() + offset;
        return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    }
    bool failed() const { return failed_; }

private:
    bool inside(std::size_t offset, std::size_t count) {
        if (failed_ || offset > block_.size() || count > block_.size() - offset) {
            failed_ = true;
        }
        return !failed_;
    }

    const std::vector<std::uint8_t>& block_;
    bool failed_ = false;
};

void putLe32(std::uint8_t* dest, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        dest[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void putLe16(std::uint8_t* dest, std::uint16_t value) {
    dest[0] = static_cast<std::uint8_t>(value);
    dest[1] = static_cast<std::uint8_t>(value >> 8);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a regular file for binary reading and measures it. A folder or a named pipe given
// the name of an image is not one (and a pipe without a writer would block the open).
FilePtr openImageFile(const std::string& path, std::uint64_t& length) {
    Descriptor fd = openRegularFile(path, length);
    if (!fd.valid()) {
        return nullptr;
    }
    FilePtr file(fdopen(fd.get(), "rb"));
    if (file) {
        fd.release(); // the stream closes it now
    }
    return file;
}

void startImage(const std::string& path, PlacedObject& object) {
    object.kind = OBJECT_IMAGE;
    copyTruncatedUtf8(object.imagePath, sizeof object.imagePath, path.c_str(),
                      strnlen(path.c_str(), path.size()));
}

void setOutline(PlacedObject& object, double width, double height) {
    // Truncated after the addition, so the far edge lands where the fraction would put it.
    object.left = kLoadedImageLeft;
    object.top = kLoadedImageTop;
    object.right = static_cast<std::int32_t>(kLoadedImageLeft + width);
    object.bottom = static_cast<std::int32_t>(kLoadedImageTop - height);
    object.naturalLeft = object.left;
    object.naturalTop = object.top;
    object.naturalRight = object.right;
    object.naturalBottom = object.bottom;
}

// A bitmap that does not say how dense it is gets 2835 pixels per metre written into its own
// header, so it is laid out at one pixel per 0.01 inch here and wherever the DIB goes later.
// A negative density is as meaningless as none and is treated the same way.
std::int32_t settlePelsPerMeter(std::vector<std::uint8_t>& dib, std::size_t offset) {
    DibFields fields(dib);
    std::int32_t pels = fields.i32(offset);
    if (pels <= 0) {
        pels = kDefaultPelsPerMeter;
        putLe32(dib.data() + offset, static_cast<std::uint32_t>(pels));
    }
    return pels;
}

BitmapFileHeader parseFileHeader(const std::uint8_t* b) {
    BitmapFileHeader header;
    header.bfType = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    header.bfSize = static_cast<std::uint32_t>(b[2]) | (static_cast<std::uint32_t>(b[3]) << 8) |
                    (static_cast<std::uint32_t>(b[4]) << 16) |
                    (static_cast<std::uint32_t>(b[5]) << 24);
    header.bfReserved1 = static_cast<std::uint16_t>(b[6] | (b[7] << 8));
    header.bfReserved2 = static_cast<std::uint16_t>(b[8] | (b[9] << 8));
    header.bfOffBits =
        static_cast<std::uint32_t>(b[10]) | (static_cast<std::uint32_t>(b[11]) << 8) |
        (static_cast<std::uint32_t>(b[12]) << 16) | (static_cast<std::uint32_t>(b[13]) << 24);
    return header;
}

int readBmp(const std::string& path, PlacedObject& object) {
    startImage(path, object);
    std::uint64_t length = 0;
    FilePtr file = openImageFile(path, length);
    if (!file) {
        return 0;
    }
    std::uint8_t headerBytes[kBitmapFileHeaderBytes];
    if (length < kBitmapFileHeaderBytes ||
        std::fread(headerBytes, 1, sizeof headerBytes, file.get()) != sizeof headerBytes) {
        return 0;
    }
    BitmapFileHeader header = parseFileHeader(headerBytes);
    if (header.bfType != kBitmapFileType) {
        return 0;
    }
    if (length - kBitmapFileHeaderBytes > kMaxDibBlockBytes) {
        return 0;
    }
    // A short bfSize (0 included) is a careless writer: the whole file is the bitmap. A bfSize
    // beyond the end promises bytes the file does not have.
    if (header.bfSize < length) {
        header.bfSize = static_cast<std::uint32_t>(length);
    }
    if (header.bfSize > length) {
        return 0;
    }
    std::vector<std::uint8_t> dib;
    try {
        dib.resize(header.bfSize - kBitmapFileHeaderBytes);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (std::fread(dib.data(), 1, dib.size(), file.get()) != dib.size()) {
        return 0; // the file shrank while it was read
    }
    file.reset();
    if (!checkDib(header, dib).empty()) {
        return 0;
    }
    const std::int32_t xPels = settlePelsPerMeter(dib, kBiXPelsPerMeter);
    const std::int32_t yPels = settlePelsPerMeter(dib, kBiYPelsPerMeter);
    DibFields fields(dib);
    const double width = fields.i32(kBiWidth);
    const double height = std::abs(static_cast<double>(fields.i32(kBiHeight)));
    object.fileHeader = header;
    object.dib = std::move(dib);
    setOutline(object, width * (static_cast<double>(kDefaultPelsPerMeter) / xPels),
               height * (static_cast<double>(kDefaultPelsPerMeter) / yPels));
    return 1;
}

// ---- JPEG ---------------------------------------------------------------------------------

struct JpegErrorManager {
    jpeg_error_mgr manager; // first, so the library's pointer to it points at the whole
    std::jmp_buf escape;
};

// Replaces the library's fatal-error handler, which would end the program: the message still
// goes out through the library's own output routine, then control returns to the loader.
[[noreturn]] void returnToLoader(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->escape, 1);
}

// The decoded picture must be a DIB the program can keep: one checkDib takes (sides and
// pixel count as for any DIB) and no larger than kMaxJpegDibBytes.
bool jpegFitsCap(std::uint64_t width, std::uint64_t height) {
    const std::uint64_t rowBytes = (width * 3 + 3) & ~std::uint64_t{3};
    return width > 0 && height > 0 && width <= static_cast<std::uint64_t>(kMaxDibSide) &&
           height <= static_cast<std::uint64_t>(kMaxDibSide) && width * height <= kMaxDibPixels &&
           rowBytes * height + kInfoHeaderBytes <= kMaxJpegDibBytes;
}

void writeJpegInfoHeader(std::uint8_t* header, std::uint32_t width, std::uint32_t height,
                         std::uint32_t imageBytes) {
    putLe32(header + kBiSize, kInfoHeaderBytes);
    putLe32(header + kBiWidth, width);
    putLe32(header + kBiHeight, height); // positive: rows run bottom-up
    putLe16(header + kBiPlanes, 1);
    putLe16(header + kBiBitCount, 24);
    putLe32(header + kBiCompression, kBiRgb);
    putLe32(header + kBiSizeImage, imageBytes);
    putLe32(header + kBiXPelsPerMeter, kDefaultPelsPerMeter);
    putLe32(header + kBiYPelsPerMeter, kDefaultPelsPerMeter);
    putLe32(header + kBiClrUsed, 0);
    putLe32(header + kBiClrImportant, 0);
}

// Runs the library from creation to finish. A fatal library error jumps back into this
// function and it returns 0; nothing with a destructor lives in this frame, so the jump
// skips no clean-up. The caller destroys the decompressor either way.
// Greyscale, and anything else that is not colour (CMYK): the first `width` samples of the
// row, each as one grey pixel. The loop is left out of fuzzing's coverage instrumentation: it
// has no branch worth steering by, and instrumented it made every large picture take seconds.
#if defined(__clang__)
__attribute__((no_sanitize("coverage")))
#endif
void expandGreyRow(const JSAMPLE* samples, std::uint8_t* dest, std::uint32_t width) {
    for (std::uint32_t x = 0; x < width; ++x) {
        dest[3 * x] = dest[3 * x + 1] = dest[3 * x + 2] = samples[x];
    }
}

int decodeJpeg(jpeg_decompress_struct& cinfo, JpegErrorManager& errors, std::FILE* file,
               const std::string& path, PlacedObject& object) {
    if (setjmp(errors.escape) != 0) {
        return 0;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kJpegWorkingMemory;
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    // Ask for blue, green, red: the byte order of a 24-bit DIB, so rows are copied as they are.
    if (cinfo.out_color_space == JCS_RGB) {
        cinfo.out_color_space = JCS_EXT_BGR;
    }
    // Checked before decompression starts: a progressive file gets its whole-image buffers
    // there, and the header alone may claim 65500 x 65500 pixels.
    if (!jpegFitsCap(cinfo.image_width, cinfo.image_height)) {
        return 0;
    }
    jpeg_start_decompress(&cinfo);
    const std::uint32_t width = cinfo.output_width;
    const std::uint32_t height = cinfo.output_height;
    if (!jpegFitsCap(width, height)) {
        return 0;
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t imageBytes = rowBytes * height;

    startImage(path, object);
    object.fileHeader = BitmapFileHeader{}; // no "BM": the block was never a file
    object.fileHeader.bfSize = static_cast<std::uint32_t>(imageBytes + kJpegPixelsAt);
    object.fileHeader.bfOffBits = kJpegPixelsAt;
    object.dib.assign(imageBytes + kInfoHeaderBytes, 0); // may throw std::bad_alloc
    writeJpegInfoHeader(object.dib.data(), width, height, static_cast<std::uint32_t>(imageBytes));
    setOutline(object, width, height);

    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                width * cinfo.output_components, 1);
    const bool colour = cinfo.out_color_space == JCS_EXT_BGR;
    std::uint8_t* const pixels = object.dib.data() + kInfoHeaderBytes;
    while (cinfo.output_scanline < height) {
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) {
            return 0;
        }
        // The first row decoded is the top of the picture: the last row of a bottom-up DIB.
        std::uint8_t* dest =
            pixels + static_cast<std::size_t>(height - cinfo.output_scanline) * rowBytes;
        if (colour) {
            std::memcpy(dest, row[0], static_cast<std::size_t>(width) * 3);
        } else {
            expandGreyRow(row[0], dest, width);
        }
    }
    jpeg_finish_decompress(&cinfo);
    return 1;
}

int loadJpeg(const std::string& path, PlacedObject& object) {
    std::uint64_t length = 0;
    FilePtr file = openImageFile(path, length);
    if (!file) {
        return 0;
    }
    jpeg_decompress_struct cinfo{};
    JpegErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = returnToLoader;
    int result = 0;
    try {
        result = decodeJpeg(cinfo, errors, file.get(), path, object);
    } catch (const std::bad_alloc&) {
        result = 0;
    }
    jpeg_destroy_decompress(&cinfo);
    return result;
}

bool pathNamesJpeg(const std::string& path) {
    std::string upper = path;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper.find(".JPG") != std::string::npos;
}

} // namespace

std::string checkDib(const BitmapFileHeader& header, const std::vector<std::uint8_t>& dib) {
    if (dib.size() < kInfoHeaderBytes) {
        return "the block is shorter than an information header";
    }
    if (dib.size() > kMaxDibBlockBytes) {
        return "the block is larger than any picture allowed";
    }
    DibFields fields(dib);
    const std::uint32_t headerBytes = fields.u32(kBiSize);
    if (headerBytes < kInfoHeaderBytes || headerBytes > dib.size()) {
        return "the information header size is not that of a BITMAPINFOHEADER or later";
    }
    const std::int32_t width = fields.i32(kBiWidth);
    const std::int32_t height = fields.i32(kBiHeight);
    if (width < 1 || width > kMaxDibSide) {
        return "the width is zero, negative or too large";
    }
    if (height == 0 || height < -kMaxDibSide || height > kMaxDibSide) {
        return "the height is zero or too large";
    }
    const std::uint64_t rows =
        static_cast<std::uint64_t>(height < 0 ? -std::int64_t{height} : std::int64_t{height});
    if (static_cast<std::uint64_t>(width) * rows > kMaxDibPixels) {
        return "the picture has too many pixels";
    }
    const std::uint16_t bitCount = fields.u16(kBiBitCount);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return "the bit depth is not 1, 4, 8, 16, 24 or 32";
    }
    const std::uint32_t compression = fields.u32(kBiCompression);
    const bool rle = compression == kBiRle8 || compression == kBiRle4;
    if (compression == kBiRle8 && (bitCount != 8 || height < 0)) {
        return "run-length 8 needs 8 bits per pixel, rows bottom-up";
    }
    if (compression == kBiRle4 && (bitCount != 4 || height < 0)) {
        return "run-length 4 needs 4 bits per pixel, rows bottom-up";
    }
    if (compression == kBiBitfields && bitCount != 16 && bitCount != 32) {
        return "bit-field masks need 16 or 32 bits per pixel";
    }
    if (compression != kBiRgb && compression != kBiBitfields && !rle) {
        return "the compression is not one a DIB can be painted from";
    }
    const std::uint64_t colours = fields.u32(kBiClrUsed) != 0 ? fields.u32(kBiClrUsed)
                                  : bitCount <= 8             ? (std::uint64_t{1} << bitCount)
                                                              : 0;
    const std::uint64_t masks =
        compression == kBiBitfields && headerBytes == kInfoHeaderBytes ? kBitfieldMaskBytes : 0;
    if (headerBytes + masks + colours * 4 > dib.size()) {
        return "the colour table runs past the end of the block";
    }
    if (header.bfOffBits < kBitmapFileHeaderBytes + headerBytes) {
        return "the pixels start inside the information header";
    }
    const std::uint64_t pixelOffset = header.bfOffBits - kBitmapFileHeaderBytes;
    if (pixelOffset >= dib.size()) {
        return "the pixels start outside the block";
    }
    if (!rle) {
        const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
        if (rowBytes * rows > dib.size() - pixelOffset) {
            return "the pixel rows run past the end of the block";
        }
    }
    return fields.failed() ? "the information header could not be read" : "";
}

int LoadImage(const std::string& path, PlacedObject& object) {
    object.dib = {};
    const int result = pathNamesJpeg(path) ? loadJpeg(path, object) : readBmp(path, object);
    if (result == 0) {
        object.dib = {}; // a failed load keeps nothing half written
    }
    return result;
}

LabelPalette BuildLabelPalette() {
    LabelPalette palette;
    for (std::size_t k = 0; k < palette.size(); ++k) {
        palette[k].red = static_cast<std::uint8_t>(32 * (k % 8));
        palette[k].green = static_cast<std::uint8_t>(32 * ((k / 8) % 8));
        palette[k].blue = static_cast<std::uint8_t>(64 * (k / 64));
        palette[k].flags = 0;
    }
    palette[1] = {255, 255, 255, 0};
    return palette;
}

} // namespace pelmora
