#include "shell/object_editing.h"

#include "catalog/object_list.h"
#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "platform/ui/dialogs.h"
#include "render/geometry.h"
#include "render/text.h"
#include "resources/command_ids.h"
#include "shell/app.h"
#include "shell/main_window.h"
#include "shell/object_hit.h"
#include "shell/string_dialog.h"
#include "storage/document.h"
#include "storage/image_loader.h"
#include "storage/label_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace pelmora {
namespace {

constexpr const char* kImageTitle = "Select Image File...";
// The patterns after the caption are what the chooser matches; file names on Linux keep their
// case, so both spellings are listed.
constexpr const char* kImageFilter =
    "Image Files (*.BMP, *.JPG) (*.bmp *.jpg *.BMP *.JPG);;All Files (*.*)";
constexpr const char* kImageLoadFailure =
    "Couldn't load the image.\nFile may be corrupted, or extension incorrect.";
constexpr const char* kImageLoadCaption = "Image Load Failure...";
constexpr const char* kLabelFullCaption = "Label Full";

constexpr std::int32_t kMinimumSide = 10;

// Whether `object` may join the label: a label holds no more objects, and its file grows no
// larger, than the label file reader takes back. Says why not.
bool roomFor(const VAROINFO& label, const PlacedObject& object) {
    const std::string problem = objectAdditionProblem(label, object);
    if (problem.empty()) {
        return true;
    }
    reportMessage(mainWindowHandle(), problem, kLabelFullCaption, MB_OK | MB_ICONERROR);
    return false;
}

// A new string's outline before it is sized and centred: above the face's top edge.
constexpr RECT kNewStringOutline{100, 100, 200, 0};

// The look and text a new string gets: the string fields of PlacedObject.
struct StringBody {
    std::string text;
    LOGFONTA font{};
    COLORREF textColor = 0;
    COLORREF backColor = 0xFFFFFF;
    std::int32_t orientation = 0;
    std::int32_t opaque = 1;
    std::int32_t autoSize = 1;
    std::int32_t hAlign = 1;
    std::int32_t vAlign = 1;
};

// Carried from one inserted string to the next for the whole run; filled by the first insert.
std::optional<StringBody>& stringTemplate() {
    static std::optional<StringBody> body;
    return body;
}

StringBody bodyOf(const PlacedObject& object) {
    StringBody body;
    body.text.assign(object.text, strnlen(object.text, sizeof object.text));
    body.font = object.font;
    body.textColor = object.textColor;
    body.backColor = object.backColor;
    body.orientation = object.orientation;
    body.opaque = object.opaque;
    body.autoSize = object.autoSize;
    body.hAlign = object.hAlign;
    body.vAlign = object.vAlign;
    return body;
}

void giveBody(const StringBody& body, PlacedObject& object) {
    copyTruncatedUtf8(object.text, sizeof object.text, body.text.data(), body.text.size());
    object.font = body.font;
    object.textColor = body.textColor;
    object.backColor = body.backColor;
    object.orientation = body.orientation;
    object.opaque = body.opaque;
    object.autoSize = body.autoSize;
    object.hAlign = body.hAlign;
    object.vAlign = body.vAlign;
}

// Outlines are stored in 32 bits; a factor applied to a damaged file's natural size must not
// overflow them.
std::int32_t saturated(double value) {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(std::trunc(value), low, high));
}

std::int32_t saturatedSum(std::int64_t a, std::int64_t b) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        a + b, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Puts the selected object in the middle of its face, as the centring commands do.
void centreSelected(MainWindow& window) {
    window.sendCommand(CMD_CENTER_HORIZONTALLY);
    window.sendCommand(CMD_CENTER_VERTICALLY);
}

// The string's text as lines split at LF (a CR before it belongs to the break).
template <typename Visit> void forEachLine(std::string_view text, Visit visit) {
    std::size_t begin = 0;
    while (true) {
        const std::size_t feed = text.find('\n', begin);
        std::size_t end = feed == std::string_view::npos ? text.size() : feed;
        if (end > begin && text[end - 1] == '\r' && feed != std::string_view::npos) {
            --end;
        }
        visit(text.substr(begin, end - begin));
        if (feed == std::string_view::npos) {
            return;
        }
        begin = feed + 1;
    }
}

} // namespace

void AutoSizeString(const MainWindow& window, PlacedObject& object) {
    std::unique_ptr<gdi::DeviceContext> dc = window.screenContext();
    const int saved = dc->SaveDC();
    SetLabelMapping(*dc);
    dc->SetBkMode(gdi::OPAQUE);
    dc->SetTextColor(object.textColor);
    dc->SelectObject(gdi::CreateFontIndirect(object.font));

    const std::string_view text(object.text, strnlen(object.text, sizeof object.text));
    std::int64_t width = 0;
    std::int64_t lineHeight = 0;
    std::int64_t lines = 0;
    forEachLine(text, [&](std::string_view line) {
        SIZE size{};
        if (MeasureText(*dc, line.data(), static_cast<int>(line.size()), object.orientation,
                        &size) == 1) {
            width = std::max<std::int64_t>(width, size.cx);
            if (lines == 0) {
                lineHeight = size.cy;
            }
        }
        ++lines;
    });
    dc->RestoreDC(saved);

    width += object.font.lfItalic != 0 ? 15 : 5;
    std::int64_t height = lineHeight * lines + 5;
    if (object.orientation == 90 || object.orientation == 270) {
        std::swap(width, height);
    }
    object.right = saturatedSum(object.left, width);
    object.bottom = saturatedSum(object.top, -height);
}

void ScaleImage(PlacedObject& object, double factor) {
    if (object.kind != OBJECT_IMAGE) {
        return;
    }
    const double naturalWidth = static_cast<double>(object.naturalRight) - object.naturalLeft;
    const double naturalHeight = static_cast<double>(object.naturalBottom) - object.naturalTop;
    const std::int32_t width = std::max(saturated(factor * naturalWidth), kMinimumSide);
    const std::int32_t height = std::min(saturated(factor * naturalHeight), -kMinimumSide);
    object.left = std::max(object.left, 0);
    object.top = std::min(object.top, 0);
    object.right = saturatedSum(object.left, width);
    object.bottom = saturatedSum(object.top, height);
}

double MaximumAspectFactor(const PlacedObject& object) {
    const RECT body = GetTextRect(object.page);
    const double bodyWidth = std::abs(static_cast<double>(body.right) - body.left);
    const double bodyHeight = std::abs(static_cast<double>(body.bottom) - body.top);
    const double naturalWidth =
        std::abs(static_cast<double>(object.naturalRight) - object.naturalLeft);
    const double naturalHeight =
        std::abs(static_cast<double>(object.naturalBottom) - object.naturalTop);
    // A side of no natural length puts no limit on the factor.
    const double fx = naturalWidth > 0 ? bodyWidth / naturalWidth : HUGE_VAL;
    const double fy = naturalHeight > 0 ? bodyHeight / naturalHeight : HUGE_VAL;
    const double factor = fx < fy ? fx : fy;
    return std::isfinite(factor) ? factor : 1.0;
}

RECT FaceOutline(int position) {
    return RECT{0, 0, kFaceWidth, FaceHeight(theView.format, position)};
}

void ApplyDefaultStringStyle(const VAROINFO& label, PlacedObject& object) {
    object.font = label.spineFont;
    object.textColor = label.spineColor;
    object.backColor = RGB(255, 255, 255);
    object.orientation = 0;
    object.opaque = 1;
    object.autoSize = 1;
    object.hAlign = 1;
    object.vAlign = 1;
}

void InsertImage(App& app, MainWindow& window) {
    SelectPlacedObject(app, window, -1);
    const std::optional<std::string> path =
        ui::askOpenFileName(&window, kImageTitle, kImageFilter, app.settings.imagePath);
    if (!path) {
        return;
    }
    app.settings.imagePath = folderOfPath(*path);

    PlacedObject image;
    if (LoadImage(*path, image) != 1) {
        reportMessage(mainWindowHandle(), kImageLoadFailure, kImageLoadCaption,
                      MB_OK | MB_ICONERROR);
        return;
    }
    image.layer = LAYER_ABOVE;
    image.page = app.view.position;
    if (!roomFor(app.currentLabel(), image)) {
        return;
    }
    insertObjectAtFront(app.currentLabel(), std::move(image));
    app.currentLabel().layoutValid = 0; // the file list flows around it
    SelectPlacedObject(app, window, 0);
    centreSelected(window);
}

void InsertString(App& app, MainWindow& window) {
    VAROINFO& label = app.currentLabel();
    PlaceFace(app.view.zoomed, app.view.position, app.labels.currentLabelIndex, label);
    SelectPlacedObject(app, window, -1);

    std::optional<StringBody>& carried = stringTemplate();
    if (!carried) {
        PlacedObject look;
        ApplyDefaultStringStyle(label, look);
        carried = bodyOf(look);
        carried->text = kNewStringText;
    }
    PlacedObject string;
    string.kind = OBJECT_STRING;
    string.page = app.view.position;
    string.layer = LAYER_ABOVE;
    string.left = kNewStringOutline.left;
    string.top = kNewStringOutline.top;
    string.right = kNewStringOutline.right;
    string.bottom = kNewStringOutline.bottom;
    giveBody(*carried, string);
    if (!roomFor(label, string)) {
        return;
    }
    AutoSizeString(window, string);
    insertObjectAtFront(label, std::move(string));
    label.layoutValid = 0;
    SelectPlacedObject(app, window, 0);
    centreSelected(window);

    app.shell.openChooser = CHOOSER_STRING_FONT;
    const int result =
        StringEntry(&window, label, app.settings, [&window] { window.sendCommand(CMD_APPLY); });
    app.shell.openChooser = CHOOSER_NONE;

    if (result == 1) {
        PlacedObject& edited = label.objects.front();
        // Everything but the text and the sizing carries over to the next string.
        carried = bodyOf(edited);
        carried->text = kNewStringText;
        carried->autoSize = 1;
        if (edited.autoSize == 1) {
            AutoSizeString(window, edited);
        }
    } else {
        SelectPlacedObject(app, window, -1);
        removeFrontObject(label);
    }
    label.layoutValid = 0;
    window.updateMenuState();
    window.invalidateLabelArea();
}

void ForgetStringTemplate() {
    stringTemplate().reset();
}

void CopyPlacedObject(App& app, MainWindow& window) {
    VAROINFO& label = app.currentLabel();
    if (app.shell.selectedKind == SELECTED_NONE || label.objects.empty()) {
        return;
    }
    PlacedObject copy = copyObject(label.objects.front());
    if (!roomFor(label, copy)) {
        return;
    }
    SelectPlacedObject(app, window, -1);
    insertObjectAtFront(label, std::move(copy));
    label.layoutValid = 0;
    SelectPlacedObject(app, window, 0);
    centreSelected(window);
}

} // namespace pelmora
