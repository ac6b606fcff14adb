#include "zorkit/platform/gdi/DC.h"

#include <algorithm>
#include <utility>

#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/internal/DCState.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/gdi/internal/PdfPainter.h"
#include "zorkit/platform/gdi/Surface.h"
#include "zorkit/platform/gdi/SystemSettings.h"

using zorkit::DCState;
using zorkit::Normalized;

namespace {

template <typename T>
std::shared_ptr<T> Share(HGDIOBJ handle)
{
    return std::static_pointer_cast<T>(handle->shared_from_this());
}

// Puts object in place of the one in slot and returns the framework object of the old one.
template <typename Object, typename T>
Object* Replace(DCState& state, std::shared_ptr<T>& slot, std::shared_ptr<T> object, int kind)
{
    state.replaced[kind] = std::exchange(slot, std::move(object));
    return static_cast<Object*>(state.replaced[kind]->Object());
}

}

CDC::CDC() = default;
CDC::~CDC() = default;

BOOL CDC::AttachSurface(std::shared_ptr<zorkit::Surface> surface, CPoint origin, const CRect& clip)
{
    if (!surface)
        return FALSE;
    m_state = std::make_shared<DCState>();
    m_state->Attach(std::move(surface), origin, clip);
    return TRUE;
}

BOOL CDC::CreateCompatibleDC(CDC*)
{
    auto surface = zorkit::Surface::Create(1, 1);
    if (!surface)
        return FALSE;
    m_state = std::make_shared<DCState>();
    m_state->memory = true;
    m_state->defaultBitmap = std::make_shared<zorkit::BitmapData>(surface);
    m_state->attributes.bitmap = m_state->defaultBitmap;
    m_state->Attach(surface, CPoint(), surface->Bounds());
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (!m_state)
        return FALSE;
    m_state.reset();
    return TRUE;
}

BOOL CDC::Attach(HDC hdc)
{
    if (!hdc || m_state)
        return FALSE;
    m_state = hdc->shared_from_this();
    return TRUE;
}

HDC CDC::Detach()
{
    HDC hdc = m_state.get();
    m_state.reset();
    return hdc;
}

HDC CDC::GetSafeHdc() const { return m_state.get(); }
BOOL CDC::IsPrinting() const { return m_state && m_state->painter && m_state->painter->IsPrinting(); }
std::shared_ptr<zorkit::Surface> CDC::GetSurface() const { return m_state ? m_state->surface : nullptr; }

CPen* CDC::SelectObject(CPen* pen)
{
    if (!m_state || !pen || !pen->GetSafeHandle())
        return nullptr;
    return Replace<CPen>(*m_state, m_state->attributes.pen, Share<zorkit::PenData>(pen->GetSafeHandle()), 0);
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (!m_state || !brush || !brush->GetSafeHandle())
        return nullptr;
    return Replace<CBrush>(*m_state, m_state->attributes.brush, Share<zorkit::BrushData>(brush->GetSafeHandle()), 1);
}

CFont* CDC::SelectObject(CFont* font)
{
    if (!m_state || !font || !font->GetSafeHandle())
        return nullptr;
    return Replace<CFont>(*m_state, m_state->attributes.font, Share<zorkit::FontData>(font->GetSafeHandle()), 2);
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    if (!m_state || !m_state->memory || !bitmap || !bitmap->GetSafeHandle())
        return nullptr;
    auto data = Share<zorkit::BitmapData>(bitmap->GetSafeHandle());
    m_state->Attach(data->surface, CPoint(), data->surface->Bounds());
    return Replace<CBitmap>(*m_state, m_state->attributes.bitmap, data, 3);
}

CGdiObject* CDC::SelectObject(CGdiObject* object)
{
    if (!object || !object->GetSafeHandle())
        return nullptr;
    switch (object->GetSafeHandle()->Type()) {
    case OBJ_PEN: return SelectObject(static_cast<CPen*>(object));
    case OBJ_BRUSH: return SelectObject(static_cast<CBrush*>(object));
    case OBJ_FONT: return SelectObject(static_cast<CFont*>(object));
    case OBJ_BITMAP: return SelectObject(static_cast<CBitmap*>(object));
    default: return nullptr;
    }
}

CGdiObject* CDC::SelectStockObject(int index)
{
    HGDIOBJ stock = GetStockObject(index);
    return stock ? SelectObject(stock->Object()) : nullptr;
}

CPen* CDC::GetCurrentPen() const { return m_state ? static_cast<CPen*>(m_state->attributes.pen->Object()) : nullptr; }
CBrush* CDC::GetCurrentBrush() const
{
    return m_state ? static_cast<CBrush*>(m_state->attributes.brush->Object()) : nullptr;
}
CFont* CDC::GetCurrentFont() const { return m_state ? static_cast<CFont*>(m_state->attributes.font->Object()) : nullptr; }
CBitmap* CDC::GetCurrentBitmap() const
{
    return m_state && m_state->attributes.bitmap ? static_cast<CBitmap*>(m_state->attributes.bitmap->Object()) : nullptr;
}

int CDC::SaveDC()
{
    if (!m_state)
        return 0;
    m_state->saved.push_back(m_state->attributes);
    return int(m_state->saved.size());
}

BOOL CDC::RestoreDC(int savedDC)
{
    if (!m_state)
        return FALSE;
    const int count = int(m_state->saved.size());
    const int level = savedDC < 0 ? count + 1 + savedDC : savedDC;
    if (level < 1 || level > count)
        return FALSE;
    const auto bitmap = m_state->attributes.bitmap;
    m_state->attributes = m_state->saved[std::size_t(level - 1)];
    m_state->saved.resize(std::size_t(level - 1));
    if (m_state->attributes.bitmap != bitmap)
        m_state->Attach(m_state->attributes.bitmap->surface, CPoint(), m_state->attributes.bitmap->surface->Bounds());
    m_state->ApplyClip();
    return TRUE;
}

COLORREF CDC::SetTextColor(COLORREF colour)
{
    return m_state ? std::exchange(m_state->attributes.textColor, colour) : CLR_INVALID;
}
COLORREF CDC::GetTextColor() const { return m_state ? m_state->attributes.textColor : CLR_INVALID; }
COLORREF CDC::SetBkColor(COLORREF colour)
{
    return m_state ? std::exchange(m_state->attributes.bkColor, colour) : CLR_INVALID;
}
COLORREF CDC::GetBkColor() const { return m_state ? m_state->attributes.bkColor : CLR_INVALID; }
int CDC::GetBkMode() const { return m_state ? m_state->attributes.bkMode : 0; }
int CDC::GetROP2() const { return m_state ? m_state->attributes.rop2 : 0; }
UINT CDC::SetTextAlign(UINT flags) { return m_state ? std::exchange(m_state->attributes.textAlign, flags) : 0; }
UINT CDC::GetTextAlign() const { return m_state ? m_state->attributes.textAlign : 0; }

int CDC::SetBkMode(int mode)
{
    if (!m_state || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(m_state->attributes.bkMode, mode);
}

int CDC::SetROP2(int mode)
{
    if (!m_state || mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    return std::exchange(m_state->attributes.rop2, mode);
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    return m_state ? std::exchange(m_state->attributes.windowOrg, CPoint(x, y)) : CPoint();
}
CPoint CDC::GetWindowOrg() const { return m_state ? m_state->attributes.windowOrg : CPoint(); }
CPoint CDC::OffsetWindowOrg(int dx, int dy)
{
    if (!m_state)
        return CPoint();
    const CPoint old = m_state->attributes.windowOrg;
    m_state->attributes.windowOrg.Offset(dx, dy);
    return old;
}
CPoint CDC::SetViewportOrg(int x, int y)
{
    return m_state ? std::exchange(m_state->attributes.viewportOrg, CPoint(x, y)) : CPoint();
}
CPoint CDC::GetViewportOrg() const { return m_state ? m_state->attributes.viewportOrg : CPoint(); }
CPoint CDC::OffsetViewportOrg(int dx, int dy)
{
    if (!m_state)
        return CPoint();
    const CPoint old = m_state->attributes.viewportOrg;
    m_state->attributes.viewportOrg.Offset(dx, dy);
    return old;
}

int CDC::GetClipBox(LPRECT rect) const
{
    if (!m_state || !rect)
        return ERROR;
    const CRect clip = m_state->EffectiveClip();
    *rect = m_state->ToLogical(clip);
    return clip.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom)
{
    if (!m_state)
        return ERROR;
    const CRect rect = Normalized(m_state->ToDevice(CRect(left, top, right, bottom)));
    auto& attributes = m_state->attributes;
    CRect clip = attributes.hasClip ? attributes.clip : m_state->region;
    clip.IntersectRect(&clip, &rect);
    attributes.clip = clip;
    attributes.hasClip = true;
    m_state->ApplyClip();
    return clip.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::SelectClipRect(LPCRECT rect)
{
    if (!m_state)
        return ERROR;
    auto& attributes = m_state->attributes;
    attributes.hasClip = rect != nullptr;
    if (rect)
        attributes.clip.IntersectRect(Normalized(m_state->ToDevice(*rect)), &m_state->region);
    m_state->ApplyClip();
    return m_state->EffectiveClip().IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

BOOL CDC::PtVisible(int x, int y) const
{
    return m_state && m_state->EffectiveClip().PtInRect(m_state->ToDevice(x, y));
}

BOOL CDC::RectVisible(LPCRECT rect) const
{
    if (!m_state || !rect)
        return FALSE;
    CRect common;
    return common.IntersectRect(m_state->EffectiveClip(), Normalized(m_state->ToDevice(*rect)));
}

int CDC::GetDeviceCaps(int index) const
{
    if (!m_state)
        return 0;
    const bool printing = IsPrinting();
    const int dpi = printing ? m_state->pdf->DotsPerInch() : 96;
    const CSize size = printing ? m_state->painter->Size()
                                : CSize(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    switch (index) {
    case HORZRES: return size.cx;
    case VERTRES: return size.cy;
    case HORZSIZE: return size.cx * 254 / (dpi * 10);
    case VERTSIZE: return size.cy * 254 / (dpi * 10);
    case LOGPIXELSX:
    case LOGPIXELSY: return dpi;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    default: return 0;
    }
}

int CDC::StartDoc(LPCTSTR) { return IsPrinting() ? 1 : -1; }
int CDC::StartPage() { return IsPrinting() ? 1 : -1; }

int CDC::EndPage()
{
    if (!IsPrinting())
        return -1;
    m_state->pdf->ShowPage();
    return 1;
}

int CDC::EndDoc()
{
    if (!IsPrinting())
        return -1;
    return m_state->pdf->Finish() ? 1 : -1;
}

BOOL CDC::WritePng(const char* path) const
{
    if (!m_state || !m_state->surface)
        return FALSE;
    const CRect& region = m_state->region;
    if (region == m_state->surface->Bounds())
        return m_state->surface->WritePng(path);
    auto copy = zorkit::Surface::Create(region.Width(), region.Height());
    if (!copy)
        return FALSE;
    for (int y = 0; y < region.Height(); ++y)
        std::copy_n(m_state->surface->Row(region.top + y) + region.left, region.Width(), copy->Row(y));
    return copy->WritePng(path);
}

void CDC::StartRecording()
{
    if (m_state)
        m_state->recording = true;
}

void CDC::StopRecording()
{
    if (m_state)
        m_state->recording = false;
}

void CDC::ClearRecordedCalls()
{
    if (m_state)
        m_state->calls.clear();
}

const std::vector<zorkit::GdiCall>& CDC::GetRecordedCalls() const
{
    static const std::vector<zorkit::GdiCall> none;
    return m_state ? m_state->calls : none;
}
