// Score-pair arithmetic and the rounding helpers.
#include <gtest/gtest.h>

#include "eval/score.h"

TEST(ScorePair, LayoutArithmeticAndWrap) {
    EXPECT_EQ(scorePair(36, 115), 0x0000002400000073ULL);
    EXPECT_EQ(scorePair(-60, -84), 0x7fffffc47fffffacULL);
    EXPECT_EQ(getMidVal(0x7fffffc47fffffacULL), -60);
    EXPECT_EQ(getEndVal(0x7fffffc47fffffacULL), -84);
    EXPECT_EQ(scorePair(-1, -1), 0x7fffffff7fffffffULL);  // -1 reads back as -1
    const int cases[][4] = {{5, -3, -7, 10}, {0, 0, 0, 0}, {-1000, 1000, 999, -1001}, {1, -1, -1, 1}};
    for (auto [am, ae, bm, be] : cases) {
        const ScorePair a = scorePair(am, ae), b = scorePair(bm, be);
        EXPECT_EQ(spAdd(a, b), scorePair(am + bm, ae + be));
        EXPECT_EQ(spNeg(b), scorePair(-bm, -be));
        EXPECT_EQ(spSub(a, b), scorePair(am - bm, ae - be));
    }
    // A half leaving the 31-bit range wraps; the end half never carries over.
    EXPECT_EQ(spAdd(scorePair(1073741823, 1073741823), scorePair(1, 1)), scorePair(-1073741824, -1073741824));
    EXPECT_EQ(spAdd(scorePair(7, -1), scorePair(0, 1)), scorePair(7, 0));
    EXPECT_EQ(MUL(scorePair(-15, -15), scorePair(30, 12)), scorePair(-450, -180));
    EXPECT_EQ(spScale(-2, scorePair(-60, 7)), scorePair(120, -14));
}

TEST(Rounding, Div10DiRoundAndRoundEven) {
    const int tenths[][2] = {{15, 2}, {14, 1}, {-15, -2}, {-14, -1}, {5, 1}, {-5, -1}, {4, 0}, {90, 9}};
    for (auto [x, want] : tenths) EXPECT_EQ(div10(x), want) << x;
    EXPECT_EQ(diRound(2.5), 3);
    EXPECT_EQ(diRound(-2.5), -3);
    EXPECT_EQ(diRound(-0.4), 0);
    const int even[][2] = {{5, 4}, {-5, -4}, {-6, -6}, {7, 6}, {-1, 0}};
    for (auto [x, want] : even) EXPECT_EQ(iRoundEven(x), want) << x;
}
