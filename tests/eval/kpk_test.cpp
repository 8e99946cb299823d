// The KPK bitbase re-derived here independently (bitboards over the engine's
// attack tables, pawn marching up the board) and compared bit for bit, plus
// its symmetries and the endgame helpers.
#include <array>
#include <vector>

#include "board/tables.h"
#include "eval/kpkdb.h"
#include "eval_support.h"

namespace {

Bitboard pawnHits(int p) { return pawnAttacks(bit(p), WHITE); }

// Pawn just promoted on q to a queen or rook, black to move: won unless the
// black king takes the new piece or is stalemated.
bool promotes(int K, int k, int q, bool queen) {
    if ((kATT[k] & bit(q)) && !(kATT[K] & bit(q))) return false;
    const Bitboard occ = bit(K) | bit(q);  // the black king does not shield squares behind it
    const Bitboard att = orthAttacks(q, occ) | (queen ? diagAttacks(q, occ) : 0);
    if (att & bit(k)) return true;
    return (kATT[k] & ~kATT[K] & ~att & ~bit(q)) != 0;
}

// win[P][stm][K][k] for white pawns on files a-d, ranks 2-7.
struct Solved {
    std::vector<std::array<std::array<std::array<bool, 64>, 64>, 2>> win =
        std::vector<std::array<std::array<std::array<bool, 64>, 64>, 2>>(64);
};

bool legal(int P, int K, int k, int stm) {
    if (K == P || k == P || (kATT[K] & bit(k)) || K == k) return false;
    return !(stm == WHITE && (pawnHits(P) & bit(k)));
}

const Solved& solve() {
    static const Solved s = [] {
        evalSetUp();
        Solved r;
        for (int rank = 6; rank >= 1; --rank)
            for (int file = 0; file < 4; ++file) {
                const int P = rank * 8 + file;
                auto& w = r.win[P];
                bool changed = true;
                while (changed) {
                    changed = false;
                    for (int K = 0; K < 64; ++K)
                        for (int k = 0; k < 64; ++k) {
                            if (!w[WHITE][K][k] && legal(P, K, k, WHITE)) {
                                bool won = false;
                                for (Bitboard b = kATT[K] & ~kATT[k] & ~bit(P); b && !won; b &= b - 1)
                                    won = w[BLACK][nextBit(b)][k];
                                const int up = P + 8;
                                if (!won && up != K && up != k) {
                                    if (rank == 6) won = promotes(K, k, up, true) || promotes(K, k, up, false);
                                    else won = r.win[up][BLACK][K][k];
                                    if (!won && rank == 1 && up + 8 != K && up + 8 != k)
                                        won = r.win[up + 8][BLACK][K][k];
                                }
                                if (won) w[WHITE][K][k] = changed = true;
                            }
                            if (!w[BLACK][K][k] && legal(P, K, k, BLACK)) {
                                const Bitboard moves = kATT[k] & ~kATT[K] & ~pawnHits(P);
                                bool won = moves ? !(moves & bit(P)) : (pawnHits(P) & bit(k)) != 0;
                                for (Bitboard b = moves; b && won; b &= b - 1) won = w[WHITE][K][nextBit(b)];
                                if (won) w[BLACK][K][k] = changed = true;
                            }
                        }
                }
            }
        return r;
    }();
    return s;
}

TEST(Kpk, BitbaseMatchesIndependentSolution) {
    const Solved& s = solve();
    int wins = 0, draws = 0;
    for (int rank = 1; rank <= 6; ++rank)
        for (int file = 0; file < 4; ++file) {
            const int P = rank * 8 + file;
            for (int K = 0; K < 64; ++K)
                for (int k = 0; k < 64; ++k)
                    for (int stm = 0; stm < 2; ++stm) {
                        if (!legal(P, K, k, stm)) continue;
                        // The bitbase's frame has the pawn marching down.
                        const int got = pk_win(K ^ 56, P ^ 56, k ^ 56, stm == BLACK);
                        ASSERT_EQ(got, int(s.win[P][stm][K][k])) << "K " << K << " P " << P << " k " << k
                                                                 << " stm " << stm;
                        (got ? wins : draws)++;
                    }
        }
    // Most legal positions are wins; a good share are draws.
    EXPECT_GT(wins, 100000);
    EXPECT_GT(draws, 30000);
}

TEST(Kpk, FilesEToHAreMirrored) {
    evalSetUp();
    for (int rank = 1; rank <= 6; ++rank)
        for (int file = 4; file < 8; ++file) {
            const int P = rank * 8 + file;
            for (int K = 0; K < 64; ++K)
                for (int k = 0; k < 64; ++k)
                    for (int w = 0; w < 2; ++w)
                        ASSERT_EQ(pk_win(K, P, k, w), pk_win(K ^ 7, P ^ 7, k ^ 7, w));
        }
    // The pawn on g4 is looked up as the one on b4.
    EXPECT_EQ(pk_win(22, 30, 46, 1), pk_win(17, 25, 41, 1));
}

TEST(Kpk, KnownPositions) {
    evalSetUp();
    struct Case {
        const char* fen;
        int score;  // kpvsk, white's view
    };
    const Case cases[] = {
        {"4k3/8/4K3/4P3/8/8/8/8 b - -", 404},
        {"k7/8/8/8/8/8/P7/2K5 w - -", 3},
        {"k7/8/8/8/8/8/P7/2K5 b - -", 3},
        {"7k/8/8/8/8/8/7P/5K2 w - -", 3},      // rook's pawn, defender in the corner
        {"8/8/8/8/8/k7/P7/K7 w - -", 3},       // rook's pawn, own king shut in
        {"8/8/8/8/8/8/k1K5/8 w - -", 0},       // no pawn here: never probed
        {"4k3/8/4K3/4P3/8/8/8/8 w - -", 404},  // king on the sixth before its pawn
        {"4k3/8/8/4K3/4P3/8/8/8 w - -", 388},  // king in front: always wins
        {"8/8/8/8/1k6/8/1P6/K7 b - -", 3},
        {"8/8/8/8/8/4K3/4P3/4k3 w - -", 356},  // the defender is behind the pawn
        {"8/6k1/8/8/8/8/P7/K7 b - -", 3},      // in time for the corner
        {"8/8/8/7k/P7/8/8/K7 b - -", 388},     // outside the pawn's square
        {"8/4p3/8/8/8/8/8/K3k3 b - -", -356},
        {"K7/8/8/8/8/8/p7/k7 w - -", -436},   // the king steps aside and the pawn queens
        {"8/8/8/8/8/1k6/p7/K7 w - -", -3},     // the defender holds the corner
    };
    for (const Case& c : cases) {
        Position p = evalPos(c.fen);
        if (!c.score) continue;
        EXPECT_EQ(kpvsk(p), c.score) << c.fen;
        // Colours flipped: the same size, the other sign.
        EXPECT_EQ(kpvsk(colourMirror(p)), -c.score) << c.fen;
    }
}

TEST(Kpk, ColourFlipOverAllPositionsOfTwoPawns) {
    evalSetUp();
    for (int P : {12, 50}) {
        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k) {
                if (!legal(P, K, k, BLACK) || !legal(P, K, k, WHITE)) continue;
                Position p{};
                p.pcs[WHITE][KING] = bit(K);
                p.pcs[WHITE][PAWN] = bit(P);
                p.pcs[BLACK][KING] = bit(k);
                p.pcs[WHITE][ALL] = bit(K) | bit(P);
                p.pcs[BLACK][ALL] = bit(k);
                p.castle = LAST_RANKS;
                for (int stm = 0; stm < 2; ++stm) {
                    p.ctm = stm;
                    ASSERT_EQ(kpvsk(colourMirror(p)), -kpvsk(p));
                }
            }
    }
}

TEST(Endgames, DistancesAndScorers) {
    evalSetUp();
    EXPECT_EQ(dist(0, 63), 7);
    EXPECT_EQ(mdist(0, 63), 14);
    EXPECT_EQ(dist(28, 29), 1);
    EXPECT_EQ(mdist(12, 30), 4);
    EXPECT_EQ(kvsk(evalPos("4k3/8/8/8/8/8/8/4K3 w - -")), 0);
    EXPECT_EQ(kvsm(evalPos("4k3/8/8/8/8/8/8/2B1K3 w - -")), 3);
    EXPECT_EQ(kvsm(evalPos("4k3/8/8/8/8/8/8/1N2K3 w - -")), 3);
    EXPECT_EQ(kvsm(evalPos("3nk3/8/8/8/8/8/8/4K3 w - -")), -3);
    // Dark bishop: corners a1 and h8; black king h8, white king f6, knight g5.
    EXPECT_EQ(kbnvsk(evalPos("7k/8/5K2/6N1/8/8/8/2B5 w - -")), 800 - 0 - 4 * 2 - 2 * 3);
    // Light bishop, black side strong: corners a8, h1; white king on a1 is 7 away.
    EXPECT_EQ(kbnvsk(evalPos("8/8/8/3k4/8/2n5/8/K4b2 w - -")), -(800 - 20 * 7 - 4 * 4 - 2 * 2));
    Position p = evalPos("4k3/8/8/8/8/8/8/4K3 w - -");
    EXPECT_EQ(special_endings(p, 0), 0);
    EXPECT_EQ(special_endings(p, p.hashKey), 0);
}

TEST(Endgames, MobilityMaps) {
    evalSetUp();
    // White knight d4, bishop c1, rook a1; black pawns on c6 and e6 guard
    // b5, d5, f5 and the black king stands on e8.
    Position p = evalPos("4k3/8/2p1p3/8/3N4/8/8/R1B1K3 w - -");
    int hit = -1;
    // Knight d4: b3 b5 c2 c6 e2 e6 f3 f5; b5 and f5 lie under the pawns.
    EXPECT_EQ(nxmap(p, WHITE, 27, p.pcs[BLACK][PAWN], hit), 6);
    EXPECT_EQ(hit, 1);
    // Bishop c1: b2 a3 d2 e3 f4 g5 h6.
    EXPECT_EQ(dxmap(p, WHITE, 2, p.pcs[BLACK][KING], hit), 7);
    EXPECT_EQ(hit, 0);
    // Rook a1: a2-a8 and b1 (c1 is white's own bishop, still in the area).
    EXPECT_EQ(oxmap(p, WHITE, 0, bit(56), hit), 9);
    EXPECT_EQ(hit, 1);
}

}  // namespace
