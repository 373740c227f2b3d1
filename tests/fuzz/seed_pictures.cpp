#include "tests/fuzz/seed_pictures.h"

#include "tests/support/jpeg_writer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <vector>

namespace pelmora::seeds {

namespace {

constexpr std::uint32_t kInfoBytes = 40;

// A BITMAPINFOHEADER (or a longer header of `headerBytes`) at 2835 pixels per metre.
Le infoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits,
              std::uint32_t compression, std::uint32_t colours = 0,
              std::uint32_t headerBytes = kInfoBytes) {
    Le h(headerBytes);
    h.u32(0, headerBytes).i32(4, width).i32(8, height).u16(12, 1).u16(14, bits);
    h.u32(16, compression).i32(24, 2835).i32(28, 2835).u32(32, colours);
    return h;
}

void greyTable(Le& dib, std::uint32_t entries) {
    const std::size_t at = dib.data.size();
    for (std::uint32_t k = 0; k < entries; ++k) {
        const auto v = static_cast<std::uint8_t>(k * 255 / (entries > 1 ? entries - 1 : 1));
        dib.u8(at + 4 * k, v)
            .u8(at + 4 * k + 1, v)
            .u8(at + 4 * k + 2, 255 - v)
            .u8(at + 4 * k + 3, 0);
    }
}

// Rows of `rowBytes` stored bytes, each padded to four.
void pixelRows(Le& dib, int rows, std::size_t rowBytes) {
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    const std::size_t at = dib.data.size();
    dib.data.resize(at + stride * static_cast<std::size_t>(rows), 0);
    for (std::size_t i = 0; i < stride * static_cast<std::size_t>(rows); ++i) {
        dib.data[at + i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
}

} // namespace

Dib dib24(int width, int height) {
    Le d = infoHeader(width, height, 24, 0);
    pixelRows(d, std::abs(height), static_cast<std::size_t>(width) * 3);
    return {d.data, kInfoBytes};
}

Dib dibPalette(int width, int height, std::uint16_t bits) {
    Le d = infoHeader(width, height, bits, 0);
    greyTable(d, 1u << bits);
    const auto bitsAt = static_cast<std::uint32_t>(d.data.size());
    pixelRows(d, height, (static_cast<std::size_t>(width) * bits + 7) / 8);
    return {d.data, bitsAt};
}

// 8-bit run-length: a run, an absolute run, a delta, end of line and end of picture.
Dib dibRle8() {
    Le d = infoHeader(6, 4, 8, 1, 4);
    greyTable(d, 4);
    const auto bitsAt = static_cast<std::uint32_t>(d.data.size());
    const Bytes codes = {3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 2, 2, 0, 1, 0, 0, 6, 0, 0, 1};
    d.append(codes);
    d.u32(20, static_cast<std::uint32_t>(codes.size()));
    return {d.data, bitsAt};
}

namespace {

Dib dibRle4() {
    Le d = infoHeader(5, 3, 4, 2);
    greyTable(d, 16);
    const auto bitsAt = static_cast<std::uint32_t>(d.data.size());
    const Bytes codes = {5, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 0, 0, 2, 1, 1, 2, 0x7F, 0, 1};
    d.append(codes);
    d.u32(20, static_cast<std::uint32_t>(codes.size()));
    return {d.data, bitsAt};
}

// 16 bits, 5-6-5 masks after the header.
Dib dibBitfields16() {
    Le d = infoHeader(3, 2, 16, 3);
    d.u32(40, 0xF800).u32(44, 0x07E0).u32(48, 0x001F);
    pixelRows(d, 2, 6);
    return {d.data, 52};
}

// 32 bits, top-down, a V5 header with the masks inside it.
Dib dibV5(int width, int height) {
    Le d = infoHeader(width, -height, 32, 3, 0, 124);
    d.u32(40, 0x00FF0000).u32(44, 0x0000FF00).u32(48, 0x000000FF).u32(52, 0xFF000000);
    pixelRows(d, height, static_cast<std::size_t>(width) * 4);
    return {d.data, 124};
}

} // namespace

BitmapFileHeader fileHeaderOf(const Dib& dib) {
    return BitmapFileHeader{kBitmapFileType,
                            static_cast<std::uint32_t>(kBitmapFileHeaderBytes + dib.block.size()),
                            0, 0, kBitmapFileHeaderBytes + dib.bitsAt};
}

namespace {

Bytes bmpFile(const Dib& dib) {
    const BitmapFileHeader header = fileHeaderOf(dib);
    Le f(kBitmapFileHeaderBytes);
    f.u16(0, header.bfType).u32(2, header.bfSize).u32(10, header.bfOffBits);
    return f.append(dib.block).data;
}

} // namespace

void writeBmpSeeds() {
    writeSeed("bmp", "24bit_bottom_up.bmp", bmpFile(dib24(3, 2)));
    writeSeed("bmp", "24bit_top_down.bmp", bmpFile(dib24(2, -3)));
    writeSeed("bmp", "1bit.bmp", bmpFile(dibPalette(9, 2, 1)));
    writeSeed("bmp", "4bit.bmp", bmpFile(dibPalette(5, 3, 4)));
    writeSeed("bmp", "8bit.bmp", bmpFile(dibPalette(4, 4, 8)));
    writeSeed("bmp", "rle8.bmp", bmpFile(dibRle8()));
    writeSeed("bmp", "rle4.bmp", bmpFile(dibRle4()));
    writeSeed("bmp", "16bit_bitfields.bmp", bmpFile(dibBitfields16()));
    writeSeed("bmp", "32bit_v5.bmp", bmpFile(dibV5(3, 2)));
    // A careless writer: bfSize 0 and no density.
    Bytes careless = bmpFile(dib24(2, 2));
    std::memset(careless.data() + 2, 0, 4);
    std::memset(careless.data() + kBitmapFileHeaderBytes + 24, 0, 8);
    writeSeed("bmp", "24bit_no_size.bmp", careless);
}

namespace {

struct JpegSeed {
    const char* name;
    int width;
    int height;
    J_COLOR_SPACE space;
    int components;
    bool progressive;
};

Bytes jpegFile(const JpegSeed& seed) {
    const std::size_t rowSamples = static_cast<std::size_t>(seed.width * seed.components);
    std::vector<std::uint8_t> samples(rowSamples * seed.height);
    for (std::size_t y = 0; y < static_cast<std::size_t>(seed.height); ++y) {
        for (std::size_t i = 0; i < rowSamples; ++i) {
            samples[y * rowSamples + i] = static_cast<std::uint8_t>((i * 29 + y * 53) & 0xFF);
        }
    }
    const std::string file =
        test::compressJpeg(seed.width, seed.height, seed.space, seed.components, samples,
                           {.quality = 60,
                            .progressive = seed.progressive,
                            .restartInRows = seed.progressive ? 0 : 1});
    return Bytes(file.begin(), file.end());
}

} // namespace

void writeJpegSeeds() {
    const JpegSeed seeds[] = {{"rgb_baseline.jpg", 8, 8, JCS_RGB, 3, false},
                              {"rgb_progressive.jpg", 17, 9, JCS_RGB, 3, true},
                              {"grey.jpg", 13, 7, JCS_GRAYSCALE, 1, false},
                              {"cmyk.jpg", 6, 5, JCS_CMYK, 4, false}};
    for (const JpegSeed& seed : seeds) {
        writeSeed("jpeg", seed.name, jpegFile(seed));
    }
}

} // namespace pelmora::seeds
