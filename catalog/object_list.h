#pragma once
// The objects placed on a label. Element 0 is the current object: selecting, inserting and
// copying all put an object at the front, and painting walks from the back so the front
// object ends up on top of its layer.

#include "catalog/records.h"

#include <cstddef>

namespace pelmora {

// The new object becomes element 0; the others move up by one.
void insertObjectAtFront(VAROINFO& label, PlacedObject object);

// Element `index` becomes element 0; elements 0..index-1 move up by one. An index past the
// end leaves the list alone and returns false.
bool moveObjectToFront(VAROINFO& label, std::size_t index);

// Drops element 0 (and its DIB block); the others move down by one. An empty list stays empty.
void removeFrontObject(VAROINFO& label);

// Drops every object and gives the list's memory back.
void releaseAllObjects(VAROINFO& label);

// An independent duplicate: an image gets its own DIB block, so the copy outlives the
// object it was made from.
PlacedObject copyObject(const PlacedObject& object);

} // namespace pelmora
