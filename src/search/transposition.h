#pragma once
// The transposition table and the mate-score conversions.
#include <atomic>
#include <cstdint>
#include <cstring>

#include "board/types.h"

enum TTFlags : uint8_t { TT_NONE = 0, UPPER = 1, LOWER = 2, EXACT = 3 };

// An entry as the search reads it.
struct TTEntry {
    uint64_t key;   // 0 marks an empty slot
    int16_t score;  // node-relative (to_tt)
    uint16_t move;
    int16_t depth;
    uint8_t flags;
    uint8_t age;
};
static_assert(sizeof(TTEntry) == 16);

// An entry as the table stores it: the data word (TTEntry's last eight bytes)
// and the key XOR that word. Search threads share the table without locks: a
// slot read while another thread writes it pairs halves of two entries, whose
// key then matches no position, so a torn entry is never used.
struct TTSlot {
    uint64_t check;  // key ^ data
    uint64_t data;
};
static_assert(sizeof(TTSlot) == 16);

// The slot's entry, read with one atomic load per word.
inline TTEntry ttRead(const TTSlot& s) {
    const uint64_t data = std::atomic_ref<const uint64_t>(s.data).load(std::memory_order_relaxed);
    const uint64_t check = std::atomic_ref<const uint64_t>(s.check).load(std::memory_order_relaxed);
    TTEntry e;
    e.key = check ^ data;
    std::memcpy(&e.score, &data, sizeof data);
    return e;
}

struct TTable {
    int32_t count;   // buckets of four entries, a power of two
    int32_t mask;
    uint32_t age;
    TTSlot* entries;
    // Set by the first store since the table was made or cleared: until then
    // it is all zero, and clearing it again would only cost time.
    uint8_t written;
};

extern TTable hashtable;

TTable ttabMakeHashTable(int megabytes);
void ttabFreeHashTable(TTable& t);
void ttabClear(TTable& t);
// A clear that threads share: ttabClearBegin (false when nothing has been
// stored since the table was made or cleared, so there is nothing to zero),
// then ttabClearShare by each of `parts` threads at once (in 2 MB steps, so
// that no two threads meet on a huge page), then ttabClearEnd. ttabClear is
// the three with one part.
bool ttabClearBegin(TTable& t);
void ttabClearShare(const TTable& t, int part, int parts);
void ttabClearEnd(TTable& t);
void ttAge(TTable& t);
// The entry of key into `out`; false when the table holds none.
bool ttabGet(const TTable& t, uint64_t key, TTEntry& out);
void ttabPut(TTable& t, uint64_t key, int depth, int score, int flags, Move move);

int to_tt(int score, int ply);
int from_tt(int score, int ply);
int mated_in(int ply);
