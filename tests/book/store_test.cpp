// The book store: probing, replacement, the fill limit, and the file.
#include <cstring>

#include "book_util.h"

namespace {

uint64_t startKey() { return playLine({})[0].hashKey; }

TEST(BookStore, FreshStoreAndDeeperSearchesWin) {
    const int cases[][3] = {{0, 60, 1}, {60, 0, 0}, {60, 60, 1}, {61, 60, 0}};  // old, new, replaced
    for (const auto& c : cases) {
        TestBook t;
        int used = 0;
        for (int i = 0; i < t.b.count; ++i) used += t.b.entries[i].used;
        const BookRecord& r = t.b.entries[startKey() & uint64_t(t.b.mask)];
        EXPECT_TRUE(used == 1 && r.key == startKey() && r.score == 0 && r.depth == 0 && r.used && !r.reserved);
        addBookItem(t.b, 77, 11, uint16_t(c[0]), 1);
        addBookItem(t.b, 77, -22, uint16_t(c[1]), 1);
        EXPECT_EQ(bookProbe(t.b, 77)->score, c[2] ? -22 : 11) << c[0] << " -> " << c[1];
    }
}

TEST(BookStore, CollidingKeysTakeTheNextSlotAndWrap) {
    for (int32_t low : {0x12345, (1 << 20) - 1}) {
        TestBook t;
        const uint64_t k1 = 0xabc00000000000ULL | uint64_t(low), step = uint64_t(1) << 20;
        addBookItem(t.b, k1, 1, 1, 1);
        addBookItem(t.b, k1 + step, 2, 2, 1);
        EXPECT_EQ(std::tuple(t.b.entries[low].key, t.b.entries[(low + 1) & t.b.mask].key, bookProbe(t.b, k1 + step)->score),
                  std::tuple(k1, k1 + step, int16_t(2)));
        EXPECT_EQ(bookProbe(t.b, k1 + 2 * step) - t.b.entries, (low + 2) & t.b.mask);  // absent: next empty
    }
}

TEST(BookStore, NewPositionsStopAtFifteenSixteenths) {
    TestBook t;
    const int32_t limit = t.b.count / 16 * 15;
    for (uint64_t k = 1; t.b.used < limit; ++k) addBookItem(t.b, k | 1ULL << 63, 1, 0, 1);
    addBookItem(t.b, 0x777777, 5, 60, 1);
    EXPECT_TRUE(bookProbe(t.b, 0x777777)->used == 0 && t.b.used == limit);
    addBookItem(t.b, startKey(), 42, 60, 1);  // positions in the book still update
    EXPECT_EQ(bookProbe(t.b, startKey())->score, 42);
    // The limit rounds the free sixteenth up: a book of one record has no room.
    const int32_t room[][3] = {{1, 0, 0}, {2, 0, 1}, {2, 1, 0}, {32, 29, 1}, {32, 30, 0}};  // count, used, room
    for (const auto& r : room) EXPECT_EQ(bookHasRoom(BookStore{r[0], 0, nullptr, r[1]}), r[2] != 0) << r[0] << " " << r[1];
}

TEST(BookFile, WriteThenLoadIsByteIdentical) {
    TestBook t, back(false);
    const uint64_t key = 0x0102030405060708ULL;
    addBookItem(t.b, key, -15, 60, 1);
    const TempDir tmp;
    const std::string dir = tmp.path, path = dir + "/my.book";
    std::ofstream(path) << "an older book";
    ASSERT_EQ(writeBookFromMemory(t.b, path.c_str()), 0);
    const std::string bytes = readText(path);
    ASSERT_EQ(bytes.size(), 16777216u);
    EXPECT_FALSE(std::ifstream(path + "_tmpX").good());
    const unsigned char want[16] = {8, 7, 6, 5, 4, 3, 2, 1, 0xf1, 0xff, 60, 0, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data() + (key & uint64_t(t.b.mask)) * 16, want, 16), 0);
    ASSERT_EQ(bookLoad(back.b, path.c_str()), BOOK_OK);
    EXPECT_EQ(std::memcmp(back.b.entries, t.b.entries, bytes.size()), 0);
    EXPECT_EQ(back.b.used, 2);  // the start and the key: the fill limit counts them
}

// A write that fails says so and leaves whatever stands under the name.
TEST(BookFile, FailedWritesAreReported) {
    TestBook t;
    const TempDir tmp;
    const std::string dir = tmp.path;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(writeBookFromMemory(t.b, (dir + "/no such dir/my.book").c_str()), -1);
    const std::string taken = dir + "/taken";  // a directory with a file in it: no rename onto it
    ASSERT_EQ(std::system(("mkdir '" + taken + "' && touch '" + taken + "/x'").c_str()), 0);
    EXPECT_EQ(writeBookFromMemory(t.b, taken.c_str()), -1);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("Cannot write book file \"" + dir + "/no such dir/my.book_tmpX\": "), 0u) << err;
    EXPECT_NE(err.find("Cannot replace book file \"" + taken + "\" with \"" + taken + "_tmpX\": "), err.npos) << err;
    EXPECT_TRUE(std::ifstream(taken + "/x").good());
}

}  // namespace
