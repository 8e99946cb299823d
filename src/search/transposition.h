#pragma once
// The transposition table and the mate-score conversions.
#include <cstdint>

#include "board/types.h"

enum TTFlags : uint8_t { TT_NONE = 0, UPPER = 1, LOWER = 2, EXACT = 3 };

struct TTEntry {
    uint64_t key;   // 0 marks an empty slot
    int16_t score;  // node-relative (to_tt)
    uint16_t move;
    int16_t depth;
    uint8_t flags;
    uint8_t age;
};
static_assert(sizeof(TTEntry) == 16);

struct TTable {
    int32_t count;   // buckets of four entries, a power of two
    int32_t mask;
    uint32_t age;
    TTEntry* entries;
};

extern TTable hashtable;

TTable ttabMakeHashTable(int megabytes);
void ttabFreeHashTable(TTable& t);
void ttabClear(TTable& t);
void ttAge(TTable& t);
TTEntry* ttabGet(const TTable& t, uint64_t key);  // null when absent
void ttabPut(TTable& t, uint64_t key, int depth, int score, int flags, Move move);

int to_tt(int score, int ply);
int from_tt(int score, int ply);
int mated_in(int ply);
