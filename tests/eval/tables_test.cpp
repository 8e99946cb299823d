// Entries of the tables derived from the weights.
#include "eval_support.h"

namespace {

constexpr int WP = 1 * 64, WN = 2 * 64, WB = 3 * 64, WR = 4 * 64, WQ = 5 * 64, WK = 6 * 64, BP = 9 * 64,
              BN = 10 * 64;

TEST_F(EvalTest, DefaultEntries) {
    const struct { const char* what; ScorePair got; int mid, end; } cases[] = {
        {"n0", n_mob_x[0], -480, -414},  {"n6", n_mob_x[6], 0, 0},     {"n8", n_mob_x[8], 109, 94},
        {"n15", n_mob_x[15], 420, 362},  {"b0", b_mob_x[0], -532, -532}, {"b7", b_mob_x[7], 0, 0},
        {"b13", b_mob_x[13], 281, 281},  {"r0", r_mob_x[0], -274, -549}, {"r8", r_mob_x[8], 0, 0},
        {"r14", r_mob_x[14], 127, 253},  {"q0", q_mob_x[0], -384, -555}, {"q14", q_mob_x[14], 0, 0},
        {"q27", q_mob_x[27], 198, 287},  {"kstab0", kstab[0], 0, 0},    {"kstab2", kstab[2], 0, 0},
        {"kstab3", kstab[3], 5, 0},      {"kstab12", kstab[12], 500, 0}, {"kstab41", kstab[41], 7605, 0},
        {"kstab95", kstab[95], 7605, 0}, {"isle acf", isle[0b00100101], -60, -120}, {"isle all", isle[255], 0, 0},
        {"isle ah", isle[0x81], -30, -60}, {"distBon0", distBon[0], 0, 390}, {"distBon3", distBon[3], 0, 120},
        {"distBon6", distBon[6], 0, 30}, {"distBon7", distBon[7], 0, 0}, {"ksDef1", ksDef[1], 270, 0},
        {"ksDef4", ksDef[4], 50, 0},     {"ksAtt5", ksAtt[5], 450, 0},  {"ksAtt3", ksAtt[3], 60, 0},
        {"ks3m7", ks3m[7], -240, 0},     {"pdoubled2", pdoubledA[2], -100, -160}, {"nwp0", nwpA[0], -125, -125},
        {"nwp8", nwpA[8], 75, 75},       {"rwp0", rwpA[0], 125, 125},  {"Nbwp3", NbwpA[3], -60, -60},
        {"bwp3", bwpA[3], 60, 60},       {"pthreat17", pthreatA[17], 1224, 2040}, {"pdoubled9", pdoubledA[9], 0, 0},
        // Passed pawns by rank; black's e3 is white's e6.
        {"pp e3", pp[20], 14, 23},       {"pp e4", pp[28], 114, 183},   {"pp e5", pp[36], 314, 503},
        {"pp e6", pp[44], 614, 983},     {"pp e7", pp[52], 1014, 1623}, {"pp e8", pp[60], 0, 0},
        {"pp black e3", pp[64 + 20], 614, 983}, {"pp40 e6", pp40[44], 245, 393}, {"ppm10 e6", ppm10[44], -61, -98},
        {"cpp e6", cpp[44], 460, 737},   {"cpp black e7", cpp[64 + 52], 10, 17},
        // Material plus shape.
        {"N a1", pst[WN + 0], 2950, 3720}, {"n a8", pst[BN + 56], -2950, -3720}, {"K g1", pst[WK + 6], -24, -960},
        {"P e4", pst[WP + 28], 990, 1140}, {"p e5", pst[BP + 36], -990, -1140}, {"Q d4", pst[WQ + 27], 10226, 12226},
        {"Q a5", pst[WQ + 32], 10016, 12016}, {"R d7", pst[WR + 51], 5012, 6436}, {"B d4", pst[WB + 27], 3540, 3942},
        {"spare row", pst[7 * 64 + 10], 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, scorePair(c.mid, c.end)) << c.what;
    EXPECT_EQ(std::tuple(spb[0], spb[12], spb[24], spb[63]), std::tuple(20, 55, 90, 90));
    const int pieceVals[8] = {0, 115, 390, 390, 640, 1210, 0, 0};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(maxPceVals[k], pieceVals[k]) << k;
    for (int k = 1; k <= 6; ++k)
        for (int sq = 0; sq < 64; ++sq) ASSERT_EQ(pst[(8 + k) * 64 + (sq ^ 56)], spNeg(pst[k * 64 + sq]));
}

TEST_F(EvalTest, ParameterTableOrder) {
    std::string names;
    for (const ParamEntry& e : paramTable) names += std::string(e.name) + " ";
    EXPECT_EQ(names, "pmob nmob bmob rmob ropen rhalf qmob blockedopen kppdist ntabm btabm rtabm qtabm ktabm luftp "
                     "ksarea ksdefm ksattm pthreat outpost minorbehind pval nval bval rval qval bpair rpair qpair "
                     "pdoubled predundant islands isoh isoo duofended pbkwd passed ppinc ptabm nwp bwp rwp hmb ");
    EXPECT_EQ(paramTable[7].def, scorePair(-60, -84));
}

TEST_F(EvalTest, ZeroWeightsNegativeBonusAndCaches) {
    const Position p = evalPos(START_FEN);
    eval(p);
    onlyParams({});  // rebuilding empties the caches
    EXPECT_EQ(eca[p.hashKey & EC_MASK].key | ph[p.pawnKey & (PH_SIZE - 1)].key, 0u);
    for (ScorePair e : pst) ASSERT_EQ(e, 0u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(n_mob_x[i] | b_mob_x[i] | r_mob_x[i] | q_mob_x[i + 16] | kstab[i], 0u);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(pp[i] | pp40[i] | ppm10[i] | cpp[i] | isle[i + 128], 0u);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(spb[i] | maxPceVals[i % 8], 0);
    onlyParams({{&hmb, scorePair(-90, 20)}});
    EXPECT_EQ(spb[24], -89);  // truncated after adding one half
    EXPECT_EQ(spb[0], 20);
}

}  // namespace
