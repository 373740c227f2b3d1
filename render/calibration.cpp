#include "render/calibration.h"

#include "platform/gdi/device_context.h"
#include "render/printer.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

namespace pelmora {

namespace {

double gStretchX = 1.0;
double gStretchY = 1.0;

double held(double value, double low, double high, double neutral) {
    if (std::isnan(value)) {
        return neutral;
    }
    return std::clamp(value, low, high);
}

// The offset (label units) that keeps [low, high] moved by it inside [0, limit], when the span
// fits there without moving; otherwise the offset as asked.
double heldShift(double shift, double low, double high, double limit) {
    if (low < 0 || high > limit) {
        return shift;
    }
    return std::clamp(shift, -low, limit - high);
}

} // namespace

Calibration HeldCalibration(const Calibration& c) {
    return Calibration{
        held(c.offsetX, -kMaxCalibrationOffset, kMaxCalibrationOffset, 0.0),
        held(c.offsetY, -kMaxCalibrationOffset, kMaxCalibrationOffset, 0.0),
        held(c.scaleX, kMinCalibrationScale, kMaxCalibrationScale, 100.0),
        held(c.scaleY, kMinCalibrationScale, kMaxCalibrationScale, 100.0),
    };
}

std::string CalibrationKey(const std::string& driver, const std::string& device) {
    if (strcasecmp(driver.c_str(), "PDF") == 0) {
        return "PDF";
    }
    if (strcasecmp(driver.c_str(), "CUPS") == 0) {
        return "CUPS:" + device;
    }
    return driver;
}

std::string CalibrationKey(const PrinterIdentity& printer) {
    return CalibrationKey(printer.driver, printer.device);
}

Calibration FindCalibration(const CalibrationTable& table, const std::string& key) {
    for (const CalibrationEntry& entry : table) {
        if (entry.printer == key) {
            return HeldCalibration(entry.calibration);
        }
    }
    return Calibration{};
}

void StoreCalibration(CalibrationTable& table, const std::string& key,
                      const Calibration& calibration) {
    const Calibration value = HeldCalibration(calibration);
    auto found = std::find_if(table.begin(), table.end(),
                              [&key](const CalibrationEntry& e) { return e.printer == key; });
    if (value.isIdentity()) {
        if (found != table.end()) {
            table.erase(found);
        }
        return;
    }
    if (found != table.end()) {
        found->calibration = value;
    } else {
        table.push_back({key, value});
    }
}

CalibratedMapping::CalibratedMapping(gdi::DeviceContext& dc, const Calibration& calibration,
                                     const SheetExtent& extent)
    : dc_(dc), savedScaleX_(gStretchX), savedScaleY_(gStretchY) {
    const Calibration c = HeldCalibration(calibration);
    const double sx = c.scaleX / 100.0;
    const double sy = c.scaleY / 100.0;
    dc.GetViewportOrgEx(&savedOrigin_);
    gStretchX = savedScaleX_ * sx;
    gStretchY = savedScaleY_ * sy;

    // In label units, x to the right and y downward from the printable area's corner.
    const double dx = heldShift(c.offsetX * 100, extent.content.left * sx,
                                extent.content.right * sx, extent.width);
    const double dy = heldShift(c.offsetY * 100, -extent.content.top * sy,
                                -extent.content.bottom * sy, extent.height);
    heldX_ = dx / 100;
    heldY_ = dy / 100;
    const int px = static_cast<int>(std::lround(heldX_ * dc.GetDeviceCaps(gdi::LOGPIXELSX)));
    const int py = static_cast<int>(std::lround(heldY_ * dc.GetDeviceCaps(gdi::LOGPIXELSY)));
    dc.SetViewportOrgEx(savedOrigin_.x + px, savedOrigin_.y + py);
}

CalibratedMapping::~CalibratedMapping() {
    dc_.SetViewportOrgEx(savedOrigin_.x, savedOrigin_.y);
    gStretchX = savedScaleX_;
    gStretchY = savedScaleY_;
}

double LabelMappingStretchX() {
    return gStretchX;
}

double LabelMappingStretchY() {
    return gStretchY;
}

} // namespace pelmora
