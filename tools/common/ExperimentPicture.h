// The picture of a control experiment, one for every host that shows or saves one: a
// CGraph with the set point as its red reference line, the measured curve and the
// output byte, scaled for temperature (0-100) or speed (0-500).
//
//   CExperimentPicture picture(ExperimentQuantity::Temperature, 60, 200);
//   picture.Add(21.5, 91);            // one call per sample
//   picture.WritePng("run.png");      // or show picture.Graph() as a window
#pragma once

#include <string>

#include "zorkit/graph/Graph.h"

enum class ExperimentQuantity { Temperature, Speed };

// The words the picture shows, in GBK as the graph draws them.
struct CExperimentWords {
    std::string title;
    std::string measured;  // the measured curve in the legend
    std::string output;    // the output byte's curve in the legend
    std::string samples;   // under the horizontal axis
    std::string yUnit;     // beside the vertical axis
    static CExperimentWords English(ExperimentQuantity quantity);
};

class CExperimentPicture {
public:
    static constexpr int kWidth = 580;
    static constexpr int kHeight = 340;

    // capacity: the samples the plot spans; values of a temperature run lie in -100 .. 100,
    // of a speed run in -500 .. 500, 0 in the middle of the plot.
    CExperimentPicture(ExperimentQuantity quantity, int setPoint, int capacity)
        : CExperimentPicture(quantity, setPoint, capacity, CExperimentWords::English(quantity)) {}
    CExperimentPicture(ExperimentQuantity quantity, int setPoint, int capacity, const CExperimentWords& words);
    CExperimentPicture(const CExperimentPicture&) = delete;
    CExperimentPicture& operator=(const CExperimentPicture&) = delete;

    // Appends one sample; FALSE once the plot is full.
    BOOL Add(double measured, int output);
    int Count() const { return m_measured.GetCount(); }
    CGraph& Graph() { return m_graph; }
    // Draws the picture off-screen and writes it as a PNG; FALSE when that fails.
    BOOL WritePng(const char* path);

private:
    SAMPLES m_measured;
    SAMPLES m_output;
    DATA m_measuredCurve;
    DATA m_outputCurve;
    DRAW m_draw;
    // Last, so that it lets go of the records above before they go.
    CGraph m_graph;
};
