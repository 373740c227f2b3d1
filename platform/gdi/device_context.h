#pragma once
// A device context with GDI's model: a mapping from logical to device coordinates, selected
// font, pen and brush, text settings, a clip region and a stack of saved states. Painters work
// in logical units through it and never see the device. The device behind it (an image, a
// window, a printer, or nothing for an information context) is a PaintBackend.

#include "platform/gdi/draw_record.h"
#include "platform/gdi/gdi_types.h"

#include <memory>
#include <string_view>
#include <vector>

namespace pelmora::gdi {

class PaintBackend;

// What a device reports about itself (GetDeviceCaps).
struct DeviceCaps {
    int technology = DT_RASDISPLAY;
    int logPixelsX = 96;
    int logPixelsY = 96;
    int horzRes = 0; // printable area in device pixels
    int vertRes = 0;
    int horzSizeMm = 0; // printable area in millimetres
    int vertSizeMm = 0;
    int physicalWidth = 0; // whole sheet in device pixels (printers)
    int physicalHeight = 0;
    int physicalOffsetX = 0; // printable area's offset on the sheet
    int physicalOffsetY = 0;
    int rasterCaps = RC_BITBLT | RC_DIBTODEV | RC_STRETCHDIB;
};

class DeviceContext {
public:
    DeviceContext(std::unique_ptr<PaintBackend> backend, const DeviceCaps& caps);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // Mapping. MM_LOENGLISH: 0.01 inch, y up (window extent 100 x 100, viewport extent
    // LOGPIXELSX x -LOGPIXELSY). MM_ANISOTROPIC keeps the extents in force and lets them be set.
    // Coordinates convert with 64-bit intermediates and truncate toward zero.
    int SetMapMode(int mode); // returns the previous mode, 0 on a bad mode
    int GetMapMode() const;
    bool SetWindowExtEx(int x, int y, SIZE* previous = nullptr);
    bool SetViewportExtEx(int x, int y, SIZE* previous = nullptr);
    bool GetWindowExtEx(SIZE* extent) const;
    bool GetViewportExtEx(SIZE* extent) const;
    bool SetWindowOrgEx(int x, int y, POINT* previous = nullptr);
    bool SetViewportOrgEx(int x, int y, POINT* previous = nullptr);
    bool GetWindowOrgEx(POINT* origin) const;
    bool GetViewportOrgEx(POINT* origin) const;
    bool LPtoDP(POINT* points, int count) const;
    bool DPtoLP(POINT* points, int count) const;
    int SetGraphicsMode(int mode);
    int GetGraphicsMode() const;
    // Only MWT_IDENTITY, and only in GM_ADVANCED (as GDI): world transforms are never anything
    // else here.
    bool ModifyWorldTransform(int mode);

    int GetDeviceCaps(int index) const;
    const DeviceCaps& caps() const { return caps_; }

    // Drawing objects. Selecting returns what was selected before.
    HFONT SelectObject(HFONT font);
    HPEN SelectObject(HPEN pen);
    HBRUSH SelectObject(HBRUSH brush);
    HFONT currentFont() const;
    HPEN currentPen() const;
    HBRUSH currentBrush() const;

    // Text. Fonts are realised at whole device pixels: a negative lfHeight is the character
    // height, a positive one the cell height, both in logical units. Text is drawn upright on
    // the device whatever the mapping. The escapement turns it counter-clockwise on an MM_TEXT
    // device; a mapping that flips y (the label mapping) flips the sense, so there a font at
    // 900 runs down the page and one at 2700 reads upward. Alignment is taken along and
    // across the turned text.
    bool GetTextMetrics(TEXTMETRIC* metrics) const;
    bool GetTextExtentPoint32(std::string_view text, SIZE* size) const;
    bool ExtTextOut(int x, int y, unsigned options, const RECT* rect, std::string_view text);
    bool TextOut(int x, int y, std::string_view text) { return ExtTextOut(x, y, 0, nullptr, text); }
    unsigned SetTextAlign(unsigned align);
    unsigned GetTextAlign() const;
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetTextCharacterExtra(int extra);
    int GetTextCharacterExtra() const;

    // Shapes. Rectangle and FillRect follow GDI's edge rule: the right and bottom edges (in
    // device space) are excluded; with the null pen Rectangle fills one pixel less. R2_NOT
    // inverts what pens and Rectangle cover (each pixel once); FillRect copies its brush
    // whatever the mix mode, as in GDI. Devices without raster operations (PDF, printers)
    // leave inverted shapes out rather than paint them black.
    bool FillRect(const RECT& rect, const HBRUSH& brush);
    bool Rectangle(int left, int top, int right, int bottom);
    bool MoveToEx(int x, int y, POINT* previous = nullptr);
    bool LineTo(int x, int y);
    // Separate segments (points[2i] to points[2i + 1]) with the current pen, as that many
    // MoveToEx/LineTo pairs would draw them, in one call to the device; the current position
    // is left alone.
    bool DrawSegments(const POINT* points, std::size_t segments);
    bool GetCurrentPositionEx(POINT* position) const;
    int SetROP2(int mode);
    int GetROP2() const;

    // Clipping, in device coordinates. A null region removes the clip.
    int SelectClipRgn(const HRGN& region);
    int ExtSelectClipRgn(const HRGN& region, int mode);
    // Copies the current clip into `region`: 1 when there is one, 0 when none.
    int GetClipRgn(HRGN* region) const;

    // Images. A negative destination extent (in device space) mirrors the picture, as GDI
    // does, so a negative height in the y-up label mapping keeps it upright. Source extents
    // count by their size, so passing a top-down DIB's negative biHeight draws it upright.
    // Returns the number of scan lines (|biHeight|), 0 when the DIB is unsupported or shorter
    // than it claims (nothing is read beyond the blocks DibRef gives).
    int SetStretchBltMode(int mode);
    int GetStretchBltMode() const;
    int StretchDIBits(int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                      int srcWidth, int srcHeight, const DibRef& dib, unsigned usage,
                      std::uint32_t rop);

    // State stack. SaveDC returns the new depth (1 for the first save); RestoreDC(-1) pops one,
    // RestoreDC(n) returns to the state saved as number n.
    int SaveDC();
    bool RestoreDC(int saved);

    // Every primitive is appended here when set (tests).
    void setRecorder(std::vector<DrawRecord>* records);

    // Test knob: some printer drivers report the extent of rotated text with width and height
    // exchanged. When set, GetTextExtentPoint32 does the same for fonts turned by 90 or 270
    // degrees.
    void setReportsRotatedExtents(bool on);

    PaintBackend& backend();

private:
    friend struct DeviceContextAccess; // platform/gdi internals (Qt side)
    struct State;
    struct FontCache;
    std::unique_ptr<State> state_;
    std::vector<State> saved_;
    std::unique_ptr<PaintBackend> backend_;
    DeviceCaps caps_;
    std::vector<DrawRecord>* recorder_ = nullptr;
    bool reportsRotatedExtents_ = false;
    mutable std::unique_ptr<FontCache> fontCache_; // realised fonts per LOGFONTA and scale
};

} // namespace pelmora::gdi
