#pragma once
// Test support: driving the real programs through pipes, as a GUI does, and
// reading the shared test data.
#include <sys/types.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "board/types.h"

struct Proc {
    pid_t pid = -1;
    int in = -1, out = -1, err = -1;
    std::string outBuf, errBuf;  // everything read so far
    size_t outPos = 0;           // start of the first line waitForLine has not consumed
    int status = -1;             // exit status once reaped
};

// Starts a program (args[0] is its path) with piped stdin, stdout and stderr.
Proc startProc(const std::vector<std::string>& args, const std::string& cwd = "");
void sendLine(Proc& p, const std::string& line);  // appends the newline
void closeInput(Proc& p);
// Waits for the next unconsumed stdout line that starts with prefix; returns it
// without its newline, or "<timeout>" after timeoutSec seconds.
std::string waitForLine(Proc& p, const std::string& prefix, double timeoutSec = 10);
// Waits for exit (killing the process on timeout) and returns the exit status,
// or -1 when it had to be killed. Collects the remaining output.
int waitExit(Proc& p, double timeoutSec = 10);
std::vector<std::string> splitLines(const std::string& s);

struct RunResult {
    int status;
    std::string out, err;
};
// Runs a program to completion with the given standard input.
RunResult runProgram(const std::vector<std::string>& args, const std::string& input,
                     double timeoutSec = 30, const std::string& cwd = "");
RunResult runDev(const std::string& args, double timeoutSec = 30);  // zarv-dev with args' space-separated words

// A root from FEN ("" for the start), its piece-square sum and stage set as the
// search entry points set them.
Position fromFen(const std::string& fen);
// The records of a line played from fen ("null": the null move); a deque keeps
// every parent pointer valid.
std::deque<Position> playLine(const std::vector<std::string>& moves, const std::string& fen = "");

std::string dataPath(const std::string& name);  // tests/data/<name>
// The built-in evaluation weights again, and the tables rebuilt from them.
void defaultWeights();

struct PerftCase {
    std::string fen;
    std::vector<uint64_t> counts;  // counts[d - 1] for depth d
};
std::vector<PerftCase> loadPerftSuite();
std::string readText(const std::string& path);  // the whole file; empty when it cannot be read
// A fresh temporary directory, removed by the caller with removeTree.
std::string makeTempDir();
void removeTree(const std::string& dir);
