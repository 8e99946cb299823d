// The tuner: reading data, the error and its scale, the local search on a
// small self-play made here, and personality files written and read back.
#include <cmath>

#include "eval/eval.h"
#include "learn/tune.h"
#include "learn_support.h"

namespace {

using TuneTest = LearnTest;

std::string writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// tests/data/samples.txt: a position line, an end line, one without its index
// (four FEN fields), one with castling and clocks, and lines with no result, no
// side to move and no white king, a blank line and a bare result.
TEST_F(TuneTest, ReadsPositionLinesAndSkipsTheRest) {
    const std::string path = dataPath("samples.txt");
    std::vector<Sample> s;
    EXPECT_EQ(readSamples(path.c_str(), s), 3);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(std::tuple(s[0].result, s[1].result, s[2].result, sideToMove(s[1].pos), s[2].pos.pcs[WHITE][ROOK]),
              std::tuple(2, 1, 0, BLACK, bit(0)));
    EXPECT_EQ(std::tuple(s[0].game, s[1].game, s[2].game), std::tuple(0, -1, 12));
    EXPECT_EQ(readSamples((dir + "/none").c_str(), s), -1);
    EXPECT_EQ(s.size(), 3u);
}

// A scored line's label blends its result with the curve of its score; a line
// without one, or blend 0, keeps the result; decided scores can be dropped.
// The pull is the mean squared relative move from the built-in values
// (relative to 10 for small ones).
TEST_F(TuneTest, BlendedLabelsAndThePull) {
    std::vector<Sample> s;
    ASSERT_EQ(readSamples(writeText(dir + "/s", "0 4k3/8/8/8/8/8/4P3/4K3 b - - 0 1 1.0 +120\n1 4k3/8/8/8/8/8/4P3/4K3 b - - 0 1 "
                                                "1.0\n2 4k3/8/8/8/8/8/4P3/4K3 w - - 0 1 0.0 -0\n").c_str(), s), 3);
    EXPECT_EQ(std::tuple(s[0].scored, s[0].score, s[1].scored, s[2].scored, s[2].result), std::tuple(true, 120, false, true, 0));
    const double c = 1 / (1 + std::pow(10.0, -0.3));  // the curve at 120 with k = 1
    EXPECT_EQ(std::tuple(sampleLabel(s[0], 1, 0), sampleLabel(s[1], 1, 0.25), sampleLabel(s[2], 2, 0.5)), std::tuple(1.0, 1.0, 0.25));
    EXPECT_NEAR(sampleLabel(s[0], 1, 0.25), 0.75 + 0.25 * c, 1e-15);
    EXPECT_NEAR(meanError(s, {120, 0, 0}, 1, 0.25), (0.5625 * (1 - c) * (1 - c) + 0.25 + 0.140625) / 3, 1e-15);
    // A score of the limit either way is dropped, one under it and an unscored line stay.
    s[1].score = 5000, s.push_back(s[0]), s.back().score = -120, s.push_back(s[2]), s.back().score = -119;
    dropDecided(s, 120);
    EXPECT_EQ(std::tuple(s.size(), s[0].score, s[1].score, s[2].score), std::tuple(3u, 5000, 0, -119));
    std::vector<int32_t> base(TUNE_VALUES), v;
    builtinWeights(base.data());
    EXPECT_EQ(base, weights());
    v = base;
    v[0] += 18, v[31] += 5, v[42] -= 85;  // pmob mid 36, ksarea end 0, pval mid 850
    EXPECT_NEAR(pullPenalty(v.data(), base.data()), (0.25 + 0.25 + 0.01) / 86, 1e-15);
}

TEST_F(TuneTest, ErrorOfTheCurveAndItsScale) {
    std::vector<Sample> s(4);
    const int8_t results[4] = {2, 0, 1, 2};
    for (int i = 0; i < 4; ++i) s[i].result = results[i];
    std::vector<int32_t> white = {0, 400, -400, 400};
    // 1 / (1 + 10^-1) = 10/11 at k = 1 and 400 centipawns.
    const double w = 10.0 / 11, l = 1.0 / 11;
    const double expect = (0.25 + w * w + (0.5 - l) * (0.5 - l) + (1 - w) * (1 - w)) / 4;
    EXPECT_NEAR(meanError(s, white, 1.0), expect, 1e-12);
    EXPECT_NEAR(meanError(s, white, 0.0), (0.25 + 0.25 + 0 + 0.25) / 4, 1e-12);
    // Three wins and a loss at +400: the best curve gives 0.75 there, which
    // 1 / (1 + 10^-k) does at k = log10(3).
    white.assign(4, 400);
    for (int i = 0; i < 4; ++i) s[i].result = i ? 2 : 0;
    EXPECT_NEAR(fitScale(s, white), std::log10(3.0), 2e-4);
    s[0].result = 2;  // all won: the steepest curve allowed
    EXPECT_NEAR(fitScale(s, white), 10.0, 2e-4);
}

// Two passes over four hand-made positions, pinned: the white-side values the
// samples start from, the error after each pass and the weights left. Held
// out, a copy of the samples vetoes nothing; the samples with every result
// turned round veto every step that would raise their error.
TEST_F(TuneTest, TunesHandMadeSamplesExactly) {
    const std::pair<const char*, int8_t> games[] = {{"", 1}, {"4k3/8/8/8/8/8/4P3/4K3 b - -", 2},
                                                    {"r3k3/pp6/8/8/8/8/PP6/4K3 w - -", 0}, {"4k3/8/8/3q4/8/8/8/4KR2 w - -", 0}};
    std::vector<Sample> s, none, turned;
    for (auto [fen, result] : games) s.push_back(Sample{fromFen(fen), -1, result});
    for (auto [fen, result] : games) turned.push_back(Sample{fromFen(fen), -1, int8_t(2 - result)});
    std::vector<int32_t> white;
    evaluateSamples(s, white);
    EXPECT_EQ(white, (std::vector<int32_t>{9, 3, -427, -215}));
    static std::vector<TuneStep> steps;
    const auto tune = [&](std::vector<Sample>& held, const FitTerms& terms = {}) {
        std::vector<int32_t> v = weights();
        steps.clear();
        const double after = tuneWeights(s, held, 1.0, v.data(), 2, [](const TuneStep& t) { steps.push_back(t); }, terms);
        EXPECT_EQ(steps.back().pull, terms.base ? terms.pull * pullPenalty(v.data(), terms.base) : 0);
        std::vector<int32_t> now;  // the weights left installed are the reported ones, and give that error
        evaluateSamples(s, now);
        EXPECT_TRUE(weights() == v && meanError(s, now, 1.0, terms.blend) == after && steps.back().error == after);
        uint64_t fingerprint = 0;
        for (int32_t w : v) fingerprint = fingerprint * 1000003 + uint64_t(int64_t(w));
        defaultWeights();
        return fingerprint;
    };
    evaluateSamples(turned, white);
    const double turnedBefore = meanError(turned, white, 1.0);
    EXPECT_EQ(tune(none), 17353059129126096264u);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(std::pair(steps[0].changed, steps[1].changed), std::pair(7, 4));
    EXPECT_NEAR(steps[0].error, 0.0719559, 1e-7);
    EXPECT_NEAR(steps[1].error, 0.0697907, 1e-7);
    EXPECT_EQ(steps[1].heldError, -1);
    std::vector<Sample> copy = s;
    EXPECT_EQ(tune(copy), 17353059129126096264u);
    EXPECT_EQ(tune(turned), 7749079635766493057u);
    EXPECT_NEAR(steps[1].error, 0.0745721, 1e-7);
    EXPECT_NEAR(steps[1].heldError, 0.4229954, 1e-7);
    EXPECT_LT(steps[1].heldError, turnedBefore);
    // A pull keeps values nearer home; a huge one keeps them all.
    const std::vector<int32_t> base = weights();
    EXPECT_EQ(tune(none, {0, 10, base.data()}), 10752337235375585307u);
    EXPECT_EQ(std::pair(steps[0].changed, steps[1].changed), std::pair(3, 3));
    EXPECT_EQ(tune(none, {0, 1e6, base.data()}), 1585800638859504801u);  // the built-in values
    EXPECT_EQ(std::pair(steps[0].changed, steps[1].changed), std::pair(0, 0));
    // Blended with scores that call every position even, the fit goes elsewhere.
    for (Sample& x : s) x.scored = true;
    EXPECT_EQ(tune(none, {0.5, 0, nullptr}), 13140930824726141099u);
}

TEST_F(TuneTest, InstallingIsLoadingAPersonality) {
    std::vector<int32_t> v = weights();
    v[0] += 11, v[43] -= 7, v[85] = -5;  // pmob mid, pval end, hmb end
    const std::string path = dir + "/p";
    installWeights(v.data());
    ASSERT_TRUE(writePersonality(path.c_str(), {"a comment"}));
    EXPECT_EQ(readText(path).substr(0, 35), "# a comment\npmob 47 115\nnmob 58 50\n");
    EXPECT_FALSE(writePersonality((dir + "/no/such/dir").c_str(), {}));
    const Position p = fromFen("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -");
    const int installed = eval(p);
    defaultWeights();
    ASSERT_NE(eval(p), installed);
    ASSERT_EQ(readPersonality(path.c_str()), 1);
    EXPECT_EQ(weights(), v);
    EXPECT_EQ(eval(p), installed);
}

// On games of its own: the held-out share is whole games.
TEST_F(TuneTest, HoldsOutWholeGames) {
    SelfPlay sp{.nodes = 300, .seed = 9};
    std::vector<Sample> s, held;
    ASSERT_GT(readSamples(writeText(dir + "/d", playGames(sp, 0, 6)).c_str(), s), 200);
    const size_t all = s.size();
    holdOut(s, 98, held);  // games 2 to 5 of 0 to 5
    EXPECT_EQ(s.size() + held.size(), all);
    for (const Sample& x : s) EXPECT_LT(x.game, 2);
    for (const Sample& x : held) EXPECT_TRUE(x.game >= 2 && x.game <= 5);
}

// The command tunes over every data file it is given, prints the weights and
// writes them after a comment naming its input; blended, pulled and plotted too.
TEST_F(TuneTest, CommandWritesTheWeightsItPrints) {
    SelfPlay sp{.nodes = 300, .seed = 9}, scored{.nodes = 300, .seed = 9, .scores = true};  // both forms of line
    const std::string data = writeText(dir + "/d", playGames(sp, 0, 3)), data2 = writeText(dir + "/d2", playGames(scored, 3, 3));
    const RunResult r = runDev("tune " + data + " " + data2 + " --iterations 1 --out " + dir + "/t", 120);
    ASSERT_EQ(r.status, 0) << r.err;
    double before = 0, after = 1;
    std::string printed;
    for (const std::string& line : splitLines(r.out))
        if (std::sscanf(line.c_str(), "tune: %*d positions, scale %*f, error before %lf", &before) +
                std::sscanf(line.c_str(), "tune: error after %lf", &after) == 0 && line.rfind("tune: ", 0))
            printed += line + "\n";
    EXPECT_LT(after, before);
    const std::string file = readText(dir + "/t");
    EXPECT_TRUE(file.rfind("# ", 0) == 0 && file.find(data2) != std::string::npos);
    EXPECT_EQ(file.substr(file.find("\npmob ") + 1), printed);
    const RunResult b = runDev("tune " + data + " " + data2 + " --iterations 2 --blend 0.5 --pull 0.1 --plot " + dir + "/c.svg --out " + dir + "/t", 120);
    const std::string svg = readText(dir + "/c.svg");
    EXPECT_TRUE(b.status == 0 && b.out.find(" pull 0.") < b.out.find(" pull 0.0000000,") && svg.find("<polyline") != svg.rfind("<polyline")) << b.out;
}

}  // namespace
