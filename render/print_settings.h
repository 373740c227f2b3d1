#pragma once
// Where and how the sheet is printed: crop marks, space between labels, the format's own place
// or the user's, and the paper the printer was last set up with. One program-wide value kept
// by the settings store. The border style lives with the painters (PaintSettings::borderIndex)
// and the printer's identity with the printer (PrinterIdentity).

#include <cstdint>

namespace pelmora {

struct PrintSettings {
    std::int32_t cropMarks = 0;       // draw crop marks
    std::int32_t separate = 0;        // leave space between the labels
    std::int32_t defaultPosition = 1; // place the sheet at the format's own position
    double positionX = 1.0;           // inches; the user's position when defaultPosition is 0
    double positionY = 1.0;
    std::int32_t orientation = 1; // 1 portrait, 2 landscape
    std::int32_t paperSize = -1;  // the printer's paper size code; -1 none chosen

    // Carried from one run to the next unchanged; nothing else reads them.
    std::int32_t multiPage = 0;
    double secondPositionX = 2.0; // inches
    double secondPositionY = 5.6;
    double sideMargin = 0.1;
};

} // namespace pelmora
