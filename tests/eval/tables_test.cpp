// Entries of the tables derived from the weights.
#include "eval_support.h"

// Every entry of every table folded in order into one number, which any change
// of a weight or of the rules that spread it moves; black's entries mirror
// white's.
TEST_F(EvalTest, DefaultEntries) {
    uint64_t fingerprint = 0;
    auto fold = [&](const auto& table) {
        for (auto v : table) fingerprint = fingerprint * 1000003 + uint64_t(v);
    };
    fold(pst), fold(n_mob_x), fold(b_mob_x), fold(r_mob_x), fold(q_mob_x), fold(kstab), fold(distBon), fold(isle);
    fold(pdoubledA), fold(duofendedA), fold(isohA), fold(isooA), fold(pbkwdA), fold(blockedopenA), fold(pmobA);
    fold(minorbehindA), fold(nwpA), fold(rwpA), fold(bwpA), fold(NbwpA), fold(pthreatA), fold(outpostA);
    fold(predundantA), fold(ksDef), fold(ksAtt), fold(ks3m), fold(spb), fold(pp), fold(pp40), fold(ppm10), fold(cpp);
    fold(maxPceVals);
    EXPECT_EQ(fingerprint, 11089877777790992374u);
    for (int k = 1; k <= 6; ++k)
        for (int sq = 0; sq < 64; ++sq)
            ASSERT_EQ(pst[pieceSquareIndex(BLACK, k, sq ^ 56)], spNeg(pst[pieceSquareIndex(WHITE, k, sq)]));
}

TEST_F(EvalTest, ZeroWeightsNegativeBonusAndCaches) {
    const Position p = evalPos(START_FEN);
    eval(p);
    onlyParams({});  // rebuilding empties the caches
    EXPECT_EQ(eca[p.hashKey & EC_MASK].key | ph[p.pawnKey & (PH_SIZE - 1)].key, 0u);
    for (ScorePair e : pst) ASSERT_EQ(e, 0u);
    onlyParams({{&hmb, scorePair(-90, 20)}});
    EXPECT_EQ(spb[24], -89);  // truncated after adding one half
    EXPECT_EQ(spb[0], 20);
}
