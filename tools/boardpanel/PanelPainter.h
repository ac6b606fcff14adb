// Draws the panel's picture of the devices through a device context: the board's
// face, each device in its place from the layout, as the state shows it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <utility>

#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/Surface.h"
#include "tools/boardpanel/PanelLayout.h"
#include "tools/boardpanel/PanelState.h"

namespace boardpanel {

// The D/A converter's recent output: (machine cycle, value), oldest first.
using CDacTrace = std::deque<std::pair<std::uint64_t, BYTE>>;

// Colours a test or a host needs to tell what a part shows.
constexpr COLORREF kBoardColour = RGB(28, 82, 58);
constexpr COLORREF kLedLit = RGB(255, 48, 40);
constexpr COLORREF kLedDark = RGB(86, 24, 22);
constexpr COLORREF kSegmentLit = RGB(255, 64, 32);
constexpr COLORREF kSegmentDark = RGB(52, 14, 12);
constexpr COLORREF kLcdDotOn = RGB(28, 40, 24);
constexpr COLORREF kLcdDotOff = RGB(136, 176, 44);

// The D/A trace spans this much board time, one second of a 12 MHz 8051.
constexpr std::uint64_t kTraceCycles = 1000000;
// The LCD's cursor blinks with this half-period (the controller at 250 kHz).
constexpr std::uint64_t kBlinkCycles = 409600;

void PaintPanel(CDC& dc, const CPanelLayout& layout, const CPanelState& state, const CDacTrace& trace);
// The same at the panel's own size on a surface of its own, no window needed; null
// when memory runs out.
std::shared_ptr<zorkit::Surface> PanelPicture(const CPanelLayout& layout, const CPanelState& state,
    const CDacTrace& trace);
// The face of a window without virtual devices, with `text` (UTF-8) in the middle.
void PaintMessage(CDC& dc, const CRect& client, const std::string& text);

// Shrinks `from` into `to` (smaller), each pixel the average of those it covers.
void ShrinkInto(const zorkit::Surface& from, zorkit::Surface& to);

// The segment rectangles of a 7-segment digit at `digit`: a-g, then the point.
std::array<CRect, 8> SegmentRects(const CRect& digit);

}
