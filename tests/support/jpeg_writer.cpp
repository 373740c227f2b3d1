#include "tests/support/jpeg_writer.h"

#include <cstdio>
#include <cstdlib>

namespace pelmora::test {

std::string compressJpeg(int width, int height, J_COLOR_SPACE space, int components,
                         const std::vector<std::uint8_t>& samples, const JpegOptions& options) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.fullResolution) {
        for (int c = 0; c < cinfo.num_components; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
    }
    if (options.progressive) {
        jpeg_simple_progression(&cinfo);
    }
    cinfo.restart_in_rows = options.restartInRows;
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t rowSamples = static_cast<std::size_t>(width) * components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data()) + cinfo.next_scanline * rowSamples;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer); // allocated by the library's memory destination
    return bytes;
}

std::string greyJpeg(int width, int height, std::uint8_t level) {
    return compressJpeg(width, height, JCS_GRAYSCALE, 1,
                        std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height, level));
}

} // namespace pelmora::test
