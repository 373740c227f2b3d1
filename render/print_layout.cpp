#include "render/print_layout.h"

#include "platform/gdi/device_context.h"
#include "render/face_painter.h"
#include "render/geometry.h"
#include "render/view_state.h"

#include <cmath>

namespace pelmora {

namespace {

// The crop mark sets of the two faces of a two-label format: the first face is framed at the
// top, the second at the bottom.
constexpr unsigned kUpperFaceMarks =
    CROP_TOP_FROM_LEFT | CROP_TOP_FROM_RIGHT | CROP_LEFT_FROM_TOP | CROP_RIGHT_FROM_TOP;
constexpr unsigned kLowerFaceMarks =
    CROP_BOTTOM_FROM_RIGHT | CROP_BOTTOM_FROM_LEFT | CROP_RIGHT_FROM_BOTTOM | CROP_LEFT_FROM_BOTTOM;

POINT offset(POINT p, std::int32_t dx, std::int32_t dy) {
    return POINT{p.x + dx, p.y + dy};
}

// A placement far beyond any sheet (or no number at all) is held at a bound that still
// converts to label and device units without overflow; such a sheet simply prints blank.
constexpr double kFarthestPlacement = 1000.0; // inches

std::int32_t placementUnits(double inches, double unitsPerInch) {
    if (!(inches > -kFarthestPlacement)) {
        inches = std::isnan(inches) ? 0 : -kFarthestPlacement;
    } else if (inches > kFarthestPlacement) {
        inches = kFarthestPlacement;
    }
    return static_cast<std::int32_t>(inches * unitsPerInch);
}

} // namespace

POINT SheetOrigin(LabelFormat format, const PrintSettings& settings) {
    if (!settings.defaultPosition) {
        return POINT{placementUnits(settings.positionX, 100),
                     placementUnits(settings.positionY, -100)};
    }
    switch (format) {
    case ONE_LABEL:
        return POINT{100, -100};
    case FOUR_LABELS:
        return POINT{40, -70};
    case QUAD_LABEL:
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT:
        break;
    }
    return POINT{20, -125};
}

std::vector<SheetFace> ArrangeSheet(LabelFormat format, std::int32_t currentLabel,
                                    const PrintSettings& settings) {
    const POINT p = SheetOrigin(format, settings);
    const std::int32_t sep = settings.separate ? kLabelSeparation : 0;
    const std::int32_t current = clampLabelIndex(format, currentLabel);
    std::vector<SheetFace> faces;
    switch (format) {
    case ONE_LABEL:
        faces.push_back({current, 1, p, kAllCropMarks});
        break;
    case QUAD_LABEL:
        // Folded, page 3 lies behind page 2 and page 4 behind page 1.
        faces.push_back({current, 3, p, CROP_TOP_FROM_LEFT | CROP_LEFT_FROM_TOP});
        faces.push_back(
            {current, 2, offset(p, kFaceWidth, 0), CROP_TOP_FROM_RIGHT | CROP_RIGHT_FROM_TOP});
        faces.push_back({current, 4, offset(p, 0, kContinuationFaceHeight),
                         CROP_BOTTOM_FROM_LEFT | CROP_LEFT_FROM_BOTTOM});
        faces.push_back({current, 1, offset(p, kFaceWidth, kContinuationFaceHeight),
                         CROP_BOTTOM_FROM_RIGHT | CROP_BOTTOM_FROM_LEFT | CROP_RIGHT_FROM_BOTTOM |
                             CROP_LEFT_FROM_BOTTOM});
        break;
    case TWO_FOLD_AROUND:
    case TWO_FOLD_OUT: {
        // The second face hangs under the first; fold-out puts the spine at the bottom.
        const std::int32_t first = format == TWO_FOLD_OUT ? 2 : 1;
        const std::int32_t second = format == TWO_FOLD_OUT ? 1 : 2;
        const std::int32_t w1 = kFaceWidth;
        const std::int32_t h1 = FaceHeight(format, first);
        faces.push_back({0, first, p, kUpperFaceMarks});
        faces.push_back({0, second, offset(p, 0, h1), kLowerFaceMarks});
        faces.push_back({1, first, offset(p, w1 + sep, 0), kUpperFaceMarks});
        faces.push_back({1, second, offset(p, w1 + sep, h1), kLowerFaceMarks});
        break;
    }
    case FOUR_LABELS: {
        const std::int32_t across = kFaceWidth + sep;
        const std::int32_t down = kFrontFaceHeight - sep;
        faces.push_back({0, 1, p, kAllCropMarks});
        faces.push_back({1, 1, offset(p, across, 0), kAllCropMarks});
        faces.push_back({2, 1, offset(p, 0, down), kAllCropMarks});
        faces.push_back({3, 1, offset(p, across, down), kAllCropMarks});
        break;
    }
    }
    return faces;
}

void DrawCropMarks(gdi::DeviceContext& dc, const VAROINFO& label, double paperWidth,
                   double paperHeight, unsigned markSet) {
    static const gdi::HPEN hairline = gdi::CreatePen(gdi::PS_SOLID, 0, RGB(0, 0, 0));
    const int previousMode = SetLabelMapping(dc);
    gdi::HPEN previousPen = dc.SelectObject(hairline);
    const int previousBk = dc.SetBkMode(gdi::OPAQUE);

    const int wx = static_cast<int>(paperWidth * 100);
    const int hy = static_cast<int>(paperHeight * -100);
    const int left = label.labelLeft;
    const int top = label.labelTop;
    const int right = label.labelLeft + label.labelWidth;
    const int bottom = label.labelTop + label.labelHeight;
    constexpr int kMarkLength = 100;

    auto line = [&](unsigned bit, int x1, int y1, int x2, int y2) {
        if (markSet & bit) {
            dc.MoveToEx(x1, y1);
            dc.LineTo(x2, y2);
        }
    };
    line(CROP_TOP_FROM_LEFT, 0, top, kMarkLength, top);
    line(CROP_TOP_FROM_RIGHT, wx, top, wx - kMarkLength, top);
    line(CROP_BOTTOM_FROM_RIGHT, wx, bottom, wx - kMarkLength, bottom);
    line(CROP_BOTTOM_FROM_LEFT, 0, bottom, kMarkLength, bottom);
    line(CROP_LEFT_FROM_TOP, left, 0, left, -kMarkLength);
    line(CROP_RIGHT_FROM_TOP, right, 0, right, -kMarkLength);
    line(CROP_RIGHT_FROM_BOTTOM, right, hy, right, hy + kMarkLength);
    line(CROP_LEFT_FROM_BOTTOM, left, hy, left, hy + kMarkLength);

    dc.SetBkMode(previousBk);
    dc.SelectObject(previousPen);
    dc.SetMapMode(previousMode);
}

void PrintSheet(gdi::DeviceContext& dc, LabelSet& labels, const std::vector<SheetFace>& faces,
                bool cropMarks, double paperWidth, double paperHeight) {
    for (const SheetFace& face : faces) {
        VAROINFO& label = labels.labels[static_cast<std::size_t>(face.labelIndex)];
        PlaceFace(1, face.position, face.labelIndex, label);
        label.labelLeft = face.topLeft.x;
        label.labelTop = face.topLeft.y;
        PaintFace(dc, 1, face.position, label);
        if (cropMarks) {
            DrawCropMarks(dc, label, paperWidth, paperHeight, face.cropMarks);
        }
    }
}

} // namespace pelmora
