#pragma once
// Printer calibration: how far a printer shifts the sheet and how much it stretches it, as the
// user measured on an alignment sheet. The print job moves and sizes everything it prints
// (faces, crop marks, borders) by the correction of the printer in use.

#include "platform/core/wintypes.h"

#include <string>
#include <vector>

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

struct PrinterIdentity;

constexpr double kMinCalibrationScale = 90.0;  // percent
constexpr double kMaxCalibrationScale = 110.0; // percent
constexpr double kMaxCalibrationOffset = 2.0;  // inches either way

struct Calibration {
    double offsetX = 0.0;  // inches; positive moves the sheet right
    double offsetY = 0.0;  // inches; positive moves the sheet down
    double scaleX = 100.0; // percent
    double scaleY = 100.0; // percent

    bool operator==(const Calibration&) const = default;
    bool isIdentity() const { return *this == Calibration{}; }
};

// The calibration with its offsets held within +-kMaxCalibrationOffset and its scales within
// kMinCalibrationScale..kMaxCalibrationScale; a value that is no number becomes the neutral one.
Calibration HeldCalibration(const Calibration& calibration);

// The name a calibration is stored under for a printer: "PDF" for every PDF file (the file
// name is no property of the printer), "CUPS:<name>" for a CUPS printer, the driver name for
// anything else.
std::string CalibrationKey(const PrinterIdentity& printer);
std::string CalibrationKey(const std::string& driver, const std::string& device);

// The stored calibrations, one per printer key.
struct CalibrationEntry {
    std::string printer;
    Calibration calibration;
};
using CalibrationTable = std::vector<CalibrationEntry>;

// The calibration stored for `key` (the neutral one when there is none).
Calibration FindCalibration(const CalibrationTable& table, const std::string& key);
// Stores `calibration` for `key`; the neutral calibration removes the entry.
void StoreCalibration(CalibrationTable& table, const std::string& key,
                      const Calibration& calibration);

// The bounds of what a sheet prints, in label units from the printable area's corner (y up),
// and the printable area's size in label units.
struct SheetExtent {
    RECT content{};          // left, top, right, bottom (bottom < top)
    std::int32_t width = 0;  // printable area, label units
    std::int32_t height = 0; // positive
};

// Applies a calibration to a DC for as long as it lives: the label mapping (SetLabelMapping)
// is stretched by the scales about the printable area's corner, and the viewport origin is
// moved by the offsets, held so that `extent`'s content stays on the printable area when it
// fitted there uncalibrated (a correction never pushes a face off the paper). Puts the DC's
// viewport origin and the mapping's stretch back at the end.
class CalibratedMapping {
public:
    CalibratedMapping(gdi::DeviceContext& dc, const Calibration& calibration,
                      const SheetExtent& extent);
    ~CalibratedMapping();
    CalibratedMapping(const CalibratedMapping&) = delete;
    CalibratedMapping& operator=(const CalibratedMapping&) = delete;

    // The offset in force after holding, inches.
    double heldOffsetX() const { return heldX_; }
    double heldOffsetY() const { return heldY_; }

private:
    gdi::DeviceContext& dc_;
    POINT savedOrigin_{};
    double savedScaleX_;
    double savedScaleY_;
    double heldX_ = 0;
    double heldY_ = 0;
};

// The stretch SetLabelMapping applies on top of the window scale (1.0 outside a calibrated
// print job).
double LabelMappingStretchX();
double LabelMappingStretchY();

} // namespace pelmora
