// Self-play: the adjudication of finished games, the quiet-position filter,
// the data lines, and that a game is the same whatever was played before it.
#include <vector>

#include "board/movegen.h"
#include "board/notation.h"
#include "learn_support.h"

namespace {

using SelfPlayTest = LearnTest;

// Plays the move named by text in the game's last position.
bool playText(Game& g, const std::string& text) {
    Move list[MAX_MOVES];
    const int n = genAll(g.pos[g.count - 1], list);
    for (int i = 0; i < n; ++i) {
        char t[8];
        alg(list[i], t);
        if (text != t) continue;
        gamePlay(g, list[i]);
        return true;
    }
    return false;
}

// A game from fen through the coordinate moves, judged after its last move.
int judgeLine(Game& g, const std::string& fen, const std::vector<std::string>& moves, int clock = 0) {
    gameStart(g, fen.c_str());
    g.fifty[0] = int16_t(clock);
    for (const std::string& m : moves) EXPECT_TRUE(playText(g, m)) << m;
    return gameJudge(g);
}

TEST_F(SelfPlayTest, AdjudicationOfHandMadeEndings) {
    static Game g;
    const std::vector<std::string> knights = {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1"};
    const char* rook = "4k3/8/8/8/8/8/R7/4K3 w - - 0 1";
    const struct { int clock; std::string fen; std::vector<std::string> moves; int end, result; } cases[] = {
        {0, "", {"f2f3", "e7e5", "g2g4", "d8h4"}, END_MATE, 0},                  // fool's mate: black wins
        {0, "", {"f2f3", "e7e5", "g2g4"}, END_NONE, 1},                          // one move before it
        {0, "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", {"a1a8"}, END_MATE, 2},         // back-rank mate: white wins
        {0, "7k/8/5QK1/8/8/8/8/8 w - - 0 1", {"f6f7"}, END_STALEMATE, 1},
        {0, "", knights, END_NONE, 1},                                           // the start position twice so far
        {0, "", {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"}, END_REPETITION, 1},
        {0, "8/8/4k3/8/8/4K3/8/5N2 w - - 0 1", {}, END_MATERIAL, 1}, {0, "8/8/4k3/8/8/4K3/4P3/8 w - - 0 1", {}, END_NONE, 1},
        {98, rook, {"a2b2"}, END_NONE, 1}, {99, rook, {"a2b2"}, END_FIFTY, 1},
        {99, "4k3/8/8/8/8/8/R6P/4K3 w - - 0 1", {"h2h3"}, END_NONE, 1},    // a pawn move starts the count again
        {99, "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", {"a1a8"}, END_MATE, 2},  // a mate on the hundredth half move stands
    };
    for (const auto& c : cases) {
        EXPECT_EQ(judgeLine(g, c.fen, c.moves, c.clock), c.end) << c.fen << " " << c.moves.size();
        EXPECT_EQ(g.result, c.result) << c.fen;
    }
    gameStart(g, rook);
    for (int plies : {GAME_PLIES - 1, GAME_PLIES}) {
        g.pos[plies] = g.pos[0];
        g.fifty[plies] = 0;
        g.count = plies + 1;
        EXPECT_EQ(gameJudge(g), plies < GAME_PLIES ? END_NONE : END_LENGTH);
    }
}

TEST_F(SelfPlayTest, InsufficientMaterialAndQuietPositions) {
    const std::pair<const char*, bool> dead[] = {
        {"8/8/4k3/8/8/4K3/8/8 w - -", true},       {"8/8/4k3/8/8/4K3/8/2B5 w - -", true},
        {"8/8/4k3/8/8/4K3/8/2b5 b - -", true},     {"8/2b5/4k3/8/8/4K3/8/2B5 w - -", true},  // c1 and c7: both dark
        {"8/3b4/4k3/8/8/4K3/8/2B5 w - -", false},  // d7 is light: a mate can be set up
        {"8/8/4k3/8/8/4K3/8/2BB4 w - -", false},   {"8/8/4k3/8/8/4K3/8/2NN4 w - -", false},
        {"8/8/4k3/8/8/4K3/8/2BN4 w - -", false},   {"8/8/4k3/8/8/4K3/8/4R3 w - -", false},
    };
    for (auto [fen, want] : dead) EXPECT_EQ(insufficientMaterial(fromFen(fen)), want) << fen;
    const std::pair<const char*, bool> quiet[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", true},
        {"rnbqkb1r/pppppppp/8/8/8/n7/PPPPPPPP/RNBQKBNR w KQkq -", false},  // a knight hangs
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - -", false},                          // a mating check
        {"rnbqkbnr/pppp1ppp/8/4p3/4P3/5Q2/PPPP1PPP/RNB1KBNR b KQkq -", true},
        {"rnb1kbnr/pppp1ppp/8/4p3/4P2q/8/PPPP1PPP/RNBQKBNR w KQkq -", true},
        {"4k3/8/8/8/8/8/4r3/4K3 w - -", false}, {"4k3/8/8/8/8/8/8/4K2r w - -", false},  // in check, near and far
    };
    for (auto [fen, want] : quiet) EXPECT_EQ(isQuiet(fromFen(fen)), want) << fen;
}

TEST_F(SelfPlayTest, FullFen) {
    const struct { std::string in, out; int fifty, move; } cases[] = {
        {"", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", 0, 1},
        {"r3k2r/8/8/8/8/8/8/R3K2R b Kq - 0 1", "r3k2r/8/8/8/8/8/8/R3K2R b Kq - 7 30", 7, 30},
        {"4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", 0, 1},
        {"4k3/8/8/3p4/8/8/8/4K3 w - d6 0 1", "4k3/8/8/3p4/8/8/8/4K3 w - - 0 1", 0, 1},  // nobody can take
    };
    for (const auto& c : cases) {
        char fen[128];
        fullFen(fromFen(c.in), c.fifty, c.move, fen);
        EXPECT_EQ(std::string(fen), c.out);
    }
}

// A game depends on the seed and its index only; its data lines are quiet
// positions, each carrying the game's result, then the end line.
TEST_F(SelfPlayTest, GamesDependOnSeedAndIndexOnlyAndTheirLines) {
    SelfPlay sp;
    sp.nodes = 300;
    sp.seed = 11;
    const std::string all = playGames(sp, 0, 4);
    EXPECT_EQ(playGames(sp, 0, 4), all);
    const std::string third = playGames(sp, 3, 1);  // with nothing played before it
    EXPECT_EQ(all.substr(all.size() - third.size()), third);
    sp.seed = 12;
    EXPECT_NE(playGames(sp, 3, 1), third);
    Rng r = gameRng(11, 3);  // the draws of game 3's random plies
    const uint64_t first = rngNext(r);
    EXPECT_EQ(std::pair(first, rngNext(r)), std::pair(uint64_t(7001393820963710034u), uint64_t(5327086122420584292u)));
    std::vector<std::string> results;
    int games = 0;
    for (const std::string& line : splitLines(all)) {
        char fen[100], f2[8], f3[8], f4[8], result[8];
        int index = -1;
        if (std::sscanf(line.c_str(), "%d # %7s %7s", &index, result, f2) == 3) {
            for (const std::string& r : results) EXPECT_EQ(r, result) << line;
            EXPECT_EQ(std::string(f2) == "mate", std::string(result) != "0.5") << line;
            EXPECT_EQ(index, games++);
            results.clear();
        } else {
            ASSERT_EQ(std::sscanf(line.c_str(), "%d %99s %7s %7s %7s %*d %*d %7s", &index, fen, f2, f3, f4, result), 6) << line;
            EXPECT_TRUE(index == games && isQuiet(fromFen(std::string(fen) + " " + f2 + " " + f3 + " " + f4))) << line;
            results.push_back(result);
        }
    }
    EXPECT_EQ(games, 4);
}

}  // namespace
