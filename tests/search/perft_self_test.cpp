// Perft through the picker against a plain legal perft, and the generator
// cross-checks: silent over the perft suite, exact texts when they do report.
#include <gtest/gtest.h>

#include "../board/board_support.h"
#include "checks.h"
#include "support.h"

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
    jcount = 0;
    testing::internal::CaptureStdout();
    perft(p, 3, 0);  // one dot per legal root move
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(20, '.'));
    EXPECT_EQ(jcount, 20u + 400 + 8902);
    perftCastles = 0;
    EXPECT_EQ(perft(fromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -"), 1, 1), 26u);
    EXPECT_EQ(perftCastles, 2u);
}

TEST(SelfTest, ReportsInTheirExactTexts) {
    // Not in check, the evasion row only has king steps: the sizes differ.
    testing::internal::CaptureStdout();
    testOutGen(fromFen("7k/8/8/8/8/8/8/KN6 w - -"));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Hey, move list size does not match!Hey 0 is NOT in check!\n", 0), 0u) << out;
    EXPECT_NE(out.find("a1a2  a1b2  b1d2  b1a3  b1c3  \na1a2  a1b2  \n"), std::string::npos) << out;
    // A king off the inner board uncovering its rook's check is no candidate check.
    testing::internal::CaptureStdout();
    testCapsChecks(fromFen("k7/8/8/8/K7/8/8/R7 w - -"));
    out = testing::internal::GetCapturedStdout();
    for (const char* m : {"a4b3", "a4b4", "a4b5"})
        EXPECT_NE(out.find(std::string("\nHEY - move not found in list: ") + m), std::string::npos) << out;
    EXPECT_EQ(out.find("a4a3"), std::string::npos);
}

TEST(SelfTest, DevToolIsSilentOverTheSuiteTrees) {
    for (const auto& c : loadPerftSuite()) {
        std::string last = "selftest " + std::to_string(1 + c.counts[0] + c.counts[1]) + " nodes 0 reports\n";
        EXPECT_EQ(runDev("selftest 2 " + c.fen).out, last) << c.fen;
    }
    RunResult r = runDev("selftest 0 k7/8/8/8/K7/8/8/R7 w - -");
    EXPECT_EQ(r.out.substr(r.out.rfind("selftest")), "selftest 1 nodes 3 reports\n");
    EXPECT_EQ(runDev("see D2D6 3rk3/8/3p4/8/8/8/3R4/3RK3 w - -").out, "see d2d6 1\n");
    EXPECT_TRUE(runDev("see e2e5").status == 2 && runDev("selftest x").status == 2);
    EXPECT_EQ(runDev("display 4k3/8/8/8/8/8/4P3/4K3 b - -").out.rfind("\n-----[ CTM = 1   INCHECK = 0   last: N/A null   rights: -]-----\n - - - - k", 0), 0u);
    EXPECT_EQ(runDev("display 8/8/8/8/8/8/8/8 x - -").status, 2);
}

}  // namespace
