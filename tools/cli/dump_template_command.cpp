#include "tools/cli/dump_template_command.h"

#include "storage/template_file.h"
#include "tools/cli/arguments.h"
#include "tools/cli/dump_command.h"
#include "tools/cli/json_writer.h"

#include <iostream>

namespace pelmora::cli {
namespace {

void writeTemplateObjectJson(JsonWriter& json, const TemplateObject& object, int version) {
    json.beginObject();
    json.field("kind", object.kind);
    json.field("page", object.page);
    json.field("layer", object.layer);
    json.field("left", object.left);
    json.field("top", object.top);
    if (version > 16) { // the oldest layout keeps only an image's corner
        json.field("right", object.right);
        json.field("bottom", object.bottom);
    }
    if (object.kind == OBJECT_IMAGE) {
        json.field("imagePath", object.imagePath);
    } else {
        json.field("text", object.text);
        json.key("font");
        writeFontJson(json, object.font);
        json.field("textColor", object.textColor);
        json.field("backColor", object.backColor);
        json.field("orientation", object.orientation);
        json.field("opaque", object.opaque);
        json.field("autoSize", object.autoSize);
    }
    json.endObject();
}

} // namespace

int runDumpTemplate(const std::vector<std::string>& args, std::ostream& out) {
    const std::string path = takeSingleFile(args, "dump-template", "a FILE.PMT");
    const std::optional<std::string> bytes = loadTemplateBytes(path);
    if (!bytes) {
        throw InputError("cannot read " + path);
    }
    VAROINFO block;
    const TemplateContents contents = decodeTemplate(*bytes, block);
    if (contents.version == 0) {
        throw InputError(path + ": Template \"" + contents.firstLine + "\" Version Not Supported!");
    }
    if (!contents.problem.empty()) {
        std::cerr << "pelmora-cli: " << path << ": damaged at byte " << contents.problemOffset
                  << " (" << contents.problem << "); the rest is not read\n";
    }

    JsonWriter json(out);
    json.beginObject();
    json.field("version", contents.version);
    json.key("folders");
    json.beginArray();
    for (const TemplateFolderState& folder : contents.folders) {
        json.beginObject();
        json.field("depth", folder.depth);
        json.field("name", folder.name);
        json.field("open", folder.open);
        json.endObject();
    }
    json.endArray();
    if (contents.objectsRead) {
        json.field("objectCount", contents.storedObjectCount);
        json.key("objects");
        json.beginArray();
        for (const TemplateObject& object : contents.objects) {
            writeTemplateObjectJson(json, object, contents.version);
        }
        json.endArray();
    }
    if (contents.labelBlockStarted) {
        json.key("labelBlock");
        json.beginObject();
        writeLabelBlockJson(json, block);
        json.endObject();
    }
    json.endObject();
    json.finish();
    return 0;
}

} // namespace pelmora::cli
