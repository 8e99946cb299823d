// The engine driven through pipes, as a GUI drives it: start-up, the command
// line, and every UCI command that does not search.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "support.h"

namespace {

const std::string BIN = ZARV_BIN, BANNER = "Zarv Version 1.3\n";
const std::string START = "info string fen = rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -\n";

RunResult run(const std::string& input, std::vector<std::string> args = {}, const std::string& cwd = "") {
    args.insert(args.begin(), BIN);
    return runProgram(args, input, 30, cwd);
}

}  // namespace

TEST(Protocol, Exchanges) {
    struct Case { std::string in, out, err; int status; } cases[] = {
        {"uci\n",
         "id name Zarv64 1.3\nid author Halvorn\noption name Ponder type check default true\n"
         "option name Hash type spin default 32 min 0 max 4096\n"
         "option name personalityFile type string default <empty>\n"
         "option name Threads type spin default 1 min 1 max 256\noption name MultiPV type spin default 1 min 1 max 256\n"
         "option name Clear Hash type button\noption name Move Overhead type spin default 0 min 0 max 5000\nuciok\n", "", 0},
        // the new options answer only when a value is outside its range
        {"setoption name THREADS value 0\nsetoption name multipv value 300\nsetoption name Move Overhead value -5\n"
         "setoption name move overhead value 5000\nsetoption name Threads value 2\nsetoption name Clear Hash\nisready\n",
         "info string Threads 0 out of range 1 to 256: set to 1\ninfo string MultiPV 300 out of range 1 to 256: set to 256\n"
         "info string Move Overhead -5 out of range 0 to 5000: set to 0\nreadyok\n", "", 0},
        {"isready", "readyok\n", "", 0},  // the last line may lack its newline
        {"isready\r\n\n \t\nucinewgame\nstop\nponderhit\nisready\nquit\nisready\n", "readyok\nreadyok\n", "", 0},
        {"xyzzy\nGO\nUci\n", "", "UCI_xyzzy      =  0x010beeda3,\nUCI_GO         =  0x0005973bb,\nUCI_Uci        =  0x00b8829a6,\n", 0},
        {"setoption name Hash value 64\nsetoption name Hash value 0\nsetoption name hash value 1\n",
         "Hash table size is now 64 meg\nHash tables turned OFF\nHash table size is now 1 meg\n", "", 0},
        {"setoption name Ponder value false\nsetoption name Ponder value TRUE\n", "ponder set OFF\nponder set ON\n", "", 0},
        {"setoption name Foo value 1\nsetoption name Multi Word value 1 2\nsetoption\n",
         "info string foo not recognized\ninfo string multi word not recognized\ninfo string  not recognized\n", "", 0},
        {"setoption name personalityFile value /no dir/My File.txt\n",
         "info string cannot open /no dir/My File.txt\npersonality file = /no dir/my file.txt\n", "", 0},
        {"position startpos moves e2e4 e7e5\n",
         "info string fen = rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w - -\n", "", 0},
        {"position fen 8/8/8/8/8/8/8/K1k5 w - - 0 1 moves a1a2\n", "info string fen = 8/8/8/8/8/8/K7/2k5 b - -\n", "", 0},
        // a move that is not legal ends the list; the game stays before it
        {"position startpos moves e2e4 e2e4 e7e5\n",
         "info string illegal move e2e4\ninfo string fen = rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b - -\n", "", 0},
        {"position startpos moves xyz\n", "info string illegal move xyz\n" + START, "", 0},
        {"position fen 4k3/4r3/8/8/8/8/8/3K4 w - - moves d1e1 e8d8\n",
         "info string illegal move d1e1\ninfo string fen = 4k3/4r3/8/8/8/8/8/3K4 w - -\n", "", 0},
        // refused FEN texts write one line and change nothing
        {"position fen 8/8/8/8/8/8/8/8 w - -\nposition fen 4k3/8/8/8/8/8/8/4K3 w moves e1e2\nposition fen\n"
         "position fen 4kk2/8/8/8/8/8/8/4K3 w - -\nisready\n",
         "info string invalid fen\ninfo string invalid fen\ninfo string invalid fen\ninfo string invalid fen\nreadyok\n",
         "", 0},
        {"position\nisready\n", "", "Error here!\n", 1},
        // the side to move is judged before the engine's own guards: no kings,
        // fields missing, the side not to move in check
        {"position fen 8/8/8/8/8/8/8/8 b - -\nposition fen 8/8/8/8/8/8/8/8 x - -\nisready\n", "info string invalid fen\n",
         "Error in ctm for fen \"8/8/8/8/8/8/8/8 x - -\"", 1},
        {"position fen 8/8 B moves\n", "", "Error in ctm for fen \"8/8 B\"", 1},
        {"position fen 4k3/4R3/8/8/8/8/8/4K3 w - -\nposition fen 4k3/4R3/8/8/8/8/8/4K3 W - -\n", "info string invalid fen\n",
         "Error in ctm for fen \"4k3/4R3/8/8/8/8/8/4K3 W - -\"", 1},
    };
    for (const auto& c : cases) {
        RunResult r = run(c.in);
        EXPECT_EQ(std::tuple(r.status, r.out, r.err), std::tuple(c.status, c.out, BANNER + c.err)) << c.in;
    }
}

TEST(Protocol, CommandLineErrors) {
    const std::string usage = "\nusage: " + BIN +
                              " {options} \n\n  -log FILE      log file name\n  -cpu {0|1}     cpu time?\n"
                              "  -help          display this help message\n  -lmr {1|0}     use late move reductions\n"
                              "  -ckq {1|0}     use checks in quies\n  -nmp {1|0}     use null move pruning\n\n";
    RunResult r = run("uci\n", {"log", "x"});
    EXPECT_TRUE(r.status == 255 && r.out.empty());
    EXPECT_EQ(r.err, "Error in command line processing.  option expected at argument 1\n" + usage);
    r = run("isready\n", {"-cpu", "1", "-OMT", "3", "-razor", "20", "-hd2", "16", "-log", "/no/dir/x"});
    EXPECT_TRUE(r.status == 0 && r.out == "readyok\n");
}

TEST(Protocol, LogFileAppends) {
    std::string dir = makeTempDir();
    // Input lines are logged without their own line ending, CR or LF.
    const std::string in = "uci\r\nsetoption name Hash value 0\nsetoption name Ponder value false\nsetoption name Foo value Bar\n";
    for (int i = 0; i < 2; ++i) EXPECT_EQ(run(in, {"-LOG", "x.txt"}, dir).status, 0);
    const std::string log = readText(dir + "/x.txt");
    const std::string once =
        "Total hash entries: 524288\nTotal size used: 33554432\nuci -> uci\ncmd = uci\n"
        "uci -> setoption name Hash value 0\ncmd = setoption\nHash tables turned off\n"
        "uci -> setoption name Ponder value false\ncmd = setoption\nPonder set to 0\n"
        "uci -> setoption name Foo value Bar\ncmd = setoption\noption foo (value bar) not understood.\n";
    EXPECT_EQ(log, once + once);
    removeTree(dir);
}

TEST(Protocol, QuitAndEndOfInputWithThePipeOpen) {
    for (bool quit : {true, false}) {
        Proc p = startProc({BIN});
        ASSERT_EQ(::write(p.in, "isre", 4), 4);  // half a line waits for the rest
        EXPECT_EQ(waitForLine(p, "", 0.3), "<timeout>");
        sendLine(p, "ady");
        EXPECT_EQ(waitForLine(p, "readyok"), "readyok");
        quit ? sendLine(p, "quit") : closeInput(p);
        EXPECT_EQ(waitExit(p), 0);
    }
}

TEST(Protocol, LongLinesAndManyMoves) {
    // 40,000 characters: the first 29,999 form one line, the rest the next.
    RunResult r = run(std::string(40000, 'x') + "\nisready\n");
    EXPECT_EQ(r.out, "readyok\n");
    std::vector<std::string> lines = splitLines(r.err);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "UCI_" + std::string(29999, 'x') + " =  0x" + lines[1].substr(29999 + 10));

    const char* cycle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    const std::string after1023 = "info string fen = rnbqkb1r/pppppppp/5n2/8/8/8/PPPPPPPP/RNBQKBNR b - -\n";
    for (int moves : {1023, 1030, 5000}) {
        std::string line = "position startpos moves";
        for (int i = 0; i < moves; ++i) line += std::string(" ") + cycle[i % 4];
        // 1,023 moves fit; a line keeps only its first 4,095 words
        EXPECT_EQ(run(line + "\n").out, (moves > 1023 ? "info string too many moves\n" : "") + after1023);
    }
}

TEST(Protocol, HashTableTooLargeForMemory) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's own reservations need an unlimited address space";
#endif
    // A request above the advertised 4096 is cut to it; the table that memory
    // allows is halved from there, and the log gives the size built.
    const std::string dir = makeTempDir();
    RunResult r = runProgram({"/bin/sh", "-c", "ulimit -v 400000 && exec " + BIN + " -log x.log"},
                             "setoption name Hash value 100000\nsetoption name Hash value 16\n", 30, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "info string cannot allocate 4096 MB for the hash table: using 256 MB\n"
                     "Hash table size is now 4096 meg\nHash table size is now 16 meg\n");
    std::string sizes;
    for (const auto& l : splitLines(readText(dir + "/x.log")))
        if (l.rfind("Total ", 0) == 0) sizes += l + "\n";
    EXPECT_EQ(sizes, "Total hash entries: 524288\nTotal size used: 33554432\n"
                     "Total hash entries: 4194304\nTotal size used: 268435456\n"
                     "Total hash entries: 262144\nTotal size used: 16777216\n");
    removeTree(dir);
}

TEST(Protocol, FirstIsreadyKeepsAGivenPosition) {
    RunResult r = run("position startpos moves e2e4\nisready\ngo depth 1\n");
    std::string best = r.out.substr(r.out.find("bestmove ") + 9);
    EXPECT_TRUE(best[1] == '7' || best[1] == '8') << r.out;  // a black move
    size_t infos = 0;
    for (size_t at = 0; (at = r.out.find("info depth ", at)) != std::string::npos; ++at) ++infos;
    EXPECT_EQ(infos, 1u) << r.out;  // depth 1: one iteration
    // "go nodes" alone has no time limit: the count alone ends the search.
    r = run("position startpos\ngo nodes 50000\n");
    int depth = 0;
    unsigned long long nodes = 0;
    std::sscanf(r.out.c_str() + r.out.rfind("info depth "), "info depth %d time %*d nodes %llu", &depth, &nodes);
    EXPECT_EQ(std::tuple(depth, nodes), std::tuple(7, 33516ULL)) << r.out;
}
