#include "zorkit/graph/Graph.h"

#include <algorithm>
#include <cstring>

#include "zorkit/graph/internal/GraphScale.h"
#include "zorkit/platform/core/Gbk.h"
#include "zorkit/platform/gdi/Brush.h"
#include "zorkit/platform/gdi/DCStateGuard.h"
#include "zorkit/platform/gdi/Pen.h"
#include "zorkit/platform/ui/MessageCrackers.h"
#include "zorkit/platform/ui/PaintDC.h"

namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 340;
constexpr int kDefaultColumns = 500;
constexpr COLORREF kScreenBackground = RGB(210, 210, 210);
constexpr COLORREF kFrame = RGB(0, 150, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGridLines = RGB(10, 50, 10);
constexpr COLORREF kNoteStrip = RGB(210, 210, 210);
constexpr COLORREF kNotePen = RGB(20, 20, 20);

std::unique_ptr<CFont> MakeFont(LONG height, LONG weight, LONG escapement)
{
    auto font = std::make_unique<CFont>();
    font->CreateFont(height, 0, escapement, 0, weight, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0x10, "Arial");
    return font;
}

// The valid values of a curve: never more than its buffer holds.
int ValidCount(const SAMPLES* samples)
{
    if (!samples || !samples->values)
        return 0;
    return std::clamp(samples->count, 0, samples->size);
}

void TextOut(CDC* dc, int x, int y, const CString& text)
{
    dc->TextOut(x, y, text, text.GetLength());
}

}

const CMessageMap* CGraph::GetThisMessageMap()
{
    static const CMessageMap map(&CWnd::GetThisMessageMap, {zorkit::MapMessage<WM_PAINT>(&CGraph::OnPaint)});
    return &map;
}

CGraph::CGraph()
    : m_ownDraw(std::make_unique<DRAW>()), m_pLabelFont(MakeFont(16, 200, 0)), m_pVertFont(MakeFont(16, 200, 900)),
      m_pTitleFont(MakeFont(16, 500, 0))
{
    m_legendFont.CreateFont(16, 0, 0, 0, 400, FALSE, FALSE, FALSE, 0, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, 0x10, "Arial");
    m_ownDraw->rect = CRect(20, 20, 520, 320);
    m_ownDraw->title = zorkit::GbkFromUtf8("波形");
    m_ownDraw->xLabel = "(t)";
    m_ownDraw->yLabel = zorkit::GbkFromUtf8("幅度");
    SetDraw(m_ownDraw.get());
}

CGraph::~CGraph() = default;

void CGraph::SetDraw(DRAW* draw) { m_pDraw = draw; }

void CGraph::AddData(DATA* data)
{
    if (m_pDraw)
        m_pDraw->series.push_back(data);
}

void CGraph::SetSize(int n)
{
    if (!m_pDraw)
        return;
    for (DATA* data : m_pDraw->series)
        if (data && data->samples)
            data->samples->SetSize(n);
}

int CGraph::GetSize()
{
    int largest = 0;
    if (m_pDraw)
        for (DATA* data : m_pDraw->series)
            if (data && data->samples)
                largest = std::max(largest, data->samples->size);
    return largest;
}

void CGraph::SetTitle(const char* title)
{
    if (m_pDraw)
        m_pDraw->title = title;
}

void CGraph::SetYTitle(const char* title)
{
    if (m_pDraw)
        m_pDraw->yLabel = title;
}

void CGraph::SetZoom(int zoom)
{
    if (zoom != 0)
        m_zoom = zoom;
}

void CGraph::SetYRange(int range)
{
    if (range != 0)
        m_yRange = range;
}

void CGraph::SetBenchmark(int benchmark) { m_benchmark = benchmark; }

void CGraph::GetRange(double* values, int count, double* max, double* min)
{
    double lo = 0.0, hi = 0.0;
    for (int i = 0; i < count; ++i) {
        if (values[i] < lo)
            lo = values[i];
        else if (values[i] > hi)
            hi = values[i];
    }
    *max = hi;
    *min = lo;
}

void CGraph::OnPaint()
{
    CPaintDC dc(this);
    Draw(&dc);
}

void CGraph::Draw(CDC* dc)
{
    if (!m_pDraw) {
        // Nothing to plot: show the empty screen, and leave the static layer to be made
        // once there is a picture to make it from.
        dc->FillSolidRect(0, 0, kWidth, kHeight, kScreenBackground);
        return;
    }
    if (!m_pBackDC || !m_pBackBitmap) {
        m_pBackDC = std::make_unique<CDC>();
        m_pCompDC = std::make_unique<CDC>();
        m_pBackBitmap = std::make_unique<CBitmap>();
        m_pCompBitmap = std::make_unique<CBitmap>();
        m_pBackDC->CreateCompatibleDC(dc);
        m_pCompDC->CreateCompatibleDC(dc);
        m_pBackBitmap->CreateCompatibleBitmap(dc, kWidth, kHeight);
        m_pCompBitmap->CreateCompatibleBitmap(dc, kWidth, kHeight);
        m_pBackDC->SelectObject(m_pBackBitmap.get());
        m_pCompDC->SelectObject(m_pCompBitmap.get());
        PaintStaticLayer();
    }
    m_pCompDC->BitBlt(0, 0, kWidth, kHeight, m_pBackDC.get(), 0, 0, SRCCOPY);
    Plot(m_pCompDC.get(), m_pDraw);
    dc->BitBlt(0, 0, kWidth, kHeight, m_pCompDC.get(), 0, 0, SRCCOPY);
}

namespace {
void PaintBackground(CDC* dc)
{
    CDCStateGuard keep(dc);
    CBrush background(kScreenBackground);
    dc->SelectObject(&background);
    dc->Rectangle(0, 0, kWidth, kHeight);
    dc->SelectStockObject(BLACK_BRUSH);
    dc->Rectangle(20, 20, 520, 320);
}
}

void CGraph::PaintStaticLayer()
{
    CDC* dc = m_pBackDC.get();
    PaintBackground(dc);
    Coordinate(dc, m_pDraw, 10, 10);
    Legend(dc, m_pDraw);
    Title(dc, m_pDraw);
    YLabel(dc, m_pDraw);
    XLabel(dc, m_pDraw);
}

void CGraph::Coordinate(CDC* dc, DRAW* draw, int nx, int ny)
{
    const CRect& r = draw->rect;
    dc->SetBkMode(TRANSPARENT);  // left so for the text painters that follow
    CDCStateGuard keep(dc);
    CPen frame(PS_SOLID, 3, kFrame);
    dc->SelectObject(&frame);
    dc->SelectStockObject(BLACK_BRUSH);
    dc->Rectangle(&r);
    CPen red(PS_SOLID, 1, kRed);
    dc->SelectObject(&red);
    const int dx = r.Width() / nx, dy = r.Height() / ny;
    if (m_grid) {
        CPen dotted(PS_DOT, 1, kGridLines);
        dc->SelectObject(&dotted);
        for (int i = 1; i < nx; ++i) {
            dc->MoveTo(r.left + i * dx, r.top);
            dc->LineTo(r.left + i * dx, r.bottom);
        }
        for (int i = 1; i < ny; ++i) {
            dc->MoveTo(r.left, r.top + i * dy);
            dc->LineTo(r.right, r.top + i * dy);
        }
        dc->SelectObject(&red);
    } else {
        for (int i = 1; i < nx; ++i) {
            const int x = r.left + i * dx;
            dc->MoveTo(x, r.bottom);
            dc->LineTo(x, r.bottom - 5);
            dc->MoveTo(x, r.top);
            dc->LineTo(x, r.top + 5);
        }
        for (int i = 1; i < ny; ++i) {
            const int y = r.top + i * dy;
            dc->MoveTo(r.left, y);
            dc->LineTo(r.left + 5, y);
            dc->MoveTo(r.right, y);
            dc->LineTo(r.right - 5, y);
        }
    }
}

void CGraph::Legend(CDC* dc, DRAW* draw)
{
    constexpr int m = 3;
    const CRect& r = draw->rect;
    CDCStateGuard keep(dc);
    dc->SelectObject(&m_legendFont);
    int cx = 0, cy = 0;
    for (DATA* data : draw->series) {
        if (!data)
            continue;
        const CSize extent = dc->GetTextExtent(data->name);
        cx = std::max<int>(cx, extent.cx);
        cy = std::max<int>(cy, extent.cy);
    }
    const int n = int(draw->series.size());
    CRect box;
    box.top = r.top + m;
    box.bottom = box.top + (n + 1) * cy + 2 * m;
    box.right = r.right - m;
    box.left = box.right - cx - 20 - 4 * m;
    CBrush legend(m_legendColor);
    dc->SelectObject(&legend);
    dc->Rectangle(&box);

    dc->SetTextColor(RGB(0, 0, 0));
    box.DeflateRect(2, 2);
    TextOut(dc, box.left + (box.Width() - 25) / 2, box.top, zorkit::GbkFromUtf8("图例"));

    CRect row;
    row.left = box.left + m;
    row.right = row.left + cy;
    row.top = box.top + cy;
    row.bottom = row.top + cy;
    CRect swatch = row;
    swatch.DeflateRect(2, 2);
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    dc->SelectObject(&black);
    for (DATA* data : draw->series) {
        if (!data)
            continue;
        dc->Rectangle(&swatch);
        swatch.DeflateRect(2, 2);
        CBrush fill(data->color);
        dc->FillRect(&swatch, &fill);
        TextOut(dc, row.right + m, row.top, data->name);
        row.OffsetRect(0, cy);
        swatch = row;
    }
}

void CGraph::Title(CDC* dc, DRAW* draw)
{
    const CRect& r = draw->rect;
    CDCStateGuard keep(dc);
    dc->SetBkMode(TRANSPARENT);
    dc->SelectObject(m_pTitleFont.get());
    const CSize extent = dc->GetTextExtent(draw->title);
    TextOut(dc, r.left + (r.Width() - extent.cx) / 2, r.top - extent.cy, draw->title);
}

void CGraph::XLabel(CDC* dc, DRAW* draw)
{
    const CRect& r = draw->rect;
    CDCStateGuard keep(dc);
    dc->SetBkMode(TRANSPARENT);
    dc->SelectObject(m_pLabelFont.get());
    const CSize extent = dc->GetTextExtent(draw->xLabel);
    TextOut(dc, r.right - extent.cx, r.bottom, draw->xLabel);
}

void CGraph::YLabel(CDC* dc, DRAW* draw)
{
    const CRect& r = draw->rect;
    CDCStateGuard keep(dc);
    dc->SetBkMode(TRANSPARENT);
    dc->SelectObject(m_pVertFont.get());
    const CSize extent = dc->GetTextExtent(draw->yLabel);
    TextOut(dc, r.left - extent.cy, r.bottom - (r.Height() - extent.cx) / 2, draw->yLabel);
}

void CGraph::Plot(CDC* dc, DRAW* draw)
{
    const CRect& r = draw->rect;
    dc->SetBkMode(TRANSPARENT);
    if (m_zoom >= 10)
        m_zoom = 9;
    int n = kDefaultColumns;
    if (!draw->series.empty()) {
        const DATA* last = draw->series.back();
        n = last && last->samples ? last->samples->size : 0;
    }
    const GraphScale scale(r, m_zoom, m_yRange, n);

    CDCStateGuard keep(dc);
    CPen red(PS_SOLID, 1, kRed);
    dc->SelectObject(&red);
    for (DATA* data : draw->series) {
        const int reference = scale.Y(m_benchmark);
        dc->SelectObject(&red);
        dc->MoveTo(r.left, reference);
        dc->LineTo(r.right, reference);
        const SAMPLES* samples = data ? data->samples : nullptr;
        const int count = ValidCount(samples);
        if (count == 0 || !scale.HasColumns())
            continue;
        CPen curve(data->penStyle, 1, data->color);
        dc->SelectObject(&curve);
        dc->MoveTo(r.left, scale.Y(samples->values[0]));
        for (int j = 0; j < count; ++j)
            dc->LineTo(scale.X(j), scale.Y(samples->values[j]));
        dc->SelectObject(&red);
    }

    if (!dc->IsPrinting())
        dc->SelectObject(m_pLabelFont.get());
    for (int i = 0; i <= 10; ++i) {
        const CString text = scale.ValueLabel(i);
        const CSize extent = dc->GetTextExtent(text);
        TextOut(dc, r.right, scale.ValueLabelMiddle(i) - extent.cy / 2, text);
    }
    for (int i = 0; i < 10; i += 2) {
        const CString text = scale.SampleLabel(i);
        const CSize extent = dc->GetTextExtent(text);
        TextOut(dc, scale.SampleLabelCentre(i) - extent.cx / 2, r.bottom, text);
    }
}

void CGraph::PrintWave(CDC* dc)
{
    if (!dc || !dc->IsPrinting() || !m_pDraw)
        return;
    dc->SetTextColor(RGB(0, 0, 0));
    const CRect saved = m_pDraw->rect;
    CRect& r = m_pDraw->rect;
    r.left = saved.left + 500;
    r.top = saved.top + 500;
    r.right = r.left + 20 * saved.Width();
    r.bottom = r.top + 20 * saved.Height();

    Coordinate(dc, m_pDraw, 10, 10);
    auto horizontal = MakeFont(200, 100, 0);
    auto vertical = MakeFont(200, 100, 900);
    CDCStateGuard keep(dc);  // after the frame: its background mode is what stays
    dc->SelectObject(horizontal.get());
    dc->SetBkMode(TRANSPARENT);
    CSize extent = dc->GetTextExtent(m_pDraw->title);
    TextOut(dc, r.left + (r.Width() - extent.cx) / 2, r.top - extent.cy, m_pDraw->title);
    extent = dc->GetTextExtent(m_pDraw->xLabel);
    TextOut(dc, r.right - extent.cx, r.bottom, m_pDraw->xLabel);
    Plot(dc, m_pDraw);
    dc->SelectObject(vertical.get());
    extent = dc->GetTextExtent(m_pDraw->yLabel);
    TextOut(dc, r.left - extent.cy, r.bottom - (r.Height() - extent.cx) / 2, m_pDraw->yLabel);
    r = saved;
}

void CGraph::NoteX(CDC* dc, DRAW* draw, int nx, int)
{
    if (nx <= 0)
        return;
    const CRect& r = draw->rect;
    CRect strip(r.left, r.bottom, r.right, r.bottom + 18);
    CBrush grey(kNoteStrip);
    dc->FillRect(&strip, &grey);
    CFont* oldFont = dc->SelectObject(m_pLabelFont.get());
    dc->SetBkMode(TRANSPARENT);
    const int step = strip.Width() / nx;
    const int unit = strip.Width() ? step * GetSize() / strip.Width() : 0;
    if (m_grid) {
        // The pen stays selected (the DC keeps it alive): hosts that call this draw on with it.
        CPen notePen(PS_DOT, 1, kNotePen);
        dc->SelectObject(&notePen);
        for (int i = 0; i < nx; i += 2) {
            if (unit == 0)
                continue;
            CString text;
            text.Format("%d", unit * i);
            TextOut(dc, strip.left + i * step, strip.top, text);
        }
    }
    dc->SelectObject(oldFont);
}
