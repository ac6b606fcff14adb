// CGraph: a child window that plots sampled curves like an oscilloscope screen: a framed
// plot area with a 10 x 10 grid, the curves, a red reference line, value and
// sample-number labels, a legend box, a title and axis labels.
//
//   SAMPLES temperature;
//   DATA curve;
//   curve.samples = &temperature;
//   curve.name = "T";
//   curve.color = RGB(255, 255, 0);
//   CGraph graph;                      // then graph.Create(...) as a child window
//   graph.AddData(&curve);
//   graph.SetSize(500);
//   temperature.Add(42.0);
//   graph.Invalidate();
//
// On screen the picture is 580 x 340 pixels from the window's top-left corner; its
// static layer (frame, grid, legend, title, axis labels) is painted once, on the first
// Draw, and reused. The DRAW, DATA and SAMPLES records stay the host's and must outlive
// their use by the graph.
#pragma once

#include <memory>

#include "zorkit/graph/Data.h"
#include "zorkit/graph/Draw.h"
#include "zorkit/graph/Samples.h"
#include "zorkit/platform/gdi/Bitmap.h"
#include "zorkit/platform/gdi/DC.h"
#include "zorkit/platform/gdi/Font.h"
#include "zorkit/platform/ui/Wnd.h"

class CGraph : public CWnd {
public:
    CGraph();
    ~CGraph() override;

    void SetDraw(DRAW* draw);
    void AddData(DATA* data);
    void SetSize(int n);
    int GetSize();
    void SetTitle(const char* title);
    void SetYTitle(const char* title);
    // 0 is ignored.
    void SetZoom(int zoom);
    // 0 is ignored: the range divides the vertical scale.
    void SetYRange(int range);
    void SetBenchmark(int benchmark);
    void Draw(CDC* dc);
    // Paints a scaled picture on a printing DC; does nothing on a screen DC.
    void PrintWave(CDC* dc);

    static const CMessageMap* GetThisMessageMap();
    const CMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

protected:
    void OnPaint();

private:
    friend struct GraphProbe;  // tests read the scale model and the off-screen layers

    void GetRange(double* values, int count, double* max, double* min);
    void Coordinate(CDC* dc, DRAW* draw, int nx, int ny);
    void NoteX(CDC* dc, DRAW* draw, int nx, int ny);
    void Plot(CDC* dc, DRAW* draw);
    void Legend(CDC* dc, DRAW* draw);
    void Title(CDC* dc, DRAW* draw);
    void XLabel(CDC* dc, DRAW* draw);
    void YLabel(CDC* dc, DRAW* draw);
    void PaintStaticLayer();

    std::unique_ptr<DRAW> m_ownDraw;
    DRAW* m_pDraw = nullptr;
    COLORREF m_legendColor = RGB(255, 255, 255);
    int m_grid = 1;
    std::unique_ptr<CDC> m_pBackDC;
    std::unique_ptr<CDC> m_pCompDC;
    std::unique_ptr<CBitmap> m_pBackBitmap;
    std::unique_ptr<CBitmap> m_pCompBitmap;
    CFont m_legendFont;
    std::unique_ptr<CFont> m_pLabelFont;
    std::unique_ptr<CFont> m_pVertFont;
    std::unique_ptr<CFont> m_pTitleFont;
    int m_zoom = 1;
    int m_yRange = 200;
    int m_benchmark = 50;
};
