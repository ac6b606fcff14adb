// The device context: drawing with GDI's pixel rules on a surface, or on a PDF page
// when printing (see PrintDC.h).
//
// Forms:
// - memory DC: CreateCompatibleDC, then SelectObject(&bitmap) to draw on the bitmap;
// - surface DC: AttachSurface(surface, origin, clip) draws on a region of any surface.
//   A window DC is exactly this: origin = where the window's (0, 0) lies on its
//   top-level surface, clip = the visible part of the window (or the invalid part
//   for a paint DC), both in surface pixels. Logical (0, 0) maps to origin;
//   SetWindowOrg/SetViewportOrg move it further, and the clip box is reported in
//   logical coordinates. Nothing outside the clip is ever touched.
//
// Pixel rules: a 1-pixel line excludes its last pixel (Bresenham); PS_DOT alternates
// pixels, on and off, starting with on, continuing across LineTo calls; Rectangle and
// fills exclude right and bottom; with the null pen Rectangle fills one pixel less on
// the right and bottom; wide pens are centred on the thin outline; InvertRect is its own
// inverse. Text is drawn at its cell's top-left, y + ascent being the baseline.
//
// A DC that draws on nothing (before creation, after DeleteDC) ignores every call.
// Not thread-safe: one DC is used by one thread, as the window that owns it.
#pragma once

#include <memory>
#include <vector>

#include "zorkit/platform/core/CString.h"
#include "zorkit/platform/gdi/GdiCall.h"
#include "zorkit/platform/gdi/GdiTypes.h"

class CGdiObject;
class CPen;
class CBrush;
class CFont;
class CBitmap;
namespace zorkit {
class Surface;
}

// Text alignment (SetTextAlign).
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0,
               TA_BOTTOM = 8, TA_BASELINE = 24;

class CDC {
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Draws on a region of surface (see the header comment). Replaces what the DC drew on
    // before and resets its state. FALSE for a null surface.
    BOOL AttachSurface(std::shared_ptr<zorkit::Surface> surface, CPoint origin, const CRect& clip);
    // A memory DC with a 1 x 1 black bitmap selected; dc may be null.
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    // Makes this object a second door to another DC (a printing DC lent to an
    // off-screen helper, say): both draw with one state until Detach.
    BOOL Attach(HDC hdc);
    HDC Detach();
    // Null when the DC draws on nothing.
    HDC GetSafeHdc() const;
    BOOL IsPrinting() const;
    // The surface drawn on and the region's origin on it (null when printing).
    std::shared_ptr<zorkit::Surface> GetSurface() const;

    // Each returns the object it replaced, which stays valid at least until the next
    // selection of its kind (the DC's defaults for the DC's life).
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    // Saves objects, colours, modes, origins, clip and current position; returns the
    // level (from 1), 0 on failure. RestoreDC(-1) restores the latest saved state.
    int SaveDC();
    BOOL RestoreDC(int savedDC);

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    int SetROP2(int mode);
    int GetROP2() const;
    UINT SetTextAlign(UINT flags);
    UINT GetTextAlign() const;

    CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    CPoint GetWindowOrg() const;
    CPoint OffsetWindowOrg(int dx, int dy);
    CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    CPoint GetViewportOrg() const;
    CPoint OffsetViewportOrg(int dx, int dy);

    // Clip box in logical coordinates; NULLREGION when nothing can be drawn.
    int GetClipBox(LPRECT rect) const;
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(LPCRECT rect) { return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom); }
    // Replaces the clip by a rectangle (logical), within the DC's region; null removes it.
    int SelectClipRect(LPCRECT rect);
    BOOL PtVisible(int x, int y) const;
    BOOL RectVisible(LPCRECT rect) const;

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const;
    BOOL Polyline(const POINT* points, int count);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(LPCRECT rect) { return Rectangle(rect->left, rect->top, rect->right, rect->bottom); }
    void FillRect(LPCRECT rect, CBrush* brush);
    void FillSolidRect(LPCRECT rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    void FrameRect(LPCRECT rect, CBrush* brush);
    void InvertRect(LPCRECT rect);
    void Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    // Edges in the system 3-D colours; with BF_ADJUST the rectangle shrinks past them.
    BOOL DrawEdge(LPRECT rect, UINT edge, UINT flags);
    // A dotted frame drawn by XOR: drawing it twice removes it.
    void DrawFocusRect(LPCRECT rect);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop);
    COLORREF SetPixel(int x, int y, COLORREF colour);
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
    // Moves the pixels of scroll (all the DC's region when null) by (dx, dy), within
    // clip when given; update receives the bounds of the area left behind.
    BOOL ScrollDC(int dx, int dy, LPCRECT scroll, LPCRECT clip, LPRECT update);

    BOOL TextOut(int x, int y, LPCTSTR text, int count);
    BOOL TextOut(int x, int y, const CString& text) { return TextOut(x, y, text, text.GetLength()); }
    // ETO_OPAQUE fills rect with the background colour; ETO_CLIPPED clips to it.
    // dx, when given, holds the advance after each byte (a double-byte character
    // advances by the sum of its two).
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCTSTR text, UINT count, const int* dx);
    BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, const CString& text, const int* dx)
    {
        return ExtTextOut(x, y, options, rect, text, UINT(text.GetLength()), dx);
    }
    // Returns the height of the text drawn (or measured with DT_CALCRECT), 0 on failure.
    int DrawText(LPCTSTR text, int count, LPRECT rect, UINT format);
    int DrawText(const CString& text, LPRECT rect, UINT format) { return DrawText(text, text.GetLength(), rect, format); }
    // Width is the sum of the integer advances, height the font's cell height. A count
    // of -1 measures up to the terminating NUL.
    CSize GetTextExtent(LPCTSTR text, int count) const;
    CSize GetTextExtent(const CString& text) const { return GetTextExtent(text, text.GetLength()); }
    CSize GetOutputTextExtent(LPCTSTR text, int count) const { return GetTextExtent(text, count); }
    CSize GetOutputTextExtent(const CString& text) const { return GetTextExtent(text); }
    BOOL GetTextMetrics(LPTEXTMETRIC metrics) const;
    BOOL GetOutputTextMetrics(LPTEXTMETRIC metrics) const { return GetTextMetrics(metrics); }

    int GetDeviceCaps(int index) const;

    // Printing; these fail on a DC that is not printing.
    int StartDoc(LPCTSTR docName);
    int StartPage();
    int EndPage();
    int EndDoc();

    // Writes the DC's region (a memory DC: its bitmap) to a PNG file.
    BOOL WritePng(const char* path) const;

    // Recording keeps every drawing call until StopRecording or ClearRecordedCalls.
    void StartRecording();
    void StopRecording();
    void ClearRecordedCalls();
    const std::vector<zorkit::GdiCall>& GetRecordedCalls() const;

protected:
    std::shared_ptr<zorkit::DCState> m_state;
};
