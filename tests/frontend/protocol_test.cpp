// The engine as a GUI meets it: the UCI exchanges in process, start-up, the
// command line, the log and the exit statuses through the real program; the log writer.

#include <filesystem>
#include <fstream>

#include "base/general.h"
#include "frontend/interface.h"
#include "support.h"

namespace {

const std::string BIN = ZARV_BIN;

}  // namespace

TEST(Protocol, Exchanges) {
    for (const auto& row : readTable("uci.txt")) {  // input | output | error output | status
        const RunResult r = uciSession(row[0]);
        EXPECT_EQ(std::tuple(r.out, r.err, r.status), std::tuple(row[1], row[2], std::stoi(row[3]))) << row[0];
    }
}

// A mate by castling: with UCI_Chess960 written as the king taking its rook.
TEST(Protocol, Chess960BestMoveText) {
    const std::string mate = "position fen 4rkr1/4p1p1/8/8/8/8/8/4K2R w K - 0 1\ngo depth 3\n";
    EXPECT_EQ(splitLines(uciSession("setoption name UCI_Chess960 value true\n" + mate).out).back(), "bestmove e1h1");
    EXPECT_EQ(splitLines(uciSession(mate).out).back(), "bestmove e1g1");
}

// Start-up, the command line and the exit statuses (tests/data/startup.txt).
TEST(Protocol, StartUpCommandLineAndExitStatuses) {
    for (auto c : readTable("startup.txt")) {  // arguments | input | status | output | error output
        std::vector<std::string> args = words(c[0]);
        args.insert(args.begin(), BIN);
        const RunResult r = runProgram(args, c[1]);
        EXPECT_EQ(std::tuple(r.status, r.out, r.err), std::tuple(std::stoi(c[2]), c[3], replaceAll(c[4], "{bin}", BIN))) << c[0];
    }
}

// A personality named without a folder: the working directory's file as ever
// (its lower-case name too), else the one beside the program, here the
// checkout's; an absolute path or a name found nowhere as ever.
TEST(Protocol, PersonalityFoundByName) {
    const TempDir dir;
    const std::string set = "setoption name personalityFile value ", root = std::filesystem::canonical(BIN).parent_path().parent_path();
    EXPECT_EQ(runProgram({BIN}, set + "tuned.txt\n" + set + "/tuned.txt\n" + set + "nosuch.txt\n", 60, dir.path).out,
              "info string personality file found at " + root + "/personalities/tuned.txt\npersonality file = tuned.txt\n"
              "info string cannot open /tuned.txt\npersonality file = /tuned.txt\n"
              "info string cannot open nosuch.txt\npersonality file = nosuch.txt\n");
    std::ofstream(dir.path + "/tuned.txt") << "hmb 1 1\n";
    EXPECT_EQ(runProgram({BIN}, set + "Tuned.txt\n", 60, dir.path).out, "personality file = tuned.txt\n");
}

// A request above the advertised 4096 MB is cut to it, and the table that
// memory allows is halved from there; the log (tests/data/hashlog.txt),
// appended to by every run, gives the size built and every input line without its line end.
TEST(Protocol, HashTableTooLargeForMemoryAndTheLog) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's own reservations need an unlimited address space";
#endif
    const TempDir dir;
    const std::string in = "uci\r\nsetoption name Hash value 100000\nsetoption name Hash value 0\n"
                           "setoption name Ponder value false\nsetoption name Foo value Bar\nsetoption name Hash value 16\n";
    const std::vector<std::string> cmd = {"/bin/sh", "-c", "ulimit -v 400000 && exec " + BIN + " -LOG x.log"};
    for (int run = 0; run < 2; ++run) {
        const RunResult r = runProgram(cmd, in, 60, dir.path);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.substr(r.out.find("uciok\n") + 6),
                  "info string cannot allocate 4096 MB for the hash table: using 256 MB\nHash table size is now 4096 meg\n"
                  "Hash tables turned OFF\nponder set OFF\ninfo string foo not recognized\nHash table size is now 16 meg\n");
    }
    const std::string once = readText(dataPath("hashlog.txt"));
    EXPECT_EQ(readText(dir.path + "/x.log"), once + once);
}

TEST(Protocol, LongLinesAndManyMoves) {
    // 40,000 characters: the first 29,999 form one line, the rest the next.
    RunResult r = uciSession(std::string(40000, 'x') + "\nisready\n");
    EXPECT_EQ(r.out, "readyok\n");
    std::vector<std::string> lines = splitLines(r.err);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "UCI_" + std::string(29999, 'x') + " =  0x" + lines[0].substr(29999 + 10));
    const char* cycle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    const std::string after1023 = "info string fen = rnbqkb1r/pppppppp/5n2/8/8/8/PPPPPPPP/RNBQKBNR b - -\n";
    for (int moves : {1023, 1030, 5000}) {
        std::string line = "position startpos moves";
        for (int i = 0; i < moves; ++i) line += std::string(" ") + cycle[i % 4];
        // 1,023 moves fit; a line keeps only its first 4,095 words
        EXPECT_EQ(uciSession(line + "\n").out, (moves > 1023 ? "info string too many moves\n" : "") + after1023);
    }
}

TEST(Protocol, FirstIsreadyKeepsAGivenPosition) {
    RunResult r = uciSession("position startpos moves e2e4\nisready\ngo depth 1\n");
    const std::string best = word(r.out.substr(r.out.find("bestmove")), 1);
    EXPECT_TRUE(best[1] == '7' || best[1] == '8') << r.out;  // a black move
    EXPECT_EQ(splitLines(r.out).size(), 4u) << r.out;          // fen, readyok, one iteration, bestmove
    // "go nodes" alone has no time limit: the count alone ends the search.
    r = uciSession("position startpos\ngo nodes 50000\n");
    const std::string last = r.out.substr(r.out.rfind("info depth"));
    EXPECT_EQ(word(last, 2) + " " + word(last, 6), "7 33516") << r.out;
}

// A message longer than the formatting buffer is logged whole; the clock rules log their budget.
TEST(Logger, WholeMessagesAndBudgetLines) {
    const std::string big(20000, 'z');
    EXPECT_EQ(logged([&] {
                  logger("a%sb %d\n", big.c_str(), 42);
                  timeBudget({0, 0, 0, 0, 0, 2.5}, 0);
                  timeBudget({0, 100, 0, 0, 20, 0}, 1);
              }),
              "a" + big + "b 42\nTime Left:      2.5\nWe have    100.0 seconds to make 20 moves =      4.0 goal\n");
}
