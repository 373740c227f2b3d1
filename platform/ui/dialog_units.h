#pragma once
// Dialog templates are laid out in dialog units of the dialog font ("MS Sans Serif" 8 point):
// a horizontal unit is a quarter of the font's average character width, a vertical one an
// eighth of its height. At 96 dpi that font's base units are 6 by 13 pixels.

#include <QRect>
#include <QSize>

namespace pelmora::ui {

constexpr int kDialogBaseUnitX = 6;
constexpr int kDialogBaseUnitY = 13;

constexpr int dluToPixelsX(int dlu) {
    return dlu * kDialogBaseUnitX / 4;
}
constexpr int dluToPixelsY(int dlu) {
    return dlu * kDialogBaseUnitY / 8;
}

inline QRect dluRect(int x, int y, int w, int h) {
    return QRect(dluToPixelsX(x), dluToPixelsY(y), dluToPixelsX(w), dluToPixelsY(h));
}

inline QSize dluSize(int w, int h) {
    return QSize(dluToPixelsX(w), dluToPixelsY(h));
}

} // namespace pelmora::ui
