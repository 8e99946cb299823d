// Tenths rounded half away from zero.
#include <gtest/gtest.h>

#include "base/score.h"

TEST(Rounding, Div10) {
    const int tenths[][2] = {{15, 2}, {14, 1}, {-15, -2}, {-14, -1}, {5, 1}, {-5, -1}, {4, 0}, {90, 9}};
    for (auto [x, want] : tenths) EXPECT_EQ(div10(x), want) << x;
}
