// Exchange evaluation and threat tests: small positions worked out by hand, and
// a fingerprint of every judgement over the perft trees.
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
        {"queen behind its rook", "3rk3/8/3p4/8/8/8/3R4/3QK3 w - -", "d2d6", 1},
        // Rxr, Qxr, Rxq, Kxr: black breaks even only because a recapturing queen counts 10.
        {"queen counts 10 as a recapturer", "3q4/8/4k3/3r4/8/8/3R4/3R3K w - -", "d2d5", 5},
        // Nxp, exn; the lowest bishop (a2) is blocked, so the g8 bishop waits too.
        {"blocked lowest bishop holds the bishops", "6B1/8/4p2k/3p4/8/1PN5/B7/7K w - -", "c3d5", -2},
        {"king does not recapture into a held square", "6k1/6p1/8/8/8/8/6R1/6RK w - -", "g2g7", 1},
        {"king takes a defended rook", "6k1/6r1/8/8/8/8/6r1/6K1 w - -", "g1g2", -994},
        // The value is the whole folded sequence, not only its sign.
        // Nxr +5, exn -3, exp +1: the pawn recapture is worth having.
        {"knight takes rook, pawns trade after", "4k3/8/4p3/3r4/4P3/2N5/8/4K3 w - -", "c3d5", 3},
        // Qh5 0, gxq +9, Bxp (through the queen's old square) -8, Nxb +11: white
        // stops after gxh5 and is a queen down.
        {"queen into a pawn, x-ray bishop behind", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
         "f3h5", -9},
        // Bxp +1, dxb -2, Qxp -1 would lose the queen to Rxq +11: white stops at -2.
        {"x-ray queen behind a bishop", "4k3/4r3/3p4/4p3/8/8/1B6/Q3K3 w - -", "b2e5", -2},
        // dxn +3, fxp -2, then Qxp +3 would meet the g7 bishop's x-ray through f6 and
        // the b2 bishop's behind the queen: white keeps +2.
        {"x-rays behind a queen and a pawn", "7k/6b1/5p2/4n3/3P4/2Q5/1B6/K7 w - -", "d4e5", 2},
        // Nxp +1, a queen recapture +2 would lose to Rxq +8 (the queen counts 10).
        {"queen as recapturer", "3q2k1/8/8/3p4/8/2N5/8/3R2K1 w - -", "c3d5", 1},
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
            fold(threatExists(node)), fold(threatCreated(node)), fold(attackMv(node));
            Move list[MAX_MOVES];
            for (int i = 0, n = genAll(node, list); i < n; ++i) {
                const Move m = list[i] & 0xfff;
                fold(see(node, m, 0)), fold(see(node, m, 1)), fold(couldBeCheck(node, m));
                fold(seeAtLeast(node, m, 0, 0) + 2 * seeAtLeast(node, m, 0, 1) + 4 * seeAtLeast(node, m, 1, -1));
                fold(sSee(node, makeMove(moveFrom(m), moveFrom(m)), 0));
            }
        });
    EXPECT_EQ(std::pair(fingerprint, calls), std::pair(uint64_t(1676429996595142782u), uint64_t(2697981)));
}

TEST(Threats, ThreatExistsAndItsMirror) {
    const Case cases[] = {
        {"enemy pawn on its seventh rank", "4k3/8/8/8/8/8/p7/4K3 w - -", "", 15},
        {"queen attacked by a pawn", "4k3/8/8/2p5/3Q4/8/8/4K3 w - -", "", 17},
        {"pawn-defended knight attacked by a rook", "4k3/8/8/3r4/8/3N4/2P5/7K w - -", "", 1},
        {"a threat of 1 after the knights: the pawns are looked at", "4k3/8/8/3r4/8/3N4/2P5/r2P3K w - -", "", 2},
        // Rxb +6, Rxr -1, Kxr +6: the bishop is lost for nothing.
        {"bishop lost after the rooks trade", "4k3/8/8/8/8/8/4K3/r3b2R b - -", "", 6},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(threatExists(fromFen(c.fen)), c.value) << c.name;
        std::string other = c.fen;  // the other side to move: the threat it created
        other[other.find(' ') + 1] ^= 'w' ^ 'b';
        EXPECT_EQ(threatCreated(fromFen(other)), c.value) << c.name;
    }
}

TEST(Threats, AttackMvAndCouldBeCheck) {
    const Case attacks[] = {
        {"pawn attacks a knight", "4k3/8/8/2n5/8/3P4/8/4K3 w - -", "d3d4", 2},
        {"knight attacks a rook", "4k3/8/8/1r6/8/8/8/3NK3 w - -", "d1c3", 2},
        {"rook attacks a queen", "4k3/8/8/8/8/8/q7/6RK w - -", "g1g2", 2},
        {"king moves", "4k3/8/8/8/8/8/n7/7K w - -", "h1g2", 0},
    };
    for (const auto& c : attacks) {
        Position p = fromFen(c.fen), child{};
        ASSERT_EQ(algMake(p, child, c.move), 1) << c.name;
        EXPECT_EQ(attackMv(child), c.value) << c.name;
    }
    EXPECT_EQ(attackMv(fromFen(START_FEN)), 0);  // no last move at the root
    const Case checks[] = {
        {"pawn step attacks the king", "8/8/3k4/8/4P3/8/8/4K3 w - -", "e4e5", 1},
        {"bishop onto a blocked diagonal", "4k3/5p2/8/8/8/8/8/1B2K3 w - -", "b1g6", 0},
        {"rook's own old square still blocks", "3k4/8/8/8/3R4/8/8/4K3 w - -", "d4d1", 0},
        {"promotion judged as a pawn", "3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8", 0},
    };
    for (const auto& c : checks) EXPECT_EQ(couldBeCheck(fromFen(c.fen), squaresOf(c.move)), c.value) << c.name;
}

}  // namespace
