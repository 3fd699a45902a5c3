// Fonts, metrics and text output.
#include "Canvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

CFont* MakeFont(CFont& font, int height, int weight = FW_NORMAL, LPCTSTR face = "Arial") {
    font.CreateFont(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                    DEFAULT_PITCH | FF_DONTCARE, face);
    return &font;
}

TEST(Text, ArialNinePointMetricsFitTheGrid) {
    Canvas c(200, 50);
    CFont regular, bold;
    CFont* old = c.dc.SelectObject(MakeFont(regular, -12));
    TEXTMETRIC tm{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_GE(tm.tmHeight, 14);
    EXPECT_LE(tm.tmHeight, 15);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 12);
    EXPECT_GE(tm.tmAveCharWidth, 5);
    EXPECT_LE(tm.tmAveCharWidth, 7);
    c.dc.SelectObject(MakeFont(bold, -12, FW_BOLD));
    TEXTMETRIC tmBold{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tmBold));
    EXPECT_GT(tmBold.tmAveCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tmBold.tmWeight, FW_BOLD);
    c.dc.SelectObject(old);
}
} // namespace
