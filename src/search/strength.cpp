// The strength levels: a rating's node budget and temperature, and the
// random choice among a search's lines.
#include "search/strength.h"

#include <algorithm>
#include <cmath>

#include "board/types.h"

LevelRandom levelRandom;

namespace {

// Fitted points, weakest first: between two of them the budget grows
// geometrically and the temperature falls in a straight line. The last point
// stands for the full engine at fast time controls, which plays no budget.
struct LevelPoint {
    int elo;
    double nodes;
    double temperature;
};
constexpr LevelPoint LEVEL_POINTS[] = {
    {ELO_MIN, 1900, 88},
    {1700, 16000, 34},
    {2000, 250000, 5},
    {ELO_MAX, 1000000, 0},
};

// splitmix64: small, fast and good enough for a move's dice.
uint64_t nextRandom() {
    uint64_t z = (levelRandom.state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

}  // namespace

void seedLevelRandom(uint64_t seed) { levelRandom.state = seed; }

LevelPlan levelPlan(int elo) {
    elo = std::clamp(elo, ELO_MIN, ELO_MAX);
    if (elo >= ELO_MAX) return {0, 1, 0};
    int i = 0;
    while (LEVEL_POINTS[i + 1].elo < elo) ++i;
    const LevelPoint& a = LEVEL_POINTS[i];
    const LevelPoint& b = LEVEL_POINTS[i + 1];
    const double f = double(elo - a.elo) / double(b.elo - a.elo);
    const double nodes = a.nodes * std::pow(b.nodes / a.nodes, f);
    const double temperature = a.temperature + (b.temperature - a.temperature) * f;
    return {uint64_t(std::lround(nodes)), LEVEL_LINES, int(std::lround(temperature))};
}

int chooseLevelLine(const int* scores, int count, int temperature) {
    if (count <= 1 || temperature <= 0) return 0;
    // A line that is mated weighs nothing beside one that is not (e^-290 and
    // less), so no level walks into a mate it has seen.
    double weight[LEVEL_LINES], total = 0;
    count = std::min(count, LEVEL_LINES);
    for (int i = 0; i < count; ++i) {
        weight[i] = std::exp(-double(scores[0] - scores[i]) / temperature);
        total += weight[i];
    }
    // 53 random bits make a fraction in [0, 1).
    double r = double(nextRandom() >> 11) * 0x1.0p-53 * total;
    for (int i = 0; i < count; ++i) {
        r -= weight[i];
        if (r < 0) return i;
    }
    return count - 1;
}
