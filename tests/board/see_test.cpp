// Exchange evaluation and threat tests on small positions worked out by hand.
#include <gtest/gtest.h>

#include "board/see.h"
#include "board_support.h"

namespace {

struct Case {
    const char* name;
    const char* fen;
    const char* move;  // see: squares only, so the side not to move may be named
    int value;
};

Move squaresOf(const char* t) { return makeMove(t[0] - 'a' + 8 * (t[1] - '1'), t[2] - 'a' + 8 * (t[3] - '1')); }

Move genMove(const Position& p, const std::string& text) {
    Move list[MAX_MOVES];
    int n = genAll(p, list);
    for (int i = 0; i < n; ++i)
        if (moveText(list[i]) == text) return list[i];
    return 0;
}

TEST(See, HandWorkedExchanges) {
    const Case cases[] = {
        {"pawn takes undefended knight", "4k3/8/8/3n4/4P3/8/8/4K3 w - -", "e4d5", 3},
        {"knight takes pawn defended by pawn", "4k3/8/2p5/3p4/8/4N3/8/4K3 w - -", "e3d5", -2},
        {"queen takes rook defended by pawn", "4k3/2p5/3r4/8/8/3Q4/8/4K3 w - -", "d3d6", -4},
        {"rook takes queen defended by pawn", "4k3/2p5/3q4/8/8/3R4/8/4K3 w - -", "d3d6", 4},
        {"rear rook recaptures after the front one", "3rk3/8/3p4/8/8/8/3R4/3RK3 w - -", "d2d6", 1},
        {"single rook against a rook defender", "3rk3/8/3p4/8/8/8/3R4/4K3 w - -", "d2d6", -4},
        {"rook behind its queen", "3rk3/8/3p4/8/8/8/3Q4/3RK3 w - -", "d2d6", -3},
        {"queen alone", "3rk3/8/3p4/8/8/8/3Q4/4K3 w - -", "d2d6", -8},
        {"queen behind its rook", "3rk3/8/3p4/8/8/8/3R4/3QK3 w - -", "d2d6", 1},
        {"defending queen behind a rook", "3qk3/3r4/3p4/8/8/8/3R4/3RK3 w - -", "d2d6", -4},
        // Rxr, Qxr, Rxq, Kxr: black breaks even only because the recapturing queen counts 10.
        {"queen counts 10 as a recapturer", "3q4/8/4k3/3r4/8/8/3R4/3R3K w - -", "d2d5", 5},
        // Nxp, exn; the lowest bishop (a2) is blocked, so the g8 bishop waits too.
        {"blocked lowest bishop holds the bishops", "6B1/8/4p2k/3p4/8/1PN5/B7/7K w - -", "c3d5", -2},
        {"clear lowest bishop recaptures", "6B1/8/4p2k/3p4/8/2N5/B7/7K w - -", "c3d5", -1},
        {"queen to a square a pawn attacks", "4k3/8/8/2p5/8/8/8/3QK3 w - -", "d1d4", -9},
        {"queen to a safe empty square", "4k3/8/8/2p5/8/8/8/3QK3 w - -", "d1d3", 0},
        {"king does not recapture into a held square", "6k1/6p1/8/8/8/8/6R1/6RK w - -", "g2g7", 1},
        {"king defends alone", "6k1/6p1/8/8/8/8/6R1/7K w - -", "g2g7", -4},
        {"king takes a defended rook", "6k1/6r1/8/8/8/8/6r1/6K1 w - -", "g1g2", -994},
        {"en passant meets an empty target", "4k3/8/8/3pP3/8/8/8/4K3 w - d6", "e5d6", 0},
        {"black to move", "4k3/8/8/3p4/4N3/5P2/8/4K3 b - -", "d5e4", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(see(fromFen(c.fen), squaresOf(c.move), 0), c.value) << c.name;
    // Flag 1 judges a move of the side that just moved.
    EXPECT_EQ(see(fromFen("4k3/8/8/3p4/4N3/5P2/8/4K3 w - -"), squaresOf("d5e4"), 1), 2);
}

TEST(Threats, ThreatExistsAndItsMirror) {
    const Case cases[] = {
        {"nothing attacked", "4k3/8/8/8/8/8/8/4K3 w - -", "", 0},
        {"enemy pawn on its seventh rank", "4k3/8/8/8/8/8/p7/4K3 w - -", "", 15},
        {"seventh-rank pawn before a hanging queen", "4k3/8/8/2p5/3Q4/8/p7/4K3 w - -", "", 15},
        {"queen attacked by a pawn", "4k3/8/8/2p5/3Q4/8/8/4K3 w - -", "", 17},
        {"undefended knight attacked by a rook", "4k3/8/8/3r4/8/8/3N4/7K w - -", "", 6},
        {"pawn-defended knight attacked by a rook", "4k3/8/8/3r4/8/3N4/2P5/7K w - -", "", 1},
        {"king-defended knight attacked by a rook", "4k3/8/8/3r4/8/8/3N4/4K3 w - -", "", 1},
        {"black rook attacked by a queen", "4k3/8/8/3r4/8/8/3Q4/4K3 b - -", "", 9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(threatExists(fromFen(c.fen)), c.value) << c.name;
        // The same board with the other side to move: the threat is the one it created.
        std::string other = c.fen;
        other[other.find(' ') + 1] = other[other.find(' ') + 1] == 'w' ? 'b' : 'w';
        EXPECT_EQ(threatCreated(fromFen(other)), c.value) << c.name;
    }
}

TEST(Threats, AttackMvAfterTheMove) {
    const Case cases[] = {
        {"pawn attacks a knight", "4k3/8/8/2n5/8/3P4/8/4K3 w - -", "d3d4", 2},
        {"pawn attacks only a pawn", "4k3/8/8/2p5/8/3P4/8/4K3 w - -", "d3d4", 0},
        {"pawn attacks the king", "8/8/8/2k5/8/3P4/8/4K3 w - -", "d3d4", 2},
        {"knight attacks a rook", "4k3/8/8/1r6/8/8/8/3NK3 w - -", "d1c3", 2},
        {"knight attacks a loose bishop", "4k3/8/8/1b6/8/8/8/3NK3 w - -", "d1c3", 1},
        {"knight attacks a defended bishop", "4k3/8/p7/1b6/8/8/8/3NK3 w - -", "d1c3", 0},
        {"bishop attacks a rook", "4k3/6r1/8/8/8/8/8/B3K3 w - -", "a1c3", 2},
        {"bishop's line to the rook blocked", "4k3/6r1/8/4P3/8/8/8/B3K3 w - -", "a1c3", 0},
        {"bishop attacks a loose knight", "4k3/6n1/8/8/8/8/8/B3K3 w - -", "a1c3", 1},
        {"rook attacks a queen", "4k3/8/8/8/8/8/q7/6RK w - -", "g1g2", 2},
        {"rook attacks a loose bishop", "4k3/8/8/8/8/8/b7/6RK w - -", "g1g2", 1},
        {"queen attacks a loose knight", "4k3/8/8/8/8/8/n7/6QK w - -", "g1g2", 1},
        {"queen attacks a defended pawn", "4k3/8/8/8/8/1p6/p7/6QK w - -", "g1g2", 0},
        {"king moves", "4k3/8/8/8/8/8/n7/7K w - -", "h1g2", 0},
    };
    for (const auto& c : cases) {
        Position p = fromFen(c.fen), child{};
        ASSERT_EQ(algMake(p, child, c.move), 1) << c.name;
        EXPECT_EQ(attackMv(child), c.value) << c.name;
    }
    EXPECT_EQ(attackMv(fromFen(START_FEN)), 0);  // no last move at the root
}

TEST(Threats, CouldBeCheck) {
    const Case cases[] = {
        {"pawn step attacks the king", "8/8/3k4/8/4P3/8/8/4K3 w - -", "e4e5", 1},
        {"pawn step in front of the king", "8/8/4k3/8/4P3/8/8/4K3 w - -", "e4e5", 0},
        {"black pawn step", "4k3/8/8/8/3p4/8/4K3/8 b - -", "d4d3", 1},
        {"knight far away", "4k3/8/8/8/8/8/8/4KN2 w - -", "f1d2", 0},
        {"knight jumps to check", "4k3/8/8/5N2/8/8/8/4K3 w - -", "f5d6", 1},
        {"bishop off the king's lines", "4k3/8/8/8/8/8/8/1B2K3 w - -", "b1c2", 0},
        {"bishop onto an open diagonal", "4k3/8/8/8/8/8/8/1B2K3 w - -", "b1g6", 1},
        {"bishop onto a blocked diagonal", "4k3/5p2/8/8/8/8/8/1B2K3 w - -", "b1g6", 0},
        {"rook to the king's rank", "4k3/8/8/8/8/8/8/R3K2R w - -", "h1h8", 1},
        {"rook slides toward the king", "3k4/8/8/8/8/8/8/3RK3 w - -", "d1d4", 1},
        {"rook's own old square still blocks", "3k4/8/8/8/3R4/8/8/4K3 w - -", "d4d1", 0},
        {"queen's file blocked", "4k3/4p3/8/8/8/8/8/3QK3 w - -", "d1e2", 0},
        {"queen's diagonal open", "4k3/8/8/8/8/8/8/3QK3 w - -", "d1h5", 1},
        {"promotion judged as a pawn", "3k4/4P3/8/8/8/8/8/4K3 w - -", "e7e8q", 0},
        {"king steps next to the king", "8/8/8/3k4/8/4K3/8/8 w - -", "e3e4", 1},
    };
    for (const auto& c : cases) {
        Position p = fromFen(c.fen);
        Move m = genMove(p, c.move);
        ASSERT_NE(m, 0u) << c.name;
        EXPECT_EQ(couldBeCheck(p, m), c.value) << c.name;
    }
}

}  // namespace
