// The gradient fit: slopes of the static values, the linear model's error
// and gradient, Adam's first step, and the held-out games as the judge.
#include <cmath>

#include "learn/gradient.h"
#include "learn_support.h"

namespace {


// The four positions of the local search's test: the start, king and pawn
// against king, a rook down, a queen against a rook.
std::vector<Sample> handMade(bool turned) {
    const std::pair<const char*, int8_t> games[] = {{"", 1}, {"4k3/8/8/8/8/8/4P3/4K3 b - -", 2},
                                                    {"r3k3/pp6/8/8/8/8/PP6/4K3 w - -", 0}, {"4k3/8/8/3q4/8/8/8/4KR2 w - -", 0}};
    std::vector<Sample> s;
    for (auto [fen, result] : games) s.push_back(Sample{fromFen(fen), -1, int8_t(turned ? 2 - result : result)});
    return s;
}

// The hand-made samples with their slopes at the built-in values.
struct GradientTest : LearnTest {
    std::vector<Sample> s = handMade(false);
    int32_t v[TUNE_VALUES];
    Slopes sl;
    void SetUp() override {
        LearnTest::SetUp();
        getWeights(v);
        measureSlopes(s, v, sl);
    }
};

std::vector<double> labelsOf(const std::vector<Sample>& s, double k) {
    std::vector<double> labels;
    for (const Sample& x : s) labels.push_back(sampleLabel(x, k, 0));
    return labels;
}

// The slopes are whole steps of the evaluation over the value's step (306
// for the rook's 4900, 4 for small values); the model at delta 0 is the
// exact error, its gradient the change of its error, on any number of threads.
TEST_F(GradientTest, SlopesAndTheLinearModel) {
    EXPECT_EQ(sl.white, (std::vector<int32_t>{9, 3, -427, -215}));
    const auto slope = [&](int i, int j) { return sl.d[i * TUNE_VALUES + j]; };
    int nonzero = 0;
    for (float d : sl.d) nonzero += d != 0;
    EXPECT_EQ(nonzero, 15);
    EXPECT_EQ(std::tuple(slope(0, 84), slope(2, 7), slope(2, 83), slope(3, 12), slope(3, 31)),
              std::tuple(0.2f, 0.25f, 0.25f, -0.25f, 0.25f));
    EXPECT_EQ(std::pair(slope(2, 48), slope(2, 49)), std::pair(-2.0f / 306, -26.0f / 400));  // the rook, mid and end
    EXPECT_EQ(weights(), std::vector<int32_t>(v, v + TUNE_VALUES));  // measured, then put back

    const std::vector<double> labels = labelsOf(s, 1.0);
    const FitTerms pull{0, 2, v};
    double grad[TUNE_VALUES], other[TUNE_VALUES], delta[TUNE_VALUES] = {};
    EXPECT_NEAR(linearError(sl, labels, 1.0, {}, v, delta, grad), meanError(s, sl.white, 1.0), 1e-12);
    EXPECT_NEAR(grad[12], -2.81986e-05, 1e-10);
    EXPECT_NEAR(grad[84], 1.86228e-06, 1e-11);
    EXPECT_EQ(grad[0], 0);  // no slope anywhere
    delta[48] = -600, delta[12] = 40;
    const double e = linearError(sl, labels, 1.0, pull, v, delta, grad);
    tuneThreads = 3;
    Slopes again;
    measureSlopes(s, v, again);
    EXPECT_TRUE(again.white == sl.white && again.d == sl.d);
    EXPECT_EQ(linearError(sl, labels, 1.0, pull, v, delta, other), e);
    EXPECT_TRUE(std::equal(grad, grad + TUNE_VALUES, other));
    tuneThreads = 1;
    for (int j : {12, 48, 49, 0}) {
        const double h = 1;  // the model sums in floats: a smaller step is lost in their rounding
        delta[j] += h;
        const double up = linearError(sl, labels, 1.0, pull, v, delta, other);
        delta[j] -= 2 * h;
        const double down = linearError(sl, labels, 1.0, pull, v, delta, other);
        delta[j] += h;
        EXPECT_NEAR((up - down) / (2 * h), grad[j], 2e-3 * std::abs(grad[j]) + 1e-12) << j;
    }
    // The pull alone on a value no position sees.
    EXPECT_EQ(grad[0], 0);
    delta[0] = 5;
    linearError(sl, labels, 1.0, pull, v, delta, grad);
    EXPECT_NEAR(grad[0], 2 * 2 * (5.0 / 36) / 36 / 86, 1e-15);  // pmob mid 36
}

// Adam's first step moves every value with a gradient by the rate times its
// size (at least 10), against the gradient, and leaves the rest.
TEST_F(GradientTest, FirstAdamStep) {
    double delta[TUNE_VALUES];
    adamMove(sl, labelsOf(s, 1.0), 1.0, {}, v, 1, 0.01, delta);
    int moved = 0;
    for (double d : delta) moved += d != 0;
    EXPECT_EQ(moved, 12);
    EXPECT_NEAR(delta[12], 0.01 * 18, 1e-12);   // qmob mid 18: gradient below 0
    EXPECT_NEAR(delta[48], -0.01 * 4900, 1e-9);  // the rook's middle game: above 0
    EXPECT_NEAR(delta[31], -0.01 * 10, 1e-12);   // ksarea end 0 moves as 10 would
}

// A fit on the samples lowers their error round by round; held out, a copy of
// them agrees with every round, the samples with every result turned agree
// with none, and a huge pull keeps the built-in values.
TEST_F(GradientTest, HeldOutGamesDecideWhenToStop) {
    static std::vector<TuneStep> steps;
    const auto fit = [&](std::vector<Sample> held, const FitTerms& terms = {}) {
        std::vector<Sample> fitted = s;
        std::vector<int32_t> w = weights();
        steps.clear();
        const double after = gradientFit(fitted, held, 1.0, w.data(), 3, [](const TuneStep& t) { steps.push_back(t); }, terms);
        EXPECT_EQ(weights(), w);  // left installed
        defaultWeights();
        return std::pair(after, w);
    };
    const double before = meanError(s, sl.white, 1.0);
    const auto [after, fitV] = fit({});
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_TRUE(steps[0].error < before && steps[1].error < steps[0].error && steps[2].error < steps[1].error);
    EXPECT_EQ(steps[2].error, after);
    EXPECT_NEAR(after, 0.0614386497, 1e-10);
    EXPECT_EQ(std::pair(steps[0].changed, steps[1].changed), std::pair(12, 15));
    EXPECT_EQ(fit(handMade(false)).second, fitV);
    EXPECT_EQ(steps.size(), 3u);
    const auto [turnedAfter, turnedV] = fit(handMade(true));
    EXPECT_EQ(steps.size(), 0u);
    EXPECT_EQ(std::pair(turnedAfter, turnedV), std::pair(before, weights()));
    EXPECT_EQ(fit({}, {0, 1e6, v}).second, weights());
    EXPECT_EQ(steps.size(), 0u);
}

}  // namespace
