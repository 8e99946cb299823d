// Self-play: the adjudication of finished games, the quiet-position filter,
// the data lines, and that a game is the same whatever was played before it.

#include "board/legal.h"
#include "learn_support.h"

using SelfPlayTest = LearnTest;

// Games from a FEN through coordinate moves, judged after their last move
// (tests/data/adjudication.txt), and a game at its length limit.
TEST_F(SelfPlayTest, AdjudicationOfHandMadeEndings) {
    static Game g;
    const char* ends[] = {"none", "mate", "stalemate", "repetition", "fifty", "material", "length"};
    for (const auto& c : readTable("adjudication.txt")) {  // FEN | half-move clock | moves | end | result
        gameStart(g, c[0].c_str());
        g.fifty[0] = int16_t(std::stoi(c[1]));
        for (const std::string& m : words(c[2])) {
            const Move made = findLegalMove(g.pos[g.count - 1], m.c_str());
            ASSERT_NE(made, 0u) << m;
            gamePlay(g, made);
        }
        EXPECT_EQ(std::pair(std::string(ends[gameJudge(g)]), g.result), std::pair(c[3], std::stoi(c[4]))) << c[0] << " " << c[2];
    }
    gameStart(g, "4k3/8/8/8/8/8/R7/4K3 w - - 0 1");
    for (int plies : {GAME_PLIES - 1, GAME_PLIES}) {
        g.pos[plies] = g.pos[0];
        g.fifty[plies] = 0;
        g.count = plies + 1;
        EXPECT_EQ(gameJudge(g), plies < GAME_PLIES ? END_NONE : END_LENGTH);
    }
}

// Material that cannot mate, positions quiet enough to learn from, and the
// full FEN of a data line (tests/data/selfplay.txt).
TEST_F(SelfPlayTest, PositionJudgements) {
    for (const auto& c : readTable("selfplay.txt")) {  // FEN | insufficient material | quiet | full FEN at half-move 7 of move 30
        char fen[128];
        fullFen(fromFen(c[0]), 7, 30, fen);
        EXPECT_EQ(std::tuple(insufficientMaterial(fromFen(c[0])), isQuiet(fromFen(c[0])), std::string(fen)),
                  std::tuple(c[1] == "1", c[2] == "1", c[3])) << c[0];
    }
}

// A game depends on the seed and its index only; its data lines are quiet
// positions, each carrying the game's result, then the end line.
TEST_F(SelfPlayTest, GamesDependOnSeedAndIndexOnlyAndTheirLines) {
    SelfPlay sp{.nodes = 300, .seed = 12};  // a black win, a draw, a white win
    const std::string all = playGames(sp, 0, 4);
    EXPECT_EQ(playGames(sp, 0, 4), all);
    const std::string third = playGames(sp, 3, 1);  // with nothing played before it
    EXPECT_EQ(all.substr(all.size() - third.size()), third);
    sp.seed = 13;
    EXPECT_NE(playGames(sp, 3, 1), third);
    Rng r = gameRng(12, 3);  // the draws of game 3's random plies
    const uint64_t first = rngNext(r);
    EXPECT_EQ(std::pair(first, rngNext(r)), std::pair(uint64_t(17634085659036468353u), uint64_t(7151618231097771265u)));
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

// Random plies follow the opening, drawn from the game's own generator; the
// scores only add a signed word for white to each position line.
TEST_F(SelfPlayTest, RandomPliesAfterTheOpeningAndScores) {
    static Game g;
    const char* opening[] = {START_FEN};
    FILE* sink = std::tmpfile();
    for (auto [count, plies, first] : {std::tuple(0, 0, 8), {0, 3, 11}, {1, 0, 0}, {1, 3, 3}}) {
        playGame({.nodes = 300, .seed = 12, .openings = opening, .openingCount = count, .randomPlies = plies}, 2, g, sink);
        EXPECT_EQ(g.firstPlayed, first) << count << " " << plies;
    }
    std::fclose(sink);
    SelfPlay sp{.nodes = 300, .seed = 12, .scores = true};
    std::string stripped, lastScore;
    for (const std::string& line : splitLines(playGames(sp, 0, 4))) {
        const std::string tail = line.substr(line.rfind(' ') + 1);
        if (line.find(" # ") != std::string::npos) {  // a won game's last score has the winner's sign
            EXPECT_EQ(lastScore[0], line.find(" # 1.0") != std::string::npos ? '+' : line.find(" # 0.0") != std::string::npos ? '-' : lastScore[0]) << line;
            stripped += line + "\n";
        } else {
            stripped += line.substr(0, line.rfind(' ')) + "\n", lastScore = tail;
        }
    }
    sp.scores = false;
    EXPECT_EQ(stripped, playGames(sp, 0, 4));
}
