// Exchange evaluation: small positions worked out by hand, and a fingerprint of
// every judgement of the module (threat tests included) over the perft trees.
#include <gtest/gtest.h>

#include "board/see.h"
#include "board_support.h"

namespace {

// The move by squares only, so a move of the side not to move can be named.
struct Case { const char *name, *fen, *move; int value; };

Move squaresOf(const char* t) { return makeMove(t[0] - 'a' + 8 * (t[1] - '1'), t[2] - 'a' + 8 * (t[3] - '1')); }

TEST(See, HandWorkedExchanges) {
    const Case cases[] = {
        {"rear rook recaptures after the front one", "3rk3/8/3p4/8/8/8/3R4/3RK3 w - -", "d2d6", 1},
        // Rxr, Qxr, Rxq, Kxr: black breaks even only because a recapturing queen counts 10.
        {"queen counts 10 as a recapturer", "3q4/8/4k3/3r4/8/8/3R4/3R3K w - -", "d2d5", 5},
        // Nxp, exn; the lowest bishop (a2) is blocked, so the g8 bishop waits too.
        {"blocked lowest bishop holds the bishops", "6B1/8/4p2k/3p4/8/1PN5/B7/7K w - -", "c3d5", -2},
        {"king does not recapture into a held square", "6k1/6p1/8/8/8/8/6R1/6RK w - -", "g2g7", 1},
        {"king takes a defended rook", "6k1/6r1/8/8/8/8/6r1/6K1 w - -", "g1g2", -994},
        // The value is the whole folded sequence, not only its sign.
        // Nxr +5, exn -3, exp +1: the pawn recapture is worth having.
        {"knight takes rook, pawns trade after", "4k3/8/4p3/3r4/4P3/2N5/8/4K3 w - -", "c3d5", 3},
        // Bxp +1, dxb -2, Qxp -1 would lose the queen to Rxq +11: white stops at -2.
        {"x-ray queen behind a bishop", "4k3/4r3/3p4/4p3/8/8/1B6/Q3K3 w - -", "b2e5", -2},
    };
    for (const auto& c : cases) {
        const Position p = fromFen(c.fen);
        const Move m = squaresOf(c.move);
        EXPECT_EQ(see(p, m, 0), c.value) << c.name;
        EXPECT_TRUE(seeAtLeast(p, m, 0, c.value) && !seeAtLeast(p, m, 0, c.value + 1)) << c.name;  // the early stops
    }
    // Flag 1 judges a move of the side that just moved.
    EXPECT_EQ(see(fromFen("4k3/8/8/3p4/4N3/5P2/8/4K3 w - -"), squaresOf("d5e4"), 1), 2);
}

// Every judgement of this module over the nodes of the suite's two-ply trees,
// folded in order into one number: a change to any of them moves it.
TEST(See, FingerprintOverPerftTrees) {
    uint64_t fingerprint = 0, calls = 0;
    auto fold = [&](int v) { fingerprint = fingerprint * 1000003 + uint64_t(int64_t(v)), ++calls; };
    for (const PerftCase& c : loadPerftSuite())
        walkTree(fromFen(c.fen), 2, [&](const Position&, const Position& node, Move) {
            fold(threatExists(node)), fold(attackMv(node));
            Move list[MAX_MOVES];
            for (int i = 0, n = genAll(node, list); i < n; ++i) {
                const Move m = list[i] & 0xfff;
                fold(see(node, m, 0)), fold(see(node, m, 1)), fold(couldBeCheck(node, m));
                fold(seeAtLeast(node, m, 0, 0) + 2 * seeAtLeast(node, m, 0, 1) + 4 * seeAtLeast(node, m, 1, -1));
                fold(sSee(node, makeMove(moveFrom(m), moveFrom(m)), 0));
            }
        });
    EXPECT_EQ(std::pair(fingerprint, calls), std::pair(uint64_t(8711922816564993120u), uint64_t(2682024)));
}

}  // namespace
