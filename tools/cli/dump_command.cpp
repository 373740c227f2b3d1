#include "tools/cli/dump_command.h"

#include "storage/label_file.h"
#include "tools/cli/arguments.h"
#include "tools/cli/json_writer.h"
#include "tools/cli/label_input.h"

#include <iostream>

namespace pelmora::cli {

void writeFontJson(JsonWriter& json, const LOGFONTA& font) {
    json.beginObject();
    json.field("lfHeight", font.lfHeight);
    json.field("lfWidth", font.lfWidth);
    json.field("lfEscapement", font.lfEscapement);
    json.field("lfOrientation", font.lfOrientation);
    json.field("lfWeight", font.lfWeight);
    json.field("lfItalic", font.lfItalic);
    json.field("lfUnderline", font.lfUnderline);
    json.field("lfStrikeOut", font.lfStrikeOut);
    json.field("lfCharSet", font.lfCharSet);
    json.field("lfOutPrecision", font.lfOutPrecision);
    json.field("lfClipPrecision", font.lfClipPrecision);
    json.field("lfQuality", font.lfQuality);
    json.field("lfPitchAndFamily", font.lfPitchAndFamily);
    json.textField("lfFaceName", font.lfFaceName);
    json.endObject();
}

void writeLabelBlockJson(JsonWriter& json, const VAROINFO& label) {
    json.textField("volumeName", label.volumeName);
    json.textField("comment", label.comment);
    json.field("sortMode", label.sortMode);
    json.field("direction", label.direction);
    json.field("columns", label.columns);
    json.field("lined", label.lined);
    json.field("showSize", label.showSize);
    json.field("showExt", label.showExt);
    json.field("showComment", label.showComment);
    json.field("showLogo", label.showLogo);
    json.field("lblFmt", label.lblFmt);
    json.field("opposing", label.opposing);
    json.field("bodyBackColor", label.bodyBackColor);
    json.field("fileFontHeight", label.fileFontHeight);
    json.field("folderFontHeight", label.folderFontHeight);
    json.field("commentFontHeight", label.commentFontHeight);
    json.field("colorLogo", label.colorLogo);
    json.field("fileColor", label.fileColor);
    json.field("folderColor", label.folderColor);
    json.field("commentColor", label.commentColor);
    json.field("spineColor", label.spineColor);
    json.field("spineBackColor", label.spineBackColor);
    json.field("spineAlign", label.spineAlign);
    json.field("spaceUsed", label.spaceUsed);
    json.field("spaceFree", label.spaceFree);
    json.field("spaceTotal", label.spaceTotal);
    json.field("fileCount", label.fileCount);
    json.field("folderCount", label.folderCount);
    json.textField("shortDate", label.shortDate);
    json.textField("longDate", label.longDate);
    json.key("fileFont");
    writeFontJson(json, label.fileFont);
    json.key("folderFont");
    writeFontJson(json, label.folderFont);
    json.key("commentFont");
    writeFontJson(json, label.commentFont);
    json.key("spineFont");
    writeFontJson(json, label.spineFont);
    json.key("extStyles");
    json.beginArray();
    for (const ExtensionStyle& style : label.extStyles) {
        json.beginObject();
        json.textField("extension", style.extension);
        json.field("color", style.color);
        json.key("font");
        writeFontJson(json, style.font);
        json.endObject();
    }
    json.endArray();
}

void writeEntriesJson(JsonWriter& json, const VAROINFO& node) {
    json.beginArray();
    for (const FileEntry& entry : node.entries) {
        json.beginObject();
        json.textField("name", entry.name);
        json.textField("sizeText", entry.sizeText);
        json.field("size", entry.size);
        json.field("hasChild", entry.hasChild);
        json.field("open", entry.open);
        json.field("align", entry.align);
        if (entry.hasChild && entry.child) {
            json.key("entries");
            writeEntriesJson(json, *entry.child);
        }
        json.endObject();
    }
    json.endArray();
}

void writeObjectJson(JsonWriter& json, const PlacedObject& object) {
    json.beginObject();
    json.field("kind", object.kind);
    json.field("page", object.page);
    json.field("layer", object.layer);
    json.field("left", object.left);
    json.field("top", object.top);
    json.field("right", object.right);
    json.field("bottom", object.bottom);
    if (object.kind == OBJECT_STRING) {
        json.textField("text", object.text);
        json.key("font");
        writeFontJson(json, object.font);
        json.field("textColor", object.textColor);
        json.field("backColor", object.backColor);
        json.field("orientation", object.orientation);
        json.field("opaque", object.opaque);
        json.field("autoSize", object.autoSize);
        json.field("hAlign", object.hAlign);
        json.field("vAlign", object.vAlign);
    } else if (object.kind == OBJECT_IMAGE) {
        json.textField("imagePath", object.imagePath);
        json.key("fileHeader");
        json.beginObject();
        json.field("bfType", object.fileHeader.bfType);
        json.field("bfSize", object.fileHeader.bfSize);
        json.field("bfReserved1", object.fileHeader.bfReserved1);
        json.field("bfReserved2", object.fileHeader.bfReserved2);
        json.field("bfOffBits", object.fileHeader.bfOffBits);
        json.endObject();
        json.field("dibSize", object.dib.size());
        json.field("naturalLeft", object.naturalLeft);
        json.field("naturalTop", object.naturalTop);
        json.field("naturalRight", object.naturalRight);
        json.field("naturalBottom", object.naturalBottom);
    }
    json.endObject();
}

int runDump(const std::vector<std::string>& args, std::ostream& out) {
    const std::string path = takeSingleFile(args, "dump", "a FILE.PMB");
    VAROINFO label;
    const bool damaged = loadLabelInput(path, label);
    JsonWriter json(out);
    json.beginObject();
    writeLabelBlockJson(json, label);
    json.key("entries");
    writeEntriesJson(json, label);
    json.key("objects");
    json.beginArray();
    for (const PlacedObject& object : label.objects) {
        writeObjectJson(json, object);
    }
    json.endArray();
    json.endObject();
    json.finish();
    // What was read is printed all the same; the exit code tells scripts it is not all.
    return damaged ? 2 : 0;
}

} // namespace pelmora::cli
