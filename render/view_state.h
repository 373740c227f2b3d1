#pragma once
// What the window shows and how: the format, the current page, zoom, window scale, where the
// faces start and whether a print job is running. One program-wide value, read by the
// geometry, the text primitives and the painters.

#include "render/label_format.h"

#include <cstdint>

namespace pelmora {

constexpr std::int32_t kViewOriginX = 26;   // 0.26 in from the window's left edge
constexpr std::int32_t kViewOriginTop = -6; // viewOriginY before the toolbar is added

struct ViewState {
    LabelFormat format = ONE_LABEL;
    std::int32_t position = 1; // page of the current label, 1..4
    std::int32_t zoomed = 1;   // 1 one face at full size, 0 the half-size overview
    double windowScale = 1.0;  // 0.5, 0.75, 1.0, 1.25 or 1.5; 1.0 while printing
    std::int32_t viewOriginX = kViewOriginX;
    std::int32_t viewOriginY = kViewOriginTop; // -6 minus the toolbar height in label units
    std::int32_t printing = 0;                 // 1 from StartDoc until the job is done
    // Raised when the window scale changes (and around printing) so that the painter rebuilds
    // the cached logo fonts; the painter clears it.
    bool windowScaleChanged = true;
};

extern ViewState theView;

// Sets the window scale for as long as it lives and puts the old one back afterwards
// (printing runs at 1.0). Both changes raise windowScaleChanged.
class WindowScaleOverride {
public:
    explicit WindowScaleOverride(double scale);
    ~WindowScaleOverride();
    WindowScaleOverride(const WindowScaleOverride&) = delete;
    WindowScaleOverride& operator=(const WindowScaleOverride&) = delete;

private:
    double saved_;
};

} // namespace pelmora
