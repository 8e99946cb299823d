// The transposition table: buckets of four 16-byte entries, one cache line
// each, indexed by the low bits of the position key.
#include "search/transposition.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/general.h"
#include "base/platform.h"

TTable hashtable = {0, -1, 0, nullptr, 0};

namespace {

constexpr int BUCKET = 4;
constexpr int MAX_MEG = 4096;  // the Hash option's maximum

// Buckets for a request: a power of two near megabytes * 16384 (the number of
// 64-byte buckets in that many megabytes), rounded up from 51 percent of it so
// a request just short of a power of two still gets it.
int32_t bucketsFor(int megabytes) {
    int64_t b = int64_t(megabytes) * 16384;
    int64_t v = int64_t(double(b) * 0.51);
    if (v <= 0) return 0;
    uint64_t x = uint64_t(v - 1);
    x |= x >> 1;
    x |= x >> 2;
    x |= x >> 4;
    x |= x >> 8;
    x |= x >> 16;
    x |= x >> 32;
    return int32_t(x + 1);
}

size_t bytesOf(int32_t count) { return size_t(count) * BUCKET * sizeof(TTSlot); }

TTSlot* bucketOf(const TTable& t, uint64_t key) {
    return t.entries + (key & uint64_t(uint32_t(t.mask))) * BUCKET;
}

// The slot a new entry of this key goes to, with the entry it holds: its own
// or an empty one first, else the victim of the replacement rule. `own` tells
// the caller whether the slot was its own key's (or empty) rather than a
// displaced entry.
// The depth and age fields of a data word (TTEntry's byte order).
int depthOf(uint64_t data) { return int16_t(data >> 32); }
uint32_t ageOf(uint64_t data) { return uint32_t(data >> 56); }

TTSlot* chooseSlot(const TTable& t, uint64_t key, bool& own, uint64_t& old) {
    TTSlot* b = bucketOf(t, key);
    TTSlot* victim = b;
    uint64_t v = 0;
    for (int i = 0; i < BUCKET; ++i) {
        const uint64_t data = std::atomic_ref<uint64_t>(b[i].data).load(std::memory_order_relaxed);
        const uint64_t k = std::atomic_ref<uint64_t>(b[i].check).load(std::memory_order_relaxed) ^ data;
        if (k == 0 || k == key) {
            own = true;
            old = data;
            return b + i;
        }
        if (i == 0) {
            v = data;
            continue;
        }
        // Entries of earlier searches go before those of this one; within a
        // class the shallower goes; on equal depth the earlier slot goes.
        int w = (depthOf(data) < depthOf(v) ? 1 : 0) + 2 * (ageOf(v) == t.age ? 1 : 0) +
                2 * (ageOf(data) != t.age ? 1 : 0) - 2;
        if (w > 0) victim = b + i, v = data;
    }
    own = false;
    old = v;
    return victim;
}

}  // namespace

TTable ttabMakeHashTable(int megabytes) {
    TTable t = {0, -1, 0, nullptr, 0};
    if (megabytes > MAX_MEG) megabytes = MAX_MEG;
    int32_t count = bucketsFor(megabytes);
    // When the memory is not there, halve the table until it is: a smaller
    // table costs some strength, none at all costs much more. The system
    // promises more than it has, and filling a table beyond three quarters
    // of the machine's memory would end the process, so that counts as failure.
    const int32_t wanted = count;
    const int64_t memory = platformMemoryBytes();
    while (memory > 0 && count > 0 && int64_t(count) * 64 > memory / 4 * 3) count /= 2;
    // Fresh pages from the system are zero, which is what a cleared table
    // holds, so making even a 4 GB table costs no time.
    while (count > 0 && !t.entries) {
        t.entries = static_cast<TTSlot*>(platformMapZeroed(bytesOf(count)));
        if (!t.entries) count /= 2;
    }
    if (count < wanted) {
        if (count > 0)
            std::printf("info string cannot allocate %lld MB for the hash table: using %lld MB\n",
                        (long long)wanted * 64 / 1048576, (long long)count * 64 / 1048576);
        else
            std::printf("info string cannot allocate a hash table: running without one\n");
        std::fflush(stdout);
        logger("Hash table allocation failed: %d entries instead\n", count);
    }
    // The size reported is the one built, after any halving.
    logger("Total hash entries: %d\n", count);
    logger("Total size used: %lld\n", (long long)count * 64);
    if (!t.entries) return t;
    // The system backs the pages, huge ones where it can, in the background
    // from here on, beside whatever the engine does next.
    platformPrefault(t.entries, bytesOf(count));
    t.count = count;
    t.mask = count - 1;
    return t;
}

void ttabFreeHashTable(TTable& t) {
    platformUnmap(t.entries, bytesOf(t.count));
    t.entries = nullptr;
    t.count = 0;
    t.mask = -1;
    t.written = 0;
}

bool ttabClearBegin(TTable& t) {
    if (!t.entries || !t.written) return false;
    platformPrefaultStop();  // it would back steps that the clear hands back
    return true;
}

void ttabClearShare(const TTable& t, int part, int parts) {
    constexpr size_t STEP = size_t(2) << 20;
    const size_t bytes = bytesOf(t.count), steps = (bytes + STEP - 1) / STEP;
    const size_t from = std::min(bytes, steps * size_t(part) / size_t(parts) * STEP);
    const size_t to = std::min(bytes, steps * size_t(part + 1) / size_t(parts) * STEP);
    platformZeroMapped(reinterpret_cast<char*>(t.entries) + from, to - from);
}

void ttabClearEnd(TTable& t) {
    if (t.entries && t.written) platformPrefault(t.entries, bytesOf(t.count));  // the steps handed back
    t.written = 0;
    t.age = 0;
}

void ttabClear(TTable& t) {
    if (ttabClearBegin(t)) ttabClearShare(t, 0, 1);
    ttabClearEnd(t);
}

void ttAge(TTable& t) { t.age = (t.age + 1) & 255; }

bool ttabGet(const TTable& t, uint64_t key, TTEntry& out) {
    if (!t.entries) return false;
    const TTSlot* b = bucketOf(t, key);
    for (int i = 0; i < BUCKET; ++i) {
        const uint64_t data = std::atomic_ref<const uint64_t>(b[i].data).load(std::memory_order_relaxed);
        if ((std::atomic_ref<const uint64_t>(b[i].check).load(std::memory_order_relaxed) ^ data) != key) continue;
        out.key = key;
        std::memcpy(&out.score, &data, sizeof data);
        return true;
    }
    return false;
}

void ttabPut(TTable& t, uint64_t key, int depth, int score, int flags, Move move) {
    if (!t.entries || score < -32500 || score > 32500) return;
    // Several search threads may store at once; the flag is written once per clear.
    std::atomic_ref<uint8_t> written(t.written);
    if (!written.load(std::memory_order_relaxed)) written.store(1, std::memory_order_relaxed);
    bool own;
    uint64_t old;
    TTSlot* slot = chooseSlot(t, key, own, old);
    TTEntry e;
    std::memcpy(&e.score, &old, sizeof old);
    // A bound without a move keeps the move an earlier search of this
    // position found; a displaced entry's move belongs to another position.
    if (move != 0 || !own) e.move = uint16_t(move);
    e.depth = int16_t(depth);
    e.score = int16_t(score);
    e.flags = uint8_t(flags);
    e.age = uint8_t(t.age);
    uint64_t data;
    std::memcpy(&data, &e.score, sizeof data);
    std::atomic_ref<uint64_t>(slot->data).store(data, std::memory_order_relaxed);
    std::atomic_ref<uint64_t>(slot->check).store(key ^ data, std::memory_order_relaxed);
}

int mated_in(int ply) { return ply - MATE; }

int to_tt(int score, int ply) {
    if (score > 31799) return score + ply;
    if (score <= -31800) return score - ply;
    return score;
}

int from_tt(int score, int ply) {
    if (score > 31799) return score - ply;
    if (score <= -31800) return score + ply;
    return score;
}
