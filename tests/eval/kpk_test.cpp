// The KPK bitbase against a solution derived here independently (bitboards
// over the engine's attack tables, the pawn marching up), its symmetries,
// and the endgame helpers.
#include <array>
#include <vector>

#include "board/tables.h"
#include "eval/kpkdb.h"
#include "eval_support.h"

namespace {

// Promoted on q, black to move: won unless the new piece is taken or black is stalemated.
bool promotes(int K, int k, int q, bool queen) {
    if ((kATT[k] & bit(q)) && !(kATT[K] & bit(q))) return false;
    const Bitboard occ = bit(K) | bit(q), att = orthAttacks(q, occ) | (queen ? diagAttacks(q, occ) : 0);
    return (att & bit(k)) || (kATT[k] & ~kATT[K] & ~att & ~bit(q));
}

bool legal(int P, int K, int k, int stm) {
    return K != P && k != P && K != k && !(kATT[K] & bit(k)) && !(stm == WHITE && (pawnAttacks(WHITE, bit(P)) & bit(k)));
}

TEST_F(EvalTest, KpkBitbaseMatchesIndependentSolution) {
    using Table = std::array<std::array<std::array<bool, 64>, 64>, 2>;  // [side to move][K][k]
    std::vector<Table> win(64);
    int wins = 0, draws = 0;
    for (int P = 55; P >= 8; --P) {  // white pawn, rank 7 down to rank 2, files a-d
        if ((P & 7) > 3) continue;
        Table& w = win[P];
        for (bool changed = true; changed;) {
            changed = false;
            for (int K = 0; K < 64; ++K)
                for (int k = 0; k < 64; ++k) {
                    bool won = false;
                    if (!w[WHITE][K][k] && legal(P, K, k, WHITE)) {
                        for (Bitboard b = kATT[K] & ~kATT[k] & ~bit(P); b && !won; b &= b - 1) won = w[BLACK][nextBit(b)][k];
                        const int up = P + 8;
                        if (!won && up != K && up != k)
                            won = P >= 48 ? promotes(K, k, up, true) || promotes(K, k, up, false)
                                          : win[up][BLACK][K][k] || (P < 16 && up + 8 != K && up + 8 != k &&
                                                                     win[up + 8][BLACK][K][k]);
                        if (won) w[WHITE][K][k] = changed = true;
                    }
                    if (!w[BLACK][K][k] && legal(P, K, k, BLACK)) {
                        const Bitboard hits = pawnAttacks(WHITE, bit(P)), moves = kATT[k] & ~kATT[K] & ~hits;
                        won = moves ? !(moves & bit(P)) : (hits & bit(k)) != 0;  // mate, or stalemate
                        for (Bitboard b = moves; b && won; b &= b - 1) won = w[WHITE][K][nextBit(b)];
                        if (won) w[BLACK][K][k] = changed = true;
                    }
                }
        }
        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k)
                for (int stm = 0; stm < 2; ++stm) {
                    if (!legal(P, K, k, stm)) continue;
                    // The bitbase's frame has the pawn marching down; files e-h are mirrored.
                    const int got = pk_win(K ^ 56, P ^ 56, k ^ 56, stm);
                    ASSERT_EQ(got, int(w[stm][K][k])) << "K " << K << " P " << P << " k " << k << " stm " << stm;
                    ASSERT_EQ(pk_win(K ^ 63, P ^ 63, k ^ 63, stm), got);
                    (got ? wins : draws)++;
                }
    }
    EXPECT_GT(wins, 100000);
    EXPECT_GT(draws, 30000);
}

TEST_F(EvalTest, KpkScoresAndColourFlip) {
    const std::pair<const char*, int> cases[] = {
        {"4k3/8/4K3/4P3/8/8/8/8 w - -", 404},  {"7k/8/8/8/8/8/7P/5K2 w - -", 3},  // defender in the corner
        {"8/8/8/8/8/k7/P7/K7 w - -", 3},       {"8/8/8/8/4k3/8/4P3/4K3 w - -", 3},
        {"4k3/8/8/8/8/8/4P3/4K3 w - -", 356},  {"8/8/8/7k/P7/8/8/K7 b - -", 388},  // outside the square
        {"8/6k1/8/8/8/8/P7/K7 b - -", 3},      {"K7/8/8/8/8/8/p7/k7 w - -", -436},
    };
    for (auto [fen, v] : cases) {
        const Position p = evalPos(fen);
        EXPECT_EQ(kpvsk(p), v) << fen;
        EXPECT_EQ(kpvsk(mirror(p, 56)), -v) << fen;
    }
    EXPECT_EQ(pk_win(22, 30, 46, 1), pk_win(17, 25, 41, 1)) << "g4 is looked up as b4";
}

TEST_F(EvalTest, EndgameHelpers) {
    EXPECT_EQ(dist(0, 63) * 100 + mdist(0, 63), 714);
    EXPECT_EQ(kvsk(evalPos("4k3/8/8/8/8/8/8/4K3 w - -")), 0);
    EXPECT_EQ(kvsm(evalPos("4k3/8/8/8/8/8/8/2B1K3 w - -")) - kvsm(evalPos("3nk3/8/8/8/8/8/8/4K3 w - -")), 6);
    // Corners of the bishop's colour: a1, h8 for a dark one, a8, h1 for a light one.
    EXPECT_EQ(kbnvsk(evalPos("7k/8/5K2/6N1/8/8/8/2B5 w - -")), 800 - 0 - 4 * 2 - 2 * 3);
    EXPECT_EQ(kbnvsk(evalPos("8/8/8/3k4/8/2n5/8/K4b2 w - -")), -(800 - 20 * 7 - 4 * 4 - 2 * 2));
    const Position p = evalPos("4k3/8/2p1p3/8/3N4/8/8/R1B1K3 w - -");
    EXPECT_EQ(special_endings(p, p.hashKey), 0);
    int hit[3];
    // Knight: b5 and f5 lie under the pawns; rook: its own bishop c1 counts.
    const int n = nxmap(p, WHITE, 27, p.pcs[BLACK][PAWN], hit[0]), d = dxmap(p, WHITE, 2, p.pcs[BLACK][KING], hit[1]),
              o = oxmap(p, WHITE, 0, bit(56), hit[2]);
    EXPECT_EQ(std::tuple(n, d, o, hit[0], hit[1], hit[2]), std::tuple(6, 7, 9, 1, 0, 1));
}

}  // namespace
