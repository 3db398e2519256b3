#include <gtest/gtest.h>

#include <climits>

#include "store/DpiScale.h"

namespace tav {
namespace {

// The system's MulDiv rounds half away from zero; the layout relies on the
// same rounding on every side.
TEST(DpiScale, RoundsHalfAwayFromZeroWithoutOverflow) {
    EXPECT_EQ(20, scaleToDpi(13, 144));  // 19.5
    EXPECT_EQ(-20, scaleToDpi(-13, 144));
    EXPECT_EQ(26, scaleToDpi(17, 144));  // 25.5
    EXPECT_EQ(241, scaleFromDpi(361, 144));
    EXPECT_EQ(405, scaleToDpi(270, 144));
    EXPECT_EQ(34, rescale(17, 96, 192));
    EXPECT_EQ(INT_MAX, scaleToDpi(INT_MAX, 192));
    EXPECT_EQ(INT_MIN, scaleToDpi(INT_MIN, 192));
    EXPECT_EQ(1073741824, scaleFromDpi(INT_MAX, 192));
    // A density the system could not tell counts as 100 %.
    EXPECT_EQ(270, scaleToDpi(270, 0));
    EXPECT_EQ(270, rescale(270, -1, 96));
}

// What makes a form's size read back as the figure it was given.
TEST(DpiScale, EveryFigureSurvivesTheTripToPixelsAndBack) {
    for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        for (int figure = -50; figure <= 3000; ++figure) {
            ASSERT_EQ(figure, scaleFromDpi(scaleToDpi(figure, dpi), dpi))
                << figure << " at " << dpi << " dpi";
        }
    }
}

TEST(DpiScale, EdgeOnTheClientEdgeLandsExactlyOnIt) {
    // 301 pixels at 150 % read as 201 figures, which would scale to 302.
    EXPECT_EQ(201, scaleFromDpi(301, 144));
    EXPECT_EQ(301, edgeToDpi(201, 201, 301, 144));
    // 300 pixels at 175 % read as 171, which would scale to 299: no gap either.
    EXPECT_EQ(300, edgeToDpi(171, 171, 300, 168));
    // Edges inside the client area scale as every figure does.
    EXPECT_EQ(20, edgeToDpi(13, 201, 301, 144));
    EXPECT_EQ(scaleToDpi(184, 144), edgeToDpi(184, 201, 301, 144));
}

TEST(DpiScale, PicturesComeInTheLargestDrawnSizeThatFits) {
    const int drawn[] = {16, 20, 24, 28, 32};
    EXPECT_EQ(16, pictureSizeFor(16, 96, drawn));
    EXPECT_EQ(20, pictureSizeFor(16, 120, drawn));
    EXPECT_EQ(24, pictureSizeFor(16, 144, drawn));
    EXPECT_EQ(28, pictureSizeFor(16, 168, drawn));
    EXPECT_EQ(32, pictureSizeFor(16, 192, drawn));
    // Between two sizes the smaller one, centred in its larger button.
    EXPECT_EQ(20, pictureSizeFor(16, 130, drawn));
    // Beyond the largest drawing, and below the smallest: never stretched.
    EXPECT_EQ(32, pictureSizeFor(16, 288, drawn));
    EXPECT_EQ(16, pictureSizeFor(16, 72, drawn));
    const int system[] = {16, 24};
    EXPECT_EQ(16, pictureSizeFor(16, 120, system));
    EXPECT_EQ(24, pictureSizeFor(16, 192, system));
}

}  // namespace
}  // namespace tav
