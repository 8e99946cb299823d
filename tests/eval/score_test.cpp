// Score-pair arithmetic and the rounding helpers.
#include <gtest/gtest.h>

#include <tuple>

#include "base/score.h"

TEST(ScorePair, LayoutArithmeticAndWrap) {
    const std::tuple<int, int, ScorePair> layout[] = {  // each half reads back as written
        {36, 115, 0x0000002400000073ULL}, {-60, -84, 0x7fffffc47fffffacULL}, {-1, -1, 0x7fffffff7fffffffULL}};
    for (auto [mid, end, bits] : layout) EXPECT_EQ(std::tuple(scorePair(mid, end), getMidVal(bits), getEndVal(bits)), std::tuple(bits, mid, end));
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
    EXPECT_EQ(std::tuple(diRound(2.5), diRound(-2.5), diRound(-0.4)), std::tuple(3, -3, 0));
    const int even[][2] = {{5, 4}, {-5, -4}, {-6, -6}, {7, 6}, {-1, 0}};
    for (auto [x, want] : even) EXPECT_EQ(iRoundEven(x), want) << x;
}
