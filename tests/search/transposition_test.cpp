// The transposition table: sizes, probe and store with the replacement rule,
// the bound test and the mate-score conversions.
#include <gtest/gtest.h>

#include <cstring>

#include "search/transposition.h"

namespace {

// A small table whose keys all fall in bucket 0 when their low bits are 0.
struct TableFixture : ::testing::Test {
    TTable t{};
    void SetUp() override {
        t = ttabMakeHashTable(1);
        ASSERT_NE(t.entries, nullptr);
        ttabClear(t);
    }
    void TearDown() override { ttabFreeHashTable(t); }
    uint64_t key(int i) const { return uint64_t(i) << 32; }  // same bucket, distinct keys
    TTEntry& slot(int i) { return t.entries[i]; }
};

}  // namespace

TEST(TTSize, BucketsForRequests) {
    struct Case {
        int meg;
        int32_t buckets;
    } cases[] = {{32, 524288}, {63, 1048576}, {48, 524288}, {1, 16384}, {100, 1048576}, {128, 2097152}, {64, 1048576}};
    for (auto c : cases) {
        TTable t = ttabMakeHashTable(c.meg);
        EXPECT_EQ(t.count, c.buckets) << c.meg << " MB";
        EXPECT_EQ(t.mask, c.buckets - 1);
        EXPECT_EQ(t.age, 0u);
        EXPECT_NE(t.entries, nullptr);
        ttabFreeHashTable(t);
        EXPECT_EQ(t.entries, nullptr);
    }
}

TEST(TTSize, ZeroMegabytesHoldsNothing) {
    TTable t = ttabMakeHashTable(0);
    EXPECT_EQ(t.count, 0);
    EXPECT_EQ(t.entries, nullptr);
    ttabClear(t);
    ttabPut(t, 12345, 4, 10, EXACT, 0x1c);
    EXPECT_EQ(ttabGet(t, 12345), nullptr);
    ttAge(t);
    Move line[] = {0x31c, 0};
    ttabInsertPv(t, Position{}, line);  // no table: nothing is made or stored
}

TEST_F(TableFixture, StoreAndProbe) {
    EXPECT_EQ(ttabGet(t, key(1)), nullptr);
    ttabPut(t, key(1), 7, -120, LOWER, 0x12345);
    TTEntry* e = ttabGet(t, key(1));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e, &slot(0));
    EXPECT_EQ(e->depth, 7);
    EXPECT_EQ(e->score, -120);
    EXPECT_EQ(e->flags, LOWER);
    EXPECT_EQ(e->move, 0x2345);  // the low 16 bits
    EXPECT_EQ(ttabGet(t, key(2)), nullptr);
    // The next key takes the next free slot; the same key reuses its own.
    ttabPut(t, key(2), 3, 5, EXACT, 7);
    EXPECT_EQ(ttabGet(t, key(2)), &slot(1));
    ttabPut(t, key(1), 1, 9, EXACT, 8);
    EXPECT_EQ(ttabGet(t, key(1)), &slot(0));
    EXPECT_EQ(slot(0).depth, 1);  // same key always overwrites, whatever the depth
    EXPECT_EQ(slot(2).key, 0u);
}

TEST_F(TableFixture, UpperWithoutMoveKeepsOldMove) {
    ttAge(t);
    ttabPut(t, key(1), 9, 50, EXACT, 0x0d1c);
    ttAge(t);
    ttabPut(t, key(1), 2, -30, UPPER, 0);
    const TTEntry& e = slot(0);
    EXPECT_EQ(e.move, 0x0d1c);
    EXPECT_EQ(e.score, -30);
    EXPECT_EQ(e.depth, 2);
    EXPECT_EQ(e.flags, UPPER);
    EXPECT_EQ(e.age, 2);
}

TEST_F(TableFixture, OutOfRangeScoresAreNotStored) {
    for (int s : {32501, -32501, 40000}) ttabPut(t, key(1), 5, s, EXACT, 1);
    EXPECT_EQ(ttabGet(t, key(1)), nullptr);
    for (int s : {32500, -32500}) {
        ttabPut(t, key(1), 5, s, EXACT, 1);
        ASSERT_NE(ttabGet(t, key(1)), nullptr);
        EXPECT_EQ(ttabGet(t, key(1))->score, s);
    }
}

TEST_F(TableFixture, ReplacementRule) {
    // Four entries of given depths and ages (relative to the current age 5);
    // a fifth key displaces the expected slot and takes its move even when 0.
    struct Case {
        int depth[4];
        bool old[4];  // written in an earlier search
        int victim;
    } cases[] = {
        {{6, 3, 8, 5}, {false, false, false, false}, 1},  // smallest depth of this search
        {{6, 3, 8, 3}, {false, false, false, false}, 1},  // equal depth: the lower slot
        {{2, 3, 2, 5}, {false, false, false, false}, 0},
        {{4, 3, 20, 5}, {false, false, true, false}, 2},  // an older entry goes first, deep or not
        {{4, 3, 20, 5}, {true, false, true, false}, 0},   // among old ones: smaller depth, then lower slot
        {{9, 3, 20, 1}, {true, true, true, true}, 3},
        {{9, 9, 9, 9}, {true, true, true, true}, 0},
    };
    for (const auto& c : cases) {
        ttabClear(t);
        for (int a = 0; a < 5; ++a) ttAge(t);
        for (int i = 0; i < 4; ++i) {
            ttabPut(t, key(i + 1), c.depth[i], 10 * i, EXACT, 100 + i);
            if (c.old[i]) slot(i).age = 4;
        }
        ttabPut(t, key(9), 1, 77, LOWER, 0);
        for (int i = 0; i < 4; ++i) {
            if (i == c.victim) {
                EXPECT_EQ(slot(i).key, key(9)) << "case victim " << c.victim;
                EXPECT_EQ(slot(i).move, 0);
                EXPECT_EQ(slot(i).score, 77);
                EXPECT_EQ(slot(i).age, 5);
            } else {
                EXPECT_EQ(slot(i).key, key(i + 1));
            }
        }
    }
}

TEST_F(TableFixture, ClearAndAge) {
    ttabPut(t, key(3), 4, 1, EXACT, 1);
    for (int i = 0; i < 300; ++i) ttAge(t);
    EXPECT_EQ(t.age, 300u % 256);
    ttabClear(t);
    EXPECT_EQ(t.age, 0u);
    EXPECT_EQ(ttabGet(t, key(3)), nullptr);
    for (int i = 0; i < t.count * 4; i += 997) EXPECT_EQ(t.entries[i].key, 0u);
}

TEST(TTUsable, BoundsAgainstBeta) {
    struct Case {
        int16_t score;
        int16_t depth;
        uint8_t flags;
        int wantDepth, beta, usable;
    } cases[] = {
        {100, 5, EXACT, 5, 50, 1},     {100, 5, EXACT, 5, 500, 1},   {100, 5, EXACT, 6, 50, 0},
        {100, 5, LOWER, 3, 100, 1},    {100, 5, LOWER, 3, 101, 0},   {100, 5, UPPER, 3, 101, 1},
        {100, 5, UPPER, 3, 100, 0},    {100, 5, TT_NONE, 3, 0, 0},   {-50, -99, TT_NONE, -200, 0, 0},
        {100, 4, UPPER, 5, 1000, 0},   {100, 4, LOWER, 5, -1000, 0},
    };
    for (auto c : cases) {
        TTEntry e{1, c.score, 0, c.depth, c.flags, 0};
        EXPECT_EQ(ttUsable(e, c.wantDepth, c.beta), c.usable)
            << c.score << " d" << c.depth << " f" << int(c.flags) << " vs d" << c.wantDepth << " b" << c.beta;
    }
}

TEST(TTMate, Conversions) {
    struct Case {
        int score, ply, tt;
    } cases[] = {{31990, 5, 31995}, {-31990, 5, -31995}, {31799, 5, 31799}, {31800, 5, 31805},
                 {-31800, 5, -31805}, {-31799, 5, -31799}, {0, 9, 0},        {250, 3, 250}};
    for (auto c : cases) {
        EXPECT_EQ(to_tt(c.score, c.ply), c.tt) << c.score;
        EXPECT_EQ(from_tt(c.tt, c.ply), c.score) << c.tt;
    }
    EXPECT_EQ(from_tt(31995, 5), 31990);
    EXPECT_EQ(mate_in(3), 31997);
    EXPECT_EQ(mated_in(3), -31997);
    EXPECT_EQ(is_mate_value(31800), 0);
    EXPECT_EQ(is_mate_value(-31800), 0);
    EXPECT_EQ(is_mate_value(31801), 1);
    EXPECT_EQ(is_mate_value(-31801), 1);
}

#include "board/make.h"
#include "board/zobrist.h"
#include "frontend/general.h"
#include "frontend/notation.h"

TEST(TTInsertPv, MoveOnlyEntriesAlongTheLine) {
    initStartupTables();
    initZob();
    TTable t = ttabMakeHashTable(1);
    ttabClear(t);
    ttAge(t);
    Position p, a, b;
    fenToPosition(p, "");
    const char* texts[] = {"e2e4", "e7e5", "g1f3"};
    Move line[4] = {};
    // The move words of the line, found by the move parser.
    const Position* cur = &p;
    Position* next[] = {&a, &b};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(algMake(*cur, *next[i], texts[i]), 1);
        line[i] = next[i]->lastMove;
        cur = next[i];
    }
    ttabInsertPv(t, p, line);
    for (const Position* q : {&p, &a}) {
        TTEntry* e = ttabGet(t, q->hashKey);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->depth, -99);
        EXPECT_EQ(e->flags, TT_NONE);
        EXPECT_EQ(e->score, 0);
        EXPECT_EQ(e->age, 1);
    }
    EXPECT_EQ(ttabGet(t, p.hashKey)->move, uint16_t(line[0]));
    EXPECT_EQ(ttabGet(t, a.hashKey)->move, uint16_t(line[1]));
    EXPECT_EQ(ttabGet(t, b.hashKey), nullptr);  // the line ends before the last position
    ttabFreeHashTable(t);
}
