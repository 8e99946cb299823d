// The strength levels: the plan of a rating, the draw among lines, a level's
// moves for a fixed seed, no mate in one walked into, and the check off
// changing nothing.
#include <cmath>

#include "board/legal.h"
#include "board/make.h"
#include "board/movegen.h"
#include "search/strength.h"
#include "support.h"

namespace {

// The moves a level plays in a game's searches: one session per position,
// the level's dice seeded first.
std::string levelMove(int elo, uint64_t seed, const std::string& fen, bool limit = true) {
    seedLevelRandom(seed);
    const RunResult r = uciSession(std::string("setoption name UCI_LimitStrength value ") + (limit ? "true" : "false") +
                                   "\nsetoption name UCI_Elo value " + std::to_string(elo) + "\nposition fen " + fen +
                                   "\ngo depth 30\n");
    return word(r.out.substr(r.out.rfind("bestmove")), 1);
}

bool allowsMateInOne(const std::string& fen, const std::string& move) {
    const Position p = fromFen(fen);
    Position child, reply;
    algMake(p, child, move.c_str());
    Move list[MAX_MOVES], answers[MAX_MOVES];
    for (int i = 0, n = legalMoves(child, list); i < n; ++i) {
        make(child, reply, list[i]);
        if (reply.inCheck && legalMoves(reply, answers) == 0) return true;
    }
    return false;
}

}  // namespace

// Budgets grow and temperatures fall with the rating, from the weakest level
// to the full engine at the top; ratings outside the range are clamped.
TEST(StrengthLevels, PlanOfARating) {
    EXPECT_EQ(levelPlan(ELO_MAX).nodes, 0u);
    EXPECT_EQ(levelPlan(ELO_MAX + 500).lines, 1);
    EXPECT_EQ(levelPlan(ELO_MIN - 500).nodes, levelPlan(ELO_MIN).nodes);
    LevelPlan before = levelPlan(ELO_MIN);
    EXPECT_EQ(before.lines, LEVEL_LINES);
    EXPECT_GT(before.nodes, 0u);
    for (int elo = ELO_MIN + 1; elo < ELO_MAX; ++elo) {
        const LevelPlan plan = levelPlan(elo);
        EXPECT_TRUE(plan.nodes >= before.nodes && plan.temperature <= before.temperature && plan.lines == LEVEL_LINES)
            << elo;
        before = plan;
    }
    EXPECT_GT(levelPlan(ELO_MAX - 1).nodes, 50 * levelPlan(ELO_MIN).nodes);
    EXPECT_GT(levelPlan(ELO_MIN).temperature, 4 * levelPlan(ELO_MAX - 1).temperature);
}

// Lines are drawn with chances exp(-(best - score) / temperature); a mated
// line never while another is not; the best line at temperature 0.
TEST(StrengthLevels, DrawAmongLines) {
    seedLevelRandom(7);
    const int scores[] = {40, 40 - 30, 40 - 60, -MATE + 5};
    int counts[4] = {};
    const int draws = 40000;
    for (int i = 0; i < draws; ++i) ++counts[chooseLevelLine(scores, 4, 30)];
    const double total = 1 + std::exp(-1.0) + std::exp(-2.0);
    EXPECT_NEAR(counts[0], draws / total, draws * 0.01);
    EXPECT_NEAR(counts[1], draws * std::exp(-1.0) / total, draws * 0.01);
    EXPECT_NEAR(counts[2], draws * std::exp(-2.0) / total, draws * 0.01);
    EXPECT_EQ(counts[3], 0);
    EXPECT_EQ(chooseLevelLine(scores, 4, 0), 0);
    EXPECT_EQ(chooseLevelLine(scores, 1, 30), 0);
    // When every line is mated, the draw goes on among them.
    const int mated[] = {-MATE + 5, -MATE + 3};
    int second = 0;
    for (int i = 0; i < 200; ++i) second += chooseLevelLine(mated, 2, 30);
    EXPECT_GT(second, 60);
}

// A level's moves for a fixed seed: the plan, the search within its budget and
// the draw, all pinned (tests/data/levels.txt).
TEST(StrengthLevels, MovesOfASeed) {
    for (const auto& c : readTable("levels.txt"))  // rating | seed | FEN | bestmove
        EXPECT_EQ(levelMove(std::stoi(c[0]), std::stoull(c[1]), c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
}

// Positions where many natural moves allow a mate in one: no level above the
// weakest plays one, whatever its dice.
TEST(StrengthLevels, NoMateInOneLeftHanging) {
    const char* fens[] = {
        "r1bqkbnr/pppp1ppp/2n5/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq - 3 3",
        "3r2k1/5ppp/8/8/8/8/5PPP/1R4K1 w - - 0 1",
        "1r4k1/5ppp/8/8/8/8/5PPP/3R2K1 b - - 0 1",
        "rnbqkbnr/pppp1ppp/8/4p3/6P1/8/PPPPPP1P/RNBQKBNR w KQkq - 0 2",
    };
    for (const char* fen : fens)
        for (int elo : {1400, 1700})
            for (uint64_t seed = 1; seed <= 6; ++seed) {
                const std::string move = levelMove(elo, seed, fen);
                EXPECT_FALSE(allowsMateInOne(fen, move)) << elo << " " << seed << " " << fen << " " << move;
            }
}

// With the check off the rating changes nothing: the same lines as an engine
// that never heard of it. The option lines and their range are in uci.txt.
TEST(StrengthLevels, CheckOffChangesNothing) {
    const std::string fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
    auto lines = [](const std::string& out) {
        std::string kept;
        for (const auto& l : splitLines(out))
            if (l.rfind("info depth", 0) == 0) kept += word(l, 2) + " " + word(l, 6) + " " + word(l, 9) + "\n";
        return kept + out.substr(out.rfind("bestmove"));
    };
    const std::string plain = lines(uciSession("position fen " + fen + "\ngo depth 7\n").out);
    const std::string off =
        lines(uciSession("setoption name UCI_Elo value 1400\nsetoption name UCI_LimitStrength value false\n"
                         "position fen " + fen + "\ngo depth 7\n").out);
    EXPECT_EQ(off, plain);
    const std::string on =
        lines(uciSession("setoption name UCI_Elo value 1400\nsetoption name UCI_LimitStrength value true\n"
                         "position fen " + fen + "\ngo depth 7\n").out);
    EXPECT_NE(on, plain);
}

// Commands during a level's search: "isready" answered and "stop" obeyed in an
// infinite search that its budget has already ended.
TEST(StrengthLevels, InfiniteSearchWaitsForStop) {
    const RunResult r = uciSession("setoption name UCI_LimitStrength value true\nsetoption name UCI_Elo value 1350\n"
                                   "position startpos\ngo infinite\nisready\nstop\n");
    const size_t ready = r.out.find("readyok"), best = r.out.find("bestmove");
    ASSERT_TRUE(ready != r.out.npos && best != r.out.npos) << r.out;
    EXPECT_LT(ready, best);
    EXPECT_NE(findLegalMove(fromFen(""), word(r.out.substr(best), 1).c_str()), 0);
}
