#pragma once
// Element styles of a label: the default fonts, the measured line heights the file-list
// layout relies on, and the lookup of extension styles.

#include "catalog/records.h"
#include "platform/core/wintypes.h"

#include <cstdint>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// FindExtensionStyle's answer for "no style".
constexpr int kNoExtensionStyle = 255;
static_assert(kMaxExtensionStyles == kNoExtensionStyle, "every style index fits below 'none'");

// The index of the extension style for an entry name: the text after the last '.', compared
// ASCII case-insensitively with every style's extension (only the first kMaxExtensionStyles
// count); the last match wins. No '.' or no match gives kNoExtensionStyle.
int FindExtensionStyle(const VAROINFO& label, const char* name);

// Sets fileFontHeight, folderFontHeight and commentFontHeight to the tmHeight of the element
// fonts on `ic` (the printer's information context, in its default mapping, so the heights
// are in the fonts' own lfHeight units).
void MeasureFontHeights(VAROINFO& label, gdi::DeviceContext& ic);

enum class StyleElement { Files, Folders, Comment, Spine };

// The default font of an element: Arial 8 pt (folders bold) or 14 pt for the spine, made by
// CreatePointFont with logical resolution on a window DC in its default mapping at the current
// window scale. At 96 dpi that is lfHeight -11 and -19 at scale 1.0, -16 and -28 at 1.5.
LOGFONTA DefaultElementFont(gdi::DeviceContext& windowDC, StyleElement element);

// Which element fonts SetDefaultElementFonts replaces: all four, or only those whose lfHeight
// is -1, the mark the settings store leaves on a font it holds no value for.
enum class DefaultFonts { All, Unset };

// Gives the label's element fonts their defaults, made on `windowDC` (the window's DC in its
// default mapping, device pixels). Start-up and "Reset To Defaults" both come here, so a reset
// gives the fonts a first start gives at the same window scale.
void SetDefaultElementFonts(VAROINFO& label, gdi::DeviceContext& windowDC, DefaultFonts which);

// "Reset To Defaults" for one label: the catalog's reset of the format group, then the four
// element fonts made on `windowDC` (in its default mapping); with an information context the
// line heights are measured again.
void ResetLabelFormat(VAROINFO& label, gdi::DeviceContext& windowDC,
                      gdi::DeviceContext* ic = nullptr);

} // namespace pelmora
