// Score-pair arithmetic and the rounding helpers.
#include <gtest/gtest.h>

#include "eval/score.h"

namespace {

TEST(ScorePair, LayoutAndSignExtension) {
    EXPECT_EQ(scorePair(36, 115), 0x0000002400000073ULL);
    EXPECT_EQ(scorePair(-60, -84), 0x7fffffc47fffffacULL);
    EXPECT_EQ(getMidVal(0x7fffffc47fffffacULL), -60);
    EXPECT_EQ(getEndVal(0x7fffffc47fffffacULL), -84);
    // A half of -1 is stored as 0x7fffffff and reads back as -1.
    EXPECT_EQ(scorePair(-1, -1), 0x7fffffff7fffffffULL);
    EXPECT_EQ(getMidVal(scorePair(-1, 5)), -1);
    EXPECT_EQ(getEndVal(scorePair(5, -1)), -1);
    EXPECT_EQ(scorePair(-1, 2) & ~PAIR_MASK, 0u);
}

TEST(ScorePair, AddNegateSubtract) {
    struct Case {
        int am, ae, bm, be;
    };
    const Case cases[] = {{5, -3, -7, 10}, {0, 0, 0, 0}, {-1000, 1000, 999, -1001}, {1, -1, -1, 1},
                          {1073741823, 0, 0, 1073741823}};
    for (const Case& c : cases) {
        ScorePair a = scorePair(c.am, c.ae), b = scorePair(c.bm, c.be);
        EXPECT_EQ(spAdd(a, b), scorePair(c.am + c.bm, c.ae + c.be));
        EXPECT_EQ(spNeg(b), scorePair(-c.bm, -c.be));
        EXPECT_EQ(spSub(a, b), scorePair(c.am - c.bm, c.ae - c.be));
    }
    EXPECT_EQ(spAdd(scorePair(5, -3), scorePair(-7, 10)), scorePair(-2, 7));
    EXPECT_EQ(spNeg(0), 0u);
    EXPECT_EQ(spNeg(scorePair(1, -1)), scorePair(-1, 1));
}

TEST(ScorePair, HalvesWrapWithoutDisturbingEachOther) {
    ScorePair top = scorePair(1073741823, 1073741823);
    ScorePair one = scorePair(1, 1);
    EXPECT_EQ(getMidVal(spAdd(top, one)), -1073741824);
    EXPECT_EQ(getEndVal(spAdd(top, one)), -1073741824);
    // The end half's carry never reaches the middle half.
    EXPECT_EQ(getMidVal(spAdd(scorePair(7, -1), scorePair(0, 1))), 7);
    EXPECT_EQ(getEndVal(spAdd(scorePair(7, -1), scorePair(0, 1))), 0);
}

TEST(ScorePair, MultiplyAndScale) {
    EXPECT_EQ(MUL(scorePair(-15, -15), scorePair(30, 12)), scorePair(-450, -180));
    EXPECT_EQ(MUL(scorePair(-2, -80), scorePair(12, 12)), scorePair(-24, -960));
    EXPECT_EQ(spScale(3, scorePair(-60, 7)), scorePair(-180, 21));
    EXPECT_EQ(spScale(-2, scorePair(-60, 7)), scorePair(120, -14));
    EXPECT_EQ(spScale(0, scorePair(-60, 7)), 0u);
}

TEST(Rounding, Div10DiRoundAndRoundEven) {
    struct Case {
        int x, want;
    };
    for (Case c : {Case{15, 2}, Case{14, 1}, Case{-15, -2}, Case{-14, -1}, Case{0, 0}, Case{5, 1}, Case{-5, -1},
                   Case{4, 0}, Case{-4, 0}, Case{90, 9}, Case{20, 2}})
        EXPECT_EQ(div10(c.x), c.want) << c.x;
    EXPECT_EQ(diRound(2.5), 3);
    EXPECT_EQ(diRound(-2.5), -3);
    EXPECT_EQ(diRound(2.49), 2);
    EXPECT_EQ(diRound(-0.4), 0);
    for (Case c : {Case{5, 4}, Case{-5, -4}, Case{-6, -6}, Case{0, 0}, Case{7, 6}, Case{-1, 0}})
        EXPECT_EQ(iRoundEven(c.x), c.want) << c.x;
}

}  // namespace
