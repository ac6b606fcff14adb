// Reaches the graph's private painters and state, so tests can record what each paints.
#pragma once

#include "zorkit/graph/Graph.h"

struct GraphProbe {
    static int Zoom(const CGraph& graph) { return graph.m_zoom; }
    static int YRange(const CGraph& graph) { return graph.m_yRange; }
    static void SetGrid(CGraph& graph, int grid) { graph.m_grid = grid; }
    static DRAW* Draw(CGraph& graph) { return graph.m_pDraw; }
    static CDC* Background(CGraph& graph) { return graph.m_pBackDC.get(); }
    static void GetRange(CGraph& graph, double* values, int count, double* max, double* min)
    {
        graph.GetRange(values, count, max, min);
    }
    static void Plot(CGraph& graph, CDC* dc) { graph.Plot(dc, graph.m_pDraw); }
    static void Legend(CGraph& graph, CDC* dc) { graph.Legend(dc, graph.m_pDraw); }
    static void Coordinate(CGraph& graph, CDC* dc) { graph.Coordinate(dc, graph.m_pDraw, 10, 10); }
    static void Title(CGraph& graph, CDC* dc) { graph.Title(dc, graph.m_pDraw); }
    static void XLabel(CGraph& graph, CDC* dc) { graph.XLabel(dc, graph.m_pDraw); }
    static void YLabel(CGraph& graph, CDC* dc) { graph.YLabel(dc, graph.m_pDraw); }
    static void NoteX(CGraph& graph, CDC* dc, int nx) { graph.NoteX(dc, graph.m_pDraw, nx, 10); }
};
