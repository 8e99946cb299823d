// The search as a GUI sees it, through the UCI loop: its "info" and "bestmove"
// lines, its limits, pondering and the commands that arrive while it thinks;
// in process, and through the real engine for the command-line switches and
// several threads.

#include <algorithm>
#include <cstdio>
// GCC 12 sees an uninitialised std::function inside <regex> at -O0 with the
// sanitizers; the warning is about the library's own code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop

#include "board/legal.h"
#include "support.h"

namespace {

bool legal(const std::string& fen, const std::string& text) { return findLegalMove(fromFen(fen), text.c_str()) != 0; }

// An info line of a finished iteration, every field in its place and the pv's
// moves each followed by a blank: words 2, 6, 8-9 and 13 are depth, nodes,
// score and the first pv move.
const std::regex INFO("info depth \\d+ time \\d+ nodes \\d+ score (cp|mate) -?\\d+ nps \\d+ pv ([a-h][1-8][a-h][1-8][qnrb]? )*");

// The searches of an output: each one's "info depth" lines, then its bestmove line.
std::vector<std::vector<std::string>> searches(const std::string& out) {
    std::vector<std::vector<std::string>> all(1);
    for (const auto& l : splitLines(out))
        if (l.rfind("info depth", 0) == 0 || l.rfind("bestmove", 0) == 0) {
            all.back().push_back(l);
            if (l[0] == 'b') all.emplace_back();
        }
    all.pop_back();
    return all;
}

std::string lastNodes(const std::vector<std::string>& search) { return word(search.at(search.size() - 2), 6); }

const std::string START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

}  // namespace

// The log's line of an iteration gives the score in pawns, to the centipawn;
// a table turned off by a Hash value below 1 stays off.
TEST(EngineSearch, LogTableScoreInPawns) {
    std::string out;
    const std::string log = logged([&] {
        out = uciSession("setoption name Hash value -5\nposition fen rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -\n"
                         "go depth 2\n").out;
    });
    const std::string info = out.substr(out.rfind("info depth 2 "));  // a queen up
    std::smatch m;
    ASSERT_TRUE(std::regex_search(log, m, std::regex("\n    2 +[0-9.]+ +[0-9]+ +[0-9.]+ +([0-9.-]+)   ")));
    char pawns[16];
    std::snprintf(pawns, sizeof pawns, "%.2f", std::stoi(word(info, 9)) / 100.0);
    EXPECT_TRUE(m[1] == pawns && std::stoi(word(info, 9)) > 850) << m[0] << info;
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
        const RunResult r = runProgram({ZARV_BIN, args[0], args[1]}, in);
        EXPECT_EQ(word(r.out.substr(r.out.rfind("info depth 9 ")), 6), nodes) << args[0] << " " << args[1];
    }
}

// One info line per finished iteration (from the fifth on, also one for each
// new best move). A search cut short by its node limit plays the move of the
// last "pv" it wrote, even when that line came from the unfinished iteration,
// and ponders on that line's second move or on none.
TEST(EngineSearch, BestmoveFollowsTheLastPvLine) {
    int changed = 0;  // searches whose unfinished iteration replaced the move
    for (const auto& c : readTable("bestmove.txt")) {  // FEN | nodes
        const auto s = searches(uciSession("position fen " + c[0] + "\ngo nodes " + c[1] + "\n").out);
        ASSERT_TRUE(s.size() == 1 && s[0].size() >= 2) << c[0];
        const auto& lines = s[0];
        for (size_t i = 0; i + 1 < lines.size(); ++i) {
            const int depth = std::stoi(word(lines[i], 2)), before = i ? std::stoi(word(lines[i - 1], 2)) : 0;
            EXPECT_TRUE(std::regex_match(lines[i], INFO) && (depth == before + 1 || (depth == before && depth >= 5))) << lines[i];
        }
        const std::string& last = lines[lines.size() - 2];
        std::string want = "bestmove " + word(last, 13);
        if (!word(last, 14).empty()) want += " ponder " + word(last, 14);
        EXPECT_EQ(lines.back(), want) << c[0];
        for (size_t i = lines.size() - 1; i-- > 0;)
            if (word(lines[i], 2) != word(last, 2)) {
                changed += word(lines[i], 13) != word(last, 13);
                break;
            }
    }
    EXPECT_GE(changed, 3);  // the cases still reach the case they are here for
}

// Mates, stalemates, perpetual check and a few plain searches
// (tests/data/searches.txt), their last info line pinned but for its time and
// speed. A root without a move gives the placeholder move: mate ends the
// iterations at once, stalemate runs them to the depth limit.
TEST(EngineSearch, SearchesToADepth) {
    for (const auto& c : readTable("searches.txt")) {  // FEN | depth | last info line | bestmove line
        const auto s = searches(uciSession("position fen " + c[0] + "\ngo depth " + c[1] + "\n").out);
        ASSERT_TRUE(s.size() == 1 && s[0].size() >= 2) << c[0];
        const std::string& last = s[0][s[0].size() - 2];
        const auto w = words(last);
        std::string pinned;  // the line without "info", its time and its speed
        for (size_t i = 1; i < w.size(); ++i)
            if (w[i] != "time" && w[i] != "nps" && w[i - 1] != "time" && w[i - 1] != "nps") pinned += w[i] + " ";
        EXPECT_EQ(pinned + "| " + s[0].back(), c[2] + " | bestmove " + c[3]) << c[0];
        if (c[3] != "ZZZZ") continue;
        EXPECT_EQ(s[0].size(), c[2].find("mate") != c[2].npos ? 2u : std::min(std::stoul(c[1]), 100ul) + 1) << c[0];
        for (size_t i = 0; i + 1 < s[0].size(); ++i)
            EXPECT_TRUE(std::regex_match(s[0][i], INFO) && word(s[0][i], 2) == std::to_string(i + 1) &&
                        s[0][i].substr(s[0][i].find(" score ")) == last.substr(last.find(" score "))) << s[0][i];
    }
}

// While a search runs, "isready" is answered and any other command is kept
// and carried out after "bestmove"; an infinite or pondering search that has
// finished holds its answer until "stop", "ponderhit" or the end of input
// (the GUI has gone: nothing would ever stop it; "quit": the four-thread test).
TEST(EngineSearch, InfinitePonderAndCommandsDuringASearch) {
    const std::string kpk = "8/8/4k3/8/8/4K3/4P3/8 w - - 0 1", stalemate = "position fen k7/8/1Q6/8/8/8/8/7K b - - 0 1\n";
    RunResult r = uciSession("position fen " + kpk + "\ngo infinite\nisready\nabcdefghijklmnopq\nposition startpos\nstop\n");
    std::vector<std::string> lines = splitLines(r.out);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_TRUE(std::count(lines.begin(), lines.end(), "readyok") == 1 && lines[lines.size() - 3].rfind("info depth", 0) == 0);
    EXPECT_TRUE(legal(kpk, word(lines[lines.size() - 2], 1))) << r.out;
    EXPECT_EQ(lines.back(), "info string fen = rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -");
    EXPECT_EQ(r.err, "UCI_abcdefghijklmnopq =  0x" + r.err.substr(r.err.find("0x") + 2));  // longer than any command word
    for (const char* release : {"ponderhit", "stop", ""}) {
        r = uciSession(stalemate + "go ponder wtime 2000 btime 2000\nisready\n" + release + "\n");
        EXPECT_EQ(r.out.substr(r.out.rfind("readyok")), "readyok\nbestmove ZZZZ\n") << release;
        r = uciSession("go ponder wtime 2000 btime 2000\n" + std::string(release) + "\n");
        EXPECT_TRUE(legal(START, word(searches(r.out).at(0).back(), 1))) << release;
    }
    for (const char* release : {"stop\n", ""}) {
        r = uciSession(stalemate + "go infinite\nisready\n" + release);
        EXPECT_EQ(r.out.substr(r.out.rfind("readyok")), "readyok\nbestmove ZZZZ\n") << release;
    }
}

// Four search threads through the real engine, every command in its input
// from the start (a search reads one line each time it serves input):
// "isready" answered and "stop" obeyed during an infinite search, "ponderhit"
// turning a ponder search into a timed one (the end of input after it lets
// that search finish), and "quit" ending the process while every thread
// searches. Results, not timings.
TEST(EngineThreads, CommandsDuringAFourThreadSearch) {
    const std::string four = "setoption name Threads value 4\nposition startpos\n";
    RunResult r = runProgram({ZARV_BIN}, four + "go infinite\nisready\nstop\ngo ponder movetime 100\nponderhit\n");
    const auto s = searches(r.out);
    ASSERT_TRUE(r.status == 0 && s.size() == 2u) << r.out;
    for (const auto& search : s) EXPECT_TRUE(legal(START, word(search.back(), 1))) << search.back();
    EXPECT_LT(r.out.find("readyok"), r.out.find("bestmove"));
    r = runProgram({ZARV_BIN}, four + "go infinite\nquit\n");
    EXPECT_TRUE(r.status == 0 && r.out.find("bestmove") == r.out.npos) << r.out;
}

// The thread count changed between searches, and Clear Hash: with one thread
// again, a search after Clear Hash counts the nodes a fresh engine's first
// search counts, whether three or two threads shared the clearing, and after
// a new table (which starts empty, so Clear Hash leaves it as it is).
TEST(EngineThreads, ChangedBetweenSearchesAndClearHash) {
    std::string in = "position startpos moves d2d4\ngo depth 7\ngo depth 7\n";
    for (const char* n : {"3", "1", "2"}) in += std::string("setoption name Threads value ") + n + "\ngo depth 7\nsetoption name Clear Hash\n";
    in += "setoption name Threads value 1\ngo depth 7\nsetoption name Hash value 32\nsetoption name Clear Hash\ngo depth 7\n";
    const auto s = searches(runProgram({ZARV_BIN}, in).out);
    ASSERT_EQ(s.size(), 7u);
    EXPECT_NE(lastNodes(s[1]), lastNodes(s[0]));  // the table remembers
    for (const auto& search : s)
        EXPECT_TRUE(legal("rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq - 0 1", word(search.back(), 1)));
    for (size_t i : {3u, 5u, 6u}) EXPECT_EQ(lastNodes(s[i]), lastNodes(s[0])) << i;
}

// MultiPV: each finished iteration gives its k lines in order, first moves
// distinct and scores best first, and bestmove is line 1's first move; fewer
// legal moves give that many lines.
TEST(EngineMultiPV, LinesPerIteration) {
    const auto s = searches(runProgram({ZARV_BIN}, "setoption name MultiPV value 4\n"
                                                   "position fen r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4\n"
                                                   "go depth 6\nposition fen 7k/8/8/8/8/8/8/K6R b - - 0 1\ngo depth 2\n").out);
    ASSERT_EQ(s.size(), 2u);
    const auto& lines = s[0];
    ASSERT_EQ(lines.size(), 6u * 4 + 1);
    for (size_t i = 0; i + 1 < lines.size(); i += 4) {
        std::vector<std::string> firsts;
        for (size_t j = 0; j < 4; ++j) {
            const std::string& l = lines[i + j];
            EXPECT_EQ(word(l, 2) + " " + word(l, 3) + " " + word(l, 4), std::to_string(i / 4 + 1) + " multipv " + std::to_string(j + 1)) << l;
            firsts.push_back(word(l, 15));
            EXPECT_GE(std::stoi(word(lines[i + j - (j > 0)], 11)), std::stoi(word(l, 11))) << l;
        }
        std::sort(firsts.begin(), firsts.end());
        EXPECT_EQ(std::unique(firsts.begin(), firsts.end()), firsts.end());
    }
    EXPECT_EQ(word(lines.back(), 1), word(lines[lines.size() - 5], 15));
    ASSERT_EQ(s[1].size(), 2u * 2 + 1);  // two legal moves
    EXPECT_EQ(word(s[1][3], 4), "2");
}
