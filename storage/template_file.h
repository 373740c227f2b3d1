#pragma once
// Template files: a label's design kept on the disk it catalogs, as the hidden text file
// "Pelmora.PMT" in the disk's root folder, and applied to the label when the disk is read
// again. Lines end with CR LF:
//
//   "Pelmora - Version 4.0"
//   folder states   one record per folder that was read: "." + name, its `open` flag, the
//                   records of its own folders, "\END"; the section itself ends with "\END"
//   object count N, then N objects: kind, page, layer, left, top, right, bottom, then
//                   an image's path, or a string's length L, its L characters (a line break
//                   inside the text is written as CR CR LF: the text's own CR, then LF as the
//                   line end), a line end, its font block, text and back colour,
//                   orientation, opaque and autoSize
//   label block     the same lines a label file holds
//
// Six older layouts are read as well ("Version 1.6" .. "Version 3.0"). Images are stored by
// path and loaded again when the template is applied; one that no longer loads is left out.
// Reading trusts nothing: a count that is negative or larger than the rest of the file could
// hold, a line that is not what it should be, or the end of the data stops reading there,
// and what was not read keeps its previous value. Objects past what a label file holds are
// left out and "Template Error" says how many.

#include "catalog/records.h"
#include "storage/image_loader.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

constexpr const char* kTemplateFileName = "Pelmora.PMT";
constexpr const char* kTemplateVersionLine = "Pelmora - Version 4.0";
constexpr int kTemplateVersion = 40;
// The first code whose object entries start with the kind (16 knows images only).
constexpr int kTemplateKindVersion = 17;
constexpr const char* kTemplateEndMarker = "\\END";
// Template files larger than this are read only this far.
constexpr std::size_t kMaxTemplateBytes = std::size_t{64} << 20;

// The version code of a template's first line (40, 30, 25, 20, 18, 17 or 16), 0 when the
// line is none of the seven (compared exactly, case included).
int templateVersionCode(std::string_view firstLine);

// The real path of a drive's template file; nullopt when the drive maps to no folder.
std::optional<std::string> templatePath(char drive);

// One folder record, in file order (a folder before the folders inside it).
struct TemplateFolderState {
    std::int32_t depth = 0; // 0 for a folder of the root
    std::string name;       // without the leading dot
    std::int32_t open = 0;  // 0 or 1
};

// One placed object as the template holds it: images by path, not yet loaded.
struct TemplateObject {
    std::int32_t kind = 0; // OBJECT_IMAGE or OBJECT_STRING
    std::int32_t page = 1;
    std::int32_t layer = 1;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0; // images of code 16: not stored, the loaded size decides
    std::int32_t bottom = 0;
    std::string imagePath; // image
    std::string text;      // string, lines separated by CR LF, at most 8191 bytes
    LOGFONTA font;
    COLORREF textColor = 0;
    COLORREF backColor = 0xFFFFFF;
    std::int32_t orientation = 0;
    std::int32_t opaque = 0;
    std::int32_t autoSize = 0;
};

struct TemplateContents {
    std::string firstLine; // as read, cut to one line's 254 bytes
    int version = 0;       // 0: the first line was refused and nothing else was read
    std::vector<TemplateFolderState> folders;
    // The object count was read: the label's objects are replaced by `objects`.
    bool objectsRead = false;
    std::int32_t storedObjectCount = 0;
    std::vector<TemplateObject> objects; // complete entries of kind 1 or 2, in file order
    bool labelBlockStarted = false;      // reading reached the label block
    bool labelBlockRead = false;         // the whole label block was read
    std::string problem;                 // why reading stopped early; empty when it did not
    std::size_t problemOffset = 0;
};

// The whole file for `label`, current version, CR LF line ends.
std::string encodeTemplate(const VAROINFO& label);

// Reads a template's bytes. The label block goes straight into `block`, whose fields keep
// their values where the file ends early; everything else is returned.
TemplateContents decodeTemplate(std::string_view bytes, VAROINFO& block);

// Sets the `open` flags of the catalog's folders from the records: names compared without
// regard to the case of A-Z, the first folder of that name taken; a record whose folder is
// missing is skipped together with the records inside it. Marks the display lines stale.
void applyFolderStates(const std::vector<TemplateFolderState>& folders, VAROINFO& label);

// What applying a template's objects left out.
struct TemplateObjectsApplied {
    std::size_t unloadable = 0; // images whose file no longer loads (left out quietly)
    std::size_t overLimit = 0;  // objects past what a label file holds (count or total size)
};

// Loads a picture file into an object as LoadImage does (1 on success).
using TemplateImageLoader = std::function<int(const std::string& path, PlacedObject& object)>;

// Replaces the label's objects by the template's, loading each picture file once however
// many objects name it (one that fails to load is left out). The objects are held to what a
// label file carries back beside the label's catalog: at most kMaxPlacedObjects, and a file
// within labelFileByteCap(); the rest are left out and counted. Strings come out left- and
// top-aligned.
TemplateObjectsApplied applyTemplateObjects(const TemplateContents& contents, VAROINFO& label,
                                            const TemplateImageLoader& load = LoadImage);

// The bytes of a template file; nullopt when there is no regular file at `path`, it cannot
// be read, or it is larger than kMaxTemplateBytes (no real template comes near).
std::optional<std::string> loadTemplateBytes(const std::string& path);

// Writes the template of `label` to `path` and hides it. Returns false, reporting nothing,
// when it cannot be written (the previous file is then untouched); `problem`, when given,
// then says why (the system's reason).
bool writeTemplateFile(const std::string& path, const VAROINFO& label,
                       std::string* problem = nullptr);

enum class TemplateReadStatus {
    NoFile,         // nothing to read: the label is unchanged, nothing reported
    VersionRefused, // "Template Error" reported, the label is unchanged
    Applied,        // applied, completely or up to the point where the file ends early
};

// Applies the template at `path` to `label`. The label keeps its comment; every other field
// of the label block, the folder states and the objects come from the template.
TemplateReadStatus readTemplateFile(const std::string& path, VAROINFO& label);

// "Write Template File": the template of `label` into the root folder of `drive`. Reports
// nothing; on failure `problem`, when given, names the file and the reason.
bool WriteTemplate(char drive, const VAROINFO& label, std::string* problem = nullptr);

// "Read Template File": the template in the root folder of `drive` applied to `label`.
TemplateReadStatus ReadTemplate(char drive, VAROINFO& label);

// The template step of Read Disk (a TemplateStep for readDisk): the drive's template applied
// to the freshly scanned label, which keeps the scan's figures, dates and volume name.
void ApplyDiskTemplate(VAROINFO& label, char drive);

} // namespace pelmora
