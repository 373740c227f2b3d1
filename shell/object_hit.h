#pragma once
// Hit testing and resizing of the objects placed on a label. Points are face-relative label
// units, already doubled in the overview, against the latest PlaceFace of the label.

#include "catalog/placed_object.h"
#include "catalog/records.h"
#include "platform/core/wintypes.h"

namespace pelmora {

struct App;
class MainWindow;

// Selects object `index` of the current label (-1 drops the selection): it moves to element 0
// and selectedKind follows its kind. The outlines that change are repainted.
void SelectPlacedObject(App& app, MainWindow& window, int index);

// The object on page `position` under (x, y): layer above first, then on, then below, each in
// list order. -1 when there is none.
int HitTestObjects(const VAROINFO& label, int position, int x, int y);

// The resize handle of element 0 under (x, y): 0 top-left, 1 top-right, 2 bottom-left,
// 3 bottom-right, 4 top middle, 5 bottom middle, 6 left middle, 7 right middle; -1 for none
// and always for a string that sizes itself. Handles are 8 units wide zoomed, 16 in the
// overview.
int HitTestHandles(const VAROINFO& label, int zoomed, int x, int y);

// The grab offset of a resize drag: from the pointer to the handle's reference point.
POINT HandleOffset(const RECT& outline, int x, int y, int handle);

// Moves the edges `handle` drags to (x, y), clamped to the face (width w, height h < 0) and
// keeping the object at least 10 units wide and high.
void ResizeByHandle(int handle, PlacedObject& object, int x, int y, int w, int h);

} // namespace pelmora
