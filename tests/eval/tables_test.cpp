// Entries of the tables derived from the weights.
#include "eval_support.h"

namespace {

constexpr int WP = 1 * 64, WN = 2 * 64, WB = 3 * 64, WR = 4 * 64, WQ = 5 * 64, WK = 6 * 64, BN = 10 * 64;

// Every entry of every table folded in order into one number, which any change
// of a weight or of the rules that spread it moves; a few entries pinned as
// reference.
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
    const struct { const char* what; ScorePair got; int mid, end; } cases[] = {
        {"n0", n_mob_x[0], -480, -414},  {"n6", n_mob_x[6], 0, 0},     {"q27", q_mob_x[27], 198, 287},
        {"kstab3", kstab[3], 5, 0},      {"kstab41", kstab[41], 7605, 0}, {"kstab95", kstab[95], 7605, 0},
        {"isle acf", isle[0b00100101], -60, -120}, {"distBon0", distBon[0], 0, 390}, {"ksDef1", ksDef[1], 270, 0},
        {"pthreat17", pthreatA[17], 1224, 2040}, {"pdoubled9", pdoubledA[9], 0, 0},
        // Passed pawns by rank; black's e3 is white's e6.
        {"pp e3", pp[20], 14, 23},       {"pp e7", pp[52], 1014, 1623}, {"pp e8", pp[60], 0, 0},
        {"pp black e3", pp[64 + 20], 614, 983}, {"cpp black e7", cpp[64 + 52], 10, 17},
        // Material plus shape.
        {"N a1", pst[WN + 0], 2950, 3720}, {"n a8", pst[BN + 56], -2950, -3720}, {"K g1", pst[WK + 6], -24, -960},
        {"P e4", pst[WP + 28], 990, 1140}, {"Q d4", pst[WQ + 27], 10226, 12226}, {"R d7", pst[WR + 51], 5012, 6436},
        {"B d4", pst[WB + 27], 3540, 3942}, {"spare row", pst[7 * 64 + 10], 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, scorePair(c.mid, c.end)) << c.what;
    EXPECT_EQ(std::tuple(spb[0], spb[12], spb[24], spb[63], maxPceVals[5]), std::tuple(20, 55, 90, 90, 1210));
    for (int k = 1; k <= 6; ++k)
        for (int sq = 0; sq < 64; ++sq) ASSERT_EQ(pst[(8 + k) * 64 + (sq ^ 56)], spNeg(pst[k * 64 + sq]));
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

}  // namespace
