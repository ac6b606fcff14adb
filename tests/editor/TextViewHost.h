// Text views for the tests: a view in a top-level frame on the headless backend, a
// probe into its caches, and the reading of its pixels.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "zorkit/editor/TextBuf.h"
#include "zorkit/editor/TextView.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/ui/Input.h"
#include "zorkit/platform/ui/Snapshot.h"
#include "tests/ui/TestWindows.h"

struct TextViewProbe {
    static const std::vector<int>& Extents(const CTextView& view) { return view.m_lineExtents; }
    static int MaxExtent(const CTextView& view) { return view.m_maxLineExtent; }
    static bool HasCachedBitmap(const CTextView& view) { return view.m_cacheBitmap != nullptr; }
    static int TopLine(const CTextView& view) { return view.m_topLine; }
    static int HorzOffset(const CTextView& view) { return view.m_horzOffset; }
    static CPoint Cursor(const CTextView& view) { return view.m_cursorPos; }
    static CPoint Anchor(const CTextView& view) { return view.m_anchor; }
    static CPoint Indicator(const CTextView& view) { return view.m_indicatorPos; }
    static bool Focused(const CTextView& view) { return view.m_focused; }
    static CTextBuf* Buffer(const CTextView& view) { return view.m_buffer; }
    static void SetCursor(CTextView& view, CPoint pos) { view.m_cursorPos = view.m_anchor = pos; }
};

namespace zorkit::test {

// Input as a person gives it: each event goes to the window that has the focus or the
// pointer when it is made, and is handled, with all it causes, before the next one.
inline void Deliver(const InputEvent& event)
{
    InjectInput(event);
    PumpPendingMessages();
}

// Presses and releases key with the modifiers held.
inline void PressKey(UINT key, std::initializer_list<UINT> modifiers = {})
{
    for (UINT modifier : modifiers)
        Deliver({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, modifier});
    Deliver({InputKind::KeyDown, CPoint(), MouseButton::Left, 0, key});
    Deliver({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, key});
    for (auto modifier = std::rbegin(modifiers); modifier != std::rend(modifiers); ++modifier)
        Deliver({InputKind::KeyUp, CPoint(), MouseButton::Left, 0, *modifier});
}

// Types UTF-8 text as GBK bytes, one character message each.
inline void TypeText(const std::string& utf8)
{
    for (unsigned char byte : GbkFromUtf8(utf8))
        Deliver({InputKind::Char, CPoint(), MouseButton::Left, 0, byte});
}

// A mouse event at a client point of view; time 0 is now.
inline void MouseAt(InputKind kind, CWnd& view, CPoint client, DWORD time = 0)
{
    view.ClientToScreen(&client);
    Deliver({kind, client, MouseButton::Left, 0, 0, time});
}

inline void ClickAt(CWnd& view, CPoint client, DWORD time = 0)
{
    MouseAt(InputKind::ButtonDown, view, client, time);
    MouseAt(InputKind::ButtonUp, view, client, time);
}

// A view that remembers which lines it painted.
class PaintCountingView : public CTextView {
public:
    std::vector<int> painted;
    void DrawSingleLine(CDC* dc, const CRect& rect, int line) override
    {
        painted.push_back(line);
        CTextView::DrawSingleLine(dc, rect, line);
    }
};

// Lines "line 0", "line 1", ... of the given lengths of text.
inline void FillLines(CTextBuf& buffer, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        buffer.InsertLine(line.data(), int(line.size()), -1);
}

inline std::vector<std::string> NumberedLines(int count)
{
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

// A frame with one text view as its child; the view's client area is width x height
// pixels, its scroll bars outside it.
template <class View = CTextView>
struct ViewHost {
    explicit ViewHost(int width = 400, int height = 200)
    {
        const int outerWidth = width + GetSystemMetrics(SM_CXVSCROLL);
        const int outerHeight = height + GetSystemMetrics(SM_CYHSCROLL);
        EXPECT_TRUE(frame.CreateTop(CRect(0, 0, outerWidth + 40, outerHeight + 40)));
        EXPECT_TRUE(view.Create(nullptr, "text", WS_CHILD | WS_VISIBLE, CRect(0, 0, outerWidth, outerHeight), &frame, 1));
        PumpPendingMessages();
    }
    void Show(const std::vector<std::string>& lines)
    {
        FillLines(buffer, lines);
        view.AttachToBuffer(&buffer);
        Repaint();
    }
    void Repaint()
    {
        view.Invalidate(FALSE);
        view.UpdateWindow();
    }
    std::shared_ptr<Surface> Picture() { return CaptureWindow(view.m_hWnd, true); }
    COLORREF Pixel(int x, int y) { return Picture()->GetPixel(x, y); }
    CRect Client()
    {
        CRect client;
        view.GetClientRect(&client);
        return client;
    }

    RecordingWnd frame;
    CTextBuf buffer;
    View view;
};

}
