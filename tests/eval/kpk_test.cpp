// The KPK bitbase's scores and symmetries, and the distances.
#include "eval/kpkdb.h"
#include "eval_support.h"

TEST_F(EvalTest, KpkScoresAndColourFlip) {
    for (const auto& c : readTable("kpk.txt")) {  // FEN | score
        const Position p = evalPos(c[0]);
        EXPECT_EQ(std::pair(kpvsk(p), kpvsk(mirror(p, 56))), std::pair(std::stoi(c[1]), -std::stoi(c[1]))) << c[0];
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
