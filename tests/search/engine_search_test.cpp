// The search as a GUI sees it: the real engine driven through pipes, with
// its "info" and "bestmove" lines, its limits, pondering and the commands
// that arrive while it thinks; and the zarv-dev bench and go commands.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "frontend/general.h"
#include "frontend/notation.h"
#include "support.h"

namespace {

const std::regex INFO_RE(
    "info depth (\\d+) time (\\d+) nodes (\\d+) score (cp -?\\d+|mate -?\\d+) nps (\\d+) pv ([a-h][1-8][a-h][1-8][qnrb]? )*");

std::set<std::string> legalMoves(const std::string& fen) {
    static const bool ready = (initStartupTables(), initEngine(), true);
    (void)ready;
    Position p{};
    fenToPosition(p, fen.c_str());
    Move list[MAX_MOVES];
    int n = genAll(p, list);
    std::set<std::string> out;
    Position child;
    for (int i = 0; i < n; ++i) {
        make(p, child, list[i]);
        if (fasterInCheck(child, sideToMove(p))) continue;
        char t[8];
        alg(list[i], t);
        out.insert(t);
    }
    return out;
}

void pause(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

struct Engine {
    Proc p;
    Engine() { p = startProc({ZARV_BIN}); }
    ~Engine() {
        if (p.status < 0) {
            sendLine(p, "quit");
            waitExit(p, 5);
        }
    }
    // Starts a search and returns the lines it wrote up to its "bestmove".
    std::vector<std::string> search(const std::string& position, const std::string& go, double timeout = 20) {
        sendLine(p, position);
        waitForLine(p, "info string fen");
        size_t from = p.outBuf.size();
        sendLine(p, go);
        return until("bestmove", from, timeout);
    }
    std::vector<std::string> until(const std::string& prefix, size_t from, double timeout) {
        std::string last = waitForLine(p, prefix, timeout);
        std::vector<std::string> out;
        if (last == "<timeout>") return out;
        for (const auto& l : splitLines(p.outBuf.substr(from)))
            if (!l.empty()) out.push_back(l);
        while (!out.empty() && out.back().rfind(prefix, 0) != 0) out.pop_back();
        return out;
    }
};

std::vector<std::string> infoLines(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (l.rfind("info depth", 0) == 0) out.push_back(l);
    return out;
}

std::string field(const std::string& info, const std::string& name) {
    std::smatch m;
    std::regex re(name + " (mate -?\\d+|cp -?\\d+|\\d+)");
    return std::regex_search(info, m, re) ? m[1].str() : "";
}

std::string word(const std::string& line, int i) {
    size_t pos = 0;
    for (int k = 0; k < i; ++k) pos = line.find(' ', pos) + 1;
    return line.substr(pos, line.find(' ', pos) - pos);
}

}  // namespace

TEST(EngineSearch, DepthFiveReportsEveryIterationAndALegalMove) {
    Engine e;
    auto lines = e.search("position startpos moves e2e4", "go depth 5");
    ASSERT_FALSE(lines.empty());
    auto infos = infoLines(lines);
    std::vector<int> depths;
    for (const auto& l : infos) {
        EXPECT_TRUE(std::regex_match(l, INFO_RE)) << l;
        depths.push_back(std::stoi(word(l, 2)));
    }
    // One line per finished iteration; from the fifth iteration on the root
    // also reports each new best move, so depth 5 may appear more than once.
    ASSERT_GE(depths.size(), 5u);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(depths[k - 1], k);
    for (size_t i = 4; i < depths.size(); ++i) EXPECT_EQ(depths[i], 5);
    const std::string fen = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
    const std::string& best = lines.back();
    EXPECT_EQ(legalMoves(fen).count(word(best, 1)), 1u) << best;
    EXPECT_EQ(word(infos.back(), 13), word(best, 1));  // the pv's first move
}

TEST(EngineSearch, MovetimeAnswersWithinItsLimit) {
    Engine e;
    sendLine(e.p, "position startpos");
    waitForLine(e.p, "info string fen");
    sendLine(e.p, "go movetime 300");
    std::string best = waitForLine(e.p, "bestmove", 3.0);
    ASSERT_NE(best, "<timeout>");
    EXPECT_EQ(legalMoves(START_FEN).count(word(best, 1)), 1u);
}

TEST(EngineSearch, InfiniteSearchWaitsForStop) {
    Engine e;
    sendLine(e.p, "position fen 8/8/4k3/8/8/4K3/4P3/8 w - - 0 1");
    waitForLine(e.p, "info string fen");
    sendLine(e.p, "go infinite");
    EXPECT_EQ(waitForLine(e.p, "bestmove", 0.7), "<timeout>");
    sendLine(e.p, "isready");
    EXPECT_EQ(waitForLine(e.p, "readyok", 2.0), "readyok");  // served in the middle of the search
    sendLine(e.p, "stop");
    std::string best = waitForLine(e.p, "bestmove", 3.0);
    EXPECT_EQ(legalMoves("8/8/4k3/8/8/4K3/4P3/8 w - - 0 1").count(word(best, 1)), 1u) << best;
}

TEST(EngineSearch, PonderHoldsTheMoveUntilPonderhitOrStop) {
    for (const char* release : {"ponderhit", "stop"}) {
        Engine e;
        sendLine(e.p, "position startpos");
        waitForLine(e.p, "info string fen");
        sendLine(e.p, "go ponder wtime 2000 btime 2000");
        EXPECT_EQ(waitForLine(e.p, "bestmove", 0.7), "<timeout>") << release;
        sendLine(e.p, release);
        std::string best = waitForLine(e.p, "bestmove", 3.0);
        EXPECT_EQ(legalMoves(START_FEN).count(word(best, 1)), 1u) << release << ": " << best;
    }
}

TEST(EngineSearch, QuitEndsTheProcessDuringASearch) {
    Engine e;
    sendLine(e.p, "position startpos");
    waitForLine(e.p, "info string fen");
    sendLine(e.p, "go infinite");
    pause(0.3);
    sendLine(e.p, "quit");
    EXPECT_EQ(waitExit(e.p, 3.0), 0);
    EXPECT_EQ(e.p.outBuf.find("bestmove"), std::string::npos);
}

TEST(EngineSearch, PositionDuringASearchWaitsForBestmove) {
    Engine e;
    sendLine(e.p, "position startpos");
    waitForLine(e.p, "info string fen");
    sendLine(e.p, "go infinite");
    pause(0.3);
    const std::string kqk = "2k5/8/8/8/8/8/6Q1/4K3 w - - 0 1";
    sendLine(e.p, "position fen " + kqk);
    pause(0.3);
    sendLine(e.p, "stop");
    std::string best = waitForLine(e.p, "bestmove", 3.0);
    EXPECT_EQ(legalMoves(START_FEN).count(word(best, 1)), 1u) << best;  // the old position's move
    EXPECT_EQ(waitForLine(e.p, "info string fen", 3.0), "info string fen = 2k5/8/8/8/8/8/6Q1/4K3 w - -");
    size_t from = e.p.outBuf.size();
    sendLine(e.p, "go depth 2");
    auto lines = e.until("bestmove", from, 5.0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(legalMoves(kqk).count(word(lines.back(), 1)), 1u) << lines.back();
}

TEST(EngineSearch, NodeLimitBoundsTheReportedCount) {
    Engine e;
    auto lines = e.search("position startpos", "go nodes 50000");
    auto infos = infoLines(lines);
    ASSERT_FALSE(infos.empty());
    EXPECT_LE(std::stoull(field(infos.back(), "nodes")), 50000u) << infos.back();
    EXPECT_EQ(legalMoves(START_FEN).count(word(lines.back(), 1)), 1u);
}

TEST(EngineSearch, SearchmovesRestrictsTheRoot) {
    Engine e;
    auto lines = e.search("position startpos", "go depth 5 searchmoves a2a3");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(word(lines.back(), 1), "a2a3");
    for (const auto& l : infoLines(lines)) EXPECT_EQ(word(l, 13), "a2a3") << l;
}

TEST(EngineSearch, MatesAreFoundAndReportedInMoves) {
    struct Case {
        const char* fen;
        const char* score;
        const char* move;
    } cases[] = {
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "mate 1", "a1a8"},
        {"k7/8/2K5/8/8/8/8/7R w - - 0 1", "mate 2", "c6b6"},
        {"r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1", "mate 2", "d5f6"},
        {"2k5/8/8/2K5/8/8/8/7R w - - 0 1", "mate 3", "c5c6"},
        {"r1b1kb1r/pppp1ppp/5q2/4n3/3KP3/2N3PN/PPP4P/R1BQ1B1R b kq - 0 1", "mate 3", "f8c5"},
        {"k7/2K5/8/8/8/8/8/7R b - - 0 1", "mate -1", "a8a7"},
    };
    Engine e;
    for (auto c : cases) {
        auto lines = e.search(std::string("position fen ") + c.fen, "go depth 12");
        auto infos = infoLines(lines);
        ASSERT_FALSE(infos.empty()) << c.fen;
        EXPECT_EQ(field(infos.back(), "score"), c.score) << c.fen;
        EXPECT_EQ(word(lines.back(), 1), c.move) << c.fen;
    }
}

TEST(EngineSearch, RootsWithoutMovesAndForcedRepetition) {
    Engine e;
    // Mated and stalemated roots: one iteration, then the placeholder move.
    auto mated = e.search("position fen k7/1Q6/1K6/8/8/8/8/8 b - - 0 1", "go depth 5");
    ASSERT_EQ(mated.size(), 2u);
    EXPECT_EQ(mated[0], "info depth 1 time " + field(mated[0], "time") + " nodes 0 score mate -1 nps 0 pv ");
    EXPECT_EQ(mated[1], "bestmove ZZZZ");
    auto stale = e.search("position fen k7/8/1Q6/8/8/8/8/7K b - - 0 1", "go depth 5");
    ASSERT_EQ(stale.size(), 2u);
    EXPECT_EQ(field(stale[0], "score"), "cp 0");
    EXPECT_EQ(stale[1], "bestmove ZZZZ");
    // Black is a rook and more ahead, but the queen checks for ever.
    auto perpetual = e.search("position fen 1nb2r1k/pp3p1p/8/6Q1/8/8/1r4PP/7K w - - 0 1", "go depth 9");
    auto infos = infoLines(perpetual);
    ASSERT_FALSE(infos.empty());
    EXPECT_EQ(field(infos.back(), "score"), "cp 0");
    EXPECT_EQ(word(perpetual.back(), 1), "g5f6");
}

TEST(EngineSearch, FixedDepthNodeCountRepeats) {
    std::string counts[2];
    for (auto& c : counts) {
        Engine e;
        auto infos = infoLines(e.search("position startpos moves d2d4 g8f6 c2c4", "go depth 7"));
        ASSERT_FALSE(infos.empty());
        c = field(infos.back(), "nodes");
    }
    EXPECT_EQ(counts[0], counts[1]);
}

TEST(DevSearch, BenchSignatureRepeats) {
    const std::regex last("bench (\\d+) nodes (\\d+) nps");
    std::string sig[2];
    for (auto& s : sig) {
        RunResult r = runProgram({ZARV_DEV_BIN, "bench", "3"}, "", 60);
        ASSERT_EQ(r.status, 0) << r.err;
        auto lines = splitLines(r.out);
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        ASSERT_EQ(lines.size(), 31u);
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines.back(), m, last)) << lines.back();
        s = m[1].str();
        EXPECT_EQ(r.out.find("info"), std::string::npos);  // the engine's own lines stay silent
    }
    EXPECT_EQ(sig[0], sig[1]);
    EXPECT_NE(sig[0], "0");
}

TEST(DevSearch, GoPrintsTheEngineLines) {
    RunResult r = runProgram({ZARV_DEV_BIN, "go", "--depth", "4", "6k1/5ppp/8/8/8/8/8/R5K1", "w", "-", "-"}, "", 30);
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = splitLines(r.out);
    EXPECT_NE(r.out.find("score mate 1"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("bestmove a1a8\n"), std::string::npos) << r.out;

    struct Bad {
        std::vector<std::string> args;
    } bad[] = {{{"go", "--depth"}}, {{"go", "--depth", "x"}}, {{"go", "--speed", "3"}},
               {{"go", "--depth", "3", "--nodes", "5"}}, {{"go", "--depth", "2", "8/8/8/8/8/8/8/8", "w", "-", "-"}},
               {{"bench", "0"}}, {{"bench", "two"}}};
    for (const auto& b : bad) {
        std::vector<std::string> args{ZARV_DEV_BIN};
        args.insert(args.end(), b.args.begin(), b.args.end());
        RunResult x = runProgram(args, "", 30);
        EXPECT_EQ(x.status, 2) << args[1] << " " << (args.size() > 2 ? args[2] : "");
        EXPECT_FALSE(x.err.empty());
    }
}
