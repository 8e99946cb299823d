// The command-line parser, the time budget of "go", the log writer and input
// read from memory, in process.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "base/general.h"
#include "frontend/interface.h"
#include "frontend/myargs.h"
#include "board/notation.h"
#include "base/platform.h"
#include "board/make.h"
#include "search/search.h"
#include "support.h"

TEST(ParseArgs, Cases) {
    struct Case { std::vector<std::string> args; int result; std::string err, text; int32_t num, num2, flag; double real; } cases[] = {
        {{}, 0, "", "", 7, 7, 0, 0},
        {{"-LOG", "y.txt", "-Cpu", "1"}, 0, "", "y.txt", 1, 7, 0, 0},
        {{"-hd2", "16", "-REPORT", "-x", "2.5"}, 0, "", "", 7, 16, 1, 2.5},
        {{"-log", std::string(600, 'a')}, 0, "", std::string(511, 'a'), 7, 7, 0, 0},
        {{"-lmr", "1"}, 1, "Error. option -lmr not found.\n", "", 7, 7, 0, 0},
        {{"-hd2", "3", "-cpu"}, 1, "Error.  No argument.\n", "", 7, 3, 0, 0},
        {{"-report", "x"}, 1, "Error in command line processing.  option expected at argument 2\n", "", 7, 7, 1, 0},
        {{"-bad", "1"}, 1, "Error.  Do not understand command line switch.", "", 7, 7, 0, 0},
    };
    for (auto c : cases) {
        char text[512] = "";
        int32_t num = 7, num2 = 7, flag = 0;
        double real = 0;
        const ArgOption table[] = {{"log", text, 1},    {"cpu", &num, 2}, {"hd2", &num2, 2}, {"report", &flag, 4},
                                   {"x", &real, 3},     {"bad", &num, 9}, {"", nullptr, 0}};
        std::vector<char*> argv = {const_cast<char*>("zarv")};
        for (auto& a : c.args) argv.push_back(a.data());
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ParseArgs(int(argv.size()), argv.data(), table), c.result) << c.args.size();
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.err);
        EXPECT_EQ(std::tuple(std::string(text), num, num2, flag, real), std::tuple(c.text, c.num, c.num2, c.flag, c.real));
    }
}

// The engine's own switches, each into its setting.
TEST(ParseArgs, EngineSwitches) {
    const auto saved = std::tuple(CPU, omt, use_razor, hd1, hd2);
    const char* args[] = {"zarv", "-log", "z.log", "-cpu", "1", "-omt", "2", "-razor", "5", "-report", "-hd1", "9", "-hd2", "16"};
    int32_t report = 0;
    EXPECT_EQ(parseEngineArgs(int(std::size(args)), const_cast<char**>(args), &report), 0);
    EXPECT_EQ(std::tuple(std::string(logfile), CPU, omt, use_razor, report, hd1, hd2), std::tuple("z.log", 1, 2, 5, 1, 9, 16));
    std::tie(CPU, omt, use_razor, hd1, hd2) = saved;
    logfile[0] = 0;
}

TEST(TimeBudget, ClockRules) {
    struct Case { GoClock c; int col; double budget; } cases[] = {  // wtime btime winc binc movestogo movetime
        {{60, 0, 0, 0, 0, 0}, 0, 1.5},              // sudden death: a fortieth
        {{60, 0, 1, 0, 0, 0}, 0, 59.0 / 30 + 0.9},  // increment: a thirtieth plus 0.9 of it
        {{2, 0, 5, 0, 0, 0}, 0, 0.4},               // never above a fifth of the time
        {{500, 100, 0, 30, 20, 0}, 1, 4.0},         // moves to go: own time / (mtg + 5), no increment
        {{0.01, 0, 0, 0, 0, 0}, 0, 0.005},          // never below 5 ms, as without a clock
        {{60, 60, 0, 0, 40, 2.5}, 1, 2.5},          // a move time wins over the clock
        {{0.02, 0, 0, 0, 3, 0}, 0, 0.005},
        {{60, 0, 0, 0, -3, 0}, 0, 30.0},            // any count but 0: 60 / (-3 + 5)
        {{60, 0, 0, 0, -4, 0}, 0, 60.0},
        {{60, 0, 0, 0, -5, 0}, 0, 1.5},             // no share to give: as without a count
        {{60, 0, 1, 0, -9, 0}, 0, 59.0 / 30 + 0.9},
        {{60, 0, 0, 0, 0, -2.5}, 0, 0.005},         // a negative move time: the least budget
        {{60, 0, 0, 0, 0, 0.001}, 0, 0.001},
        {{}, 0, 0.005}, {{}, 1, 0.005},             // "go" without clock words
    };
    for (const auto& c : cases) EXPECT_NEAR(timeBudget(c.c, c.col), c.budget, 1e-9) << c.budget;
}

TEST(TimeBudget, HardLimitKeepsAReserve) {
    struct Case { GoClock c; int col; double limit; } cases[] = {  // wtime btime winc binc movestogo movetime
        {{1, 0, 0.01, 0, 0, 0}, 0, 0.7},        // all but 0.3 s
        {{0.4, 0, 0, 0, 0, 0}, 0, 0.1},
        {{0.3, 0, 0, 0, 0, 0}, 0, 0.0075},      // below about 0.31 s: a fortieth
        {{0, 0.2, 0, 0.01, 0, 0}, 1, 0.005},
        {{9, 0.02, 0, 0, 30, 0}, 1, 0.0005},    // moves to go too: black's clock
        {{0, 9, 0, 0, 0, 0}, 0, 0},             // no clock of its own: no bound
        {{0.02, 0, 0, 0, 0, 0.5}, 0, 0},        // a move time is kept as given
    };
    for (const auto& c : cases) EXPECT_NEAR(clockHardLimit(c.c, c.col), c.limit, 1e-12) << c.limit;
}

// The words of "go" into the limits of a search: the clock rules' budget and
// hard stop, numbers read as strtoull and strtol read them (a sign is part of
// the number, a word that is no number takes no value), and the legal moves
// of "searchmoves", each once.
namespace {
SearchLimits limitsOf(std::string go, const Position& root, double overhead = 0) {
    std::vector<char*> words;
    for (char* w = std::strtok(go.data(), " "); w; w = std::strtok(nullptr, " ")) words.push_back(w);
    return goLimits(words.data(), int(words.size()), root, overhead);
}
std::string text(Move m) {
    char t[8];
    alg(m, t);
    return t;
}
}  // namespace

TEST(GoLimits, WordsIntoLimits) {
    constexpr double NONE = 31622400.0;  // no clock: a year
    const char* afterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";
    struct Case { const char* go; double budget, hard; int depth; bool infinite, ponder; uint64_t nodes; const char* fen; } cases[] = {
        {"go", 0.005, 0, 99, false, false, 0, nullptr},
        {"go wtime +60000 movestogo 35", 1.5, 59.7, 99, false, false, 0, nullptr},
        {"go wtime 60000 movestogo +35", 1.5, 59.7, 99, false, false, 0, nullptr},
        {"go wtime 60000 movestogo -3", 30.0, 59.7, 99, false, false, 0, nullptr},
        {"go wtime 60000 movestogo -4", 60.0, 59.7, 99, false, false, 0, nullptr},
        {"go wtime 60000 movestogo -5", 1.5, 59.7, 99, false, false, 0, nullptr},  // no share to give
        {"go wtime 60000 movestogo 0", 1.5, 59.7, 99, false, false, 0, nullptr},
        {"go movetime wtime 8000 movestogo 3", 1.0, 7.7, 99, false, false, 0, nullptr},
        {"go movetime +2500", 2.5, 0, 99, false, false, 0, nullptr},
        {"go movetime -2500", 0.005, 0, 99, false, false, 0, nullptr},
        {"go movetime 0 wtime 8000 movestogo 3", 1.0, 7.7, 99, false, false, 0, nullptr},
        {"go btime 60000 wtime 100 winc 10 nodes 50", 0.012, 0.0025, 99, false, false, 50, nullptr},
        {"go wtime 400 nodes 50", 0.01, 0.1, 99, false, false, 50, nullptr},  // under the 0.3 s reserve's bound
        {"go movetime 30 wtime 100 nodes 50", 0.03, 0, 99, false, false, 50, nullptr},  // a move time is not cut
        {"go nodes 5000", NONE, 0, 99, false, false, 5000, nullptr},  // alone: the count is the only limit
        {"go depth 7 wtime 60000", NONE, 0, 7, false, false, 0, nullptr},
        {"go depth 99999999", NONE, 0, 1000000, false, false, 0, nullptr},
        {"go depth 100", NONE, 0, 100, false, false, 0, nullptr},  // a depth, not "infinite"
        {"go depth 3 infinite", NONE, 0, 3, true, false, 0, nullptr},
        {"go infinite", NONE, 0, 99, true, false, 0, nullptr},
        {"go ponder wtime 60000", 1.5, 59.7, 99, false, true, 0, nullptr},
        {"go depth 0 nodes x wtime 60000", 1.5, 59.7, 99, false, false, 0, nullptr},
        {"go mate 3 depth 2", NONE, 0, 2, false, false, 0, nullptr},
        {"go wtime 1 btime +100000 movestogo +20", 4.0, 99.7, 99, false, false, 0, afterE4},  // black's clock
    };
    for (const auto& c : cases) {
        const SearchLimits l = limitsOf(c.go, fromFen(c.fen ? c.fen : START_FEN));
        EXPECT_NEAR(l.budget, c.budget, 1e-9) << c.go;
        EXPECT_NEAR(l.hardLimit, c.hard, 1e-9) << c.go;
        EXPECT_EQ(std::tuple(l.depth, l.infinite, l.ponder, l.nodes, l.searchMovesCount, l.printLines),
                  std::tuple(c.depth, c.infinite, c.ponder, c.nodes, 0, true)) << c.go;
    }
    // Move Overhead comes off the remaining time first, never below nothing.
    const Position start = fromFen(START_FEN);
    EXPECT_NEAR(limitsOf("go wtime 60100", start, 0.1).budget, 1.5, 1e-9);
    EXPECT_NEAR(limitsOf("go wtime 60100", start, 0.1).hardLimit, 59.7, 1e-9);
    EXPECT_NEAR(limitsOf("go wtime 60100 movetime 100", start, 0.1).budget, 0.1, 1e-9);
    EXPECT_NEAR(limitsOf("go wtime 50 winc 10", start, 0.1).budget, 0.005, 1e-9);  // as without a clock
    EXPECT_EQ(limitsOf("go wtime 50 winc 10", start, 0.1).hardLimit, 0.0);
    // Black's move, an unknown text, a duplicate and letter case; the list
    // ends at the next word of "go". Testing the moves counts no node.
    const uint64_t counted = nodecount;
    const SearchLimits l = limitsOf("go searchmoves e2e4 E7E5 zz A2A3 e2e4 depth 2", fromFen(START_FEN));
    EXPECT_EQ(nodecount, counted);
    ASSERT_EQ(std::tuple(l.searchMovesCount, l.depth), std::tuple(2, 2));
    EXPECT_EQ(text(l.searchMoves[0]) + " " + text(l.searchMoves[1]), "e2e4 a2a3");
}

TEST(StartupTables, ClockAndLogCurve) {
    EXPECT_GT(seconds(0), 11644473600.0 + 1.7e9);  // after 2023, counted from 1601
    EXPECT_NEAR(logs[100], 6.0, 1e-12);
    EXPECT_NEAR(logs[255], 3.0 * 2.40654018043395, 1e-9);
}

// Input from memory reads as a pipe that ends after its last byte; the exit
// hook sees every status the engine ends with.
TEST(Platform, InputFromMemoryAndExitHook) {
    const char text[] = "uci\n\nposition startpos\r\nlast";
    platformInputFromMemory(text, sizeof text - 1);
    std::vector<std::string> lines;
    char buf[8];
    while (platformInputWaiting() && platformReadLine(buf, sizeof buf)) lines.push_back(buf);
    EXPECT_EQ(lines, (std::vector<std::string>{"uci\n", "\n", "positio", "n start", "pos\r\n", "last"}));
    EXPECT_TRUE(platformInputWaiting() && platformReadLine(buf, sizeof buf) == 0);  // the end, once read to it
    platformWaitInput(1000);  // returns at once: input has ended
    platformInputFromMemory(nullptr, 0);

    platformSetExitHook([](int status) { std::fprintf(stderr, "hook %d\n", status); });
    EXPECT_EXIT(platformExit(3), ::testing::ExitedWithCode(3), "hook 3");  // a hook that returns: still the end
    platformSetExitHook(nullptr);
}

// The main loop's pause ends when a line arrives: a wait of a minute, with the
// line written 50 ms into it, returns with the line there to read. (A wait
// that slept on would meet the alarm first and end the child with a signal.)
TEST(Platform, WaitEndsWhenALineArrives) {
    EXPECT_EXIT(
        {
            int fds[2];
            if (::pipe(fds) != 0 || ::dup2(fds[0], 0) < 0) std::_Exit(1);
            if (::fork() == 0) {
                ::usleep(50000);
                std::_Exit(::write(fds[1], "isready\n", 8) == 8 ? 0 : 1);
            }
            ::alarm(20);
            platformWaitInput(60000);
            char buf[16];
            std::_Exit(platformInputWaiting() && platformReadLine(buf, sizeof buf) && std::string(buf) == "isready\n" ? 7 : 2);
        },
        ::testing::ExitedWithCode(7), "");
}
