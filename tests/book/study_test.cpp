// The book study: what a study search leaves in the book, and the ply limit.
#include <unistd.h>

#include "book_util.h"
#include "search/transposition.h"

namespace {

PvLine lineOf(const Line& moves) {
    PvLine l{};
    for (size_t i = 0; i < moves.size(); ++i) l.m[i] = playLine({moves[i]})[1].lastMove;
    return l;
}

TEST(BookStudyResult, ScoreDecidesWhetherCandidatesAreAdded) {
    struct Case { int score; Line cands, best, added; } cases[] = {
        {200, {"e2e4", "d2d4"}, {"e2e4"}, {"e2e4"}}, {131, {"d2d4"}, {"e2e4"}, {"e2e4"}},
        {-131, {"d2d4"}, {"e2e4"}, {"e2e4"}}, {130, {"d2d4"}, {"e2e4"}, {"e2e4", "d2d4"}},
        {-130, {"d2d4"}, {"e2e4"}, {"e2e4", "d2d4"}},
        // A candidate equal to the best move adds nothing new.
        {100, {"e2e4", "d2d4", "g1f3"}, {"e2e4"}, {"e2e4", "d2d4", "g1f3"}},
        // Only the first four candidates count.
        {0, {"a2a3", "b2b3", "c2c3", "d2d3", "e2e3"}, {"g2g3"}, {"g2g3", "a2a3", "b2b3", "c2c3", "d2d3"}},
        {0, {}, {}, {}},  // mate or stalemate: only the score is kept
    };
    for (const Case& c : cases) {
        TestBook t;
        put(t.b, {"d2d4"}, 7);  // a searched child stays as it is
        Position start = playLine({})[0];
        bookAddResult(t.b, start, c.score, lineOf(c.cands), lineOf(c.best));
        bool d4 = std::find(c.added.begin(), c.added.end(), "d2d4") != c.added.end();
        EXPECT_EQ(t.b.used, int(c.added.size()) + 2 - d4) << c.score;
        EXPECT_TRUE(getBookRecord(t.b, start)->score == c.score && getBookRecord(t.b, start)->depth == bookEffort);
        for (const auto& m : c.added) EXPECT_EQ(getBookRecord(t.b, playLine({m})[1])->depth, m == "d2d4" ? 60 : 0);
    }
}

// The search serves standard input while it runs: give it a pipe that never
// delivers, as zarv-dev does.
TEST(BookStudy, PlyLimitOneSearchesOnlyTheStart) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ::dup2(fds[0], 0);
    if (!hashtable.entries) hashtable = ttabMakeHashTable(16);
    bookEffort = 1;
    TestBook t;
    Position start = playLine({})[0];
    testing::internal::CaptureStdout();
    EXPECT_EQ(book_study(t.b, start, 1), 1);
    EXPECT_EQ(book_study(t.b, start, 1), 0);
    EXPECT_EQ(book_study(t.b, playLine({"e2e4"})[1], 1), 0);  // already at the limit
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "search: \n");
    EXPECT_EQ(getBookRecord(t.b, start)->depth, 1);
    std::string added;  // the best move and the near-best candidates
    for (const char* m : {"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3", "d2d4", "e2e3", "e2e4", "f2f3",
                          "f2f4", "g2g3", "g2g4", "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3"})
        if (const BookRecord* r = getBookRecord(t.b, playLine({m})[1]); r && r->used) added += std::string(m) + " ";
    EXPECT_EQ(added, "e2e3 g2g3 g1f3 ") << t.b.used;
}

}  // namespace
