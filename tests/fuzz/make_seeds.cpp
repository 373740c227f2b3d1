// Writes the seed corpora of the fuzz targets: small valid files of every kind and version the
// readers take, made with the program's own writers wherever it has one (label files,
// templates, the ini) and by hand after the same layouts where it has none (older versions,
// BMP files), JPEG files with libjpeg. tests/fuzz/make_seeds.sh runs it and adds the archives
// made by zip and arj.
//
// Usage: fuzz_make_seeds CORPUS_FOLDER

#include "catalog/records.h"
#include "platform/core/wintypes.h"
#include "storage/label_block.h"
#include "storage/label_file.h"
#include "storage/line_io.h"
#include "storage/object_record.h"
#include "storage/settings_store.h"
#include "storage/template_file.h"
#include "tests/fuzz/seed_bytes.h"
#include "tests/fuzz/seed_pictures.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

using namespace pelmora;
using namespace pelmora::seeds;
namespace fs = std::filesystem;

namespace {

// A seed the reader does not take completely would only seed its error paths.
void mustLoad(bool complete, const std::string& name, const std::string& problem) {
    if (!complete) {
        std::fprintf(stderr, "seed %s does not read back: %s\n", name.c_str(), problem.c_str());
        std::exit(1);
    }
}

void writeLabelSeed(const std::string& name, const std::string& file, std::size_t objects) {
    VAROINFO label;
    const LabelFileLoad load = decodeLabelFile(
        std::span(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()), label);
    mustLoad(load.complete && label.objects.size() == objects, name, load.problem);
    writeSeed("label_file", name, file);
}

void writeTemplateSeed(const std::string& name, const std::string& file, std::size_t objects) {
    VAROINFO label;
    const TemplateContents contents = decodeTemplate(file, label);
    mustLoad(contents.labelBlockRead && contents.problem.empty() &&
                 contents.objects.size() == objects,
             name, contents.problem);
    writeSeed("template_file", name, file);
}

// ---- labels --------------------------------------------------------------------------------

LOGFONTA font(std::int32_t height, std::int32_t weight, const char* face) {
    LOGFONTA f;
    f.lfHeight = height;
    f.lfWeight = weight;
    f.lfCharSet = 0;
    f.lfPitchAndFamily = 34;
    copyTruncatedUtf8(f.lfFaceName, face);
    return f;
}

FileEntry fileEntry(const char* name, const char* sizeText, std::uint64_t size) {
    FileEntry e;
    std::strcpy(e.name, name);
    std::strcpy(e.sizeText, sizeText);
    e.size = size;
    return e;
}

FileEntry folderEntry(const char* name, std::vector<FileEntry> children, int open) {
    FileEntry e = fileEntry(name, "[dir]", 0);
    e.hasChild = 1;
    e.open = open;
    e.child = std::make_unique<VAROINFO>();
    e.child->entries = std::move(children);
    return e;
}

PlacedObject stringObject(const char* text, int orientation, int page) {
    PlacedObject o;
    o.kind = OBJECT_STRING;
    o.page = page;
    o.layer = LAYER_ABOVE;
    o.left = 20;
    o.top = -30;
    o.right = 180;
    o.bottom = -90;
    std::strcpy(o.text, text);
    o.font = font(-16, 700, "Arial");
    o.textColor = 0x0000FF;
    o.backColor = 0xE0FFFF;
    o.orientation = orientation;
    o.opaque = 1;
    o.hAlign = 1;
    o.vAlign = 2;
    return o;
}

PlacedObject imageObject(const Dib& dib, const char* path, int layer) {
    PlacedObject o;
    o.kind = OBJECT_IMAGE;
    o.page = 1;
    o.layer = layer;
    o.left = 100;
    o.top = -120;
    o.right = 150;
    o.bottom = -170;
    std::strcpy(o.imagePath, path);
    o.fileHeader = fileHeaderOf(dib);
    o.dib = dib.block;
    o.naturalLeft = o.left;
    o.naturalTop = o.top;
    o.naturalRight = o.left + 3;
    o.naturalBottom = o.top - 2;
    return o;
}

// A label with a catalog three levels deep, every element styled, two extension styles and
// the line heights a 300-dpi printer measures.
VAROINFO styledLabel() {
    VAROINFO label;
    std::strcpy(label.volumeName, "DISK ONE");
    std::strcpy(label.comment, "%spacefree% free, %files% files (%longdate%)");
    label.columns = 3;
    label.lined = 1;
    label.sortMode = 2;
    label.spaceUsed = 5'000'000'000;
    label.spaceFree = 123'456'789;
    label.spaceTotal = 5'123'456'789;
    label.fileCount = 6;
    label.folderCount = 3;
    std::strcpy(label.shortDate, "07/17/98");
    std::strcpy(label.longDate, "Friday, July 17, 1998");
    label.fileFont = font(-11, 400, "Arial");
    label.folderFont = font(-11, 700, "Arial");
    label.commentFont = font(-13, 400, "Times New Roman");
    label.spineFont = font(-19, 400, "Courier");
    label.fileFontHeight = 13;
    label.folderFontHeight = 14;
    label.commentFontHeight = 15;
    label.spineAlign = 1;
    label.colorLogo = 1;
    label.bodyBackColor = 0xF0F0F0;
    label.extStyles.resize(2);
    std::strcpy(label.extStyles[0].extension, "TXT");
    label.extStyles[0].color = 0xFF;
    label.extStyles[0].font = font(-12, 400, "Courier");
    std::strcpy(label.extStyles[1].extension, "EXE");
    label.extStyles[1].color = 0xFF00;
    label.extStyles[1].font = font(14, 900, "Arial");

    std::vector<FileEntry> old;
    old.push_back(fileEntry("NOTES.TXT", "2K", 2048));
    std::vector<FileEntry> docs;
    docs.push_back(folderEntry("OLD", std::move(old), 1));
    docs.push_back(fileEntry("Letter.doc", "12K", 12'000));
    label.entries.push_back(folderEntry("DOCS", std::move(docs), 1));
    label.entries.push_back(folderEntry("EMPTY", {}, 0));
    label.entries.push_back(fileEntry("SETUP.EXE", "1.5M", 1'500'000));
    label.entries.push_back(fileEntry("README", "3G", 3'000'000'000));
    label.entries.back().align = 2;
    return label;
}

// ---- older label files ---------------------------------------------------------------------

// The label block as the program of version code `v` wrote it: the lines that version lacks
// are left out, and before 25 "unlined" was a negative column count.
void writeOldLabelBlock(LineWriter& out, const VAROINFO& label, int v) {
    out.dottedText(label.volumeName);
    out.dottedText(label.comment);
    out.number(label.sortMode);
    out.number(label.direction);
    out.number(v < 25 && !label.lined ? -label.columns : label.columns);
    if (v >= 25) {
        out.number(label.lined);
    }
    out.number(label.showSize);
    out.number(label.showExt);
    out.number(label.showComment);
    if (v >= 17) {
        out.number(label.showLogo);
        out.number(label.lblFmt);
    }
    if (v >= 19) {
        out.number(label.opposing);
    }
    if (v >= 18) {
        out.color(label.bodyBackColor);
    }
    out.number(label.fileFontHeight);
    out.number(label.folderFontHeight);
    out.number(label.commentFontHeight);
    out.number(label.colorLogo);
    out.color(label.fileColor);
    out.color(label.folderColor);
    out.color(label.commentColor);
    out.color(label.spineColor);
    if (v >= 18) {
        out.color(label.spineBackColor);
    }
    if (v >= 19) {
        out.number(label.spineAlign);
    }
    if (v >= 25) {
        out.number(label.spaceUsed);
        out.number(label.spaceFree);
        out.number(label.spaceTotal);
        out.number(label.fileCount);
        out.number(label.folderCount);
        out.dottedText(label.shortDate);
        out.dottedText(label.longDate);
    }
    for (const LOGFONTA* f :
         {&label.fileFont, &label.folderFont, &label.commentFont, &label.spineFont}) {
        writeFontBlock(out, *f);
    }
    if (v != kVersion16) {
        out.number(label.extStyleCount());
        for (const ExtensionStyle& style : label.extStyles) {
            out.dottedText(style.extension);
            out.color(style.color);
            writeFontBlock(out, style.font);
        }
    }
}

void writeOldNode(LineWriter& out, const VAROINFO& node) {
    out.number(node.entryCount());
    for (const FileEntry& entry : node.entries) {
        out.dottedText(entry.name);
        out.dottedText(entry.sizeText);
        out.unsignedNumber(entry.size);
        out.number(entry.hasChild);
        out.number(entry.open);
        out.number(entry.align);
        if (entry.hasChild) {
            writeOldNode(out, *entry.child);
        }
    }
}

// The current 8308-byte record moved into the older layout of `layout`: the head and an
// image body stay where they are, a string's text is cut to the older field and its font
// and colours move down.
Bytes oldRecord(const PlacedObject& object, ObjectRecordLayout layout) {
    const ObjectRecordImage current = encodeObjectRecord(object);
    Bytes old(objectRecordBytes(layout), 0);
    if (layout == ObjectRecordLayout::ImageOnly) {
        std::memcpy(old.data(), current.data() + 28, 152);
        std::memcpy(old.data() + 152, current.data() + 12, 16); // outline
        std::memcpy(old.data() + 168, current.data() + 4, 8);   // page, layer
        return old;
    }
    if (object.kind == OBJECT_IMAGE) {
        std::memcpy(old.data(), current.data(), 196);
        return old;
    }
    const bool text1024 = layout == ObjectRecordLayout::Text1024;
    const std::size_t textBytes = text1024 ? 1024 : 128;
    std::memcpy(old.data(), current.data(), 28 + textBytes - 1);
    std::memcpy(old.data() + 28 + textBytes, current.data() + 8220, 60);
    std::memcpy(old.data() + 88 + textBytes, current.data() + 8280, text1024 ? 28 : 20);
    return old;
}

std::string oldLabelFile(const VAROINFO& label, int v) {
    std::string file;
    LineWriter out(file);
    out.plainText(v == kVersion16 ? "1.6" : std::to_string(v));
    writeOldLabelBlock(out, label, v);
    writeOldNode(out, label);
    const ObjectRecordLayout layout = objectRecordLayoutForVersion(v);
    std::vector<const PlacedObject*> kept;
    for (const PlacedObject& object : label.objects) {
        if (v != kVersion16 || object.kind == OBJECT_IMAGE) {
            kept.push_back(&object);
        }
    }
    out.number(static_cast<std::int64_t>(kept.size()));
    for (const PlacedObject* object : kept) {
        out.bytes(oldRecord(*object, layout));
        if (object->kind == OBJECT_IMAGE) {
            out.bytes(object->dib);
        }
    }
    return file;
}

void writeLabelSeeds() {
    VAROINFO label = styledLabel();
    label.objects.push_back(stringObject("Backup\r\nMarch", 90, 1));
    label.objects.push_back(imageObject(dibPalette(4, 3, 8), "/media/disk/logo.bmp", LAYER_BELOW));
    writeLabelSeed("v41_styled.PMB", encodeLabelFile(label), 2);

    VAROINFO pictures;
    pictures.objects.push_back(imageObject(dibRle8(), "C:\\PICS\\RUN.BMP", LAYER_ABOVE));
    writeLabelSeed("v41_rle_picture.PMB", encodeLabelFile(pictures), 1);
    writeLabelSeed("v41_empty.PMB", encodeLabelFile(VAROINFO{}), 0);

    VAROINFO old = styledLabel();
    old.lined = 0;
    old.objects.push_back(stringObject("Hi", 180, 2));
    old.objects.push_back(imageObject(dib24(2, 2), "C:\\PICS\\OLD.BMP", LAYER_ON));
    for (int v : {kVersion16, 17, 18, 19, 24, 25, 39}) {
        const std::string name =
            "v" + std::string(v == kVersion16 ? "1.6" : std::to_string(v)) + ".PMB";
        writeLabelSeed(name, oldLabelFile(old, v), v == kVersion16 ? 1 : 2);
    }
}

// ---- templates -----------------------------------------------------------------------------

struct TemplateVersion {
    const char* line;
    int code;
};

std::string oldTemplate(const VAROINFO& label, const TemplateVersion& version) {
    std::string file;
    LineWriter out(file, LineEnds::CrLf);
    out.plainText(version.line);
    // Folder states: DOCS open with OLD inside it, EMPTY shut.
    for (const char* line :
         {".DOCS", "1", ".OLD", "1", "\\END", "\\END", ".EMPTY", "0", "\\END", "\\END"}) {
        out.plainText(line);
    }
    out.number(label.objectCount());
    for (const PlacedObject& object : label.objects) {
        if (version.code == kVersion16) {
            out.plainText(object.imagePath);
            out.number(object.left);
            out.number(object.top);
            out.number(object.page);
            out.number(object.layer);
            continue;
        }
        for (std::int32_t value : {object.kind, object.page, object.layer, object.left, object.top,
                                   object.right, object.bottom}) {
            out.number(value);
        }
        if (object.kind == OBJECT_IMAGE) {
            out.plainText(object.imagePath);
            continue;
        }
        if (version.code >= 25) {
            out.number(static_cast<std::int64_t>(std::strlen(object.text)));
            out.chars(object.text);
            out.lineEnd();
        } else {
            out.dottedText(object.text);
        }
        writeFontBlock(out, object.font);
        out.color(object.textColor);
        out.color(object.backColor);
        out.number(object.orientation);
        out.number(object.opaque);
        out.number(object.autoSize);
    }
    writeOldLabelBlock(out, label, version.code);
    return file;
}

void writeTemplateSeeds() {
    VAROINFO label = styledLabel();
    label.objects.push_back(stringObject("Two\nlines", 270, 1));
    label.objects.push_back(imageObject(dib24(2, 2), "/media/disk/logo.bmp", LAYER_ABOVE));
    writeTemplateSeed("v4.0.PMT", encodeTemplate(label), 2);

    VAROINFO oneLine = styledLabel();
    oneLine.objects.push_back(stringObject("One line", 0, 2));
    const TemplateVersion versions[] = {{"Pelmora - Version 3.0", 30},
                                        {"Pelmora - Version 2.5", 25},
                                        {"Pelmora - Version 2.0", 20},
                                        {"Pelmora - Version 1.8", 18},
                                        {"Pelmora - Version 1.7", 17}};
    for (const TemplateVersion& version : versions) {
        writeTemplateSeed("v" + std::string(version.line + 18) + ".PMT",
                          oldTemplate(oneLine, version), 1);
    }
    VAROINFO images = styledLabel();
    images.objects.push_back(imageObject(dib24(2, 2), "C:\\LOGO.BMP", LAYER_ON));
    writeTemplateSeed("v1.6.PMT", oldTemplate(images, {"Pelmora - Version 1.6", kVersion16}), 1);
}

// ---- the ini -------------------------------------------------------------------------------

void writeIniSeeds() {
    LabelSet labels;
    for (std::size_t n = 0; n < labels.labels.size(); ++n) {
        VAROINFO styled = styledLabel();
        copyFormat(styled, labels.labels[n]);
        std::strcpy(labels.labels[n].comment, styled.comment);
        labels.labels[n].columns = static_cast<std::int32_t>(n % 5) + 1;
    }
    CatalogSettings catalog;
    catalog.driveLetter = 'E';
    catalog.addPattern("*.BAK");
    catalog.addPattern("TMP");
    ViewState view;
    view.format = QUAD_LABEL;
    view.windowScale = 1.25;
    PaintSettings paint;
    std::strcpy(paint.spineInitials, "abc");
    std::strcpy(paint.spineNumber, "7");
    paint.borderIndex = 2;
    PrinterIdentity printer;
    std::strcpy(printer.driver, "CUPS");
    std::strcpy(printer.device, "Office");
    ProgramSettings program;
    program.print.cropMarks = 1;
    program.print.separate = 1;
    program.print.defaultPosition = 0;
    program.print.positionX = 0.5;
    program.print.positionY = 1.25;
    program.recentFiles[0] = "/home/user/disk one.PMB";

    const fs::path path = fs::temp_directory_path() / "pelmora-seed.ini";
    fs::remove(path);
    if (!WriteSettings(labels, catalog, view, paint, printer, program, path.string())) {
        std::fprintf(stderr, "cannot write the settings seed\n");
        std::exit(1);
    }
    std::ifstream in(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), {});
    fs::remove(path);
    writeSeed("ini_file", "settings.ini", written);

    // Hand-edited: CR LF, comments, blanks around names, a second section, a section again,
    // "error" values, an old negative column count and the install section.
    writeSeed("ini_file", "hand_edited.ini",
              "; Pelmora settings\r\n[Install]\r\nInstallPath=/opt/pelmora\r\n\r\n"
              "[ vexo ]\r\n  Labels = 20 \r\nColumns1=-3\r\nFont1_lfHeight=error\r\n"
              "Exts1=1\r\nExtName1_0=zip\r\nExtFont1_0_lfWeight=700\r\nWindScale=75\r\n"
              "Drive=65\r\nNumExclude=1\r\nExclude0=*.tmp\r\n[other]\r\nColumns0=9\r\n"
              "[VEXO]\r\nColumns0=4\r\n");
}

// ---- comment macros ------------------------------------------------------------------------

// The fuzz target's record: capacity, three space figures, two counts, the two dates each
// ended by a NUL, then the comment.
std::string commentSeed(std::uint16_t capacity, std::int64_t used, std::int64_t free,
                        std::int64_t total, std::int32_t files, std::int32_t folders,
                        std::string_view shortDate, std::string_view longDate,
                        std::string_view comment) {
    Le r;
    r.u16(0, capacity);
    r.u32(2, static_cast<std::uint32_t>(used)).u32(6, static_cast<std::uint32_t>(used >> 32));
    r.u32(10, static_cast<std::uint32_t>(free)).u32(14, static_cast<std::uint32_t>(free >> 32));
    r.u32(18, static_cast<std::uint32_t>(total)).u32(22, static_cast<std::uint32_t>(total >> 32));
    r.i32(26, files).i32(30, folders);
    std::string seed(r.data.begin(), r.data.end());
    seed.append(shortDate).push_back('\0');
    seed.append(longDate).push_back('\0');
    seed.append(comment);
    return seed;
}

void writeCommentSeeds() {
    writeSeed("comment_macros", "default.bin",
              commentSeed(1024, 5'000'000'000, 123'456'789, 5'123'456'789, 6, 3, "07/17/98",
                          "Friday, July 17, 1998", kDefaultComment));
    writeSeed("comment_macros", "every_macro.bin",
              commentSeed(1024, 1, 2, 3, 4, 5, "1/2/99", "Saturday, January 2, 1999",
                          "%shortdate% %longdate% %spacefree% %spaceused% %files% %folders% "
                          "%pctfree% %pctused% %unknown% 100%"));
    writeSeed("comment_macros", "cut_inside_utf8.bin",
              commentSeed(12, -1, INT64_MIN, 0, -7, INT32_MAX, "\xC3\xA9t\xC3\xA9",
                          "mardi 2 f\xC3\xA9vrier", "d\xC3\xA9j\xC3\xA0 %longdate% \xE2\x82\xAC"));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_seeds CORPUS_FOLDER\n");
        return 1;
    }
    seeds::setCorpusFolder(argv[1]);
    writeBmpSeeds();
    writeJpegSeeds();
    writeLabelSeeds();
    writeTemplateSeeds();
    writeIniSeeds();
    writeCommentSeeds();
    return 0;
}
