#pragma once
// Test support, included by every test: the engine's UCI loop driven in
// process, the real programs run to their end, the shared test data and the
// walk that fingerprints modules.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "board/notation.h"
#include "board/types.h"

struct RunResult {
    int status;  // exit status; 128 + the signal that ended it (SIGALRM when its time ran out)
    std::string out, err;
};
// Runs a program (args[0] is its path) to its end, the input as its standard input.
RunResult runProgram(const std::vector<std::string>& args, const std::string& input = "", double timeoutSec = 60,
                     const std::string& cwd = "");
RunResult runDev(const std::string& args, double timeoutSec = 60);  // zarv-dev with args' space-separated words
// The UCI loop of a freshly started engine (32 MB table, nothing learned, one
// thread) fed the input from memory until it ends, with what it wrote and the
// status it ended with.
RunResult uciSession(const std::string& input);
std::vector<std::string> splitLines(const std::string& s);
std::vector<std::string> words(const std::string& s);  // split at blanks
// What f writes to the log, with a temporary log open while it runs.
std::string logged(const std::function<void()>& f);
// Word i (from 0) of the first line of text, "" when it has fewer.
std::string word(const std::string& text, int i);
std::string replaceAll(std::string text, const std::string& from, const std::string& to);

// A root from FEN ("" for the start), its piece-square sum and stage set as the
// search entry points set them.
Position fromFen(const std::string& fen);
// The records of a line played from fen ("null": the null move); a deque keeps
// every parent pointer valid.
std::deque<Position> playLine(const std::vector<std::string>& moves, const std::string& fen = "");
std::string moveText(Move m);  // coordinate text, "null" for no move
std::string listText(const Move* list, int n);  // space-separated move texts
// The built-in evaluation weights again, and the tables rebuilt from them.
void defaultWeights();

std::string dataPath(const std::string& name);  // tests/data/<name>
// The rows of a table in tests/data: fields split at '|' and trimmed, "\n",
// "\r" and "\t" in a field the control characters and "\|" a '|'; blank
// lines and lines starting with '#' skipped.
std::vector<std::vector<std::string>> readTable(const std::string& name);
struct PerftCase {
    std::string fen;
    std::vector<uint64_t> counts;  // counts[d - 1] for depth d
};
std::vector<PerftCase> loadPerftSuite(const std::string& name = "perft.epd");

// Every answer of a module folded in order into one number that a change to
// any of them moves, and how many were folded.
struct Fingerprint {
    uint64_t value = 0, count = 0;
    void operator()(uint64_t v) { value = value * 1000003 + v, ++count; }
};
// Calls visit(parent, child, move) at every child of the perft suite's two-ply trees.
void walkSuiteTrees(const std::function<void(const Position&, const Position&, Move)>& visit);

std::string readText(const std::string& path);  // the whole file; empty when it cannot be read
struct TempDir {  // a fresh directory, removed with everything in it at the end of the scope
    std::string path;
    TempDir();
    ~TempDir();
};
