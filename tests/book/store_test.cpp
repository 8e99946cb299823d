// The book store: probing, replacement, the fill limit, the file and brep.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <iterator>

#include "book_util.h"
#include "support.h"

namespace {

uint64_t startKey() { return playLine({})[0].hashKey; }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(BookStore, FreshStoreHoldsOnlyTheStartPosition) {
    TestBook t;
    initBook(t.b);
    ASSERT_EQ(t.b.count, 1 << 20);
    EXPECT_EQ(t.b.mask, (1 << 20) - 1);
    int used = 0;
    for (int i = 0; i < t.b.count; ++i) used += t.b.entries[i].used;
    EXPECT_EQ(used, 1);
    EXPECT_EQ(t.b.used, 1);
    const BookRecord& r = t.b.entries[startKey() & uint64_t(t.b.mask)];
    EXPECT_EQ(r.key, startKey());
    EXPECT_EQ(r.score, 0);
    EXPECT_EQ(r.depth, 0);
    EXPECT_EQ(r.used, 1);
    EXPECT_EQ(r.reserved, 0);
}

TEST(BookStore, DeeperSearchesWin) {
    struct Case {
        uint16_t oldDepth, newDepth;
        bool replaced;
    } cases[] = {{0, 60, true}, {60, 0, false}, {60, 60, true}, {61, 60, false}, {5, 6, true}};
    for (const Case& c : cases) {
        TestBook t;
        initBook(t.b);
        const uint64_t key = 0x123456789abcdef0ULL;
        addBookItem(t.b, key, 11, c.oldDepth, 1);
        addBookItem(t.b, key, -22, c.newDepth, 1);
        const BookRecord* r = bookProbe(t.b, key);
        EXPECT_EQ(r->key, key);
        EXPECT_EQ(r->score, c.replaced ? -22 : 11) << c.oldDepth << " -> " << c.newDepth;
        EXPECT_EQ(r->depth, c.replaced ? c.newDepth : c.oldDepth);
        EXPECT_EQ(t.b.used, 2);
    }
}

TEST(BookStore, CollidingKeysTakeTheNextSlotAndWrap) {
    const uint64_t high = uint64_t(1) << 20;
    for (uint64_t low : {uint64_t(0x12345), uint64_t((1 << 20) - 1)}) {
        TestBook t;
        initBook(t.b);
        if ((startKey() & uint64_t(t.b.mask)) == low || (startKey() & uint64_t(t.b.mask)) == ((low + 1) & t.b.mask))
            continue;
        const uint64_t k1 = 0xabc00000000000ULL | low, k2 = k1 + high, k3 = k1 + 2 * high;
        addBookItem(t.b, k1, 1, 1, 1);
        addBookItem(t.b, k2, 2, 2, 1);
        const int32_t s1 = int32_t(low), s2 = (s1 + 1) & t.b.mask;
        EXPECT_EQ(t.b.entries[s1].key, k1);
        EXPECT_EQ(t.b.entries[s2].key, k2) << "slot " << s2;
        EXPECT_EQ(bookProbe(t.b, k1)->score, 1);
        EXPECT_EQ(bookProbe(t.b, k2)->score, 2);
        // An absent key of the same slot ends at the first empty slot after both.
        BookRecord* r = bookProbe(t.b, k3);
        EXPECT_EQ(r->used, 0);
        EXPECT_EQ(r - t.b.entries, (s1 + 2) & t.b.mask);
    }
}

TEST(BookStore, NewPositionsStopAtFifteenSixteenths) {
    TestBook t;
    initBook(t.b);
    const int32_t limit = t.b.count / 16 * 15;
    // Keys that fill slot after slot; the start position is one of the used.
    for (uint64_t k = 1; t.b.used < limit; ++k) addBookItem(t.b, k | 0x8000000000000000ULL, 1, 0, 1);
    EXPECT_EQ(t.b.used, limit);
    EXPECT_FALSE(bookHasRoom(t.b));
    const uint64_t fresh = 0x7777777777777777ULL;
    addBookItem(t.b, fresh, 5, 60, 1);
    EXPECT_EQ(bookProbe(t.b, fresh)->used, 0);
    EXPECT_EQ(bookPut(t.b, bookProbe(t.b, fresh), fresh, 5, 60), 0);
    EXPECT_EQ(t.b.used, limit);
    // Positions already in the book still take their search results.
    addBookItem(t.b, startKey(), 42, 60, 1);
    EXPECT_EQ(bookProbe(t.b, startKey())->score, 42);
    EXPECT_EQ(bookProbe(t.b, startKey())->depth, 60);
    int empty = 0;
    for (int i = 0; i < t.b.count; ++i) empty += !t.b.entries[i].used;
    EXPECT_EQ(empty, t.b.count / 16);
}

TEST(BookStore, ProbingEndsInATableWithoutEmptySlots) {
    // Such a table can only come from a file another program wrote.
    TestBook t;
    std::string dir = makeTempDir(), path = dir + "/full.book";
    std::string bytes(4 * 16, '\0');
    for (int i = 0; i < 4; ++i) {
        bytes[size_t(i) * 16] = char(i);
        bytes[size_t(i) * 16 + 12] = 1;
    }
    writeFile(path, bytes);
    ASSERT_EQ(bookLoad(t.b, path.c_str()), BOOK_OK);
    EXPECT_EQ(t.b.used, 4);
    EXPECT_EQ(bookProbe(t.b, 2)->key, 2u);
    BookRecord* none = bookProbe(t.b, 99);
    EXPECT_EQ(none->used, 0);
    EXPECT_EQ(bookPut(t.b, none, 99, 1, 1), 0);
    removeTree(dir);
}

TEST(BookFile, WriteThenLoadIsByteIdentical) {
    TestBook t, back;
    initBook(t.b);
    const uint64_t key = 0x0102030405060708ULL;
    addBookItem(t.b, key, -15, 60, 1);
    addBookItem(t.b, 0xfffffffffff00000ULL, 32000, 7, 1);
    std::string dir = makeTempDir(), path = dir + "/my.book";
    writeFile(path, "an older book");
    ASSERT_EQ(writeBookFromMemory(t.b, path.c_str()), 0);
    std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 16777216u);
    EXPECT_FALSE(std::ifstream(path + "_tmpX").good());
    // Little-endian fields at their offsets.
    const size_t at = size_t(key & uint64_t(t.b.mask)) * 16;
    const unsigned char want[16] = {8, 7, 6, 5, 4, 3, 2, 1, 0xf1, 0xff, 60, 0, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data() + at, want, 16), 0);

    ASSERT_EQ(bookLoad(back.b, path.c_str()), BOOK_OK);
    EXPECT_EQ(back.b.count, t.b.count);
    EXPECT_EQ(back.b.mask, t.b.mask);
    EXPECT_EQ(back.b.used, 3);
    EXPECT_EQ(std::memcmp(back.b.entries, t.b.entries, size_t(t.b.count) * 16), 0);
    removeTree(dir);
}

TEST(BookFile, FailedWriteKeepsTheOldBook) {
    TestBook t;
    initBook(t.b);
    std::string dir = makeTempDir();
    // The temporary file cannot be created inside a missing directory.
    testing::internal::CaptureStderr();
    EXPECT_NE(writeBookFromMemory(t.b, (dir + "/none/x.book").c_str()), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("none/x.book_tmpX"), std::string::npos);
    // A directory in the way of the rename: the book name stays what it was.
    std::string path = dir + "/d.book";
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    writeFile(path + "/keep", "x");
    testing::internal::CaptureStderr();
    EXPECT_NE(writeBookFromMemory(t.b, path.c_str()), 0);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile(path + "/keep"), "x");
    removeTree(dir);
}

TEST(BookFile, LengthsThatAreRefused) {
    struct Case {
        size_t bytes;
        int result;
        bool message;
    } cases[] = {{0, BOOK_MISSING, false}, {100, BOOK_BAD_SIZE, true}, {48, BOOK_BAD_SIZE, true},
                 {17, BOOK_BAD_SIZE, true}, {32, BOOK_OK, false},     {16, BOOK_OK, false}};
    std::string dir = makeTempDir();
    for (const Case& c : cases) {
        TestBook t;
        std::string path = dir + "/b" + std::to_string(c.bytes);
        writeFile(path, std::string(c.bytes, '\0'));
        testing::internal::CaptureStderr();
        EXPECT_EQ(bookLoad(t.b, path.c_str()), c.result) << c.bytes;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.find(path) != std::string::npos, c.message) << err;
        if (c.result == BOOK_OK) {
            EXPECT_EQ(t.b.count, int32_t(c.bytes / 16));
        }
    }
    TestBook t;
    testing::internal::CaptureStderr();
    EXPECT_EQ(bookLoad(t.b, (dir + "/missing").c_str()), BOOK_MISSING);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    removeTree(dir);
}

TEST(BookRepetition, FourPliesBackButNotThreeNorPastANullMove) {
    auto g = playLine({"e2e4", "e7e5", "g1f3", "g8f6", "f3g1", "f6g8"});
    const Position& p = g.back();
    ASSERT_EQ(p.hashKey, g[2].hashKey);
    EXPECT_EQ(brep(p, 4), 1);
    EXPECT_EQ(brep(p, 3), 0);
    EXPECT_EQ(brep(p, 40), 1);
    EXPECT_EQ(brep(p, 0), 0);
    // Two plies back is the nearest a repetition can be.
    auto h = playLine({"e2e4", "e7e5", "g1f3", "b8c6", "f3g1", "c6b8", "g1f3"});
    EXPECT_EQ(brep(h.back(), 4), 1);
    EXPECT_EQ(brep(h.back(), 3), 0);

    auto n = playLine({"e2e4", "e7e5", "g1f3", "null", "f3g1", "null"});
    ASSERT_EQ(n.back().hashKey, n[2].hashKey);
    EXPECT_EQ(brep(n.back(), 40), 0);
    // The set-up position itself is never compared.
    auto s = playLine({"g1f3", "g8f6", "f3g1", "f6g8"});
    ASSERT_EQ(s.back().hashKey, s[0].hashKey);
    EXPECT_EQ(brep(s.back(), 40), 0);
}

}  // namespace
