// zarv-dev tune: fits the 86 weight values to self-play data and writes the
// result as a personality file.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "dev.h"
#include "eval/params.h"
#include "learn/gradient.h"
#include "learn/tune.h"

namespace {

const char* const USAGE = "tune DATA... [--from PERSONALITY] [--out FILE] [--iterations N] [--hold PERCENT] [--blend W] [--pull L] [--score-limit CP] [--plot FILE.svg] [--gradient] [--threads N]   fit the weights to game results";

// What the file's comment lines tell, kept for the rewrite after every round.
struct Run {
    std::string files;
    size_t positions = 0, heldPositions = 0;
    double start = 0, before = 0, k = 0, heldBefore = -1, held = -1;
    const char* out = nullptr;
    const char* plot = nullptr;
    int rounds = 0;
    long scoreLimit = 0;  // 0: every position kept
    bool gradient = false;
    FitTerms terms;
    std::vector<double> fitted, heldOut;  // the error per round, from round 0 (before)
};
Run run;

// The installed weights into the output file, with the data, the errors and the date.
bool writeOut(double error, int rounds) {
    char date[32];
    const std::time_t t = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&t));
    char line[1024], line2[256];
    std::snprintf(line, sizeof line, "tuned by zarv-dev tune on %zu positions of %s (%zu fitted, %zu held out)",
                  run.positions + run.heldPositions, run.files.c_str(), run.positions, run.heldPositions);
    int n = std::snprintf(line2, sizeof line2, "error %.7f -> %.7f", run.before, error);
    if (run.held >= 0)
        n += std::snprintf(line2 + n, sizeof line2 - n, " (held-out games %.7f -> %.7f)", run.heldBefore, run.held);
    n += std::snprintf(line2 + n, sizeof line2 - n, " at scale %.4f after %d rounds, %s", run.k, rounds, date);
    if (run.terms.blend > 0 || run.terms.pull > 0)
        n += std::snprintf(line2 + n, sizeof line2 - n, ", blend %g, pull %g", run.terms.blend, run.terms.pull);
    if (run.scoreLimit > 0) n += std::snprintf(line2 + n, sizeof line2 - n, ", scores under %ld", run.scoreLimit);
    if (run.gradient) std::snprintf(line2 + n, sizeof line2 - n, ", gradient fit");
    return writePersonality(run.out, {line, line2});
}

// The curve so far, when asked for.
void plot() {
    if (run.plot && !devPlot(run.plot, "zarv-dev tune: mean squared error per round",
                             {{"fitted", "#1f5fbf", run.fitted}, {"held-out", "#d0501f", run.heldOut}}))
        std::fprintf(stderr, "zarv-dev tune: cannot write \"%s\"\n", run.plot);
}

// Every round ends with the file rewritten, so a tuning that is stopped keeps
// the best weights it had found.
void report(const TuneStep& s) {
    std::printf("tune: iteration %d error %.7f", s.iteration, s.error);
    if (s.heldError >= 0) std::printf(" (held-out %.7f)", s.heldError);
    if (run.terms.pull > 0) std::printf(" pull %.7f", s.pull);
    std::printf(", %d values moved, %.0f s\n", s.changed, devNow() - run.start);
    std::fflush(stdout);
    run.rounds = s.iteration;
    run.held = s.heldError;
    writeOut(s.error, s.iteration);
    run.fitted.push_back(s.error);
    run.heldOut.push_back(s.heldError);
    plot();
}

// A decimal fraction from lo to hi.
bool fraction(const char* text, double lo, double hi, double& out) {
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && !*end && out >= lo && out <= hi;
}

int tuneMain(int argc, char** argv) {
    std::vector<const char*> data;
    const char* from = nullptr;
    const char* out = "tuned.txt";
    long iterations = 20, hold = 50, threads = std::max(1u, std::thread::hardware_concurrency());
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--from") == 0 && hasValue) {
            from = argv[++i];
        } else if (std::strcmp(argv[i], "--out") == 0 && hasValue) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--iterations") == 0 && hasValue) {
            if (!devNumber(argv[++i], iterations) || iterations < 0) {
                std::fprintf(stderr, "zarv-dev tune: --iterations needs a number from 0 up\n");
                return DEV_USAGE;
            }
        } else if (std::strcmp(argv[i], "--hold") == 0 && hasValue) {
            if (!devNumber(argv[++i], hold) || hold < 0 || hold > 50) {
                std::fprintf(stderr, "zarv-dev tune: --hold needs a percentage from 0 to 50\n");
                return DEV_USAGE;
            }
        } else if (std::strcmp(argv[i], "--blend") == 0 && hasValue) {
            if (!fraction(argv[++i], 0, 1, run.terms.blend)) {
                std::fprintf(stderr, "zarv-dev tune: --blend needs a number from 0 to 1\n");
                return DEV_USAGE;
            }
        } else if (std::strcmp(argv[i], "--pull") == 0 && hasValue) {
            if (!fraction(argv[++i], 0, 1e6, run.terms.pull)) {
                std::fprintf(stderr, "zarv-dev tune: --pull needs a number from 0 up\n");
                return DEV_USAGE;
            }
        } else if (std::strcmp(argv[i], "--score-limit") == 0 && hasValue) {
            if (!devNumber(argv[++i], run.scoreLimit) || run.scoreLimit < 1) {
                std::fprintf(stderr, "zarv-dev tune: --score-limit needs centipawns from 1 up\n");
                return DEV_USAGE;
            }
        } else if (std::strcmp(argv[i], "--plot") == 0 && hasValue) {
            run.plot = argv[++i];
        } else if (std::strcmp(argv[i], "--gradient") == 0) {
            run.gradient = true;
        } else if (std::strcmp(argv[i], "--threads") == 0 && hasValue) {
            if (!devNumber(argv[++i], threads) || threads < 1 || threads > 256) {
                std::fprintf(stderr, "zarv-dev tune: --threads needs a number from 1 to 256\n");
                return DEV_USAGE;
            }
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            std::fprintf(stderr, "zarv-dev tune: bad option %s\nusage: zarv-dev %s\n", argv[i], USAGE);
            return DEV_USAGE;
        } else {
            data.push_back(argv[i]);
        }
    }
    if (data.empty()) {
        std::fprintf(stderr, "usage: zarv-dev %s\n", USAGE);
        return DEV_USAGE;
    }
    if (from && !readPersonality(from)) {
        std::fprintf(stderr, "zarv-dev tune: cannot open personality file \"%s\"\n", from);
        return DEV_USAGE;
    }
    std::vector<Sample> samples;
    for (const char* d : data) {
        if (readSamples(d, samples) < 0) {
            std::fprintf(stderr, "zarv-dev tune: cannot read \"%s\"\n", d);
            return DEV_USAGE;
        }
    }
    if (run.scoreLimit > 0) {
        const size_t all = samples.size();
        dropDecided(samples, run.scoreLimit);
        std::printf("tune: %zu of %zu positions kept (search scores under %ld centipawns either way)\n", samples.size(), all, run.scoreLimit);
    }
    if (samples.empty()) {
        std::fprintf(stderr, "zarv-dev tune: no positions in the data\n");
        return DEV_USAGE;
    }
    std::vector<Sample> held;
    holdOut(samples, int(hold), held);
    if (samples.empty()) {
        std::fprintf(stderr, "zarv-dev tune: every position is held out\n");
        return DEV_USAGE;
    }
    tuneThreads = int(threads);
    run.start = devNow();
    run.positions = samples.size();
    run.heldPositions = held.size();
    run.out = out;
    for (const char* d : data) run.files.append(run.files.empty() ? "" : " ").append(d);
    int32_t v[TUNE_VALUES];
    getWeights(v);
    std::vector<int32_t> white;
    evaluateSamples(samples, white);
    run.k = fitScale(samples, white);
    run.before = meanError(samples, white, run.k, run.terms.blend);
    std::printf("tune: %zu positions, scale %.4f, error before %.7f\n", samples.size(), run.k, run.before);
    if (!held.empty()) {
        run.heldBefore = run.held = installedError(held, run.k, white, run.terms.blend);
        std::printf("tune: %zu positions of held-out games, error before %.7f\n", held.size(), run.heldBefore);
    }
    std::fflush(stdout);
    run.fitted.push_back(run.before);
    run.heldOut.push_back(run.heldBefore);
    plot();
    // The pull is toward the built-in values, whatever the fit starts from.
    int32_t builtin[TUNE_VALUES];
    builtinWeights(builtin);
    run.terms.base = builtin;
    const double after = run.gradient ? gradientFit(samples, held, run.k, v, int(iterations), report, run.terms)
                                  : tuneWeights(samples, held, run.k, v, int(iterations), report, run.terms);
    std::printf("tune: error after %.7f\n", after);
    if (!writeOut(after, run.rounds)) {
        std::fprintf(stderr, "zarv-dev tune: cannot write \"%s\"\n", out);
        return 1;
    }
    for (const ParamEntry& e : paramTable) std::printf("%s %d %d\n", e.name, getMidVal(*e.value), getEndVal(*e.value));
    std::printf("tune: wrote %s\n", out);
    return 0;
}

const DevRegister tuneCmd("tune", USAGE, tuneMain);

}  // namespace
