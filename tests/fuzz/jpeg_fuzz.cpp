// JPEG files loaded as Insert Image loads them, and the picture painted on a label.

#include "storage/image_loader.h"
#include "tests/fuzz/fuzz_paint.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/picture_paint.h"

#include <cstdint>
#include <span>
#include <utility>

using namespace pelmora;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietProcess();
    fuzz::startGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::ScratchFile file(".jpg");
    file.replace(std::span(data, size));
    PlacedObject picture;
    if (LoadImage(file.path(), picture) == 1) {
        fuzz::paintLoadedPicture(std::move(picture));
    }
    return 0;
}
