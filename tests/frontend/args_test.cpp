// The command-line parser, the limits of "go", the clock and standard input.

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "base/general.h"
#include "base/platform.h"
#include "board/make.h"
#include "frontend/interface.h"
#include "frontend/myargs.h"
#include "support.h"

// The parser over a table of its own (tests/data/args.txt).
TEST(ParseArgs, Cases) {
    for (auto c : readTable("args.txt")) {  // arguments | result | error output | text | num | num2 | flag | real
        char text[512] = "";
        int32_t num = 7, num2 = 7, flag = 0;
        double real = 0;
        const ArgOption table[] = {{"log", text, 1},    {"cpu", &num, 2}, {"hd2", &num2, 2}, {"report", &flag, 4},
                                   {"x", &real, 3},     {"bad", &num, 9}, {"", nullptr, 0}};
        std::vector<std::string> args = words(c[0]);
        std::vector<char*> argv = {const_cast<char*>("zarv")};
        for (auto& a : args) argv.push_back(a.data());
        ::testing::internal::CaptureStderr();
        const int result = ParseArgs(int(argv.size()), argv.data(), table);
        EXPECT_EQ(std::tuple(result, ::testing::internal::GetCapturedStderr(), std::string(text), num, num2, flag, real),
                  std::tuple(std::stoi(c[1]), c[2], c[3], std::stoi(c[4]), std::stoi(c[5]), std::stoi(c[6]), std::stod(c[7]))) << c[0];
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

// The words of "go" into the limits of a search (tests/data/go.txt).
namespace {
SearchLimits limitsOf(std::string go, const Position& root, double overhead = 0) {
    std::vector<char*> words;
    for (char* w = std::strtok(go.data(), " "); w; w = std::strtok(nullptr, " ")) words.push_back(w);
    return goLimits(words.data(), int(words.size()), root, overhead);
}
}  // namespace

TEST(GoLimits, WordsIntoLimits) {
    const Position white = fromFen(START_FEN), black = playLine({"e2e4"}).back();
    for (const auto& c : readTable("go.txt")) {  // side | words | overhead | budget | hard | depth | infinite | ponder | nodes | moves
        const uint64_t counted = nodecount;  // testing the moves of "searchmoves" counts no node
        const SearchLimits l = limitsOf(c[1], c[0] == "w" ? white : black, std::stod(c[2]) / 1000);
        const std::string moves = listText(l.searchMoves, l.searchMovesCount);
        EXPECT_NEAR(l.budget, std::stod(c[3]), 1e-9) << c[1];
        EXPECT_NEAR(l.hardLimit, std::stod(c[4]), 1e-12) << c[1];
        EXPECT_EQ(std::tuple(l.depth, l.infinite, l.ponder, l.nodes, moves, l.printLines, nodecount),
                  std::tuple(std::stoi(c[5]), c[6] == "1", c[7] == "1", std::stoull(c[8]), c[9], true, counted)) << c[1];
    }
    // "go" takes the Move Overhead option in milliseconds.
    uciSession("setoption name Move Overhead value 100\ngo wtime 60100 nodes 1\n");
    EXPECT_NEAR(search.limits.budget, 1.5, 1e-12);
}

TEST(StartupTables, ClockCountsFrom1601) { EXPECT_GT(seconds(0), 11644473600.0 + 1.7e9); }

// On a pipe, half a line is no line yet; the main loop's pause ends when the
// rest arrives: a wait of a minute, with the rest written 50 ms into it,
// returns with the line there to read. (A wait that slept on would meet the
// alarm first and end the child with a signal.)
TEST(Platform, WaitEndsWhenALineArrives) {
    EXPECT_EXIT(
        {
            int fds[2];
            if (::pipe(fds) != 0 || ::dup2(fds[0], 0) < 0 || ::write(fds[1], "isre", 4) != 4) std::_Exit(1);
            if (platformInputWaiting()) std::_Exit(3);
            if (::fork() == 0) {
                ::usleep(50000);
                std::_Exit(::write(fds[1], "ady\n", 4) == 4 ? 0 : 1);
            }
            ::alarm(20);
            platformWaitInput(60000);
            char buf[16];
            std::_Exit(platformInputWaiting() && platformReadLine(buf, sizeof buf) && std::string(buf) == "isready\n" ? 7 : 2);
        },
        ::testing::ExitedWithCode(7), "");
}
