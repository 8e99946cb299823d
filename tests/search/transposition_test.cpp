// The transposition table: sizes, its place on huge pages, probe and store with the replacement rule.
// (That freed tables leave no resident memory is the soak test's check.)

#include <cstdio>
#include <cstring>
#include <fstream>

#include "base/platform.h"
#include "search/transposition.h"
#include "support.h"

namespace {

uint64_t key(int i) { return uint64_t(i) << 32; }  // all in bucket 0 of a small table

}  // namespace

TEST(TTable, Sizes) {
    const int cases[][2] = {{32, 524288}, {63, 1048576}, {48, 524288}, {1, 16384}, {100, 1048576}, {128, 2097152}};
    for (auto c : cases) {
        TTable t = ttabMakeHashTable(c[0]);
        EXPECT_TRUE(t.count == c[1] && t.entries && uintptr_t(t.entries) % (2 << 20) == 0) << c[0] << " MB";
        ttabFreeHashTable(t);
        EXPECT_EQ(t.entries, nullptr);
    }
}

// Where the kernel has transparent huge pages, the table is marked for them
// ("hg" among its mapping's VmFlags) once backed, so it lives on 2 MB pages.
TEST(TTable, MarkedForHugePages) {
    std::string thp;
    std::getline(std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled"), thp);
    if (thp.empty() || thp.find("[never]") != thp.npos) GTEST_SKIP() << "this system offers no transparent huge pages";
    TTable t = ttabMakeHashTable(4);
    platformPrefaultWait();
    std::ifstream maps("/proc/self/smaps");
    bool inTable = false, marked = false;
    for (std::string line; std::getline(maps, line);) {
        unsigned long lo, hi;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &lo, &hi) == 2)
            inTable = lo <= uintptr_t(t.entries) && uintptr_t(t.entries) < hi;
        else if (inTable && line.rfind("VmFlags:", 0) == 0)
            marked = line.find(" hg") != line.npos;
    }
    EXPECT_TRUE(marked);
    ttabFreeHashTable(t);
}

namespace {
// The entry in slot i, and a slot rewritten as an earlier search's.
TTEntry slot(const TTable& t, int i) { return ttRead(t.entries[i]); }
void makeOld(TTSlot& s, uint8_t age) {
    TTEntry e = ttRead(s);
    e.age = age;
    std::memcpy(&s.data, &e.score, 8);
    s.check = e.key ^ s.data;
}
}  // namespace

TEST(TTable, StoreProbeAndReplacement) {
    TTable t = ttabMakeHashTable(1);
    ttabClear(t);
    ttabPut(t, key(1), 7, -120, LOWER, 0x12345);
    TTEntry e;
    ASSERT_TRUE(ttabGet(t, key(1), e));
    EXPECT_TRUE(slot(t, 0).key == key(1) && e.move == 0x2345);  // the low 16 bits
    ttAge(t);
    ttabPut(t, key(1), 2, -30, UPPER, 0);  // same key: always overwritten, the old move kept
    e = slot(t, 0);
    EXPECT_TRUE(e.depth == 2 && e.score == -30 && e.flags == UPPER && e.age == 1 && e.move == 0x2345);
    for (int v : {32501, -32501}) ttabPut(t, key(2), 5, v, EXACT, 1);  // out of range: not stored
    EXPECT_FALSE(ttabGet(t, key(2), e));
    // A slot whose two words belong to different entries matches no key.
    t.entries[0].data ^= 1;
    EXPECT_FALSE(ttabGet(t, key(1), e));

    // A full bucket: a fifth key displaces the victim, taking its move even when 0.
    struct Case { int depth[4]; bool old[4]; int victim; } cases[] = {  // old: written in an earlier search
        {{6, 3, 8, 5}, {0, 0, 0, 0}, 1}, {{6, 3, 8, 3}, {0, 0, 0, 0}, 1}, {{2, 3, 2, 5}, {0, 0, 0, 0}, 0},
        {{4, 3, 20, 5}, {0, 0, 1, 0}, 2}, {{4, 3, 20, 5}, {1, 0, 1, 0}, 0}, {{9, 3, 20, 1}, {1, 1, 1, 1}, 3},
    };
    for (const auto& c : cases) {
        ttabClear(t);
        for (int a = 0; a < 5; ++a) ttAge(t);
        for (int i = 0; i < 4; ++i) {
            ttabPut(t, key(i + 1), c.depth[i], 10 * i, EXACT, 100 + i);
            if (c.old[i]) makeOld(t.entries[i], 4);
        }
        ttabPut(t, key(9), 1, 77, LOWER, 0);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(slot(t, i).key, key(i == c.victim ? 9 : i + 1)) << c.victim;
        e = slot(t, c.victim);
        EXPECT_TRUE(e.move == 0 && e.score == 77 && e.age == 5);
    }
    for (int i = 0; i < 300; ++i) ttAge(t);
    EXPECT_EQ(t.age, (5u + 300) % 256);
    ttabClear(t);
    EXPECT_TRUE(t.age == 0 && !ttabGet(t, key(9), e));
    ttabFreeHashTable(t);
}
