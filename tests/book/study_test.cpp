// The book study: what a study search leaves in the book, the ply limit, the
// candidate search, and an interrupted study through zarv-dev.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <set>

#include "board/attacks.h"
#include "board/make.h"
#include "book_util.h"
#include "frontend/interface.h"
#include "search/search.h"
#include "search/transposition.h"
#include "support.h"

namespace {

// The search serves standard input while it runs; give it a pipe that never
// delivers, as zarv-dev does, and a small transposition table.
void studySetup() {
    bookTestInit();
    static bool done = false;
    if (done) return;
    done = true;
    int fds[2];
    if (::pipe(fds) == 0) ::dup2(fds[0], 0);
    if (!hashtable.entries) hashtable = ttabMakeHashTable(16);
    bookEffort = 1;
}

Move moveOf(const Position& p, const char* text) {
    Position child;
    EXPECT_TRUE(algMake(p, child, text)) << text;
    return child.lastMove;
}

PvLine lineOf(const Position& p, const std::vector<const char*>& moves) {
    PvLine l{};
    for (size_t i = 0; i < moves.size(); ++i) l.m[i] = moveOf(p, moves[i]);
    return l;
}

uint64_t childKey(const Position& p, const char* text) {
    Position child;
    algMake(p, child, text);
    return child.hashKey;
}

TEST(BookStudyResult, ScoreDecidesWhetherCandidatesAreAdded) {
    struct Case {
        int score;
        std::vector<const char*> cands, best, added;
    } cases[] = {
        {200, {"e2e4", "d2d4"}, {"e2e4"}, {"e2e4"}},
        {131, {"d2d4", "c2c4"}, {"e2e4"}, {"e2e4"}},
        {-131, {"d2d4", "c2c4"}, {"e2e4"}, {"e2e4"}},
        // A candidate equal to the best move adds nothing new.
        {100, {"e2e4", "d2d4", "g1f3"}, {"e2e4"}, {"e2e4", "d2d4", "g1f3"}},
        {130, {"d2d4"}, {"e2e4"}, {"e2e4", "d2d4"}},
        {-130, {"d2d4"}, {"e2e4"}, {"e2e4", "d2d4"}},
        // Only the first four candidates count.
        {0, {"a2a3", "b2b3", "c2c3", "d2d3", "e2e3", "f2f3"}, {"g2g3"},
         {"g2g3", "a2a3", "b2b3", "c2c3", "d2d3"}},
        // No best move (mate or stalemate): only the score is kept.
        {0, {}, {}, {}},
    };
    for (const Case& c : cases) {
        TestBook t;
        initBook(t.b);
        Position start = playLine({})[0];
        bookAddResult(t.b, start, c.score, lineOf(start, c.cands), lineOf(start, c.best));
        EXPECT_EQ(t.b.used, int(1 + c.added.size())) << c.score;
        const BookRecord* r = getBookRecord(t.b, start);
        EXPECT_EQ(r->score, c.score);
        EXPECT_EQ(r->depth, bookEffort);
        for (const char* m : c.added) {
            const BookRecord* a = bookProbe(t.b, childKey(start, m));
            EXPECT_EQ(a->used, 1) << m;
            EXPECT_EQ(a->depth, 0) << m;
        }
    }
}

TEST(BookStudyResult, SearchedChildrenAreKept) {
    TestBook t;
    initBook(t.b);
    Position start = playLine({})[0];
    addBookItem(t.b, childKey(start, "e2e4"), -25, 60, 1);
    bookAddResult(t.b, start, 10, lineOf(start, {"d2d4", "e2e4"}), lineOf(start, {"e2e4"}));
    EXPECT_EQ(t.b.used, 3);
    const BookRecord* r = bookProbe(t.b, childKey(start, "e2e4"));
    EXPECT_EQ(r->score, -25);
    EXPECT_EQ(r->depth, 60);
}

TEST(BookStudy, PlyLimitOneSearchesOnlyTheStart) {
    studySetup();
    TestBook t;
    initBook(t.b);
    Position start = playLine({})[0];
    testing::internal::CaptureStdout();
    EXPECT_EQ(book_study(t.b, start, 1), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "search: \n");
    const BookRecord* r = getBookRecord(t.b, start);
    EXPECT_EQ(r->depth, 1);
    EXPECT_LE(std::abs(r->score), 130);
    // The best move's position and the candidates' are known, not searched.
    EXPECT_GE(t.b.used, 2);
    EXPECT_LE(t.b.used, 6);
    int searched = 0;
    for (int i = 0; i < t.b.count; ++i) searched += t.b.entries[i].used && t.b.entries[i].depth;
    EXPECT_EQ(searched, 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(book_study(t.b, start, 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    // A position at the ply limit is never searched.
    auto g = playLine({"e2e4"});
    EXPECT_EQ(book_study(t.b, g[1], 1), 0);
}

TEST(BookStudy, LopsidedPositionAddsOnlyTheBestMove) {
    studySetup();
    TestBook t;
    initBook(t.b);
    // White is a queen up.
    auto g = playLine({}, "4k3/pppp4/8/8/8/8/PPPP4/3QK3 w - - 0 1");
    testing::internal::CaptureStdout();
    EXPECT_EQ(book_study(t.b, g[0], 5), 1);
    testing::internal::GetCapturedStdout();
    const BookRecord* r = getBookRecord(t.b, g[0]);
    EXPECT_GT(r->score, 130);
    EXPECT_EQ(t.b.used, 3);  // the start position, this one and its best move's
}

TEST(BookStudy, CandidatesAreLegalDistinctAndFew) {
    studySetup();
    struct Case {
        const char* fen;
    } cases[] = {{""}, {"r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"}};
    for (const Case& c : cases) {
        Position p = playLine({}, c.fen)[0];
        PvLine cands;
        bookBeginSearch(p, 1, 1, cands);
        std::set<Move> seen;
        int n = 0;
        for (; n < 64 && cands.m[n]; ++n) {
            Position child;
            make(p, child, cands.m[n]);
            EXPECT_FALSE(fasterInCheck(child, sideToMove(p)));
            EXPECT_TRUE(seen.insert(cands.m[n]).second);
        }
        EXPECT_LE(n, 8);
        EXPECT_EQ(INFO_OFF, 0);  // restored for UCI play
    }
}

TEST(BookStudy, MateEndsTheSearchAtOnce) {
    studySetup();
    struct Case {
        const char* fen;
        const char* mate;
        int score;
    } cases[] = {{"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "a1a8", 31999},
                 {"r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", "a8a1", 31999}};
    for (const Case& c : cases) {
        Position p = playLine({}, c.fen)[0];
        PvLine best;
        EXPECT_EQ(bookBeginSearch(p, 1000, 0, best), c.score) << c.fen;
        char text[8];
        alg(best.m[0], text);
        EXPECT_STREQ(text, c.mate);
        EXPECT_LT(nodecount, 600000u);  // far short of the budget
    }
    // Mated and stalemated roots.
    Position mated = playLine({}, "R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1")[0];
    Position stale = playLine({}, "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1")[0];
    PvLine out;
    EXPECT_EQ(bookBeginSearch(mated, 1, 1, out), -32000);
    EXPECT_EQ(out.m[0], 0u);
    EXPECT_EQ(bookBeginSearch(stale, 1, 1, out), 0);
}

// A study stopped with SIGKILL at any point leaves a readable book holding
// every search that had finished.
TEST(BookStudyProgram, KilledStudyLeavesItsBook) {
    std::string dir = makeTempDir(), path = dir + "/s.book";
    Proc p = startProc({ZARV_DEV_BIN, "book", "study", path, "--effort", "1"});
    EXPECT_EQ(waitForLine(p, "search: ", 60), "search: ");
    // The next search starts only after the start position's result is on disk.
    std::string next = waitForLine(p, "search: ", 120);
    ASSERT_NE(next, "<timeout>");
    ::kill(p.pid, SIGKILL);
    waitExit(p, 10);
    EXPECT_NE(p.errBuf.find("starting a new book"), std::string::npos);
    TestBook t;
    ASSERT_EQ(bookLoad(t.b, path.c_str()), BOOK_OK);
    EXPECT_EQ(t.b.count, 1 << 20);
    const BookRecord* r = getBookRecord(t.b, playLine({})[0]);
    EXPECT_EQ(r->depth, 1);
    EXPECT_GE(t.b.used, 2);
    // The position being searched when the study died is known, unsearched.
    std::vector<std::string> moves;
    for (size_t at = 8; at < next.size(); at += 6) {
        std::string m = next.substr(at, 6);
        m.erase(m.find_last_not_of(' ') + 1);
        moves.push_back(m);
    }
    ASSERT_EQ(moves.size(), 1u) << next;
    const BookRecord* c = getBookRecord(t.b, playLine(moves).back());
    EXPECT_EQ(c->used, 1);
    EXPECT_EQ(c->depth, 0);
    removeTree(dir);
}

}  // namespace
