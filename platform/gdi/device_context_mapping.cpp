// Device contexts: mapping modes, window and viewport extents and origins, and the conversion
// between logical and device coordinates.

#include "platform/gdi/dc_state.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace pelmora::gdi {

using namespace dc_detail;

// ---- mapping ----------------------------------------------------------------------------------

int DeviceContext::SetMapMode(int mode) {
    const int previous = state_->mapMode;
    switch (mode) {
    case MM_TEXT:
        state_->windowExt = SIZE{1, 1};
        state_->viewportExt = SIZE{1, 1};
        break;
    case MM_LOENGLISH:
        state_->windowExt = SIZE{100, 100};
        state_->viewportExt = SIZE{caps_.logPixelsX, -caps_.logPixelsY};
        break;
    case MM_ANISOTROPIC:
        break; // the extents in force stay until set
    default:
        return 0;
    }
    state_->mapMode = mode;
    return previous;
}

int DeviceContext::GetMapMode() const {
    return state_->mapMode;
}

bool DeviceContext::SetWindowExtEx(int x, int y, SIZE* previous) {
    if (previous != nullptr) {
        *previous = state_->windowExt;
    }
    if (state_->mapMode != MM_ANISOTROPIC) {
        return true; // ignored by the fixed mapping modes
    }
    if (x == 0 || y == 0) {
        return false;
    }
    state_->windowExt = SIZE{x, y};
    return true;
}

bool DeviceContext::SetViewportExtEx(int x, int y, SIZE* previous) {
    if (previous != nullptr) {
        *previous = state_->viewportExt;
    }
    if (state_->mapMode != MM_ANISOTROPIC) {
        return true;
    }
    if (x == 0 || y == 0) {
        return false;
    }
    state_->viewportExt = SIZE{x, y};
    return true;
}

bool DeviceContext::GetWindowExtEx(SIZE* extent) const {
    if (extent == nullptr) {
        return false;
    }
    *extent = state_->windowExt;
    return true;
}

bool DeviceContext::GetViewportExtEx(SIZE* extent) const {
    if (extent == nullptr) {
        return false;
    }
    *extent = state_->viewportExt;
    return true;
}

bool DeviceContext::SetWindowOrgEx(int x, int y, POINT* previous) {
    if (previous != nullptr) {
        *previous = state_->windowOrg;
    }
    state_->windowOrg = POINT{x, y};
    return true;
}

bool DeviceContext::SetViewportOrgEx(int x, int y, POINT* previous) {
    if (previous != nullptr) {
        *previous = state_->viewportOrg;
    }
    state_->viewportOrg = POINT{x, y};
    return true;
}

bool DeviceContext::GetWindowOrgEx(POINT* origin) const {
    if (origin == nullptr) {
        return false;
    }
    *origin = state_->windowOrg;
    return true;
}

bool DeviceContext::GetViewportOrgEx(POINT* origin) const {
    if (origin == nullptr) {
        return false;
    }
    *origin = state_->viewportOrg;
    return true;
}

bool DeviceContext::LPtoDP(POINT* points, int count) const {
    if (points == nullptr || count < 0) {
        return false;
    }
    const State& s = *state_;
    for (int i = 0; i < count; ++i) {
        // Integer division truncates toward zero, as the painters' own arithmetic does.
        const std::int64_t x = (static_cast<std::int64_t>(points[i].x) - s.windowOrg.x) *
                                   s.viewportExt.cx / s.windowExt.cx +
                               s.viewportOrg.x;
        const std::int64_t y = (static_cast<std::int64_t>(points[i].y) - s.windowOrg.y) *
                                   s.viewportExt.cy / s.windowExt.cy +
                               s.viewportOrg.y;
        points[i] = POINT{clampToInt32(x), clampToInt32(y)};
    }
    return true;
}

bool DeviceContext::DPtoLP(POINT* points, int count) const {
    if (points == nullptr || count < 0) {
        return false;
    }
    const State& s = *state_;
    for (int i = 0; i < count; ++i) {
        const std::int64_t x = (static_cast<std::int64_t>(points[i].x) - s.viewportOrg.x) *
                                   s.windowExt.cx / s.viewportExt.cx +
                               s.windowOrg.x;
        const std::int64_t y = (static_cast<std::int64_t>(points[i].y) - s.viewportOrg.y) *
                                   s.windowExt.cy / s.viewportExt.cy +
                               s.windowOrg.y;
        points[i] = POINT{clampToInt32(x), clampToInt32(y)};
    }
    return true;
}

int DeviceContext::SetGraphicsMode(int mode) {
    if (mode != GM_COMPATIBLE && mode != GM_ADVANCED) {
        return 0;
    }
    const int previous = state_->graphicsMode;
    state_->graphicsMode = mode;
    return previous;
}

int DeviceContext::GetGraphicsMode() const {
    return state_->graphicsMode;
}

bool DeviceContext::ModifyWorldTransform(int mode) {
    return mode == MWT_IDENTITY && state_->graphicsMode == GM_ADVANCED;
}

} // namespace pelmora::gdi
