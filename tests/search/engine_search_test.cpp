// The search as a GUI sees it: the real engine driven through pipes, with its
// "info" and "bestmove" lines, its limits, pondering and the commands that
// arrive while it thinks; and the zarv-dev bench and go commands.
#include <gtest/gtest.h>

#include <algorithm>
// GCC 12 sees an uninitialised std::function inside <regex> at -O0 with the
// sanitizers; the warning is about the library's own code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop
#include <string>
#include <vector>

#include "base/general.h"
#include "board/attacks.h"
#include "board/make.h"
#include "board/notation.h"
#include "support.h"

namespace {

bool legal(const std::string& fen, const std::string& text) {
    Position p = fromFen(fen), child{};
    return algMake(p, child, text.c_str()) && !fasterInCheck(child, sideToMove(p));
}

std::string word(const std::string& line, int i) {
    size_t pos = 0;
    for (int k = 0; k < i; ++k) pos = line.find(' ', pos) + 1;
    return line.substr(pos, line.find(' ', pos) - pos);
}

// Words 2, 6, 8-9 and 13 of an info line are depth, nodes, score and the first pv move.
std::string score(const std::string& info) { return word(info, 8) + " " + word(info, 9); }

// An info line of a finished iteration, every field in its place and the pv's
// moves each followed by a blank.
const std::regex INFO("info depth \\d+ time \\d+ nodes \\d+ score (cp|mate) -?\\d+ nps \\d+ pv ([a-h][1-8][a-h][1-8][qnrb]? )*");

struct Engine {
    Proc p = startProc({ZARV_BIN});
    ~Engine() {
        if (p.status < 0) sendLine(p, "quit"), waitExit(p, 5);
    }
    void position(const std::string& pos) {
        sendLine(p, pos);
        waitForLine(p, "info string fen");
    }
    // The info lines a "go" writes, and its bestmove line last.
    std::vector<std::string> go(const std::string& go, double timeout = 20) {
        size_t from = p.outBuf.size();
        sendLine(p, go);
        std::vector<std::string> out;
        if (waitForLine(p, "bestmove", timeout) == "<timeout>") return out;
        for (const auto& l : splitLines(p.outBuf.substr(from)))
            if (l.rfind("info depth", 0) == 0 || l.rfind("bestmove", 0) == 0) out.push_back(l);
        return out;
    }
};

}  // namespace

TEST(EngineSearch, IterationsLimitsAndRootChoices) {
    Engine e;
    e.position("position startpos moves e2e4");
    auto lines = e.go("go depth 5");
    ASSERT_GE(lines.size(), 6u);
    // One line per finished iteration; from the fifth on the root also reports
    // each new best move, so depth 5 may come more than once.
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], INFO)) << lines[i];
        EXPECT_EQ(std::stoi(word(lines[i], 2)), std::min<int>(int(i) + 1, 5)) << lines[i];
    }
    const std::string fen = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
    EXPECT_TRUE(legal(fen, word(lines.back(), 1))) << lines.back();
    EXPECT_EQ(word(lines[lines.size() - 2], 13), word(lines.back(), 1));

    e.position("position startpos");
    lines = e.go("go depth 5 searchmoves a2a3");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(word(lines.back(), 1), "a2a3");

    lines = e.go("go nodes 50000");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_LE(std::stoull(word(lines[lines.size() - 2], 6)), 50000u);
    EXPECT_NE(word(lines.back(), 1), "a2a3");  // the last go's searchmoves are gone
}

// The log's line of an iteration gives the score in pawns, to the centipawn.
TEST(EngineSearch, LogTableScoreInPawns) {
    const std::string in = "position fen rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\ngo depth 1\n";  // a queen up
    const std::string dir = makeTempDir();
    const RunResult run = runProgram({ZARV_BIN, "-log", "x.log"}, in, 60, dir);
    ASSERT_EQ(run.status, 0);
    const std::string log = readText(dir + "/x.log");
    removeTree(dir);
    std::smatch m;
    const std::string info = run.out.substr(run.out.rfind("info depth 1 "));
    const std::string table = log.substr(log.rfind("\nDEPTH "));
    ASSERT_TRUE(std::regex_search(table, m, std::regex("\n    1 +[0-9.]+ +[0-9]+ +[0-9.]+ +([0-9.-]+)   ")));
    char pawns[16];
    std::snprintf(pawns, sizeof pawns, "%.2f", std::stoi(word(info, 9)) / 100.0);
    EXPECT_TRUE(m[1] == pawns && std::stoi(word(info, 9)) > 850) << m[0] << info;

    // A signed depth is a depth too; a depth past the deepest iteration, 100,
    // stops there, and a table turned off by a Hash value below 1 stays off.
    const struct { std::string in; int last; } depths[] = {
        {"go depth +2\n", 2},
        {"position fen 4k3/8/8/8/8/8/8/4K3 w - -\ngo depth 150\n", 100},
        {"setoption name Hash value -5\ngo depth 3\n", 3},
    };
    for (const auto& d : depths) {
        const std::string out = runProgram({ZARV_BIN}, d.in).out;
        const std::string last = "info depth " + std::to_string(d.last) + " ";
        EXPECT_TRUE(out.find(last) != out.npos && out.find("info depth " + std::to_string(d.last + 1) + " ") == out.npos &&
                    out.find("\nbestmove ") != out.npos) << out;
    }
}

// Switches that shape the search, at their bounds, by the nodes of a depth-9
// search: razoring stops below depth 8 however deep -razor asks, and with a
// move-count limit of 1 a node still searches its first move (pruned, it
// would be left without a score).
TEST(EngineSearch, RazorCapAndMoveCountLimit) {
    const std::string in = "position fen r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4\ngo depth 9\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"-razor", "8"}, "162326"}, {{"-razor", "9"}, "162326"}, {{"-razor", "7"}, "165005"}, {{"-hd1", "1"}, "264412"}};
    for (const auto& [args, nodes] : cases) {
        std::vector<std::string> cmd{ZARV_BIN};
        cmd.insert(cmd.end(), args.begin(), args.end());
        const std::string out = runProgram(cmd, in).out;
        const size_t at = out.rfind("info depth 9 ");
        EXPECT_EQ(at == out.npos ? out : word(out.substr(at), 6), nodes) << args[0] << " " << args[1];
    }
}

// A search cut short by its node limit plays the move of the last "pv" it
// wrote, even when that line came from the unfinished iteration, and ponders on
// that line's second move or on none.
TEST(EngineSearch, BestmoveFollowsTheLastPvLine) {
    struct Case { const char* fen; int nodes; } cases[] = {
        {"r3nrk1/2p2p1p/p1p1b1p1/2NpPq2/3R4/P1N1Q3/1PP2PPP/4R1K1 w - - 0 1", 20000},
        {"r3k2r/pppqnppp/2nbp3/3p4/2PP4/2N1PPB1/PP3P1P/R2QKB1R w KQkq - 0 1", 50000},
        {"r3r1k1/pp1q1pp1/4b1p1/3p2B1/3Q1R2/8/PPP3PP/4R1K1 w - - 0 1", 100000},
        // The same first move, a new reply: the ponder move follows the line.
        {"rn1q1rk1/pppbppbp/6p1/4P3/2Q3n1/2N2N2/PP1P1PPP/R1B1KB1R w KQ - 0 1", 20000},
        {"r2qkb1r/1p2pppp/p1bp1n2/8/3NP3/8/PPP2PPP/RNBQR1K1 w kq - 0 1", 20000},
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 20000},  // mate in one: a line of one move
        {"k7/2K5/8/8/8/8/8/7R b - - 0 1", 20000},       // mated in one: a line of two
    };
    int changed = 0;  // searches whose unfinished iteration replaced the move
    for (auto c : cases) {
        Engine e;
        e.position(std::string("position fen ") + c.fen);
        auto lines = e.go("go nodes " + std::to_string(c.nodes));
        ASSERT_GE(lines.size(), 2u) << c.fen;
        const std::string& last = lines[lines.size() - 2];
        std::string want = "bestmove " + word(last, 13);
        if (!word(last, 14).empty()) want += " ponder " + word(last, 14);
        EXPECT_EQ(lines.back(), want) << c.fen;
        for (size_t i = lines.size() - 1; i-- > 0;)
            if (word(lines[i], 2) != word(last, 2)) {
                changed += word(lines[i], 13) != word(last, 13);
                break;
            }
    }
    EXPECT_GE(changed, 3);  // the cases still reach the case they are here for
}

TEST(EngineSearch, MatesStalematesAndPerpetualCheck) {
    struct Case { const char *fen, *score, *move; } cases[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "mate 1", "a1a8"},
        {"k7/8/2K5/8/8/8/8/7R w - - 0 1", "mate 2", "c6b6"},
        {"r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "mate 3", "f8c5"},
        {"k7/2K5/8/8/8/8/8/7R b - - 0 1", "mate -1", "a8a7"},
        // Black is a rook and more ahead, but the queen checks for ever.
        {"1nb2r1k/pp3p1p/8/6Q1/8/8/1r4PP/7K w - - 0 1", "cp 0", "g5f6"},
        // Roots without a move, then the placeholder move: mate ends the
        // iterations at once, stalemate runs them to the depth limit.
        {"k7/1Q6/1K6/8/8/8/8/8 b - - 0 1", "mate -1", "ZZZZ"},
        {"k7/8/1Q6/8/8/8/8/7K b - - 0 1", "cp 0", "ZZZZ"},
    };
    Engine e;
    for (auto c : cases) {
        e.position(std::string("position fen ") + c.fen);
        auto lines = e.go("go depth 12");
        ASSERT_GE(lines.size(), 2u) << c.fen;
        EXPECT_EQ(score(lines[lines.size() - 2]), c.score) << c.fen;
        EXPECT_EQ(word(lines.back(), 1), c.move) << c.fen;
        if (std::string(c.move) == "ZZZZ") {
            EXPECT_EQ(lines.size(), c.score[0] == 'm' ? 2u : 13u) << c.fen;
            for (size_t i = 0; i + 1 < lines.size(); ++i) {
                EXPECT_TRUE(std::regex_match(lines[i], INFO)) << lines[i];
                EXPECT_EQ(word(lines[i], 2), std::to_string(i + 1));
                EXPECT_EQ(score(lines[i]), c.score);
                EXPECT_EQ(lines[i].substr(lines[i].size() - 4), " pv ");
            }
            EXPECT_EQ(lines.back(), "bestmove ZZZZ");
        }
    }
}

TEST(EngineSearch, InfinitePonderAndCommandsDuringASearch) {
    const std::string kpk = "8/8/4k3/8/8/4K3/4P3/8 w - - 0 1";
    Engine e;
    e.position("position fen " + kpk);
    sendLine(e.p, "go infinite");
    EXPECT_EQ(waitForLine(e.p, "bestmove", 0.7), "<timeout>");
    sendLine(e.p, "isready");
    EXPECT_EQ(waitForLine(e.p, "readyok", 10.0), "readyok");  // served in the middle of the search
    sendLine(e.p, "abcdefghijklmnopq");                       // longer than any command word: kept too
    sendLine(e.p, "position startpos");                       // kept until the search has answered
    sendLine(e.p, "stop");
    EXPECT_TRUE(legal(kpk, word(waitForLine(e.p, "bestmove", 10.0), 1)));
    EXPECT_EQ(waitForLine(e.p, "info string fen", 10.0), "info string fen = rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -");

    for (const char* release : {"ponderhit", "stop"}) {
        sendLine(e.p, "go ponder wtime 2000 btime 2000");
        EXPECT_EQ(waitForLine(e.p, "bestmove", 0.7), "<timeout>") << release;
        sendLine(e.p, release);
        EXPECT_TRUE(legal(START_FEN, word(waitForLine(e.p, "bestmove", 10.0), 1))) << release;
    }

    e.position("position fen k7/8/1Q6/8/8/8/8/7K b - - 0 1");  // stalemate: a hundred iterations at once, held
    sendLine(e.p, "go infinite");
    size_t from = e.p.outBuf.size();
    sendLine(e.p, "quit");
    EXPECT_EQ(waitExit(e.p, 10.0), 0);
    EXPECT_EQ(e.p.outBuf.find("bestmove", from), std::string::npos);
    EXPECT_NE(e.p.errBuf.find("\nUCI_abcdefghijklmnopq "), std::string::npos) << e.p.errBuf;
}

// The bench's node count is the search's signature: any change to the search,
// the picker or the evaluation moves it. A change made on purpose updates the
// number here and says so in its commit.
constexpr const char* BENCH_DEPTH_7 = "1046914";

TEST(DevSearch, BenchSignatureAndGo) {
    {
        RunResult r = runDev("bench 7", 120);
        ASSERT_EQ(r.status, 0) << r.err;
        auto lines = splitLines(r.out);
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        ASSERT_EQ(lines.size(), 31u);
        ASSERT_TRUE(std::regex_match(lines.back(), std::regex("bench \\d+ nodes \\d+ nps"))) << lines.back();
        EXPECT_EQ(word(lines.back(), 1), BENCH_DEPTH_7);
        EXPECT_EQ(r.out.find("info"), std::string::npos);  // the engine's own lines stay silent
    }
    RunResult r = runDev("go --depth 4 6k1/5ppp/8/8/8/8/8/R5K1 w - -");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.find("score mate 1 ") != r.out.npos && r.out.find("bestmove a1a8\n") != r.out.npos) << r.out;
    for (const char* args : {"go --depth x", "go --speed 3", "go --depth 3 --nodes 5", "go 8/8/8/8/8/8/8/8 w - -", "bench 0"}) {
        RunResult x = runDev(args);
        EXPECT_TRUE(x.status == 2 && !x.err.empty()) << args;
    }
}

// Four search threads as a GUI meets them: "isready" answered and "stop"
// obeyed during an infinite search, "ponderhit" ending a ponder search, "quit"
// ending the process while every thread searches. Results, not timings.
TEST(EngineThreads, CommandsDuringAFourThreadSearch) {
    const std::string start = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
    Engine e;
    sendLine(e.p, "setoption name Threads value 4");
    e.position("position startpos");
    sendLine(e.p, "go infinite");
    sendLine(e.p, "isready");
    EXPECT_EQ(waitForLine(e.p, "readyok"), "readyok");
    sendLine(e.p, "stop");
    std::string best = waitForLine(e.p, "bestmove");
    EXPECT_TRUE(legal(start, word(best, 1))) << best;
    sendLine(e.p, "go ponder movetime 100");
    sendLine(e.p, "ponderhit");
    best = waitForLine(e.p, "bestmove");
    EXPECT_TRUE(legal(start, word(best, 1))) << best;
    sendLine(e.p, "go infinite");
    sendLine(e.p, "quit");
    EXPECT_EQ(waitExit(e.p, 10), 0);
}

// The thread count changed between searches, and Clear Hash: with one thread
// again, a search after Clear Hash counts the nodes a fresh engine's first
// search counts.
TEST(EngineThreads, ChangedBetweenSearchesAndClearHash) {
    auto nodes = [](const std::vector<std::string>& lines) { return word(lines.at(lines.size() - 2), 6); };
    Engine e;
    e.position("position startpos moves d2d4");
    const std::string fresh = nodes(e.go("go depth 7"));
    EXPECT_NE(nodes(e.go("go depth 7")), fresh);  // the table remembers
    for (const char* n : {"3", "1", "2"}) {
        sendLine(e.p, std::string("setoption name Threads value ") + n);
        const auto lines = e.go("go depth 7");
        ASSERT_FALSE(lines.empty()) << n;
        EXPECT_TRUE(legal("rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq - 0 1", word(lines.back(), 1)));
        sendLine(e.p, "setoption name Clear Hash");
    }
    sendLine(e.p, "setoption name Threads value 1");
    sendLine(e.p, "setoption name Clear Hash");
    EXPECT_EQ(nodes(e.go("go depth 7")), fresh);
}

// MultiPV: each finished iteration gives its k lines in order, first moves
// distinct and scores best first, and bestmove is line 1's first move; fewer
// legal moves give that many lines.
TEST(EngineMultiPV, LinesPerIteration) {
    Engine e;
    sendLine(e.p, "setoption name MultiPV value 4");
    e.position("position fen r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4");
    auto lines = e.go("go depth 6");
    ASSERT_EQ(lines.size(), 6u * 4 + 1);
    for (size_t i = 0; i + 1 < lines.size(); i += 4) {
        std::vector<std::string> firsts;
        for (size_t j = 0; j < 4; ++j) {
            const std::string& l = lines[i + j];
            EXPECT_EQ(word(l, 2) + " " + word(l, 3) + " " + word(l, 4), std::to_string(i / 4 + 1) + " multipv " + std::to_string(j + 1)) << l;
            firsts.push_back(word(l, 15));
            if (j > 0) {
                EXPECT_GE(std::stoi(word(lines[i + j - 1], 11)), std::stoi(word(l, 11))) << l;
            }
        }
        std::sort(firsts.begin(), firsts.end());
        EXPECT_EQ(std::unique(firsts.begin(), firsts.end()), firsts.end());
    }
    EXPECT_EQ(word(lines.back(), 1), word(lines[lines.size() - 5], 15));
    e.position("position fen 7k/8/8/8/8/8/8/K6R b - - 0 1");  // two legal moves
    lines = e.go("go depth 2");
    ASSERT_EQ(lines.size(), 2u * 2 + 1);
    EXPECT_EQ(word(lines[3], 4), "2");
}
