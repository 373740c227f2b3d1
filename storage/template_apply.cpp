// Applying a template's contents to a label: folder states by name, placed objects with each
// picture file loaded once and held to what a label file carries back.

#include "platform/core/ascii.h"
#include "storage/label_file.h"
#include "storage/object_record.h"
#include "storage/template_file.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace pelmora {
namespace {

bool hasChildNode(const FileEntry& entry) {
    return entry.hasChild != 0 && entry.child != nullptr;
}

PlacedObject placedString(const TemplateObject& from) {
    PlacedObject object;
    object.kind = OBJECT_STRING;
    object.page = from.page;
    object.layer = from.layer;
    object.left = from.left;
    object.top = from.top;
    object.right = from.right;
    object.bottom = from.bottom;
    copyTruncatedUtf8(object.text, sizeof object.text, from.text.data(), from.text.size());
    object.font = from.font;
    object.textColor = from.textColor;
    object.backColor = from.backColor;
    object.orientation = from.orientation;
    object.opaque = from.opaque;
    object.autoSize = from.autoSize;
    object.hAlign = 0;
    object.vAlign = 0;
    return object;
}

std::string foldedName(const char* name) {
    std::string folded(name);
    for (char& c : folded) {
        c = asciiLower(c);
    }
    return folded;
}

// The first folder with contents of each name (A-Z folded) in one node, made when the node is
// first searched: a template of many folders is then applied in linear time.
class FolderIndex {
public:
    FileEntry* find(VAROINFO& node, const std::string& name) {
        auto [slot, made] = nodes_.try_emplace(&node);
        if (made) {
            for (FileEntry& entry : node.entries) {
                if (hasChildNode(entry)) {
                    slot->second.try_emplace(foldedName(entry.name), &entry);
                }
            }
        }
        auto found = slot->second.find(foldedName(name.c_str()));
        return found == slot->second.end() ? nullptr : found->second;
    }

private:
    std::unordered_map<const VAROINFO*, std::unordered_map<std::string, FileEntry*>> nodes_;
};

} // namespace

void applyFolderStates(const std::vector<TemplateFolderState>& folders, VAROINFO& label) {
    // nodes[d] is the node whose entries the records of depth d name. A record deeper than
    // the last node found lies inside a record that was skipped, and is skipped too.
    std::vector<VAROINFO*> nodes{&label};
    FolderIndex index;
    for (const TemplateFolderState& folder : folders) {
        const auto depth = static_cast<std::size_t>(folder.depth);
        if (folder.depth < 0 || depth >= nodes.size()) {
            continue;
        }
        nodes.resize(depth + 1);
        if (FileEntry* entry = index.find(*nodes[depth], folder.name)) {
            entry->open = folder.open;
            nodes.push_back(entry->child.get());
        }
    }
    label.layoutValid = 0;
}

TemplateObjectsApplied applyTemplateObjects(const TemplateContents& contents, VAROINFO& label,
                                            const TemplateImageLoader& load) {
    TemplateObjectsApplied applied;
    if (!contents.objectsRead) {
        return applied;
    }
    label.objects.clear();
    label.objects.shrink_to_fit();
    // The objects get what a label file has left beside the label block and the catalog (the
    // count line may grow by a few digits), and no more of them than it holds.
    constexpr std::uint64_t kCountLineGrowth = 16;
    const std::uint64_t taken = labelFileBytes(label) + kCountLineGrowth;
    std::uint64_t room = labelFileByteCap() > taken ? labelFileByteCap() - taken : 0;
    label.objects.reserve(std::min(contents.objects.size(), kMaxPlacedObjects));
    const auto fits = [&](std::uint64_t bytes) {
        if (label.objects.size() >= kMaxPlacedObjects || bytes > room) {
            ++applied.overLimit;
            return false;
        }
        room -= bytes;
        return true;
    };

    // Each picture file is read once, however many objects name it; kind 0 marks one that
    // did not load.
    std::unordered_map<std::string, PlacedObject> pictures;
    for (const TemplateObject& from : contents.objects) {
        if (from.kind == OBJECT_STRING) {
            if (fits(kObjectRecordBytes)) {
                label.objects.push_back(placedString(from));
            }
            continue;
        }
        auto [slot, first] = pictures.try_emplace(from.imagePath);
        if (first && load(from.imagePath, slot->second) == 0) {
            slot->second = PlacedObject{};
        }
        if (slot->second.kind != OBJECT_IMAGE) {
            ++applied.unloadable;
            continue;
        }
        if (!fits(kObjectRecordBytes + slot->second.dib.size())) {
            continue;
        }
        PlacedObject image = slot->second;
        image.kind = OBJECT_IMAGE;
        image.page = from.page;
        image.layer = from.layer;
        if (contents.version < kTemplateKindVersion) {
            // Only the corner was stored: the image keeps the size it loaded with.
            const std::int32_t width = image.right - image.left;
            const std::int32_t height = image.top - image.bottom;
            image.left = from.left;
            image.top = from.top;
            image.right = from.left + width;
            image.bottom = from.top - height;
        } else {
            image.left = from.left;
            image.top = from.top;
            image.right = from.right;
            image.bottom = from.bottom;
        }
        label.objects.push_back(std::move(image));
    }
    label.objects.shrink_to_fit();
    return applied;
}

} // namespace pelmora
