// Perft through the picker against a plain legal perft. (The generator
// cross-checks, silent over the suite and reporting in their own words: zarv-dev selftest.)

#include "../board/board_support.h"
#include "checks.h"

namespace {

// Legal perft over genAll, under-promotions only at the root when asked.
uint64_t plainPerft(const Position& p, int depth, bool rootUnder) {
    uint64_t sum = 0;
    walkTree(p, 1, [&](const Position&, const Position& c, Move m) {
        if (rootUnder || moveType(m) < PROMO_N) sum += depth == 1 ? 1 : plainPerft(c, depth - 1, false);
    });
    return depth ? sum : 1;
}

TEST(Perft, PickerCountsLeaveOutUnderPromotions) {
    for (const auto& c : loadPerftSuite()) {
        Position p = fromFen(c.fen);
        EXPECT_EQ(perft(p, 3, 1), plainPerft(p, 3, false)) << c.fen;
        EXPECT_EQ(WORKING_perft(p, 2, 1), plainPerft(p, 2, true)) << c.fen;
        EXPECT_EQ(WORKING_perft(p, 1, 1), c.counts[0]) << c.fen;
    }
    Position p = fromFen(START_FEN);
    EXPECT_EQ(perft(p, 0, 1) + perft(p, 4, 1), 1u + 197281);
    testing::internal::CaptureStdout();
    perft(p, 3, 0);  // one dot per legal root move
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(20, '.'));
}

}  // namespace
