#pragma once
// Tuning the 86 weight values (middle game and end game of the 43 weights)
// against game results: the error of a logistic curve of the static value,
// a fit of its scale, a local search over the weights, and the personality
// file that holds the result.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "board/types.h"

constexpr int TUNE_VALUES = 86;  // value 2i is weight i's middle game, 2i + 1 its end game

struct Sample {
    Position pos;
    int32_t game;   // the line's game index, -1 when it has none
    int8_t result;  // half points for white: 2, 1 or 0
};

// Reads a data file: lines "[INDEX] FEN RESULT" with RESULT 1.0, 0.5 or 0.0.
// Game lines ("INDEX # ...") and lines that are not a position are skipped.
// Returns the number of samples added, or -1 when the file cannot be read.
long readSamples(const char* path, std::vector<Sample>& out);

// Moves the samples of the last `percent` games of every hundred (index mod
// 100 at least 100 - percent) from s into held, keeping the order.
// Whole games go, so that no held position has a brother from its own game
// left in the fit. Samples without an index stay.
void holdOut(std::vector<Sample>& s, int percent, std::vector<Sample>& held);

void getWeights(int32_t* v);
// Installs a weight set the way a personality file is loaded: every weight
// replaced, then the evaluation tables rebuilt.
void installWeights(const int32_t* v);

// The static values of all samples, from white's view, in centipawns, with
// the weights installed now.
void evaluateSamples(std::vector<Sample>& s, std::vector<int32_t>& white);
// Mean squared difference between the results and 1 / (1 + 10^(-k v / 400)).
double meanError(const std::vector<Sample>& s, const std::vector<int32_t>& white, double k);
// evaluateSamples then meanError: the error of s under the weights installed now.
double installedError(std::vector<Sample>& s, double k, std::vector<int32_t>& white);
// The k in [0.01, 10] that gives the least error, to about 0.0001.
double fitScale(const std::vector<Sample>& s, const std::vector<int32_t>& white);

struct TuneStep {
    int32_t iteration;
    double error;
    int32_t changed;  // values moved in the iteration
    double heldError;  // the error on the held-out games, -1 without them
};
using TuneReport = void (*)(const TuneStep& step);
// Local search: every value tried a step up and down (steps start at a
// sixteenth of the value), the step halved when neither helps; ends after
// `iterations` rounds or when nothing moves with every step at 1. With
// held-out samples a step is kept only when it lowers their error as well
// as the error of s. Starts from and leaves the best weights in v
// (installed). Returns the error of v on s.
double tuneWeights(std::vector<Sample>& s, std::vector<Sample>& held, double k, int32_t* v, int iterations,
                   TuneReport report);

// Writes every one of the 43 weights, in the loader's order, after the
// comment lines (each written with "# " in front). Returns 0 on failure.
int writePersonality(const char* path, const std::vector<const char*>& comments);
