#pragma once
// Tuning the 86 weight values (middle game and end game of the 43 weights)
// against game results: the error of a logistic curve of the static value,
// a fit of its scale, a local search over the weights, and the personality
// file that holds the result.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <vector>

#include "board/types.h"

constexpr int TUNE_VALUES = 86;  // value 2i is weight i's middle game, 2i + 1 its end game

struct Sample {
    Position pos;
    int32_t game;   // the line's game index, -1 when it has none
    int8_t result;  // half points for white: 2, 1 or 0
    int32_t score = 0;    // the search's score for white in centipawns, when scored
    bool scored = false;
};

// Reads a data file: lines "[INDEX] FEN RESULT [SCORE]" with RESULT 1.0, 0.5
// or 0.0 and SCORE the search's score with its sign always written (+0).
// Game lines ("INDEX # ...") and lines that are not a position are skipped.
// Returns the number of samples added, or -1 when the file cannot be read.
long readSamples(const char* path, std::vector<Sample>& out);

// Moves the samples of the last `percent` games of every hundred (index mod
// 100 at least 100 - percent) from s into held, keeping the order.
// Whole games go, so that no held position has a brother from its own game
// left in the fit. Samples without an index stay.
void holdOut(std::vector<Sample>& s, int percent, std::vector<Sample>& held);
// Drops the scored samples whose search score is `limit` centipawns or more
// either way, keeping the order: positions the game had already decided say
// little about the weights that balanced games turn on. Unscored samples stay.
void dropDecided(std::vector<Sample>& s, long limit);

void getWeights(int32_t* v);
// Installs a weight set the way a personality file is loaded: every weight
// replaced, then the evaluation tables rebuilt.
void installWeights(const int32_t* v);

// Threads that evaluate the samples and sum the fit's terms: written by
// zarv-dev tune (--threads) before a fit, read by forChunks. The results are
// the same for any number.
extern int tuneThreads;
constexpr int TUNE_CHUNKS = 64;
// work(begin, end, chunk) for the TUNE_CHUNKS slices of [0, n), spread over
// tuneThreads threads; returns when all are done.
void forChunks(size_t n, const std::function<void(size_t begin, size_t end, int chunk)>& work);

// The static values of all samples, from white's view, in centipawns, with
// the weights installed now.
void evaluateSamples(std::vector<Sample>& s, std::vector<int32_t>& white);
// What a sample is fitted to: its game's result, or with `blend` W > 0 and a
// score, (1 - W) * result + W * 1 / (1 + 10^(-k score / 400)).
double sampleLabel(const Sample& x, double k, double blend);
// Mean squared difference between the labels and 1 / (1 + 10^(-k v / 400)).
double meanError(const std::vector<Sample>& s, const std::vector<int32_t>& white, double k, double blend = 0);
// evaluateSamples then meanError: the error of s under the weights installed now.
double installedError(std::vector<Sample>& s, double k, std::vector<int32_t>& white, double blend = 0);
// The k in [0.01, 10] that gives the least error against the results, to about 0.0001.
double fitScale(const std::vector<Sample>& s, const std::vector<int32_t>& white);

// The built-in values, before any personality file.
void builtinWeights(int32_t* v);
// A value's size as the fit measures moves: its magnitude, at least 10 (a
// centipawn), so that values of 0 can move too.
inline double valueSize(int32_t value) { return std::max(10, std::abs(value)); }
// The mean over the values of the square of each one's move from base,
// relative to the base value's size.
double pullPenalty(const int32_t* v, const int32_t* base);

struct TuneStep {
    int32_t iteration;
    double error;
    int32_t changed;  // values moved in the iteration
    double heldError;  // the error on the held-out games, -1 without them
    double pull = 0;   // the pull term added to the error that the steps lower
};
using TuneReport = void (*)(const TuneStep& step);
// What the fit lowers besides the plain error: labels blended with the
// scores, and `pull` times pullPenalty(v, base) (base null: no pull).
struct FitTerms {
    double blend = 0;
    double pull = 0;
    const int32_t* base = nullptr;
};
// terms.pull * pullPenalty(v, terms.base), or 0 without a pull.
double pullTerm(const FitTerms& terms, const int32_t* v);

// A weight set's error on the fitted samples, its pull term, and its error
// on the held-out ones (-1 without them).
struct FitScore {
    double error, pull, held;
};
// The score of the weights installed now.
FitScore scoreInstalled(std::vector<Sample>& s, std::vector<Sample>& held, double k, double blend, double pull,
                        std::vector<int32_t>& white);
// The judge of a trial set, installed now, with pull term `pull`: kept, and
// made the new best, when it lowers the error with the pull of s and then
// the error of the held-out samples too.
bool keepTrial(std::vector<Sample>& s, std::vector<Sample>& held, double k, double blend, double pull,
               std::vector<int32_t>& white, FitScore& best);

// Local search: every value tried a step up and down (steps start at a
// sixteenth of the value), the step halved when neither helps; ends after
// `iterations` rounds or when nothing moves with every step at 1. With
// held-out samples a step is kept only when it lowers their error as well
// as the error (with the pull) of s. Starts from and leaves the best weights
// in v (installed). Returns the error of v on s, without the pull.
double tuneWeights(std::vector<Sample>& s, std::vector<Sample>& held, double k, int32_t* v, int iterations,
                   TuneReport report, const FitTerms& terms = {});

// Writes every one of the 43 weights, in the loader's order, after the
// comment lines (each written with "# " in front). Returns 0 on failure.
int writePersonality(const char* path, const std::vector<const char*>& comments);
