// The gradient fit: a linear model of the static values, Adam on it, and the
// exact evaluation as the judge of every move.
#include "learn/gradient.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int ADAM_STEPS = 300;
constexpr double ADAM_RATE = 0.01;

int32_t slopeStep(int32_t value) { return std::max(4, std::abs(value) / 16); }

}  // namespace

void measureSlopes(std::vector<Sample>& s, const int32_t* v, Slopes& out) {
    const size_t n = s.size();
    int32_t u[TUNE_VALUES];
    std::copy(v, v + TUNE_VALUES, u);
    installWeights(u);
    evaluateSamples(s, out.white);
    out.d.assign(n * TUNE_VALUES, 0.0f);
    std::vector<int32_t> moved;
    for (int j = 0; j < TUNE_VALUES; ++j) {
        const int32_t h = slopeStep(v[j]);
        u[j] = v[j] + h;
        installWeights(u);
        evaluateSamples(s, moved);
        for (size_t i = 0; i < n; ++i) out.d[i * TUNE_VALUES + j] = float(moved[i] - out.white[i]) / float(h);
        u[j] = v[j];
    }
    installWeights(v);
}

double linearError(const Slopes& sl, const std::vector<double>& labels, double k, const FitTerms& terms,
                   const int32_t* v, const double* delta, double* grad) {
    const size_t n = labels.size();
    // 1 / (1 + 10^(-k e / 400)) is the logistic function of c e.
    const double c = k * std::log(10.0) / 400;
    float step[TUNE_VALUES];
    for (int j = 0; j < TUNE_VALUES; ++j) step[j] = float(delta[j]);
    std::array<std::array<double, TUNE_VALUES>, TUNE_CHUNKS> parts;
    std::array<double, TUNE_CHUNKS> squares;
    forChunks(n, [&](size_t begin, size_t end, int chunk) {
        double* g = parts[chunk].data();
        std::fill(g, g + TUNE_VALUES, 0.0);
        double sum = 0;
        // Floats add up a block at a time, doubles across blocks.
        for (size_t b = begin; b < end; b += 256) {
            float acc[TUNE_VALUES] = {};
            for (size_t i = b; i < std::min(end, b + 256); ++i) {
                const float* row = &sl.d[i * TUNE_VALUES];
                float x = 0;
                for (int j = 0; j < TUNE_VALUES; ++j) x += row[j] * step[j];
                const double p = 1 / (1 + std::exp(-c * (sl.white[i] + double(x))));
                const double r = p - labels[i];
                sum += r * r;
                const float w = float(2 * r * p * (1 - p) * c);
                for (int j = 0; j < TUNE_VALUES; ++j) acc[j] += w * row[j];
            }
            for (int j = 0; j < TUNE_VALUES; ++j) g[j] += acc[j];
        }
        squares[chunk] = sum;
    });
    double error = 0;
    std::fill(grad, grad + TUNE_VALUES, 0.0);
    for (int chunk = 0; chunk < TUNE_CHUNKS; ++chunk) {
        error += squares[chunk];
        for (int j = 0; j < TUNE_VALUES; ++j) grad[j] += parts[chunk][j];
    }
    error /= double(n);
    for (int j = 0; j < TUNE_VALUES; ++j) grad[j] /= double(n);
    if (terms.pull > 0 && terms.base) {
        double pull = 0;
        for (int j = 0; j < TUNE_VALUES; ++j) {
            const double size = valueSize(terms.base[j]);
            const double d = (v[j] + delta[j] - terms.base[j]) / size;
            pull += d * d;
            grad[j] += terms.pull * 2 * d / size / TUNE_VALUES;
        }
        error += terms.pull * pull / TUNE_VALUES;
    }
    return error;
}

void adamMove(const Slopes& sl, const std::vector<double>& labels, double k, const FitTerms& terms, const int32_t* v,
              int steps, double rate, double* delta) {
    constexpr double B1 = 0.9, B2 = 0.999;
    double m[TUNE_VALUES] = {}, m2[TUNE_VALUES] = {}, grad[TUNE_VALUES];
    std::fill(delta, delta + TUNE_VALUES, 0.0);
    for (int t = 1; t <= steps; ++t) {
        linearError(sl, labels, k, terms, v, delta, grad);
        const double lr = rate * 0.5 * (1 + std::cos(M_PI * (t - 1) / steps));
        const double c1 = 1 - std::pow(B1, t), c2 = 1 - std::pow(B2, t);
        for (int j = 0; j < TUNE_VALUES; ++j) {
            // In units of the value's size, so that a pawn and a multiplier
            // of 5 move by like parts of themselves.
            const double size = valueSize(v[j]), g = grad[j] * size;
            m[j] = B1 * m[j] + (1 - B1) * g;
            m2[j] = B2 * m2[j] + (1 - B2) * g * g;
            if (m2[j] > 0) delta[j] -= lr * size * (m[j] / c1) / std::sqrt(m2[j] / c2);
        }
    }
}

double gradientFit(std::vector<Sample>& s, std::vector<Sample>& held, double k, int32_t* v, int rounds,
                   TuneReport report, const FitTerms& terms) {
    std::vector<double> labels(s.size());
    for (size_t i = 0; i < s.size(); ++i) labels[i] = sampleLabel(s[i], k, terms.blend);
    std::vector<int32_t> white;
    installWeights(v);
    FitScore best = scoreInstalled(s, held, k, terms.blend, pullTerm(terms, v), white);
    Slopes sl;
    for (int r = 1; r <= rounds; ++r) {
        measureSlopes(s, v, sl);
        double delta[TUNE_VALUES];
        adamMove(sl, labels, k, terms, v, ADAM_STEPS, ADAM_RATE, delta);
        int32_t u[TUNE_VALUES];
        int changed = 0;
        for (int j = 0; j < TUNE_VALUES; ++j) {
            u[j] = v[j] + int32_t(std::lround(delta[j]));
            changed += u[j] != v[j];
        }
        installWeights(u);
        // The model is only near the truth near v: the exact evaluation judges.
        if (!keepTrial(s, held, k, terms.blend, pullTerm(terms, u), white, best)) break;
        std::copy(u, u + TUNE_VALUES, v);
        if (report) report(TuneStep{r, best.error, changed, best.held, best.pull});
    }
    installWeights(v);
    return best.error;
}
