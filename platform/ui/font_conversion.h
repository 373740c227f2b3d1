#pragma once
// Font records (LOGFONTA) and Qt fonts, for the font chooser. A record's lfHeight counts units
// of `unitsPerInch` (96 for the screen's pixels, a printer's dots per inch, ...): negative is
// the character height, positive the cell height, which is taken as the character height.

#include "platform/core/wintypes.h"

#include <QFont>

namespace pelmora::ui {

// The Qt font of a record: face, point size, weight (0 is normal), italic, underline and
// strike-out.
QFont toQFont(const LOGFONTA& font, int unitsPerInch);

// The record of a Qt font. What a QFont does not carry (width, escapement, orientation,
// character set, precisions, quality, pitch) comes from `base`, and so does every value the Qt
// font gives with the same meaning as base's: a height of the same size keeps its sign and
// exact units, a normal weight stays 0, a face that resolves to the chosen family keeps its
// name. A record that goes through a chooser unchanged therefore comes back byte for byte.
LOGFONTA toLogFont(const QFont& font, int unitsPerInch, const LOGFONTA& base);

// The family a font chooser can list for a record's face: the face itself when the font
// database knows it, else the installed family it resolves to ("Arial" may be served by
// another family of the same metrics).
QString listedFamily(const LOGFONTA& font);

} // namespace pelmora::ui
