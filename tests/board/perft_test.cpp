// Perft: the legal move-tree counts of the suite.

#include "board/chess960.h"
#include "board_support.h"

#ifdef NDEBUG
constexpr uint64_t LEAF_LIMIT = 2000000;  // every count below this is checked
#else
constexpr uint64_t LEAF_LIMIT = 200000;  // Debug builds check every record: keep them quick
#endif

TEST(Perft, SuiteCounts) {
    int checked = 0;
    for (const PerftCase& c : loadPerftSuite()) {
        Position p = fromFen(c.fen);
        for (size_t d = 0; d < c.counts.size() && c.counts[d] < LEAF_LIMIT; ++d, ++checked)
            EXPECT_EQ(legalPerft(p, int(d) + 1), c.counts[d]) << c.fen << " depth " << d + 1;
    }
    EXPECT_GT(checked, 60);
}

// Chess960 (tests/data/perft960.epd) to depth 3, the option on.
TEST(Perft, Chess960Counts) {
    chess960 = true;
    int checked = 0;
    for (const PerftCase& c : loadPerftSuite("perft960.epd")) {
        Position p = fromFen(c.fen);
        for (size_t d = 0; d < 3 && c.counts[d] < LEAF_LIMIT; ++d, ++checked)
            EXPECT_EQ(legalPerft(p, int(d) + 1), c.counts[d]) << c.fen << " depth " << d + 1;
    }
    chess960 = false;
    EXPECT_GT(checked, 250);
}
