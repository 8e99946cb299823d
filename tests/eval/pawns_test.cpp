// Pawn-structure terms, one weight at a time.
#include "eval_support.h"

// Each case of tests/data/pawns.txt switches on one weight at its default and
// reads the pair. (The simpler counts, islands, doubled, isolated, duos, are
// held by the evaluation's fingerprint.)
TEST_F(EvalTest, PawnTermsOneAtATime) {
    for (const auto& c : readTable("pawns.txt")) {  // weight | what | FEN | middle game | ending
        for (const ParamEntry& e : paramTable)
            if (e.name == c[0]) onlyParams({{e.value, e.def}});
        PawnEntry* e;
        const ScorePair s = pawnStructure(evalPos(c[2]), e);
        EXPECT_EQ(s, scorePair(std::stoi(c[3]), std::stoi(c[4]))) << c[1] << ": " << getMidVal(s) << " " << getEndVal(s);
    }
    onlyParams({{&passed, scorePair(14, 23)}, {&ppinc, scorePair(100, 160)}});
    PawnEntry* e;
    EXPECT_EQ(pawnStructure(evalPos("7k/8/8/8/4P3/8/8/K7 w - -"), e), scorePair(114, 183)) << "unlisted e4 scores";
}
