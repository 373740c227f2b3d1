#pragma once
// Paints one face of a label: backgrounds, objects below the label, spine with logo and
// spine text, the file list, objects on and above the label, and the border.

#include "catalog/records.h"

namespace pelmora::gdi {
class DeviceContext;
}

namespace pelmora {

// The caller has placed the face (PlaceFace). zoomed 1 paints at full size (also printing),
// 0 at half size for the overview.
void PaintFace(gdi::DeviceContext& dc, int zoomed, int position, VAROINFO& label);

void PaintBackgrounds(gdi::DeviceContext& dc, double s, const VAROINFO& label, int position);
void PaintLabelContent(gdi::DeviceContext& dc, double s, VAROINFO& label, int position);
void PaintBorder(gdi::DeviceContext& dc, const VAROINFO& label, double s);

// The spine strip of a placed face at paint scale s.
RECT SpineRect(const VAROINFO& label, double s);

} // namespace pelmora
