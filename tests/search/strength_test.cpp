// The strength levels: the plan of a rating, the draw among lines, a level's
// moves for a fixed seed, no mate in one walked into, and the check off
// changing nothing. (A level's infinite search waits for "stop" as every
// infinite search does: the UCI tests of infinite searches.)
#include <cmath>

#include "legaltree.h"
#include "search/strength.h"
#include "support.h"

namespace {

// The moves a level plays in a game's searches: one session per position,
// the level's dice seeded first.
std::string levelSearch(int elo, uint64_t seed, const std::string& fen) {
    seedLevelRandom(seed);
    return uciSession("setoption name UCI_LimitStrength value true\nsetoption name UCI_Elo value " +
                      std::to_string(elo) + "\nposition fen " + fen + "\ngo depth 30\n").out;
}
std::string levelMove(int elo, uint64_t seed, const std::string& fen) {
    const std::string out = levelSearch(elo, seed, fen);
    return word(out.substr(out.rfind("bestmove")), 1);
}

bool allowsMateInOne(const std::string& fen, const std::string& move) {
    bool mate = false;
    walkTree(playLine({move}, fen).back(), 1, [&](const Position&, const Position& reply, Move) {
        mate |= fasterInCheck(reply, sideToMove(reply)) && walkTree(reply, 1, [](const Position&, const Position&, Move) {}) == 0;
    });
    return mate;
}

}  // namespace

// Budgets grow and temperatures fall with the rating, from the weakest level
// to the full engine at the top; ratings outside the range are clamped.
TEST(StrengthLevels, PlanOfARating) {
    EXPECT_TRUE(levelPlan(ELO_MAX).nodes == 0 && levelPlan(ELO_MAX + 500).lines == 1);
    EXPECT_EQ(levelPlan(ELO_MIN - 500).nodes, levelPlan(ELO_MIN).nodes);
    for (auto [elo, nodes, temperature] : {std::tuple(ELO_MIN, 1900u, 88), {1700, 16000u, 34}, {2000, 250000u, 5}})  // the calibration
        EXPECT_TRUE(levelPlan(elo).nodes == nodes && levelPlan(elo).temperature == temperature) << elo;
    for (int elo = ELO_MIN; elo < ELO_MAX; ++elo) {
        const LevelPlan a = levelPlan(elo), b = levelPlan(elo + 1);
        ASSERT_TRUE(a.nodes > 0 && a.lines == LEVEL_LINES && (b.nodes == 0 || b.nodes >= a.nodes) &&
                    b.temperature <= a.temperature) << elo;
    }
}

// Lines are drawn with chances exp(-(best - score) / temperature); a mated
// line never while another is not, and among mated lines when all are; the
// best line at temperature 0.
TEST(StrengthLevels, DrawAmongLines) {
    seedLevelRandom(7);
    const int scores[] = {40, 40 - 30, 40 - 60, -MATE + 5}, mated[] = {-MATE + 5, -MATE + 3};
    int counts[4] = {}, second = 0;
    for (int i = 0; i < 40000; ++i) ++counts[chooseLevelLine(scores, 4, 30)];
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(counts[i], 40000 * std::exp(-i) / (1 + std::exp(-1.0) + std::exp(-2.0)), 400) << i;
    EXPECT_EQ(counts[3], 0);
    for (int i = 0; i < 200; ++i) second += chooseLevelLine(mated, 2, 30);
    EXPECT_GT(second, 60);
    EXPECT_EQ(chooseLevelLine(scores, 4, 0) + chooseLevelLine(scores, 1, 30), 0);
}

// A level's moves for a fixed seed: the plan, the search within its budget and
// the draw, all pinned (tests/data/levels.txt). A first iteration that spends
// the whole budget is followed by a second all the same.
TEST(StrengthLevels, MovesOfASeed) {
    for (const auto& c : readTable("levels.txt"))  // rating | seed | FEN | bestmove
        EXPECT_EQ(levelMove(std::stoi(c[0]), std::stoull(c[1]), c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];
    const std::string out = levelSearch(ELO_MIN, 1, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    EXPECT_TRUE(out.find("info depth 2 multipv 4") != out.npos && out.find("info depth 3") == out.npos) << out;
}

// Positions where many natural moves allow a mate in one (tests/data/mateinone.txt):
// no level above the weakest plays one, whatever its dice.
TEST(StrengthLevels, NoMateInOneLeftHanging) {
    ASSERT_TRUE(allowsMateInOne("r1bqkbnr/pppp1ppp/2n5/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR b KQkq - 3 3", "g8f6"));
    for (const auto& c : readTable("mateinone.txt"))  // FEN
        for (int elo : {1400, 1700})
            for (uint64_t seed = 1; seed <= 6; ++seed) {
                const std::string move = levelMove(elo, seed, c[0]);
                EXPECT_FALSE(allowsMateInOne(c[0], move)) << elo << " " << seed << " " << c[0] << " " << move;
            }
}

// With the check off the rating changes nothing: the same lines as an engine
// that never heard of it. The option lines and their range are in uci.txt.
TEST(StrengthLevels, CheckOffChangesNothing) {
    auto lines = [](const std::string& options) {
        const std::string out = uciSession(options + "position fen r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/"
                                                     "RNBQK2R w KQkq - 4 4\ngo depth 7\n").out;
        std::string kept;
        for (const auto& l : splitLines(out))
            if (l.rfind("info depth", 0) == 0) kept += word(l, 2) + " " + word(l, 6) + " " + word(l, 9) + "\n";
        return kept + out.substr(out.rfind("bestmove"));
    };
    const std::string elo = "setoption name UCI_Elo value 1400\nsetoption name UCI_LimitStrength value ";
    EXPECT_EQ(lines(elo + "false\n"), lines(""));
    EXPECT_NE(lines(elo + "true\n"), lines(""));
}
