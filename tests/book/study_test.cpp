// The book study: what a study search leaves in the book, and the ply limit.
#include <unistd.h>

#include "book_util.h"
#include "board/make.h"
#include "search/transposition.h"

namespace {

PvLine lineOf(const Line& moves) {
    PvLine l{};
    for (size_t i = 0; i < moves.size(); ++i) l.m[i] = playLine({moves[i]})[1].lastMove;
    return l;
}

// What a study search's result adds to the book (tests/data/study.txt).
TEST(BookStudyResult, ScoreDecidesWhetherCandidatesAreAdded) {
    for (const auto& c : readTable("study.txt")) {  // score | candidates | best line | moves whose positions are in the book
        TestBook t;
        put(t.b, {"d2d4"}, 7);  // a searched child stays as it is
        const int score = std::stoi(c[0]);
        put(t.b, {}, score + 1, bookEffort);  // studied before at this effort: the new result replaces it
        Position start = playLine({})[0];
        bookAddResult(t.b, start, score, lineOf(words(c[1])), lineOf(words(c[2])));
        const Line added = words(c[3]);
        const bool d4 = std::find(added.begin(), added.end(), "d2d4") != added.end();
        EXPECT_EQ(t.b.used, int(added.size()) + 2 - d4) << c[0];
        EXPECT_TRUE(getBookRecord(t.b, start)->score == score && getBookRecord(t.b, start)->depth == bookEffort);
        for (const auto& m : added) EXPECT_EQ(getBookRecord(t.b, playLine({m})[1])->depth, m == "d2d4" ? 60 : 0);
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
    EXPECT_EQ(std::pair(int(getBookRecord(t.b, start)->depth), int(getBookRecord(t.b, start)->score)), std::pair(1, 24));  // the score of 600,000 nodes
    std::string added;  // the best move and the near-best candidates
    for (const char* m : {"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3", "d2d4", "e2e3", "e2e4", "f2f3",
                          "f2f4", "g2g3", "g2g4", "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3"})
        if (const BookRecord* r = getBookRecord(t.b, playLine({m})[1]); r && r->used) added += std::string(m) + " ";
    EXPECT_EQ(added, "e2e3 g2g3 g1f3 ") << t.b.used;
    bookEffort = 0;  // one depth: a child of the start next, its path printed
    testing::internal::CaptureStdout();
    EXPECT_EQ(book_study(t.b, start, 2), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "search: g1f3  \n");
}

// The candidates' search extends a passed pawn's step, as the engine's root
// does: effort 0 ends the study search after its first depth, here pinned.
TEST(BookStudy, CandidateSearchExtendsAPassedPawn) {
    if (!hashtable.entries) hashtable = ttabMakeHashTable(16);
    ttabClear(hashtable);
    learned = {};
    Position p = playLine({}, "r3k3/8/8/3P4/8/8/8/R3K3 w - - 0 1")[0];
    PvLine cands;
    const int score = bookBeginSearch(p, 0, 1, cands);
    EXPECT_EQ(std::pair(score, nodecount), std::pair(431, uint64_t(62)));
}

}  // namespace
