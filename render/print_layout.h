#pragma once
// The printed sheet: which faces of which labels a format puts on one page, where each one's
// top-left corner goes, which crop marks frame it, and the painting of one page.
//
// Sheet coordinates are label units (0.01 inch, y up) from the top-left corner of the
// printer's printable area.

#include "catalog/records.h"
#include "platform/core/wintypes.h"
#include "render/label_format.h"
#include "render/print_settings.h"

#include <cstdint>
#include <vector>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// Crop mark bits: each is a one-inch line from the edge of the printable area toward the
// face, in line with one of its edges.
enum CropMark : unsigned {
    CROP_TOP_FROM_LEFT = 1,
    CROP_TOP_FROM_RIGHT = 2,
    CROP_BOTTOM_FROM_RIGHT = 4,
    CROP_BOTTOM_FROM_LEFT = 8,
    CROP_LEFT_FROM_TOP = 16,
    CROP_RIGHT_FROM_TOP = 32,
    CROP_RIGHT_FROM_BOTTOM = 64,
    CROP_LEFT_FROM_BOTTOM = 128,
};
constexpr unsigned kAllCropMarks = 255;

// The gap the "Space Between Labels" option leaves between labels.
constexpr std::int32_t kLabelSeparation = 6;

// One face on the sheet, in printing order.
struct SheetFace {
    std::int32_t labelIndex = 0;
    std::int32_t position = 1;
    POINT topLeft{};
    unsigned cropMarks = 0;
};

// The top-left corner of the arrangement: the format's own place, or the user's X and Y
// (inches, truncated to label units) when the default position is off.
POINT SheetOrigin(LabelFormat format, const PrintSettings& settings);

// Every face the format prints, in order. `currentLabel` is the label the one-label kinds
// print.
std::vector<SheetFace> ArrangeSheet(LabelFormat format, std::int32_t currentLabel,
                                    const PrintSettings& settings);

// Draws the crop marks `markSet` of a placed face on a sheet of paperWidth x paperHeight
// inches, with a black hairline. Every DC setting it changes is restored.
void DrawCropMarks(gdi::DeviceContext& dc, const VAROINFO& label, double paperWidth,
                   double paperHeight, unsigned markSet);

// Paints one page: every face of `faces` placed (PlaceFace) and moved to its sheet position,
// painted at full size, then given its crop marks when `cropMarks` is on. The labels keep the
// sheet placement of their last face.
void PrintSheet(gdi::DeviceContext& dc, LabelSet& labels, const std::vector<SheetFace>& faces,
                bool cropMarks, double paperWidth, double paperHeight);

} // namespace pelmora
