#pragma once
// Program-wide values the label painters read: the disk logo's two parts and the border
// style chosen in Printer Setup.

#include <cstddef>

namespace pelmora {

constexpr std::size_t kSpineInitialsCapacity = 64; // 63 characters + NUL
constexpr std::size_t kSpineNumberCapacity = 8;    // 7 characters + NUL
constexpr int kNoBorder = 5;

struct PaintSettings {
    char spineInitials[kSpineInitialsCapacity] = {};
    char spineNumber[kSpineNumberCapacity] = {};
    // 0..5: solid, dash, dot, dash-dot, dash-dot-dot, none.
    int borderIndex = 0;
};

extern PaintSettings thePaintSettings;

} // namespace pelmora
