#include <gtest/gtest.h>

#include <cmath>

#include "zorkit/platform/gdi/PngFile.h"
#include "tests/studio/PictureCheck.h"
#include "tests/support/TempDir.h"
#include "tools/common/ExperimentPicture.h"

namespace zorkit::studio::test {
namespace {

std::shared_ptr<Surface> Written(CExperimentPicture& picture, const std::string& name)
{
    TempDir scratch;
    const std::string path = scratch.File(name);
    EXPECT_TRUE(picture.WritePng(path.c_str()));
    return ReadPng(path.c_str());
}

TEST(ExperimentPicture, TemperatureSetPointIsTheReferenceLine)
{
    CExperimentPicture picture(ExperimentQuantity::Temperature, 70, 100);
    for (int i = 0; i < 100; ++i)
        picture.Add(20.0 + 50.0 * (1.0 - std::exp(-i / 15.0)), i < 40 ? 91 : 30);
    auto png = Written(picture, "temperature.png");
    ASSERT_TRUE(png) << "the PNG reads back";
    EXPECT_EQ(png->Width(), CExperimentPicture::kWidth);
    EXPECT_EQ(png->Height(), CExperimentPicture::kHeight);
    // 70 of the -100 .. 100 range.
    ExpectReferenceLineAt(*png, ReferenceRow(70, 200));
    EXPECT_EQ(ReferenceRow(70, 200), 65);
}

TEST(ExperimentPicture, SpeedSetPointIsTheReferenceLine)
{
    CExperimentPicture picture(ExperimentQuantity::Speed, 300, 50);
    for (int i = 0; i < 50; ++i)
        picture.Add(6.0 * i, 100);
    auto png = Written(picture, "speed.png");
    ASSERT_TRUE(png);
    // 300 of the -500 .. 500 range.
    ExpectReferenceLineAt(*png, ReferenceRow(300, 1000));
}

TEST(ExperimentPicture, CurvesAreDrawnInTheirColours)
{
    CExperimentPicture picture(ExperimentQuantity::Temperature, 50, 10);
    for (int i = 0; i < 10; ++i)
        picture.Add(-40.0, 60);
    auto png = Written(picture, "curves.png");
    ASSERT_TRUE(png);
    // -40 lies at y 230, the output byte 60 at y 80; between samples 2 and 3 (x 120 .. 170).
    EXPECT_EQ(png->GetPixel(150, ReferenceRow(-40, 200)), RGB(255, 255, 0)) << "measured curve";
    EXPECT_EQ(png->GetPixel(150, ReferenceRow(60, 200)), RGB(0, 200, 255)) << "output curve";
}

TEST(ExperimentPicture, RefusesSamplesBeyondItsCapacity)
{
    CExperimentPicture picture(ExperimentQuantity::Temperature, 50, 3);
    EXPECT_TRUE(picture.Add(1, 1));
    EXPECT_TRUE(picture.Add(2, 2));
    EXPECT_TRUE(picture.Add(3, 3));
    EXPECT_FALSE(picture.Add(4, 4));
    EXPECT_EQ(picture.Count(), 3);
}

TEST(ExperimentPicture, UnwritablePathFails)
{
    CExperimentPicture picture(ExperimentQuantity::Temperature, 50, 3);
    EXPECT_FALSE(picture.WritePng("/nonexistent-directory/picture.png"));
}

}
}
