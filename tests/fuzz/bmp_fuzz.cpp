// BMP files and DIB blocks: the file loaded as Insert Image loads it, and the same bytes
// handed straight to StretchDIBits (as a label file's block would reach it had the loader let
// it through), with whole, mirrored and partial source rectangles.

#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "platform/gdi/gdi_types.h"
#include "storage/image_loader.h"
#include "tests/fuzz/fuzz_paint.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/picture_paint.h"

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>

using namespace pelmora;

namespace {

constexpr std::size_t kFileHeaderBytes = 14;

std::uint32_t le32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void stretchRawBlock(std::span<const std::uint8_t> file) {
    if (file.size() < kFileHeaderBytes + 12) {
        return;
    }
    const std::span<const std::uint8_t> block = file.subspan(kFileHeaderBytes);
    const std::size_t bitsAt = std::min<std::size_t>(
        std::max<std::uint32_t>(le32(file.data() + 10), kFileHeaderBytes) - kFileHeaderBytes,
        block.size());
    const gdi::DibRef dib{block.data(), bitsAt, block.data() + bitsAt, block.size() - bitsAt};
    // The extents the painter passes (biWidth, biHeight), and some beyond the picture.
    const auto width = static_cast<std::int32_t>(le32(block.data() + 4));
    const auto height = static_cast<std::int32_t>(le32(block.data() + 8));
    const auto wider = [](std::int32_t extent) {
        return static_cast<int>(
            std::clamp<std::int64_t>(std::int64_t{extent} + 6, INT32_MIN, INT32_MAX));
    };

    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    const std::unique_ptr<gdi::DeviceContext> dc = gdi::createImageDC(image);
    dc->SetStretchBltMode(gdi::HALFTONE);
    const struct {
        int x, y, w, h, sx, sy, sw, sh;
    } calls[] = {{0, 0, 40, 40, 0, 0, width, height},
                 {39, 39, -40, -40, 0, 0, width, height},
                 {5, 5, 20, 30, 1, 1, width / 2, height / 2},
                 {0, 0, 40, 40, -3, -3, wider(width), wider(height)}};
    for (const auto& c : calls) {
        dc->StretchDIBits(c.x, c.y, c.w, c.h, c.sx, c.sy, c.sw, c.sh, dib, gdi::DIB_RGB_COLORS,
                          gdi::SRCCOPY);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietProcess();
    fuzz::startGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchFile file(".bmp");
    file.replace(std::span(data, size));
    PlacedObject picture;
    if (LoadImage(file.path(), picture) == 1) {
        fuzz::paintLoadedPicture(std::move(picture));
    }
    stretchRawBlock(std::span(data, size));
    return 0;
}
