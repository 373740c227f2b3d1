#include "platform/gdi/dib_placement.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pelmora::gdi {
namespace {

// Fractions of the source extent turned into fractions of the device extent, or back: a
// mirrored axis runs the other way.
void mirrored(bool mirror, double& from, double& to) {
    if (mirror) {
        std::tie(from, to) = std::pair(1 - to, 1 - from);
    }
}

int clampTo(double value, int low, int high) {
    return static_cast<int>(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
}

} // namespace

QRectF SourcePlacement::targetOf(const QRect& part) const {
    double x0 = static_cast<double>(part.left() - left) / width;
    double x1 = static_cast<double>(part.left() + part.width() - left) / width;
    double y0 = static_cast<double>(part.top() - top) / height;
    double y1 = static_cast<double>(part.top() + part.height() - top) / height;
    mirrored(mirrorX, x0, x1);
    mirrored(mirrorY, y0, y1);
    const double deviceWidth = static_cast<double>(device.right) - device.left;
    const double deviceHeight = static_cast<double>(device.bottom) - device.top;
    return QRectF(device.left + x0 * deviceWidth, device.top + y0 * deviceHeight,
                  (x1 - x0) * deviceWidth, (y1 - y0) * deviceHeight);
}

QRect SourcePlacement::sourceBehind(const QRectF& shown, const QRect& within) const {
    if (shown.isEmpty()) {
        return {};
    }
    const double deviceWidth = static_cast<double>(device.right) - device.left;
    const double deviceHeight = static_cast<double>(device.bottom) - device.top;
    double x0 = (shown.left() - device.left) / deviceWidth;
    double x1 = (shown.right() - device.left) / deviceWidth;
    double y0 = (shown.top() - device.top) / deviceHeight;
    double y1 = (shown.bottom() - device.top) / deviceHeight;
    mirrored(mirrorX, x0, x1);
    mirrored(mirrorY, y0, y1);
    const int l = clampTo(std::floor(left + x0 * width) - 1, within.left(), within.right() + 1);
    const int r = clampTo(std::ceil(left + x1 * width) + 1, within.left(), within.right() + 1);
    const int t = clampTo(std::floor(top + y0 * height) - 1, within.top(), within.bottom() + 1);
    const int b = clampTo(std::ceil(top + y1 * height) + 1, within.top(), within.bottom() + 1);
    return QRect(l, t, r - l, b - t);
}

} // namespace pelmora::gdi
