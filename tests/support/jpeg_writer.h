#pragma once
// JPEG files made by libjpeg's own compressor, for tests and fuzzing seeds.

#include <cstdint>
#include <cstdio> // jpeglib.h needs size_t and FILE declared first
#include <jpeglib.h>
#include <string>
#include <vector>

namespace pelmora::test {

struct JpegOptions {
    int quality = 75; // libjpeg's default
    // Every component sampled at full resolution, so flat 8 x 8 blocks come back almost exactly.
    bool fullResolution = false;
    bool progressive = false;
    int restartInRows = 0;
};

// A JPEG of `width` x `height` pixels from top-down rows of `components` samples a pixel in
// `space`; `samples` holds width * height * components bytes.
std::string compressJpeg(int width, int height, J_COLOR_SPACE space, int components,
                         const std::vector<std::uint8_t>& samples, const JpegOptions& options = {});

// A flat grey JPEG (every sample `level`).
std::string greyJpeg(int width, int height, std::uint8_t level);

} // namespace pelmora::test
