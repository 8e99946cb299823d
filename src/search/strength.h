#pragma once
// Playing strength below the engine's own: UCI_LimitStrength with UCI_Elo.
// A level searches a node budget that grows with its rating, over several
// root lines, and plays one of them at random: the further a line falls
// behind the best, and the higher the rating, the less often it is played.
// The levels' budgets and temperatures are fitted from matches against a
// reference whose own levels are calibrated (README, "Strength levels").
#include <cstdint>

constexpr int ELO_MIN = 1350;  // the weakest level: a beginner who knows the moves
constexpr int ELO_MAX = 2200;  // the engine's own strength at fast time controls
constexpr int LEVEL_LINES = 4;   // root lines a level below ELO_MAX chooses among

// What a level allows one search.
struct LevelPlan {
    uint64_t nodes;   // iterations stop once this many moves are searched (0 = no budget: full strength)
    int lines;        // root lines searched and chosen among
    int temperature;  // centipawns behind the best line at which a line's chance falls by a factor e
};

// The plan of a rating, ELO_MIN to ELO_MAX (clamped); ELO_MAX is full strength.
LevelPlan levelPlan(int elo);

// The random choices of the levels. The engine seeds it from the clock at
// start-up; zarv-dev and the tests seed it to make a level's moves repeatable.
struct LevelRandom {
    uint64_t state = 0x9e3779b97f4a7c15ULL;
};
extern LevelRandom levelRandom;
void seedLevelRandom(uint64_t seed);

// The line a level plays, of `count` lines (the first LEVEL_LINES count) with
// their scores, best first: drawn with chances exp(-(best - score) / temperature).
int chooseLevelLine(const int* scores, int count, int temperature);
