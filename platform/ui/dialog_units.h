#pragma once
// Dialog templates are laid out in dialog units of the dialog font: a horizontal unit is a
// quarter of the font's average character width, a vertical one an eighth of its height.
// The base units are measured on the font dialogs really draw with (QApplication::font()),
// so every dialog grows with the desktop's font and its texts keep fitting their controls.

#include <QRect>
#include <QSize>

class QFont;
class QWidget;

namespace pelmora::ui {

// The average character width and the height of a font in pixels.
struct DialogBaseUnits {
    int x = 0;
    int y = 0;
};

// The base units of `font`: the width of "A".."Z" and "a".."z" averaged over the 52 letters
// (rounded), and the font's height.
DialogBaseUnits measureDialogBaseUnits(const QFont& font);

// The base units of the application's font, measured on first use.
DialogBaseUnits dialogBaseUnits();

// Dialog units as pixels of the application's font, rounded to the nearest pixel.
int dluToPixelsX(int dlu);
int dluToPixelsY(int dlu);

inline QRect dluRect(int x, int y, int w, int h) {
    return QRect(dluToPixelsX(x), dluToPixelsY(y), dluToPixelsX(w), dluToPixelsY(h));
}

inline QSize dluSize(int w, int h) {
    return QSize(dluToPixelsX(w), dluToPixelsY(h));
}

// Widens a label, check box or radio button whose text needs more room than its template
// gives it (desktop fonts run wider than the one the templates were drawn for), at most up to
// the dialog-unit x `rightLimit` where the next control starts; never narrows it.
void widenToText(QWidget& control, int rightLimit);

} // namespace pelmora::ui
