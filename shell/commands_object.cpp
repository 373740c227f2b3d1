// The Image and String menus: commands on the selected placed object (always element 0 of
// the current label's objects) and Enter. Each returns at once, without a repaint, when
// nothing of the right kind is selected.

#include "catalog/object_list.h"
#include "catalog/records.h"
#include "render/geometry.h"
#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"

namespace pelmora {
namespace {

// The selected object, or null when none is selected.
PlacedObject* selectedObject(App& app) {
    VAROINFO& label = app.currentLabel();
    if (app.shell.selectedKind == SELECTED_NONE || label.objects.empty()) {
        return nullptr;
    }
    return &label.objects.front();
}

// The face the object lies on, placed so that labelWidth and labelHeight are its size.
void placeObjectFace(App& app, const PlacedObject& object) {
    PlaceFace(app.view.zoomed, object.page, app.labels.currentLabelIndex, app.currentLabel());
}

} // namespace

void applyStringChooser(App&, MainWindow& window) {
    window.invalidateLabelArea();
}

void cmdInsertImage(App&, MainWindow&, int) {
    // Wired when the object editor exists.
}

void cmdInsertString(App&, MainWindow&, int) {
    // Wired when the String Entry dialog exists.
}

void cmdCopyObject(App&, MainWindow&, int) {
    // Wired with the object editor, together with inserting.
}

void cmdDeleteObject(App& app, MainWindow& window, int) {
    if (selectedObject(app) == nullptr) {
        return;
    }
    removeFrontObject(app.currentLabel()); // the image's pixels go with it
    app.shell.selectedKind = SELECTED_NONE;
    app.currentLabel().layoutValid = 0; // the list no longer flows around it
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdLayer(App& app, MainWindow& window, int id) {
    PlacedObject* object = selectedObject(app);
    if (object == nullptr) {
        return;
    }
    object->layer = id == CMD_LAYER_ABOVE ? LAYER_ABOVE
                    : id == CMD_LAYER_ON  ? LAYER_ON
                                          : LAYER_BELOW;
    app.currentLabel().layoutValid = 0; // only objects above the label push the list aside
    window.updateMenuState();
    window.invalidateLabelArea();
}

void cmdCenterHorizontally(App& app, MainWindow& window, int) {
    PlacedObject* object = selectedObject(app);
    if (object == nullptr) {
        return;
    }
    placeObjectFace(app, *object);
    const VAROINFO& label = app.currentLabel();
    const std::int32_t width = object->right - object->left;
    object->left = label.labelWidth / 2 - width / 2;
    object->right = object->left + width;
    app.currentLabel().layoutValid = 0;
    window.invalidateLabelArea();
}

void cmdCenterVertically(App& app, MainWindow& window, int) {
    PlacedObject* object = selectedObject(app);
    if (object == nullptr) {
        return;
    }
    placeObjectFace(app, *object);
    const std::int32_t faceHeight = app.currentLabel().labelHeight; // negative, y up
    const std::int32_t height = object->bottom - object->top;       // negative
    // On the front face an object at or below the top of the band above the spine is centred
    // on the spine strip, anything higher in the band above it.
    constexpr std::int32_t kSpineBandTop = 68;
    constexpr std::int32_t kSpineMiddle = 53;
    if (app.view.position == 1) {
        if (object->top <= faceHeight + kSpineBandTop) {
            object->top = faceHeight + kSpineMiddle - height / 2;
        } else {
            object->top = (faceHeight + kSpineBandTop) / 2 - height / 2;
        }
    } else {
        object->top = faceHeight / 2 - height / 2;
    }
    object->bottom = object->top + height;
    app.currentLabel().layoutValid = 0;
    window.invalidateLabelArea();
}

void cmdMakeBackground(App& app, MainWindow& window, int) {
    if (selectedObject(app) == nullptr) {
        return;
    }
    window.sendCommand(CMD_LAYER_BELOW);
    window.sendCommand(CMD_IMAGE_SIZE_TO_LABEL);
}

void cmdImageScale(App&, MainWindow&, int) {
    // Scaling and fitting images are wired with the object editor.
}

void cmdStringEdit(App&, MainWindow&, int) {
    // The string's text, font, colours, orientation, alignment and sizing are wired with the
    // String Entry dialog and the font chooser.
}

void cmdEnter(App& app, MainWindow& window, int) {
    switch (app.shell.selectedKind) {
    case SELECTED_STRING:
        window.postCommand(CMD_MODIFY_TEXT);
        break;
    case SELECTED_IMAGE:
        break;
    default:
        window.postCommand(CMD_READ_DISK);
        break;
    }
}

} // namespace pelmora
