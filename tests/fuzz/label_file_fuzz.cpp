// Label files of every version the program reads: decoded as Open decodes them, painted as the
// window paints them, and saved and read back, which must give the same file again.

#include "storage/image_loader.h"
#include "storage/label_file.h"
#include "tests/fuzz/fuzz_paint.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>
#include <span>
#include <string>

using namespace pelmora;

namespace {

LabelFileLoad decodeText(const std::string& text, VAROINFO& label) {
    return decodeLabelFile(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), label);
}

// What was read is saved; the saved file must load completely, and saving that must give
// the same bytes (the first save may still normalise what the damaged file held).
void checkSavedCopyReadsBack(const VAROINFO& label) {
    const std::string first = encodeLabelFile(label);
    VAROINFO reread;
    const LabelFileLoad load = decodeText(first, reread);
    if (load.status != LabelFileStatus::Loaded || !load.complete || load.droppedObjects != 0) {
        fuzz::invariantBroken("a saved label file does not load completely");
    }
    const std::string second = encodeLabelFile(reread);
    VAROINFO again;
    decodeText(second, again);
    if (encodeLabelFile(again) != second) {
        fuzz::invariantBroken("saving a label file read back changes it");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietProcess();
    fuzz::startGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    VAROINFO label;
    const LabelFileLoad load = decodeLabelFile(std::span(data, size), label);
    if (load.status != LabelFileStatus::Loaded) {
        return 0;
    }
    for (const PlacedObject& object : label.objects) {
        if (object.kind == OBJECT_IMAGE && !checkDib(object.fileHeader, object.dib).empty()) {
            fuzz::invariantBroken("a label file kept a picture that cannot be painted");
        }
    }
    checkSavedCopyReadsBack(label);
    fuzz::paintLabel(label);
    return 0;
}
