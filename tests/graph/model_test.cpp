#include <gtest/gtest.h>

#include "zorkit/graph/internal/GraphScale.h"
#include "tests/graph/GraphProbe.h"

namespace {

const CRect kDefaultPlot(20, 20, 520, 320);

TEST(GraphScale, DefaultGraphMapsValuesAroundTheCentreLine)
{
    const GraphScale scale(kDefaultPlot, 1, 200, 500);
    EXPECT_EQ(scale.Y(0), 170);
    EXPECT_EQ(scale.Y(100), 20);
    EXPECT_EQ(scale.Y(-100), 320);
    EXPECT_EQ(scale.Y(50), 95) << "the reference line of benchmark 50";
    EXPECT_EQ(scale.Y(0.9), 168) << "170 - 1.35 truncates toward zero";
    EXPECT_EQ(scale.X(0), 21);
    EXPECT_EQ(scale.X(499), 520) << "N values end exactly at the right edge";
}

TEST(GraphScale, LabelsReadFromTopToBottomInFourCharacterFields)
{
    const GraphScale scale(kDefaultPlot, 1, 200, 500);
    const char* expected[] = {"-100", " -80", " -60", " -40", " -20", "   0", "  20", "  40", "  60", "  80", " 100"};
    for (int r = 0; r <= 10; ++r) {
        EXPECT_EQ(scale.ValueLabel(r), expected[r]) << "r = " << r;
        EXPECT_EQ(scale.ValueLabelMiddle(r), 20 + (10 - r) * 30);
    }
    const char* samples[] = {"0", "100", "200", "300", "400"};
    for (int r = 0; r < 10; r += 2) {
        EXPECT_EQ(scale.SampleLabel(r), samples[r / 2]);
        EXPECT_EQ(scale.SampleLabelCentre(r), 20 + r * 50);
    }
}

TEST(GraphScale, ZoomAndRangeScaleTheValuesAndTheLabels)
{
    const GraphScale scale(kDefaultPlot, 9, 200, 200);
    EXPECT_EQ(scale.Y(10), 35);
    EXPECT_EQ(scale.ValueLabel(10), "  11") << "5 x 20 / 9 = 11.1";
    EXPECT_EQ(scale.ValueLabel(4), "  -2");
    EXPECT_EQ(scale.SampleLabel(8), "160");
    EXPECT_EQ(scale.Y(1e300), -(1 << 24)) << "huge values stay within reach";
    EXPECT_FALSE(GraphScale(kDefaultPlot, 1, 200, 0).HasColumns());
}

TEST(Samples, SetSizeClearsOnChangeAndKeepsOnTheSameSize)
{
    SAMPLES samples;
    ASSERT_TRUE(samples.SetSize(4));
    EXPECT_EQ(samples.GetSize(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(samples.GetAt(i), 0.0);
    EXPECT_TRUE(samples.Add(1.5));
    EXPECT_TRUE(samples.Add(-2.0));
    ASSERT_TRUE(samples.SetSize(4));
    EXPECT_EQ(samples.GetCount(), 2);
    EXPECT_EQ(samples.GetAt(1), -2.0);
    ASSERT_TRUE(samples.SetSize(3));
    EXPECT_EQ(samples.GetCount(), 0);
    EXPECT_EQ(samples.GetAt(0), 0.0);
    EXPECT_TRUE(samples.Add(1));
    EXPECT_TRUE(samples.Add(2));
    EXPECT_TRUE(samples.Add(3));
    EXPECT_FALSE(samples.Add(4)) << "the buffer is full";
    samples.Release();
    EXPECT_EQ(samples.values, nullptr);
    EXPECT_FALSE(samples.Add(5));
}

TEST(Graph, SettersIgnoreZeroAndGetSizeTakesTheLargestBuffer)
{
    CGraph graph;
    EXPECT_EQ(graph.GetSize(), 0);
    SAMPLES a, b;
    DATA first, second;
    first.samples = &a;
    second.samples = &b;
    graph.AddData(&first);
    graph.AddData(&second);
    graph.SetSize(300);
    b.SetSize(200);
    EXPECT_EQ(graph.GetSize(), 300);
    EXPECT_EQ(a.GetSize(), 300);

    graph.SetZoom(3);
    graph.SetZoom(0);
    EXPECT_EQ(GraphProbe::Zoom(graph), 3);
    graph.SetYRange(0);
    EXPECT_EQ(GraphProbe::YRange(graph), 200) << "a range of 0 would divide by zero";

    graph.SetTitle("T");
    graph.SetYTitle("Y");
    EXPECT_EQ(GraphProbe::Draw(graph)->title, "T");
    EXPECT_EQ(GraphProbe::Draw(graph)->yLabel, "Y");

    graph.SetDraw(nullptr);
    graph.SetTitle("ignored");
    graph.AddData(&first);
    graph.SetSize(10);
    EXPECT_EQ(graph.GetSize(), 0);
    EXPECT_EQ(a.GetSize(), 300);
}

TEST(Graph, GetRangeAlwaysContainsZero)
{
    CGraph graph;
    double values[] = {3, -2, 5, 1};
    double max = -1, min = 1;
    GraphProbe::GetRange(graph, values, 4, &max, &min);
    EXPECT_EQ(max, 5);
    EXPECT_EQ(min, -2);
    double positive[] = {2, 3};
    GraphProbe::GetRange(graph, positive, 2, &max, &min);
    EXPECT_EQ(max, 3);
    EXPECT_EQ(min, 0);
}

}
