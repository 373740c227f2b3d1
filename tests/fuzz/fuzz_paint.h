#pragma once
// Painting for the fuzz targets whose input ends up on a label: a QGuiApplication on the
// offscreen platform, and the faces of a label painted onto a small image the way the window,
// the command line and the print job paint them.

#include "catalog/records.h"
#include "render/paint_settings.h"
#include "render/print_settings.h"

namespace pelmora::fuzz {

// Once per process, before anything measures or paints text.
void startGui();

// Paints the front face and a continuation face at full size and a face of the overview,
// and the selection outline of the first placed object, with the display lines and line
// heights the label holds (as the command line's render does).
void paintLabel(VAROINFO& label, const PaintSettings& paint = PaintSettings{});

// Prints one sheet of `format` onto a small image, as the print job does.
void printSheet(LabelSet& labels, int format, const PrintSettings& print,
                const PaintSettings& paint);

} // namespace pelmora::fuzz
