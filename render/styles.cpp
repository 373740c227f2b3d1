#include "render/styles.h"

#include "catalog/ordering.h"
#include "platform/gdi/device_context.h"
#include "render/text.h"
#include "render/view_state.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace pelmora {

int FindExtensionStyle(const VAROINFO& label, const char* name) {
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr) {
        return kNoExtensionStyle;
    }
    std::string_view extension(dot + 1);
    int found = kNoExtensionStyle;
    const std::size_t usable = std::min(label.extStyles.size(), kMaxExtensionStyles);
    for (std::size_t i = 0; i < usable; ++i) {
        const char* candidate = label.extStyles[i].extension;
        if (compareNoCase(extension, std::string_view(
                                         candidate, strnlen(candidate, kExtensionCapacity))) == 0) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

void MeasureFontHeights(VAROINFO& label, gdi::DeviceContext& ic) {
    label.fileFontHeight = MeasureFontHeight(ic, label.fileFont);
    label.folderFontHeight = MeasureFontHeight(ic, label.folderFont);
    label.commentFontHeight = MeasureFontHeight(ic, label.commentFont);
}

LOGFONTA DefaultElementFont(gdi::DeviceContext& windowDC, StyleElement element) {
    int tenths = element == StyleElement::Spine ? 140 : 80;
    int style = element == StyleElement::Folders ? FONT_BOLD : 0;
    LOGFONTA font;
    CreatePointFont(windowDC, "Arial", tenths, 0, style, 1, 0, &font);
    return font;
}

void SetDefaultElementFonts(VAROINFO& label, gdi::DeviceContext& windowDC, DefaultFonts which) {
    const struct {
        LOGFONTA& font;
        StyleElement element;
    } fonts[] = {{label.fileFont, StyleElement::Files},
                 {label.folderFont, StyleElement::Folders},
                 {label.commentFont, StyleElement::Comment},
                 {label.spineFont, StyleElement::Spine}};
    for (const auto& [font, element] : fonts) {
        if (which == DefaultFonts::All || font.lfHeight == -1) {
            font = DefaultElementFont(windowDC, element);
        }
    }
}

void ResetLabelFormat(VAROINFO& label, gdi::DeviceContext& windowDC, gdi::DeviceContext* ic) {
    // resetFormat's own fonts serve callers without a window (they agree at 96 dpi); the
    // program makes them on the window's DC, as at start-up.
    resetFormat(label, theView.windowScale);
    SetDefaultElementFonts(label, windowDC, DefaultFonts::All);
    if (ic != nullptr) {
        MeasureFontHeights(label, *ic);
    }
}

} // namespace pelmora
