#include "catalog/object_list.h"

#include <algorithm>
#include <utility>

namespace pelmora {

void insertObjectAtFront(VAROINFO& label, PlacedObject object) {
    label.objects.insert(label.objects.begin(), std::move(object));
}

bool moveObjectToFront(VAROINFO& label, std::size_t index) {
    if (index >= label.objects.size()) {
        return false;
    }
    const auto first = label.objects.begin();
    std::rotate(first, first + static_cast<std::ptrdiff_t>(index),
                first + static_cast<std::ptrdiff_t>(index) + 1);
    return true;
}

void removeFrontObject(VAROINFO& label) {
    if (label.objects.empty()) {
        return;
    }
    label.objects.erase(label.objects.begin());
    if (label.objects.empty()) {
        label.objects.shrink_to_fit();
    }
}

void releaseAllObjects(VAROINFO& label) {
    label.objects.clear();
    label.objects.shrink_to_fit();
}

PlacedObject copyObject(const PlacedObject& object) {
    // The DIB is held by value, so the member-wise copy already owns a block of its own.
    return object;
}

} // namespace pelmora
