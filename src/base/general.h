#pragma once
// Process-wide settings, the log writer and the clock.
#include <cstdint>
#include <cstdio>

extern char logfile[512];
extern FILE* flog;
extern int32_t CPU;        // clock in whole seconds when non-zero
extern int32_t omt;        // stored only
extern int32_t use_razor;  // razoring below this depth, 0 = off, at most 8
extern int32_t hd1;        // move-count limit at depths 2 and 3
extern int32_t hd2;        // move-count limit at depths 4 and 5
extern int32_t hashMeg;    // transposition table size in megabytes
extern double logs[256];   // late-move reduction curve: 3 * log10(i)

constexpr const char* VERSION = "1.3";

// printf-style line into the log, flushed; nothing when no log is open.
void logger(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Wall-clock seconds, truncated to whole seconds when `whole` is non-zero.
double seconds(int whole);
