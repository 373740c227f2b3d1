#pragma once
// The image targets' common end: a loaded picture must be one a label can keep, and it is
// painted as an object of a label, at full size and in the overview.

#include "catalog/placed_object.h"

namespace pelmora::fuzz {

// Breaks the run when the loader kept a block checkDib refuses; else paints it.
void paintLoadedPicture(PlacedObject&& picture);

} // namespace pelmora::fuzz
