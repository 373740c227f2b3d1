// Inserting images and strings, the Image and String menus' commands on the selected placed
// object (always element 0 of the current label's objects) and Enter. A command on the
// selection returns at once, without a repaint, when nothing of the right kind is selected.

#include "catalog/object_list.h"
#include "catalog/records.h"
#include "platform/ui/dialogs.h"
#include "render/geometry.h"
#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/object_editing.h"
#include "shell/string_dialog.h"

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

// The selected object when it is of `kind`, else null.
PlacedObject* selectedOfKind(App& app, int kind) {
    PlacedObject* object = selectedObject(app);
    return object != nullptr && object->kind == kind ? object : nullptr;
}

// The label shows the object's new shape: the file list flows around it again, the menus'
// check marks follow it.
void showObjectChange(App& app, MainWindow& window) {
    app.currentLabel().layoutValid = 0;
    window.updateMenuState();
    window.invalidateLabelArea();
}

void resizeIfAutomatic(const MainWindow& window, PlacedObject& string) {
    if (string.autoSize == 1) {
        AutoSizeString(window, string);
    }
}

void chooseStringFont(App& app, MainWindow& window, PlacedObject& string) {
    const LOGFONTA before = string.font;
    app.shell.openChooser = CHOOSER_STRING_FONT;
    const auto chosen = ui::chooseFont(
        &window, "Font", before, string.textColor,
        [&window, &string](const ui::FontChoice& choice) {
            string.font = choice.font;
            window.sendCommand(CMD_APPLY);
        },
        &app.settings.position(WindowName::Font));
    app.shell.openChooser = CHOOSER_NONE;
    string.font = chosen ? chosen->font : before;
    resizeIfAutomatic(window, string);
}

// A colour chooser on one of the string's colours; Cancel puts back the colour it had, even
// after the chooser's Apply showed another one. Returns whether a colour was chosen.
bool chooseStringColor(App& app, MainWindow& window, COLORREF& colour) {
    const COLORREF before = colour;
    app.shell.openChooser = CHOOSER_COLOR;
    const auto chosen = ui::chooseColor(
        &window, "Color", before, app.settings.customColors,
        [&window, &colour](COLORREF applied) {
            colour = applied;
            window.sendCommand(CMD_APPLY);
        },
        &app.settings.position(WindowName::Color));
    app.shell.openChooser = CHOOSER_NONE;
    colour = chosen.value_or(before);
    return chosen.has_value();
}

} // namespace

void applyStringChooser(App& app, MainWindow& window) {
    if (PlacedObject* string = selectedOfKind(app, OBJECT_STRING)) {
        resizeIfAutomatic(window, *string);
        app.currentLabel().layoutValid = 0;
    }
    window.invalidateLabelArea();
}

void cmdInsertImage(App& app, MainWindow& window, int) {
    InsertImage(app, window);
    window.invalidateLabelArea();
}

void cmdInsertString(App& app, MainWindow& window, int) {
    InsertString(app, window);
}

void cmdCopyObject(App& app, MainWindow& window, int) {
    if (selectedObject(app) == nullptr) {
        return;
    }
    CopyPlacedObject(app, window);
    showObjectChange(app, window);
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

void cmdImageScale(App& app, MainWindow& window, int id) {
    PlacedObject* image = selectedOfKind(app, OBJECT_IMAGE);
    if (image == nullptr) {
        return;
    }
    switch (id) {
    case CMD_IMAGE_SCALE_25:
        ScaleImage(*image, 0.25);
        break;
    case CMD_IMAGE_SCALE_50:
        ScaleImage(*image, 0.5);
        break;
    case CMD_IMAGE_SCALE_100:
        ScaleImage(*image, 1.0);
        break;
    case CMD_IMAGE_SCALE_150:
        ScaleImage(*image, 1.5);
        break;
    case CMD_IMAGE_SCALE_200:
        ScaleImage(*image, 2.0);
        break;
    case CMD_IMAGE_TRUE_SCALE:
        ScaleImage(*image, 100.0 / 72.0); // a 72-dpi picture at its printed size
        break;
    case CMD_IMAGE_SIZE_TO_BODY: {
        const RECT body = GetTextRect(image->page);
        image->left = body.left;
        image->top = body.top;
        image->right = body.right;
        image->bottom = body.bottom;
        break;
    }
    case CMD_IMAGE_SIZE_TO_LABEL: {
        const RECT face = FaceOutline(image->page);
        image->left = face.left;
        image->top = face.top;
        image->right = face.right;
        image->bottom = face.bottom;
        break;
    }
    case CMD_IMAGE_MAXIMUM_ASPECT:
        ScaleImage(*image, MaximumAspectFactor(*image));
        window.sendCommand(CMD_CENTER_HORIZONTALLY);
        window.sendCommand(CMD_CENTER_VERTICALLY);
        break;
    default:
        return;
    }
    showObjectChange(app, window);
}

void cmdStringEdit(App& app, MainWindow& window, int id) {
    PlacedObject* string = selectedOfKind(app, OBJECT_STRING);
    if (string == nullptr) {
        return;
    }
    switch (id) {
    case CMD_MODIFY_TEXT:
        app.shell.openChooser = CHOOSER_STRING_FONT;
        StringEntry(&window, app.currentLabel(), app.settings,
                    [&window] { window.sendCommand(CMD_APPLY); });
        app.shell.openChooser = CHOOSER_NONE;
        resizeIfAutomatic(window, *string);
        break;
    case CMD_STRING_FONT:
        chooseStringFont(app, window, *string);
        break;
    case CMD_STRING_COLOR:
        chooseStringColor(app, window, string->textColor);
        break;
    case CMD_STRING_BACK_SOLID: {
        // The solid background shows at once, while the colour is being chosen.
        const std::int32_t wasOpaque = string->opaque;
        string->opaque = 1;
        window.sendCommand(CMD_APPLY);
        if (!chooseStringColor(app, window, string->backColor)) {
            string->opaque = wasOpaque;
        }
        break;
    }
    case CMD_STRING_BACK_TRANSPARENT:
        string->opaque = 0;
        break;
    case CMD_STRING_AUTO_SIZE:
        string->autoSize = string->autoSize == 1 ? 0 : 1;
        resizeIfAutomatic(window, *string);
        break;
    case CMD_ORIENTATION_0:
    case CMD_ORIENTATION_90:
    case CMD_ORIENTATION_180:
    case CMD_ORIENTATION_270:
        string->orientation = (id - CMD_ORIENTATION_0) * 90;
        resizeIfAutomatic(window, *string);
        break;
    case CMD_STRING_ALIGN_LEFT:
    case CMD_STRING_ALIGN_HCENTER:
    case CMD_STRING_ALIGN_RIGHT:
        string->hAlign = id - CMD_STRING_ALIGN_LEFT;
        break;
    case CMD_STRING_ALIGN_TOP:
    case CMD_STRING_ALIGN_VCENTER:
    case CMD_STRING_ALIGN_BOTTOM:
        string->vAlign = id - CMD_STRING_ALIGN_TOP;
        break;
    default:
        return;
    }
    showObjectChange(app, window);
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
