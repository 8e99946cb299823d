#pragma once
// Shared by the self-play and tuner tests.

#include <cstdio>
#include <fstream>

#include "eval/params.h"
#include "learn/selfplay.h"
#include "learn/tune.h"
#include "support.h"

// Every test starts and ends with the default weights and a self-play engine.
struct LearnTest : ::testing::Test {
    const TempDir tmp;
    const std::string dir = tmp.path;
    void SetUp() override { defaultWeights(), selfplaySetup(); }
    void TearDown() override { defaultWeights(); }
};

// The data lines of games [first, first + count) played in this process.
inline std::string playGames(const SelfPlay& sp, uint64_t first, uint64_t count) {
    static Game g;
    char* text = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&text, &size);
    for (uint64_t i = first; i < first + count; ++i) playGame(sp, i, g, f);
    std::fclose(f);
    std::string out(text, size);
    std::free(text);
    return out;
}

// The 86 weight values installed now.
inline std::vector<int32_t> weights() {
    std::vector<int32_t> v(TUNE_VALUES);
    getWeights(v.data());
    return v;
}
