// The KPK bitbase's scores and symmetries, and the distances.
#include "eval/kpkdb.h"
#include "eval_support.h"

namespace {

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
    EXPECT_EQ(dist(0, 63) * 10 + dist(9, 12), 73);
}

// Every lookup of the frame (pawn on ranks 2-7, both sides to move) folded into
// one number, and the count of wins: a change to the table or its index moves them.
TEST_F(EvalTest, KpkLookupFingerprint) {
    uint64_t fingerprint = 0;
    int wins = 0;
    for (int P = 8; P < 56; ++P)
        for (int K = 0; K < 64; ++K)
            for (int k = 0; k < 64; ++k)
                for (int stm = 0; stm < 2; ++stm) {
                    const int w = pk_win(K, P, k, stm);
                    fingerprint = fingerprint * 3 + uint64_t(w), wins += w;
                }
    EXPECT_EQ(std::pair(fingerprint, wins), std::pair(uint64_t(9622016846901524500u), 222564));
}

}  // namespace
