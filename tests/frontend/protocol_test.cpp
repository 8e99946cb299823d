// The engine driven through pipes, as a GUI drives it: start-up, the command
// line, and every UCI command that does not search.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "frontend/notation.h"
#include "support.h"

namespace {

const std::string BIN = ZARV_BIN;
const std::string BANNER = "Zarv Version 1.3\n";

RunResult run(const std::string& input, std::vector<std::string> args = {}, const std::string& cwd = "") {
    args.insert(args.begin(), BIN);
    return runProgram(args, input, 30, cwd);
}

std::string usage(const std::string& prog) {
    return "\nusage: " + prog +
           " {options} \n\n"
           "  -log FILE      log file name\n"
           "  -cpu {0|1}     cpu time?\n"
           "  -help          display this help message\n"
           "  -lmr {1|0}     use late move reductions\n"
           "  -ckq {1|0}     use checks in quies\n"
           "  -nmp {1|0}     use null move pruning\n"
           "\n";
}

std::string readFile(const std::string& path) {
    std::ifstream f(path);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string unknownLine(const char* word) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s%-10s =  0x%09x,\n", "UCI_", word, hash(word));
    return buf;
}

}  // namespace

TEST(Protocol, UciReply) {
    RunResult r = run("uci\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "id name Zarv64 1.3\n"
              "id author Halvorn\n"
              "option name Ponder type check default true\n"
              "option name Hash type spin default 32 min 0 max 4096\n"
              "option name personalityFile type string default <empty>\n"
              "uciok\n");
    EXPECT_EQ(r.err, BANNER);
}

TEST(Protocol, SimpleCommands) {
    struct Case {
        const char* input;
        const char* out;
    } cases[] = {
        {"isready\n", "readyok\n"},
        {"isready", "readyok\n"},  // the last line may lack its newline
        {"isready\r\n\n   \t\nucinewgame\nstop\nponderhit\nisready\n", "readyok\nreadyok\n"},
        {"setoption name Hash value 64\n", "Hash table size is now 64 meg\n"},
        {"setoption name Hash value 0\nsetoption name hash value 1\n",
         "Hash tables turned OFF\nHash table size is now 1 meg\n"},
        {"setoption name Ponder value false\nsetoption name Ponder value TRUE\n", "ponder set OFF\nponder set ON\n"},
        {"setoption name Foo value 1\n", "info string foo not recognized\n"},
        {"setoption name Multi Word Name value 1 2\n", "info string multi word name not recognized\n"},
        {"setoption\n", "info string  not recognized\n"},
        {"uci\nquit\nisready\n", nullptr},
        {"quit\nisready\n", ""},
    };
    for (const auto& c : cases) {
        RunResult r = run(c.input);
        EXPECT_EQ(r.status, 0) << c.input;
        if (c.out) {
            EXPECT_EQ(r.out, c.out) << c.input;
        }
        EXPECT_EQ(r.err, BANNER) << c.input;
    }
    RunResult r = run("uci\nquit\nisready\n");
    EXPECT_EQ(r.out.substr(r.out.size() - 6), "uciok\n");
}

TEST(Protocol, UnknownWords) {
    RunResult r = run("xyzzy\nGO\nUci\nisready\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "readyok\n");
    EXPECT_EQ(unknownLine("xyzzy"), "UCI_xyzzy      =  0x010beeda3,\n");
    EXPECT_EQ(r.err, BANNER + unknownLine("xyzzy") + unknownLine("GO") + unknownLine("Uci"));
}

TEST(Protocol, CommandLineErrors) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"-lmr", "1"}, "Error. option -lmr not found.\n"},
        {{"-help"}, "Error. option -help not found.\n"},
        {{"-cpu"}, "Error.  No argument.\n"},
        {{"-hd1", "4", "-cpu"}, "Error.  No argument.\n"},
        {{"log", "x"}, "Error in command line processing.  option expected at argument 1\n"},
    };
    for (const auto& c : cases) {
        RunResult r = run("uci\n", c.args);
        EXPECT_EQ(r.status, 255) << c.args[0];
        EXPECT_EQ(r.out, "") << c.args[0];
        EXPECT_EQ(r.err, c.message + usage(BIN)) << c.args[0];
    }
}

TEST(Protocol, AcceptedOptions) {
    RunResult r = run("isready\n", {"-cpu", "1", "-OMT", "3", "-razor", "20", "-hd1", "8", "-hd2", "16"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "readyok\n");
    EXPECT_EQ(r.err, BANNER);
}

TEST(Protocol, LogFileAppends) {
    std::string dir = makeTempDir();
    for (int i = 0; i < 2; ++i) {
        RunResult r = run("uci\nsetoption name Hash value 0\nsetoption name Ponder value false\n"
                          "setoption name Foo value Bar\nisready\n",
                          {"-LOG", "x.txt"}, dir);
        EXPECT_EQ(r.status, 0);
    }
    std::string log = readFile(dir + "/x.txt");
    const std::string once =
        "uci -> uci\ncmd = uci\n"
        "uci -> setoption name Hash value 0\ncmd = setoption\nHash tables turned off\n"
        "uci -> setoption name Ponder value false\ncmd = setoption\nPonder set to 0\n"
        "uci -> setoption name Foo value Bar\ncmd = setoption\noption foo (value bar) not understood.\n"
        "uci -> isready\ncmd = isready\n";
    // Each run starts with the table's size lines, then the session.
    const std::string sizes = "Total hash entries: 524288\nTotal size used: 33554432\n";
    EXPECT_EQ(log, sizes + once + sizes + once);
    removeTree(dir);
}

TEST(Protocol, UnopenableLogIsSilent) {
    RunResult r = run("isready\n", {"-log", "/nonexistent-dir/x.txt"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "readyok\n");
}

TEST(Protocol, QuitWithInputOpen) {
    Proc p = startProc({BIN});
    sendLine(p, "uci");
    EXPECT_EQ(waitForLine(p, "uciok"), "uciok");
    sendLine(p, "isready");
    EXPECT_EQ(waitForLine(p, "readyok"), "readyok");
    sendLine(p, "quit");
    EXPECT_EQ(waitExit(p), 0);
}

TEST(Protocol, EndOfInputEndsTheEngine) {
    Proc p = startProc({BIN});
    sendLine(p, "isready");
    EXPECT_EQ(waitForLine(p, "readyok"), "readyok");
    closeInput(p);
    EXPECT_EQ(waitExit(p), 0);
}

TEST(Protocol, Position) {
    struct Case {
        std::string input;
        std::string out;
    } cases[] = {
        {"position startpos moves e2e4 e7e5",
         "info string fen = rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w - -\n"},
        {"position startpos", "info string fen = rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -\n"},
        {"position startpos moves", "info string fen = rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -\n"},
        {"position startpos moves E2E4 c7C5", "info string fen = rnbqkbnr/pp1ppppp/8/2p5/4P3/8/PPPP1PPP/RNBQKBNR w - -\n"},
        {"position fen 8/8/8/8/8/8/8/K1k5 w - - 0 1 moves a1a2", "info string fen = 8/8/8/8/8/8/K7/2k5 b - -\n"},
        {"position   fen\t4k3/8/8/8/8/8/8/4K3   b - -", "info string fen = 4k3/8/8/8/8/8/8/4K3 b - -\n"},
        // castling, en passant and promotion by move text
        {"position fen r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1 moves e1g1 e8c8",
         "info string fen = 2kr3r/8/8/8/8/8/8/R4RK1 w - -\n"},
        {"position startpos moves e2e4 a7a6 e4e5 d7d5 e5d6",
         "info string fen = rnbqkbnr/1pp1pppp/p2P4/8/8/8/PPPP1PPP/RNBQKBNR b - -\n"},
        {"position fen 4k3/1P6/8/8/8/8/8/4K3 w - - moves b7b8n", "info string fen = 1N2k3/8/8/8/8/8/8/4K3 b - -\n"},
        // a move that is not in the list ends it, and the game stays before it
        {"position startpos moves e2e4 e2e4 e7e5",
         "info string illegal move e2e4\n"
         "info string fen = rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b - -\n"},
        {"position startpos moves e2e5", "info string illegal move e2e5\n"
                                         "info string fen = rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -\n"},
        {"position startpos moves xyz", "info string illegal move xyz\n"
                                        "info string fen = rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -\n"},
        // a king move into check, and a pinned piece leaving its line
        {"position fen 4k3/4r3/8/8/8/8/8/3K4 w - - moves d1e1 e8d8",
         "info string illegal move d1e1\ninfo string fen = 4k3/4r3/8/8/8/8/8/3K4 w - -\n"},
        {"position fen 4k3/4r3/8/8/8/8/4N3/4K3 w - - moves e2c3",
         "info string illegal move e2c3\ninfo string fen = 4k3/4r3/8/8/8/8/4N3/4K3 w - -\n"},
        {"position fen 4k3/8/8/8/8/8/8/R3K2r w Q - moves e1c1",
         "info string illegal move e1c1\ninfo string fen = 4k3/8/8/8/8/8/8/R3K2r w - -\n"},
        // refused FEN texts: nothing else is written
        {"position fen 8/8/8/8/8/8/8/8 w - -", "info string invalid fen\n"},
        {"position fen 4k3/8/8/8/8/8/8/4K3 w", "info string invalid fen\n"},
        {"position fen 4k3/8/8/8/8/8/8/4K3 w moves e1e2", "info string invalid fen\n"},
        {"position fen", "info string invalid fen\n"},
        {"position fen 4kk2/8/8/8/8/8/8/4K3 w - -", "info string invalid fen\n"},
    };
    for (const auto& c : cases) {
        RunResult r = run(c.input + "\n");
        EXPECT_EQ(r.status, 0) << c.input;
        EXPECT_EQ(r.out, c.out) << c.input;
        EXPECT_EQ(r.err, BANNER) << c.input;
    }
}

TEST(Protocol, InvalidFenKeepsTheGame) {
    // A refused FEN writes its one line and the engine goes on serving.
    RunResult r = run("isready\nposition startpos moves e2e4\nposition fen 8/8/8/8/8/8/8/8 w - -\nisready\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "readyok\ninfo string fen = rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b - -\n"
              "info string invalid fen\nreadyok\n");
}

TEST(Protocol, TooManyMoves) {
    std::string line = "position startpos moves";
    const char* cycle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    for (int i = 0; i < 1030; ++i) line += std::string(" ") + cycle[i % 4];
    RunResult r = run(line + "\n");
    EXPECT_EQ(r.status, 0);
    // 1,023 moves fit: 255 cycles and g1f3 g8f6 f3g1.
    EXPECT_EQ(r.out, "info string too many moves\n"
                     "info string fen = rnbqkb1r/pppppppp/5n2/8/8/8/PPPPPPPP/RNBQKBNR b - -\n");
    // Exactly 1,023 moves are no error.
    line = "position startpos moves";
    for (int i = 0; i < 1023; ++i) line += std::string(" ") + cycle[i % 4];
    r = run(line + "\n");
    EXPECT_EQ(r.out, "info string fen = rnbqkb1r/pppppppp/5n2/8/8/8/PPPPPPPP/RNBQKBNR b - -\n");
}

TEST(Protocol, PositionErrorsEndTheEngine) {
    struct Case {
        const char* input;
        const char* err;
    } cases[] = {
        {"position\nisready\n", "Error here!\n"},
        {"position foo\nisready\n", "Error here!\n"},
        {"position fen 4k3/8/8/8/8/8/8/4K3 x - -\nisready\n", "Error in ctm for fen"},
    };
    for (const auto& c : cases) {
        RunResult r = run(c.input);
        EXPECT_EQ(r.status, 1) << c.input;
        EXPECT_EQ(r.out, "") << c.input;
        EXPECT_EQ(r.err.substr(0, BANNER.size()), BANNER);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

TEST(Protocol, LongLinesAreSplit) {
    // 40,000 characters: the first 29,999 form one line, the rest the next.
    std::string word(40000, 'x');
    RunResult r = run(word + "\nisready\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "readyok\n");
    std::vector<std::string> lines = splitLines(r.err);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].size(), std::string("UCI_").size() + 29999 + std::string(" =  0x").size() + 9 + 1);
    EXPECT_EQ(lines[1].substr(0, 8), "UCI_xxxx");
    EXPECT_EQ(lines[2].substr(4, 10001), std::string(10001, 'x'));

    // A line of more than 4,095 words keeps its first 4,095.
    std::string many = "position startpos moves";
    for (int i = 0; i < 5000; ++i) many += " g1f3";
    r = run(many + "\n");
    EXPECT_EQ(r.out, "info string illegal move g1f3\n"
                     "info string fen = rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b - -\n");
}

TEST(Protocol, PersonalityFileThatCannotBeOpened) {
    RunResult r = run("setoption name personalityFile value /nonexistent dir/My File.txt\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "info string cannot open /nonexistent dir/My File.txt\n"
                     "personality file = /nonexistent dir/my file.txt\n");
}
