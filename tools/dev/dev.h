#pragma once
// zarv-dev: one subcommand per developer tool. Each tools/dev/<topic>.cpp
// registers its subcommands with a static DevRegister object; checks.cpp, which
// the tests link too, registers none.
#include <cstdio>
#include <string>
#include <vector>

#include "board/types.h"

using DevMain = int (*)(int argc, char** argv);  // argv[0] is the subcommand name

struct DevRegister {
    DevRegister(const char* name, const char* usage, DevMain run);
};

// Exit status of a subcommand given bad arguments.
constexpr int DEV_USAGE = 2;

// Joins argv[first..argc-1] into a FEN (the start position when there are none)
// and sets p up from it. Returns 0 after printing a message to stderr when the
// FEN is unusable.
int devPosition(int argc, char** argv, int first, Position& p);
// Seconds on a steady clock, for timing a tool's work.
double devNow();
// Files that appear under their name only when complete: written as
// NAME.tmp, then closed and renamed. devFinish returns 0 when any write,
// the close or the rename failed.
FILE* devCreate(const char* name);
int devFinish(FILE* f, const char* name);
// Parses a whole decimal number into out; 0 when the text is not one.
int devNumber(const char* text, long& out);

// One curve of a chart: y[i] at round i; a negative value is left out.
struct DevCurve {
    const char* name;
    const char* colour;
    std::vector<double> y;
};
// Writes the curves as an SVG line chart with this title; 0 on failure.
int devPlot(const char* path, const char* title, const std::vector<DevCurve>& curves);
