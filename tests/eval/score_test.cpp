// The rounding helpers.
#include <gtest/gtest.h>

#include <tuple>

#include "base/score.h"

TEST(Rounding, Div10DiRoundAndRoundEven) {
    const int tenths[][2] = {{15, 2}, {14, 1}, {-15, -2}, {-14, -1}, {5, 1}, {-5, -1}, {4, 0}, {90, 9}};
    for (auto [x, want] : tenths) EXPECT_EQ(div10(x), want) << x;
    EXPECT_EQ(std::tuple(diRound(2.5), diRound(-2.5), diRound(-0.4)), std::tuple(3, -3, 0));
    const int even[][2] = {{5, 4}, {-5, -4}, {-6, -6}, {7, 6}, {-1, 0}};
    for (auto [x, want] : even) EXPECT_EQ(iRoundEven(x), want) << x;
}
