#pragma once
// The label formats: how many labels a format uses and how many faces (positions) each of
// them has.

#include <cstdint>

namespace pelmora {

// Stored under the settings key "Labels" as its code.
enum LabelFormat : std::int32_t {
    ONE_LABEL = 10,
    QUAD_LABEL = 11,
    TWO_FOLD_AROUND = 20,
    TWO_FOLD_OUT = 21,
    FOUR_LABELS = 22,
};

constexpr bool isLabelFormat(std::int32_t code) {
    return code == ONE_LABEL || code == QUAD_LABEL || code == TWO_FOLD_AROUND ||
           code == TWO_FOLD_OUT || code == FOUR_LABELS;
}

// The two kinds with two double-length labels.
constexpr bool isTwoLabelFormat(LabelFormat format) {
    return format == TWO_FOLD_AROUND || format == TWO_FOLD_OUT;
}

// How many of the four label records the format uses.
constexpr int labelsInFormat(LabelFormat format) {
    switch (format) {
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT:
        return 2;
    case FOUR_LABELS:
        return 4;
    default:
        return 1;
    }
}

// How many faces (positions 1..n) each label of the format has.
constexpr int pagesPerLabel(LabelFormat format) {
    switch (format) {
    case QUAD_LABEL:
        return 4;
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT:
        return 2;
    default:
        return 1;
    }
}

// A label index made valid for the format: 0 for the one-label kinds, at most 1 for the
// two-label kinds, at most 3 for FOUR_LABELS. Negative indexes become 0.
constexpr std::int32_t clampLabelIndex(LabelFormat format, std::int32_t index) {
    std::int32_t last = labelsInFormat(format) - 1;
    if (index < 0) {
        return 0;
    }
    return index > last ? last : index;
}

} // namespace pelmora
