// Exchange evaluation: positions worked out by hand, and a fingerprint of every
// judgement of the module (threat tests included) over the perft trees.

#include "board/see.h"
#include "board_support.h"

namespace {

Move squaresOf(const std::string& t) { return makeMove(t[0] - 'a' + 8 * (t[1] - '1'), t[2] - 'a' + 8 * (t[3] - '1')); }

// Small positions worked out by hand (tests/data/see.txt); the move by squares
// only, so that flag 1 can judge a move of the side that has just moved.
TEST(See, HandWorkedExchanges) {
    for (const auto& c : readTable("see.txt")) {  // FEN | move | flag | value
        const Position p = fromFen(c[0]);
        const Move m = squaresOf(c[1]);
        const int flag = std::stoi(c[2]), value = std::stoi(c[3]);
        EXPECT_EQ(see(p, m, flag), value) << c[0];
        EXPECT_TRUE(seeAtLeast(p, m, flag, value) && !seeAtLeast(p, m, flag, value + 1)) << c[0];  // the early stops
    }
}

// Every judgement of this module over the nodes of the suite's two-ply trees,
// folded in order into one number: a change to any of them moves it.
TEST(See, FingerprintOverPerftTrees) {
    Fingerprint fp;
    auto fold = [&](int v) { fp(uint64_t(int64_t(v))); };
    walkSuiteTrees([&](const Position&, const Position& node, Move) {
        fold(threatExists(node)), fold(attackMv(node));
        Move list[MAX_MOVES];
        for (int i = 0, n = genAll(node, list); i < n; ++i) {
            const Move m = list[i] & 0xfff;
            fold(see(node, m, 0)), fold(see(node, m, 1)), fold(couldBeCheck(node, m));
            fold(seeAtLeast(node, m, 0, 0) + 2 * seeAtLeast(node, m, 0, 1) + 4 * seeAtLeast(node, m, 1, -1));
            fold(sSee(node, makeMove(moveFrom(m), moveFrom(m)), 0));
        }
    });
    EXPECT_EQ(std::pair(fp.value, fp.count), std::pair(uint64_t(8711922816564993120u), uint64_t(2682024)));
}

}  // namespace
