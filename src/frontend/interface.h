#pragma once
// The UCI loop and the game record.
#include <cstdint>

#include "board/types.h"

constexpr int GAME_MAX = 1024;

extern Position gme[GAME_MAX];
extern int32_t ply;
extern int32_t state;
extern uint32_t available;
extern volatile int32_t abortflag;
extern volatile int32_t ponderMode;
extern int32_t ponder;
extern double accTime;

// Reads and handles at most one waiting line; returns at once when none waits.
void UCI();
int readyinp();

// Clock words of "go", in seconds.
struct GoClock {
    double wtime = 0, btime = 0, winc = 0, binc = 0;
    int32_t movestogo = 0;
    double movetime = 0;
};
// Time budget in seconds for side `col` by the clock rules (movetime,
// movestogo, increment or sudden death), with its log lines.
double timeBudget(const GoClock& c, int col);
