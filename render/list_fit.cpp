#include "render/list_fit.h"

#include "render/file_list.h"
#include "render/label_format.h"
#include "render/styles.h"
#include "render/view_state.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace pelmora {

namespace {

std::int32_t heightOf(const LOGFONTA& font) {
    return font.lfHeight == std::numeric_limits<std::int32_t>::min() ? 0 : std::abs(font.lfHeight);
}

// The font at most `height` high; a smaller one is kept as it is. A width set by the user
// shrinks with the height.
LOGFONTA lowered(const LOGFONTA& font, std::int32_t height) {
    const std::int32_t current = heightOf(font);
    if (current <= height) {
        return font;
    }
    LOGFONTA result = font;
    result.lfHeight = font.lfHeight < 0 ? -height : height;
    result.lfWidth =
        static_cast<std::int32_t>(static_cast<double>(font.lfWidth) * height / current);
    return result;
}

} // namespace

ListFit MeasureListFit(VAROINFO& label) {
    ListFit fit;
    if (label.columns < 1) {
        return fit;
    }
    if (!label.layoutValid) {
        BuildDisplayLines(label);
    }
    fit.lines = label.lineCount;
    std::int64_t cells = 0;
    const int pages = pagesPerLabel(theView.format);
    for (int position = 1; position <= pages && cells < fit.lines; ++position) {
        cells += CountFreeCells(label, PlacedBodyRect(label, position, 1.0), 1.0, label.columns,
                                position);
    }
    fit.placed = std::min(fit.lines, cells);
    return fit;
}

std::string GroupedCount(std::int64_t count) {
    std::string digits = std::to_string(count < 0 ? -count : count);
    for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return count < 0 ? "-" + digits : digits;
}

std::string LeftOutText(const ListFit& fit, bool severalLabels) {
    return GroupedCount(fit.placed) + " of " + GroupedCount(fit.lines) +
           (fit.lines == 1 ? " line fits" : " lines fit") +
           (severalLabels ? " on the labels; " : " on the label; ") + GroupedCount(fit.leftOut()) +
           (fit.leftOut() == 1 ? " is" : " are") + " left out";
}

FitResult FitCatalog(VAROINFO& label, gdi::DeviceContext& ic) {
    FitResult result;
    result.fit = MeasureListFit(label);
    if (result.fit.leftOut() <= 0) {
        result.fits = true;
        return result;
    }
    const LOGFONTA fileFont = label.fileFont;
    const LOGFONTA folderFont = label.folderFont;
    const std::int32_t heights[] = {label.fileFontHeight, label.folderFontHeight,
                                    label.commentFontHeight};
    auto tryHeight = [&](std::int32_t height) {
        label.fileFont = lowered(fileFont, height);
        label.folderFont = lowered(folderFont, height);
        MeasureFontHeights(label, ic);
        return MeasureListFit(label);
    };

    // Fewer rows never come from a smaller font, so the heights that fit form one range from
    // the smallest up: a binary search finds its top.
    const std::int32_t start = std::max(heightOf(fileFont), heightOf(folderFont));
    std::int32_t low = kSmallestFitHeight; // candidates are low..high
    std::int32_t high = start - 1;
    std::int32_t best = 0;
    ListFit bestFit;
    while (low <= high) {
        const std::int32_t middle = low + (high - low) / 2;
        const ListFit fit = tryHeight(middle);
        if (fit.leftOut() <= 0) {
            best = middle;
            bestFit = fit;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    if (best > 0) {
        tryHeight(best);
        result.fits = true;
        result.changed = true;
        result.fit = bestFit;
        return result;
    }
    result.fit = tryHeight(std::min(start, kSmallestFitHeight));
    label.fileFont = fileFont;
    label.folderFont = folderFont;
    label.fileFontHeight = heights[0];
    label.folderFontHeight = heights[1];
    label.commentFontHeight = heights[2];
    return result;
}

} // namespace pelmora
