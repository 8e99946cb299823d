#pragma once
// The gradient fit of the 86 weight values: the static value of every sample
// taken as linear in the values near the current ones (slopes measured on
// the exact evaluation), the error of the curve minimised on that model by
// Adam, and the result checked on the exact evaluation before it is kept.
#include <cstdint>
#include <vector>

#include "learn/tune.h"

// The static values at v and how each moves per unit of each value: forward
// differences over steps of a sixteenth of the value (at least 4), one
// evaluation of all samples per value.
struct Slopes {
    std::vector<int32_t> white;  // static values at v, white's view, centipawns
    std::vector<float> d;        // sample-major: d[i * TUNE_VALUES + j]
};
// Leaves v installed.
void measureSlopes(std::vector<Sample>& s, const int32_t* v, Slopes& out);

// The error (labels against the curve, plus the pull) of the linear model at
// v + delta, and its gradient per unit of each value into grad.
double linearError(const Slopes& sl, const std::vector<double>& labels, double k, const FitTerms& terms,
                   const int32_t* v, const double* delta, double* grad);

// `steps` Adam steps on the linear model from delta = 0, each value moving
// in units of its own size (at least 10): the rate starts at `rate` and falls
// to 0 along a half cosine. The move found, not rounded.
void adamMove(const Slopes& sl, const std::vector<double>& labels, double k, const FitTerms& terms, const int32_t* v,
              int steps, double rate, double* delta);

// Rounds of: slopes at v, an Adam move, and the move rounded to whole values
// kept when the exact evaluation agrees (keepTrial). The fit ends when a
// move is not kept (the held-out games decide when to stop), when a round
// moves nothing, or after `rounds` rounds. Leaves the best weights in v,
// installed; returns their error on s without the pull.
double gradientFit(std::vector<Sample>& s, std::vector<Sample>& held, double k, int32_t* v, int rounds,
                   TuneReport report, const FitTerms& terms = {});
