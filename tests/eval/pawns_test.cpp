// Pawn-structure terms, one weight at a time.
#include <vector>

#include "eval_support.h"

namespace {

// Each case switches on one weight at its default and reads the pair. (The
// simpler counts, islands, doubled, isolated, duos, are held by the evaluation's
// fingerprint.)
TEST_F(EvalTest, PawnTermsOneAtATime) {
    const struct { const char* what; ScorePair* param; const char* fen; int mid, end; } cases[] = {
        {"luftp b1", &luftp, "7k/8/8/8/8/8/PPP5/1K6 w - -", -108, -180},
        {"luftp a1 needs a2 b2", &luftp, "7k/8/8/8/8/8/PP6/K7 w - -", -108, -180},
        {"luftp c2 missing", &luftp, "7k/8/8/8/8/8/PP6/1K6 w - -", 0, 0},
        {"backward d3", &pbkwd, "7k/8/8/4p3/2P5/3P4/8/K7 w - -", -35, -45},
        {"blocked open d3", &blockedopen, "7k/8/8/4p3/2P5/3P4/8/K7 w - -", -60, -84},
        {"passer c4, candidate d4", &ppinc, "7k/8/4p3/8/2PP4/8/8/K7 w - -", 100 + 75, 160 + 120},
        {"king shelter", &ksdefm, "6k1/8/8/8/8/8/5PPP/6K1 w - -", 270 * 4, 0},
        {"pawn storm", &ksattm, "6k1/8/6P1/8/8/8/8/K7 w - -", 450, 0},
        {"kings near a passer", &kppdist, "8/8/8/8/8/8/P7/K6k w - -", 0, 180},
    };
    for (const auto& c : cases) {
        for (const ParamEntry& e : paramTable)
            if (e.value == c.param) onlyParams({{c.param, e.def}});
        PawnEntry* e;
        const ScorePair s = pawnStructure(evalPos(c.fen), e);
        EXPECT_EQ(s, scorePair(c.mid, c.end)) << c.what << ": " << getMidVal(s) << " " << getEndVal(s);
    }
    onlyParams({{&passed, scorePair(14, 23)}, {&ppinc, scorePair(100, 160)}});
    PawnEntry* e;
    EXPECT_EQ(pawnStructure(evalPos("7k/8/8/8/4P3/8/8/K7 w - -"), e), scorePair(114, 183)) << "unlisted e4 scores";
}

}  // namespace
