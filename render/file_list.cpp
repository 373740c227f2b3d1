#include "render/file_list.h"

#include "catalog/comment_macros.h"
#include "platform/gdi/device_context.h"
#include "render/geometry.h"
#include "render/styles.h"
#include "render/text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace pelmora {
namespace {

using gdi::DeviceContext;

// Truncates toward zero; a value beyond the int range (line heights and extents come from
// files) is held at its end instead of being undefined.
int trunc(double v) {
    if (!(v > std::numeric_limits<int>::min())) {
        return std::isnan(v) ? 0 : std::numeric_limits<int>::min();
    }
    return v < std::numeric_limits<int>::max() ? static_cast<int>(v)
                                               : std::numeric_limits<int>::max();
}

std::size_t countTree(const VAROINFO& node) {
    std::size_t count = 0;
    for (const FileEntry& entry : node.entries) {
        ++count;
        if (entry.hasChild && entry.child) {
            count += countTree(*entry.child);
        }
    }
    return count;
}

void walk(VAROINFO& label, const VAROINFO& node, int depth, std::uint32_t mask) {
    const std::size_t last = node.entries.size() - 1;
    for (std::size_t i = 0; i < node.entries.size(); ++i) {
        const FileEntry& entry = node.entries[i];
        const bool isLast = i == last;
        label.lineTreeMasks.push_back(mask);
        label.lineDepths.push_back(static_cast<std::int8_t>(isLast ? -depth : depth));
        label.lineEntries.push_back(&entry);
        const char* dot = std::strrchr(entry.name, '.');
        label.lineStemLengths.push_back(
            static_cast<std::uint8_t>(dot ? dot - entry.name : std::strlen(entry.name)));
        label.lineStyleIndexes.push_back(
            static_cast<std::uint8_t>(FindExtensionStyle(label, entry.name)));
        // Depths stay far below the 127 of a signed byte (scan levels plus archive paths of
        // names cut to 63 bytes); the mask only has room for 32 levels.
        if (entry.hasChild && entry.child && entry.open && depth < 126) {
            std::uint32_t childMask = mask;
            if (!isLast && depth < 32) {
                childMask |= 1u << depth;
            }
            walk(label, *entry.child, depth + 1, childMask);
        }
    }
}

// The scaled fonts of one paint, made once and released at the end.
struct ListFonts {
    gdi::HFONT file;
    gdi::HFONT folder;
    gdi::HFONT comment;
    std::vector<gdi::HFONT> extensions;

    static gdi::HFONT scaled(LOGFONTA font, double s) {
        font.lfHeight = trunc(font.lfHeight * s);
        font.lfWidth = trunc(font.lfWidth * s);
        font.lfEscapement = 0;
        return gdi::CreateFontIndirect(font);
    }

    ListFonts(const VAROINFO& label, double s)
        : file(scaled(label.fileFont, s)), folder(scaled(label.folderFont, s)),
          comment(scaled(label.commentFont, s)) {
        for (const ExtensionStyle& style : label.extStyles) {
            extensions.push_back(scaled(style.font, s));
        }
    }
};

gdi::HPEN treePen() {
    static const gdi::HPEN pen = gdi::CreatePen(gdi::PS_SOLID, 1, RGB(127, 127, 127));
    return pen;
}

gdi::HPEN rulePen() {
    static const gdi::HPEN pen = gdi::CreatePen(gdi::PS_SOLID, 0, RGB(0, 0, 0));
    return pen;
}

// Line segments of one pen, kept while a face's texts are drawn and drawn together at the
// end: a printer's page then switches between text and line state a few times instead of at
// every row. The segments never cross a text, so the order does not show.
struct Segments {
    std::vector<POINT> ends; // two points a segment

    void add(int x1, int y1, int x2, int y2) {
        ends.push_back(POINT{x1, y1});
        ends.push_back(POINT{x2, y2});
    }
    void draw(DeviceContext& dc, const gdi::HPEN& pen) const {
        if (ends.empty()) {
            return;
        }
        dc.SelectObject(pen);
        dc.DrawSegments(ends.data(), ends.size() / 2);
    }
};

// Tree connectors of one line into `tree`; returns where the name starts.
int drawTreeLines(Segments& tree, const VAROINFO& label, std::int32_t lineIndex, const RECT& cell,
                  double s) {
    const int signedDepth = label.lineDepths[static_cast<std::size_t>(lineIndex)];
    const int depth = std::abs(signedDepth);
    int x = cell.left;
    if (depth == 0) {
        return x;
    }
    const std::uint32_t mask = label.lineTreeMasks[static_cast<std::size_t>(lineIndex)];
    for (int level = 1; level < depth; ++level) {
        if (level < 32 && (mask & (1u << level)) != 0) {
            tree.add(trunc(x + 3 * s), trunc(cell.top - 3 * s), trunc(x + 3 * s),
                     trunc(cell.bottom - s));
        }
        x += trunc(11 * s);
    }
    const int stemX = trunc(x + 3 * s);
    const int middle = (cell.top + cell.bottom) / 2;
    tree.add(stemX, trunc(cell.top - 3 * s), stemX, middle);
    tree.add(stemX, middle, trunc(x + 10 * s), middle);
    if (signedDepth > 0) {
        tree.add(stemX, trunc(cell.top - 3 * s), stemX, trunc(cell.bottom - s));
    }
    return x + trunc(11 * s);
}

void drawLine(DeviceContext& dc, Segments& tree, const VAROINFO& label, const ListFonts& fonts,
              std::int32_t lineIndex, const RECT& cell, double s) {
    const std::size_t at = static_cast<std::size_t>(lineIndex);
    const FileEntry& entry = *label.lineEntries[at];

    // The name's style: folders (read or not) in the folder style, an extension style over
    // either. The size text is measured and drawn in the same font as its name.
    const bool folder = entry.child != nullptr || std::strcmp(entry.sizeText, "[dir]") == 0;
    gdi::HFONT font = folder ? fonts.folder : fonts.file;
    COLORREF color = folder ? label.folderColor : label.fileColor;
    const std::uint8_t style = label.lineStyleIndexes[at];
    if (style != kNoExtensionStyle && style < fonts.extensions.size()) {
        font = fonts.extensions[style];
        color = label.extStyles[style].color;
    }
    dc.SelectObject(font);
    dc.SetTextColor(color);

    int nameRight = cell.right;
    if (label.showSize) {
        SIZE size{};
        if (MeasureText(dc, entry.sizeText, -1, 0, &size)) {
            nameRight = trunc(static_cast<double>(cell.right) - size.cx - 5);
        }
    }
    const int x = drawTreeLines(tree, label, lineIndex, cell, s);
    const int length = label.showExt ? -1 : label.lineStemLengths[at];
    const unsigned align = entry.align == 1 ? DT_CENTER : entry.align == 2 ? DT_RIGHT : DT_LEFT;
    MyDrawText(dc, entry.name, length, RECT{x, cell.top, nameRight, cell.bottom},
               align | DT_BOTTOM | DT_SINGLELINE, 0);
    if (label.showSize) {
        MyDrawText(dc, entry.sizeText, -1, cell, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, 0);
    }
}

} // namespace

std::int32_t BuildDisplayLines(VAROINFO& label) {
    const std::size_t count = countTree(label) + 1;
    label.lineEntries.clear();
    label.lineDepths.clear();
    label.lineTreeMasks.clear();
    label.lineStemLengths.clear();
    label.lineStyleIndexes.clear();
    label.lineEntries.reserve(count);
    label.lineDepths.reserve(count);
    label.lineTreeMasks.reserve(count);
    label.lineStemLengths.reserve(count);
    label.lineStyleIndexes.reserve(count);
    if (!label.entries.empty()) {
        walk(label, label, 0, 0);
    }
    label.lineCount = static_cast<std::int32_t>(label.lineEntries.size());
    label.layoutValid = 1;
    return label.lineCount;
}

FileListGrid::FileListGrid(const VAROINFO& label, const RECT& bodyRect, double s,
                           std::int32_t columnCount, std::int32_t position)
    : body(bodyRect), scale(s), columns(columnCount) {
    // In floating point: the heights are what a file said, and may be any 32-bit value.
    lineUnit = static_cast<double>(std::max(label.fileFontHeight, label.folderFontHeight)) + 1;
    pitch = lineUnit * s;
    rows = pitch > 0 ? trunc(std::floor(
                           (static_cast<double>(body.top) - body.bottom - 25 * s) / pitch + 0.5))
                     : 0;
    if (position == 1 && label.showComment) {
        rows -= 1;
    }
    const int gap = columns < 3 ? trunc(s * 10) : trunc(s * 5);
    margin = gap * s;
    columnWidth =
        columns > 0 ? (static_cast<double>(body.right) - body.left - columns * 2 * margin) / columns
                    : 0;
}

double FileListGrid::contentStart(std::int32_t k) const {
    return body.left + margin + k * (columnWidth + 2 * margin);
}

double FileListGrid::rowLine(std::int32_t r) const {
    return body.top - 25 * scale - r * pitch;
}

RECT FileListGrid::cell(std::int32_t k, std::int32_t r) const {
    const double n = contentStart(k);
    const double y = rowLine(r);
    return RECT{trunc(n + scale), trunc(y + lineUnit * scale * scale) + 2,
                trunc(n + columnWidth - scale), trunc(y - scale)};
}

namespace {

// 1 when an "Above Label" object of `position`, its outline scaled by s, overlaps `faceCell`
// (relative to the face's top-left corner).
int coveredOnFace(const VAROINFO& label, const RECT& faceCell, std::int32_t position, double s) {
    for (const PlacedObject& object : label.objects) {
        if (object.layer != 1 || object.page != position) {
            continue;
        }
        RECT outline{object.left, object.top, object.right, object.bottom};
        ScaleRect(outline, s);
        if (RectsOverlap(faceCell, outline)) {
            return 1;
        }
    }
    return 0;
}

RECT widenedCell(const RECT& cell) {
    return RECT{cell.left - 1, cell.top, cell.right + 1, cell.bottom};
}

// Where the list's lines go on one face: the rows and the free cells are decided once, at full
// size and relative to the face, so every paint scale and placement (the zoomed view, the
// half-size overview, the printed sheet) breaks columns and pages at the same lines.
class FaceLayout {
public:
    FaceLayout(const VAROINFO& label, const RECT& faceBody, std::int32_t columns,
               std::int32_t position)
        : label_(label), grid_(label, faceBody, 1.0, columns, position), position_(position) {}

    std::int32_t rows() const { return grid_.rows; }
    bool cellFree(std::int32_t k, std::int32_t r) const {
        return !coveredOnFace(label_, widenedCell(grid_.cell(k, r)), position_, 1.0);
    }
    // The column separator left of column k (k >= 1) beside row r.
    bool separatorFree(std::int32_t k, std::int32_t r) const {
        const double b = grid_.boundary(k);
        const RECT cell = grid_.cell(k, r);
        return !coveredOnFace(label_, RECT{trunc(b - 2), cell.top, trunc(b + 2), cell.bottom},
                              position_, 1.0);
    }
    std::int32_t freeCells() const {
        std::int32_t free = 0;
        for (std::int32_t k = 0; k < grid_.columns && grid_.rows > 0; ++k) {
            for (std::int32_t r = 0; r < grid_.rows; ++r) {
                free += cellFree(k, r) ? 1 : 0;
            }
        }
        return free;
    }

private:
    const VAROINFO& label_;
    FileListGrid grid_;
    std::int32_t position_;
};

// The full-size, face-relative body a list drawn into `body` at scale s is laid out on: the
// face's own body when `body` is that body placed and scaled, else `body` itself brought back to
// full size.
RECT layoutBody(const VAROINFO& label, const RECT& body, double s, std::int32_t position) {
    const RECT own = PlacedBodyRect(label, position, s);
    if (body.left == own.left && body.top == own.top && body.right == own.right &&
        body.bottom == own.bottom) {
        return GetTextRect(position);
    }
    auto unscale = [s](double v) { return s > 0 ? trunc(v / s) : trunc(v); };
    return RECT{unscale(body.left - label.labelLeft), unscale(body.top - label.labelTop),
                unscale(body.right - label.labelLeft), unscale(body.bottom - label.labelTop)};
}

} // namespace

int IsCellCovered(const VAROINFO& label, const RECT& cell, std::int32_t position, double s) {
    RECT faceCell = cell;
    faceCell.left -= label.labelLeft;
    faceCell.right -= label.labelLeft;
    faceCell.top -= label.labelTop;
    faceCell.bottom -= label.labelTop;
    return coveredOnFace(label, faceCell, position, s);
}

std::int32_t CountFreeCells(const VAROINFO& label, const RECT& body, double s, std::int32_t columns,
                            std::int32_t position) {
    if (columns < 1) {
        return 0;
    }
    return FaceLayout(label, layoutBody(label, body, s, position), columns, position).freeCells();
}

RECT PlacedBodyRect(const VAROINFO& label, std::int32_t position, double s) {
    RECT body = GetTextRect(position);
    ScaleRect(body, s);
    body.left += label.labelLeft;
    body.right += label.labelLeft;
    body.top += label.labelTop;
    body.bottom += label.labelTop;
    return body;
}

std::int32_t FirstLineOfPosition(const VAROINFO& label, std::int32_t position) {
    if (label.columns < 1) {
        return 0;
    }
    std::int32_t first = 0;
    for (std::int32_t p = 1; p < position; ++p) {
        first += FaceLayout(label, GetTextRect(p), label.columns, p).freeCells();
    }
    return first;
}

void DrawFileList(VAROINFO& label, DeviceContext& dc, const RECT& body, double s,
                  std::int32_t firstLine, std::int32_t columns, std::int32_t position) {
    if (columns < 1) {
        return;
    }
    if (!label.layoutValid) {
        BuildDisplayLines(label);
    }
    const ListFonts fonts(label, s);
    gdi::HFONT previousFont = dc.SelectObject(fonts.file);
    const COLORREF previousColor = dc.SetTextColor(label.fileColor);
    const int previousMode = dc.SetBkMode(gdi::TRANSPARENT);
    gdi::HPEN previousPen = dc.currentPen();

    // The grid at this scale places the drawing; the full-size layout decides what goes where.
    // Tree connectors and rules are collected and drawn after the texts, one call per pen.
    const FileListGrid grid(label, body, s, columns, position);
    const FaceLayout layout(label, layoutBody(label, body, s, position), columns, position);
    const std::int32_t rows = layout.rows();
    Segments tree;
    Segments rules;
    std::int32_t line = firstLine;
    for (std::int32_t k = 0; k < columns; ++k) {
        for (std::int32_t r = 0; r < rows; ++r) {
            const RECT cell = grid.cell(k, r);
            if (layout.cellFree(k, r)) {
                if (line < label.lineCount) {
                    drawLine(dc, tree, label, fonts, line, cell, s);
                    ++line;
                }
                if (label.lined) {
                    const int y = trunc(grid.rowLine(r));
                    const double n = grid.contentStart(k);
                    rules.add(trunc(n), y, trunc(n + grid.columnWidth), y);
                }
            }
            if (k >= 1 && layout.separatorFree(k, r)) {
                const double b = grid.boundary(k);
                const double y = grid.rowLine(r);
                double from = y;
                double to = y + grid.pitch;
                if (r == 0) {
                    to = y + 3 * s + grid.pitch;
                } else if (r == rows - 1) {
                    from = y - 5 * s;
                }
                rules.add(trunc(b), trunc(from), trunc(b), trunc(to));
            }
        }
    }

    tree.draw(dc, treePen());
    rules.draw(dc, rulePen());

    if (position == 1 && label.showComment) {
        char expanded[kExpandedCommentCapacity];
        expandComment(label, expanded, sizeof expanded);
        const double end = body.top - 25 * s - std::max(rows, 0) * grid.pitch;
        dc.SelectObject(fonts.comment);
        dc.SetTextColor(label.commentColor);
        MyDrawText(dc, expanded, -1,
                   RECT{body.left + 2, trunc(end + 5 * s) - 2, body.right - 2, body.bottom + 2},
                   DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0);
    }

    dc.SelectObject(previousPen);
    dc.SelectObject(previousFont);
    dc.SetTextColor(previousColor);
    dc.SetBkMode(previousMode);
}

} // namespace pelmora
