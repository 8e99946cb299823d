// Entries of the tables derived from the weights.
#include "eval_support.h"

namespace {

struct Entry {
    const char* what;
    ScorePair got;
    int mid, end;
};

TEST(EvalTables, DefaultEntries) {
    evalSetUp();
    restoreDefaults();
    const Entry cases[] = {
        {"n_mob_x[0]", n_mob_x[0], -480, -414},   {"n_mob_x[6]", n_mob_x[6], 0, 0},
        {"n_mob_x[8]", n_mob_x[8], 109, 94},      {"n_mob_x[15]", n_mob_x[15], 420, 362},
        {"b_mob_x[0]", b_mob_x[0], -532, -532},   {"b_mob_x[7]", b_mob_x[7], 0, 0},
        {"b_mob_x[13]", b_mob_x[13], 281, 281},   {"r_mob_x[0]", r_mob_x[0], -274, -549},
        {"r_mob_x[8]", r_mob_x[8], 0, 0},         {"r_mob_x[14]", r_mob_x[14], 127, 253},
        {"q_mob_x[0]", q_mob_x[0], -384, -555},   {"q_mob_x[14]", q_mob_x[14], 0, 0},
        {"q_mob_x[27]", q_mob_x[27], 198, 287},   {"kstab[0]", kstab[0], 0, 0},
        {"kstab[2]", kstab[2], 0, 0},             {"kstab[3]", kstab[3], 5, 0},
        {"kstab[41]", kstab[41], 7605, 0},        {"kstab[95]", kstab[95], 7605, 0},
        {"kstab[12]", kstab[12], 500, 0},         {"isle[a,c,f]", isle[0b00100101], -60, -120},
        {"isle[all]", isle[0xff], 0, 0},          {"isle[0]", isle[0], 0, 0},
        {"isle[a,h]", isle[0x81], -30, -60},      {"distBon[0]", distBon[0], 0, 390},
        {"distBon[1]", distBon[1], 0, 270},       {"distBon[2]", distBon[2], 0, 180},
        {"distBon[3]", distBon[3], 0, 120},       {"distBon[4]", distBon[4], 0, 90},
        {"distBon[5]", distBon[5], 0, 60},        {"distBon[6]", distBon[6], 0, 30},
        {"distBon[7]", distBon[7], 0, 0},         {"ksDef[1]", ksDef[1], 270, 0},
        {"ksDef[4]", ksDef[4], 50, 0},            {"ksAtt[5]", ksAtt[5], 450, 0},
        {"ksAtt[4]", ksAtt[4], 130, 0},           {"ksAtt[3]", ksAtt[3], 60, 0},
        {"ks3m[7]", ks3m[7], -240, 0},            {"pdoubledA[2]", pdoubledA[2], -100, -160},
        {"pdoubledA[9]", pdoubledA[9], 0, 0},     {"nwpA[0]", nwpA[0], -125, -125},
        {"nwpA[8]", nwpA[8], 75, 75},             {"rwpA[0]", rwpA[0], 125, 125},
        {"NbwpA[3]", NbwpA[3], -60, -60},         {"bwpA[3]", bwpA[3], 60, 60},
        {"pthreatA[17]", pthreatA[17], 1224, 2040}, {"predundantA[16]", predundantA[16], 160, 160},
        // Passed pawns: white e6 and black e3 stand one step before their
        // sixth rank entry (614, 983).
        {"pp[e2]", pp[12], 14, 23},               {"pp[e3]", pp[20], 14, 23},
        {"pp[e4]", pp[28], 114, 183},             {"pp[e5]", pp[36], 314, 503},
        {"pp[e6]", pp[44], 614, 983},             {"pp[e7]", pp[52], 1014, 1623},
        {"pp[e8]", pp[60], 0, 0},                 {"pp[black e3]", pp[64 + 20], 614, 983},
        {"pp40[e6]", pp40[44], 245, 393},         {"ppm10[e6]", ppm10[44], -61, -98},
        {"cpp[e6]", cpp[44], 460, 737},           {"cpp[black e7]", cpp[64 + 52], 10, 17},
        // Material plus shape.
        {"pst white knight a1", pst[(0 * 8 + 2) * 64 + 0], 2950, 3720},
        {"pst black knight a8", pst[(1 * 8 + 2) * 64 + 56], -2950, -3720},
        {"pst white king g1", pst[(0 * 8 + 6) * 64 + 6], -24, -960},
        {"pst white pawn e4", pst[(0 * 8 + 1) * 64 + 28], 990, 1140},
        {"pst black pawn e5", pst[(1 * 8 + 1) * 64 + 36], -990, -1140},
        {"pst white queen d4", pst[(0 * 8 + 5) * 64 + 27], 10226, 12226},
        {"pst white queen a5", pst[(0 * 8 + 5) * 64 + 32], 10016, 12016},
        {"pst white rook d7", pst[(0 * 8 + 4) * 64 + 51], 5012, 6436},
        {"pst white bishop d4", pst[(0 * 8 + 3) * 64 + 27], 3540, 3942},
        {"pst spare row", pst[(0 * 8 + 7) * 64 + 10], 0, 0},
    };
    for (const Entry& c : cases) {
        EXPECT_EQ(getMidVal(c.got), c.mid) << c.what;
        EXPECT_EQ(getEndVal(c.got), c.end) << c.what;
    }
    EXPECT_EQ(spb[0], 20);
    EXPECT_EQ(spb[12], 55);
    EXPECT_EQ(spb[24], 90);
    EXPECT_EQ(spb[63], 90);
    const int pieceVals[8] = {0, 115, 390, 390, 640, 1210, 0, 0};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(maxPceVals[k], pieceVals[k]) << k;
}

TEST(EvalTables, BlackIsWhiteMirroredAndNegated) {
    evalSetUp();
    restoreDefaults();
    for (int k = 1; k <= 6; ++k)
        for (int sq = 0; sq < 64; ++sq) EXPECT_EQ(pst[(8 + k) * 64 + (sq ^ 56)], spNeg(pst[k * 64 + sq]));
    for (int sq = 0; sq < 64; ++sq) {
        EXPECT_EQ(pp[64 + (sq ^ 56)], pp[sq]);
        EXPECT_EQ(pst[sq], 0u);  // row 0 is spare
    }
}

TEST_F(ParamsTest, ZeroWeightsGiveZeroTables) {
    onlyParams({});
    for (ScorePair e : pst) ASSERT_EQ(e, 0u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(n_mob_x[i] | b_mob_x[i] | r_mob_x[i], 0u);
    for (ScorePair e : q_mob_x) EXPECT_EQ(e, 0u);
    for (ScorePair e : isle) EXPECT_EQ(e, 0u);
    for (ScorePair e : kstab) EXPECT_EQ(e, 0u);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(pp[i] | pp40[i] | ppm10[i] | cpp[i], 0u);
    for (int s : spb) EXPECT_EQ(s, 0);
    for (int v : maxPceVals) EXPECT_EQ(v, 0);
}

TEST_F(ParamsTest, NegativeSideToMoveBonusTruncatesAfterHalf) {
    onlyParams({{&hmb, scorePair(-90, 20)}});
    EXPECT_EQ(spb[24], -89);
    EXPECT_EQ(spb[63], -89);
    EXPECT_EQ(spb[0], 20);
}

TEST_F(ParamsTest, RebuildEmptiesTheCaches) {
    Position p = evalPos(START_FEN);
    eval(p);
    PawnEntry* e;
    pawnStructure(p, e);
    ASSERT_EQ(eca[p.hashKey & EC_MASK].key, p.hashKey);
    ASSERT_EQ(ph[p.pawnKey & (PH_SIZE - 1)].key, p.pawnKey);
    reInitEval();
    EXPECT_NE(eca[p.hashKey & EC_MASK].key, p.hashKey);
    EXPECT_NE(ph[p.pawnKey & (PH_SIZE - 1)].key, p.pawnKey);
}

}  // namespace
