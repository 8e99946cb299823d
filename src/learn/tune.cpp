// Fitting the evaluation weights to game results.
#include "learn/tune.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "board/notation.h"
#include "eval/eval.h"
#include "eval/evaltables.h"
#include "eval/params.h"

namespace {

// Half points for white of a result field, -1 when it is none.
int resultOf(const char* text) {
    if (std::strcmp(text, "1.0") == 0 || std::strcmp(text, "1") == 0 || std::strcmp(text, "1-0") == 0) return 2;
    if (std::strcmp(text, "0.5") == 0 || std::strcmp(text, "1/2-1/2") == 0) return 1;
    if (std::strcmp(text, "0.0") == 0 || std::strcmp(text, "0") == 0 || std::strcmp(text, "0-1") == 0) return 0;
    return -1;
}

bool allDigits(const char* t) {
    if (!*t) return false;
    for (; *t; ++t)
        if (*t < '0' || *t > '9') return false;
    return true;
}

// One data line into a sample; false for game lines and anything unreadable.
bool parseSample(char* line, Sample& s) {
    char* words[16];
    int n = ParseString(line, words, 15);
    int first = n > 0 && allDigits(words[0]) ? 1 : 0;
    s.game = first ? int32_t(std::strtol(words[0], nullptr, 10) & 0x7fffffff) : -1;
    // A FEN needs at least its placement and side fields, then the result.
    if (n - first < 3 || std::strcmp(words[first], "#") == 0) return false;
    // A signed last word is the search's score; a result is never signed.
    const char* last = words[n - 1];
    s.scored = n - first >= 4 && (last[0] == '+' || last[0] == '-') && allDigits(last + 1);
    s.score = s.scored ? int32_t(std::strtol(last, nullptr, 10)) : 0;
    if (s.scored) --n;
    const int result = resultOf(words[n - 1]);
    if (result < 0) return false;
    std::string fen = words[first];
    for (int i = first + 1; i < n - 1; ++i) fen.append(" ").append(words[i]);
    const char* side = words[first + 1];
    if ((std::strcmp(side, "w") != 0 && std::strcmp(side, "b") != 0) || !fenIsValid(fen.c_str())) return false;
    fenToPosition(s.pos, fen.c_str());
    s.result = int8_t(result);
    return true;
}

double curve(double k, int32_t v) { return 1.0 / (1.0 + std::pow(10.0, -k * double(v) / 400.0)); }

}  // namespace

double sampleLabel(const Sample& x, double k, double blend) {
    const double result = 0.5 * x.result;
    if (blend == 0 || !x.scored) return result;
    return (1 - blend) * result + blend * curve(k, x.score);
}

double installedError(std::vector<Sample>& s, double k, std::vector<int32_t>& white, double blend) {
    evaluateSamples(s, white);
    return meanError(s, white, k, blend);
}

long readSamples(const char* path, std::vector<Sample>& out) {
    FILE* f = std::fopen(path, "r");
    if (!f) return -1;
    long added = 0;
    char line[512];
    Sample s;
    while (std::fgets(line, sizeof line, f)) {
        if (parseSample(line, s)) {
            out.push_back(s);
            ++added;
        }
    }
    std::fclose(f);
    return added;
}

void holdOut(std::vector<Sample>& s, int percent, std::vector<Sample>& held) {
    size_t kept = 0;
    for (Sample& x : s) {
        if (x.game >= 0 && x.game % 100 >= 100 - percent)
            held.push_back(x);
        else
            s[kept++] = x;
    }
    s.resize(kept);
}

void dropDecided(std::vector<Sample>& s, long limit) {
    std::erase_if(s, [limit](const Sample& x) { return x.scored && std::abs(x.score) >= limit; });
}

void getWeights(int32_t* v) {
    for (int i = 0; i < 43; ++i) {
        v[2 * i] = getMidVal(*paramTable[i].value);
        v[2 * i + 1] = getEndVal(*paramTable[i].value);
    }
}

void installWeights(const int32_t* v) {
    for (int i = 0; i < 43; ++i) *paramTable[i].value = scorePair(v[2 * i], v[2 * i + 1]);
    // The same table construction as a personality load, caches emptied
    // with it, so the tuned weights mean in play what they meant here.
    reInitEval();
}

int tuneThreads = 1;

void forChunks(size_t n, const std::function<void(size_t begin, size_t end, int chunk)>& work) {
    // The chunks are fixed by n alone, so that sums taken per chunk and then
    // added in chunk order do not depend on the number of threads.
    const auto run = [&](int first) {
        for (int c = first; c < TUNE_CHUNKS; c += tuneThreads) work(n * c / TUNE_CHUNKS, n * (c + 1) / TUNE_CHUNKS, c);
    };
    std::vector<std::thread> helpers;
    // A new thread starts with empty evaluation caches of its own; the
    // calling thread's were emptied when the weights were installed.
    for (int t = 1; t < std::min(tuneThreads, TUNE_CHUNKS); ++t) helpers.emplace_back(run, t);
    run(0);
    for (std::thread& h : helpers) h.join();
}

void evaluateSamples(std::vector<Sample>& s, std::vector<int32_t>& white) {
    white.resize(s.size());
    forChunks(s.size(), [&](size_t begin, size_t end, int) {
        for (size_t i = begin; i < end; ++i) {
            Position& p = s[i].pos;
            p.pstScore = getSC(p);
            const int v = eval(p);
            white[i] = sideToMove(p) == WHITE ? v : -v;
        }
    });
}

double meanError(const std::vector<Sample>& s, const std::vector<int32_t>& white, double k, double blend) {
    if (s.empty()) return 0;
    double sum = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double d = sampleLabel(s[i], k, blend) - curve(k, white[i]);
        sum += d * d;
    }
    return sum / double(s.size());
}

double fitScale(const std::vector<Sample>& s, const std::vector<int32_t>& white) {
    // Golden-section search: the error has one minimum in k.
    const double g = (std::sqrt(5.0) - 1) / 2;
    double a = 0.01, b = 10.0;
    double c = b - g * (b - a), d = a + g * (b - a);
    double fc = meanError(s, white, c), fd = meanError(s, white, d);
    while (b - a > 1e-4) {
        if (fc < fd) {
            b = d, d = c, fd = fc;
            c = b - g * (b - a);
            fc = meanError(s, white, c);
        } else {
            a = c, c = d, fc = fd;
            d = a + g * (b - a);
            fd = meanError(s, white, d);
        }
    }
    return (a + b) / 2;
}

void builtinWeights(int32_t* v) {
    for (int i = 0; i < 43; ++i) {
        v[2 * i] = getMidVal(paramTable[i].def);
        v[2 * i + 1] = getEndVal(paramTable[i].def);
    }
}

double pullPenalty(const int32_t* v, const int32_t* base) {
    double sum = 0;
    for (int i = 0; i < TUNE_VALUES; ++i) {
        const double d = double(v[i] - base[i]) / valueSize(base[i]);
        sum += d * d;
    }
    return sum / TUNE_VALUES;
}

FitScore scoreInstalled(std::vector<Sample>& s, std::vector<Sample>& held, double k, double blend, double pull,
                        std::vector<int32_t>& white) {
    return FitScore{installedError(s, k, white, blend), pull, held.empty() ? -1 : installedError(held, k, white, blend)};
}

bool keepTrial(std::vector<Sample>& s, std::vector<Sample>& held, double k, double blend, double pull,
               std::vector<int32_t>& white, FitScore& best) {
    const double e = installedError(s, k, white, blend);
    if (e + pull >= best.error + best.pull) return false;
    // A move that only fits the noise of these games seldom helps the
    // held-out ones too: it must lower both.
    const double h = held.empty() ? -1 : installedError(held, k, white, blend);
    if (!held.empty() && h >= best.held) return false;
    best = FitScore{e, pull, h};
    return true;
}

double pullTerm(const FitTerms& terms, const int32_t* v) {
    // Without a pull the term is exactly 0, and the steps are the plain error's.
    return terms.pull > 0 && terms.base ? terms.pull * pullPenalty(v, terms.base) : 0.0;
}

double tuneWeights(std::vector<Sample>& s, std::vector<Sample>& held, double k, int32_t* v, int iterations,
                   TuneReport report, const FitTerms& terms) {
    std::vector<int32_t> white;
    installWeights(v);
    FitScore best = scoreInstalled(s, held, k, terms.blend, pullTerm(terms, v), white);
    // Steps start at a sixteenth of a value, so that a pawn and a multiplier
    // of 5 both move by a noticeable part of themselves.
    int32_t step[TUNE_VALUES], dir[TUNE_VALUES];
    for (int i = 0; i < TUNE_VALUES; ++i) {
        step[i] = std::max(1, std::abs(v[i]) / 16);
        if (v[i] == 0) step[i] = 4;
        dir[i] = 1;
    }
    for (int it = 1; it <= iterations; ++it) {
        int changed = 0;
        bool smallest = true;
        for (int i = 0; i < TUNE_VALUES; ++i) {
            bool better = false;
            // The direction that helped last time is tried first.
            for (int t = 0; t < 2 && !better; ++t) {
                const int32_t d = t == 0 ? dir[i] : -dir[i];
                v[i] += d * step[i];
                installWeights(v);
                if (keepTrial(s, held, k, terms.blend, pullTerm(terms, v), white, best)) {
                    dir[i] = d;
                    better = true;
                } else {
                    v[i] -= d * step[i];
                }
            }
            if (better) {
                ++changed;
            } else {
                step[i] = std::max(1, step[i] / 2);
            }
            if (step[i] > 1) smallest = false;
        }
        installWeights(v);
        if (report) report(TuneStep{it, best.error, changed, best.held, best.pull});
        if (changed == 0 && smallest) break;
    }
    installWeights(v);
    return best.error;
}

int writePersonality(const char* path, const std::vector<const char*>& comments) {
    FILE* f = std::fopen(path, "w");
    if (!f) return 0;
    for (const char* c : comments) std::fprintf(f, "# %s\n", c);
    for (const ParamEntry& e : paramTable)
        std::fprintf(f, "%s %d %d\n", e.name, getMidVal(*e.value), getEndVal(*e.value));
    const bool ok = std::fflush(f) == 0 && !std::ferror(f);
    return std::fclose(f) == 0 && ok;
}
