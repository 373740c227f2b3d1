// Template files, as Read Disk applies them to the label of a freshly read disk: every version
// line, folder states, objects and the label block. Images are stored by path and loaded from
// wherever the path points, so the target keeps only the strings; the image loader has targets
// of its own. The label is then sorted and painted, and its template written and read back.

#include "catalog/ordering.h"
#include "storage/template_file.h"
#include "tests/fuzz/fuzz_paint.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

using namespace pelmora;

namespace {

FileEntry folderEntry(const char* name, std::vector<FileEntry> children) {
    FileEntry entry;
    std::strcpy(entry.name, name);
    std::strcpy(entry.sizeText, "[dir]");
    entry.hasChild = 1;
    entry.child = std::make_unique<VAROINFO>();
    entry.child->entries = std::move(children);
    return entry;
}

FileEntry fileEntry(const char* name) {
    FileEntry entry;
    std::strcpy(entry.name, name);
    std::strcpy(entry.sizeText, "1K");
    entry.size = 1024;
    return entry;
}

// A disk as the scanner leaves it: folders that template records can name, nested twice.
const VAROINFO& scannedDisk() {
    static const VAROINFO disk = [] {
        VAROINFO label;
        std::vector<FileEntry> old;
        old.push_back(fileEntry("NOTES.TXT"));
        std::vector<FileEntry> docs;
        docs.push_back(folderEntry("OLD", std::move(old)));
        docs.push_back(fileEntry("README.TXT"));
        label.entries.push_back(folderEntry("DOCS", std::move(docs)));
        label.entries.push_back(folderEntry("SRC", {}));
        label.entries.push_back(fileEntry("SETUP.EXE"));
        return label;
    }();
    return disk;
}

void checkWrittenTemplateReadsBack(const VAROINFO& label) {
    VAROINFO reread = label;
    const TemplateContents contents = decodeTemplate(encodeTemplate(label), reread);
    if (contents.version != kTemplateVersion || !contents.labelBlockRead ||
        !contents.problem.empty() || contents.objects.size() != label.objects.size()) {
        fuzz::invariantBroken("a written template does not read back completely");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::quietProcess();
    fuzz::startGui();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data),
                                 std::min(size, kMaxTemplateBytes));
    VAROINFO label = scannedDisk();
    TemplateContents contents = decodeTemplate(bytes, label);
    if (contents.version == 0) {
        return 0;
    }
    applyFolderStates(contents.folders, label);
    std::erase_if(contents.objects,
                  [](const TemplateObject& object) { return object.kind != OBJECT_STRING; });
    applyTemplateObjects(contents, label);
    sortLabel(label); // Read Disk sorts after the template step, by the template's keys
    checkWrittenTemplateReadsBack(label);
    fuzz::paintLabel(label);
    return 0;
}
