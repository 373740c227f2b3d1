#pragma once
// Picture seeds: DIB blocks of every depth and compression the readers take, the BMP files
// around them, and JPEG files made with libjpeg.

#include "catalog/placed_object.h"
#include "tests/fuzz/seed_bytes.h"

#include <cstdint>

namespace pelmora::seeds {

struct Dib {
    Bytes block;              // info header, colour table or masks, pixels
    std::uint32_t bitsAt = 0; // offset of the pixels inside the block
};

Dib dib24(int width, int height);                          // bottom-up, or top-down when negative
Dib dibPalette(int width, int height, std::uint16_t bits); // grey table of 2^bits colours
Dib dibRle8();                                             // runs, absolute run, delta, ends
BitmapFileHeader fileHeaderOf(const Dib& dib);

// corpus/bmp and corpus/jpeg.
void writeBmpSeeds();
void writeJpegSeeds();

} // namespace pelmora::seeds
