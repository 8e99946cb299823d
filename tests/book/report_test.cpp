// The book report and book insertion, in the test process and through the
// real programs.
#include <gtest/gtest.h>

#include <fstream>

#include "book_util.h"
#include "search/search.h"
#include "support.h"

namespace {

void put(BookStore& b, const std::vector<std::string>& moves, int score, int depth = 60) {
    addBookItem(b, playLine(moves).back().hashKey, int16_t(score), uint16_t(depth), 1);
}

std::string rootReport(BookStore& b, int* best = nullptr, const char* fen = "") {
    Position p;
    fenToPosition(p, fen);
    PvLine line;
    testing::internal::CaptureStdout();
    int s = book_root_search(b, p, line);
    if (best) *best = s;
    return testing::internal::GetCapturedStdout();
}

std::string header(int size, int searched) {
    char text[80];
    std::snprintf(text, sizeof text, "   Total book size: %8d\nPositions searched: %8d\n\n", size, searched);
    return text;
}

TEST(BookReport, StartPositionOnly) {
    TestBook t;
    initBook(t.b);
    std::string dir = makeTempDir(), path = dir + "/start.book";
    ASSERT_EQ(writeBookFromMemory(t.b, path.c_str()), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(book_report(path.c_str()), -32001);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "   Total book size:        1\nPositions searched:        0\n\n");
    removeTree(dir);
}

TEST(BookReport, BackedUpScoresAndLines) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::vector<std::string>, int>> searched;
        std::vector<std::vector<std::string>> known;  // in the book, not searched
        std::string report;
        int best;
    } cases[] = {
        {"start and e4 searched", {{{}, 20}, {{"e2e4"}, -15}}, {}, "   15  e2e4 \n", 15},
        // e5 is known but unsearched: it takes no part, e4's own score counts.
        {"unsearched grandchild", {{{}, 20}, {{"e2e4"}, -15}}, {{"e2e4", "e7e5"}}, "   15  e2e4 \n", 15},
        {"searched grandchild",
         {{{}, 20}, {{"e2e4"}, -15}, {{"e2e4", "e7e5"}, 30}},
         {},
         "   30  e2e4 e7e5 \n",
         30},
        {"best of black's replies",
         {{{"e2e4"}, -15}, {{"e2e4", "e7e5"}, 30}, {{"e2e4", "c7c5"}, 12}, {{"d2d4"}, -10}},
         {},
         "   12  e2e4 c7c5 \n   10  d2d4 \n",
         12},
        {"deeper line", {{{"g1f3"}, 0}, {{"g1f3", "d7d5"}, 0}, {{"g1f3", "d7d5", "g2g3"}, 7}}, {},
         "   -7  g1f3 d7d5 g2g3 \n", -7},
        {"three root moves sorted",
         {{{"e2e4"}, -15}, {{"d2d4"}, -20}, {{"c2c4"}, 5}},
         {},
         "   20  d2d4 \n   15  e2e4 \n   -5  c2c4 \n",
         20},
    };
    for (const Case& c : cases) {
        TestBook t;
        initBook(t.b);
        for (const auto& [moves, score] : c.searched) put(t.b, moves, score);
        for (const auto& moves : c.known) put(t.b, moves, 0, 0);
        int best = 0;
        EXPECT_EQ(rootReport(t.b, &best), c.report) << c.name;
        EXPECT_EQ(best, c.best) << c.name;
        // The same backed-up value without printing.
        Position p;
        fenToPosition(p, "");
        PvLine line;
        EXPECT_EQ(book_search(t.b, p, -32001, 32001, 0, line), c.best) << c.name;
        char text[400];
        getUciPv(line, text);
        EXPECT_EQ(c.report.find(std::string("  ") + text + "\n") != std::string::npos, true) << c.name;
    }
}

TEST(BookReport, PositionWithoutLegalMoves) {
    TestBook t;
    initBook(t.b);
    const char* mated = "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3";
    put(t.b, {}, 0);
    int best = 0;
    EXPECT_EQ(rootReport(t.b, &best, mated), "");
    EXPECT_EQ(best, -32001);
    Position p;
    fenToPosition(p, mated);
    PvLine line;
    line.m[0] = 1;
    EXPECT_EQ(book_search(t.b, p, -32001, 32001, 4, line), -32001);
    EXPECT_EQ(line.m[0], 0u);
}

TEST(BookReport, RepetitionArgumentMakesADraw) {
    TestBook t;
    initBook(t.b);
    auto g = playLine({"e2e4", "e7e5", "g1f3", "g8f6", "f3g1"});
    put(t.b, {"e2e4", "e7e5", "g1f3", "g8f6", "f3g1", "f6g8"}, 50);
    PvLine line;
    EXPECT_EQ(book_search(t.b, g.back(), -32001, 32001, 4, line), 0);
    EXPECT_EQ(book_search(t.b, g.back(), -32001, 32001, 0, line), -50);
}

TEST(BookReport, ALineBackToTheStartEnds) {
    // Knights out and home again: the book holds a cycle through the start.
    TestBook t;
    initBook(t.b);
    put(t.b, {}, 10);
    put(t.b, {"g1f3"}, -10);
    put(t.b, {"g1f3", "g8f6"}, 10);
    put(t.b, {"g1f3", "g8f6", "f3g1"}, -10);
    EXPECT_EQ(rootReport(t.b), "    0  g1f3 g8f6 f3g1 f6g8 \n");
}

TEST(BookInsert, AddsEveryPositionOfTheLineOnce) {
    TestBook t;
    initBook(t.b);
    put(t.b, {"e2e4", "e7e5"}, 33);
    EXPECT_EQ(book_insert_alg(t.b, "e2e4  e7e5\tg1f3 b8c6"), 4);
    EXPECT_EQ(t.b.used, 5);
    auto g = playLine({"e2e4", "e7e5", "g1f3", "b8c6"});
    for (size_t i = 1; i < g.size(); ++i) {
        const BookRecord* r = getBookRecord(t.b, g[i]);
        EXPECT_EQ(r->used, 1);
        EXPECT_EQ(r->key, g[i].hashKey);
        EXPECT_EQ(r->depth, i == 2 ? 60 : 0);  // the searched record is kept
        EXPECT_EQ(r->score, i == 2 ? 33 : 0);
    }
    EXPECT_EQ(book_insert_alg(t.b, "E2E4 e7e5"), 2);
    EXPECT_EQ(t.b.used, 5);
    EXPECT_EQ(book_insert_alg(t.b, ""), 0);
}

TEST(BookInsert, StopsAtAMoveThatIsNotLegal) {
    struct Case {
        const char* line;
        int played;
    } cases[] = {{"e2e4 e7e5 e1e3", 2}, {"e2e4 f7f6 d1h5 e8f7", 3}, {"e2e5", 0}, {"e2e4 hello", 1}};
    for (const Case& c : cases) {
        TestBook t;
        initBook(t.b);
        testing::internal::CaptureStderr();
        EXPECT_EQ(book_insert_alg(t.b, c.line), c.played) << c.line;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("not a legal move"), std::string::npos);
        EXPECT_EQ(t.b.used, 1 + c.played) << c.line;
    }
}

// The engine's -report switch reads zarv.book in the current directory.
TEST(BookReportProgram, EngineReportSwitch) {
    bookTestInit();
    std::string dir = makeTempDir();
    RunResult none = runProgram({ZARV_BIN, "-report"}, "", 30, dir);
    EXPECT_EQ(none.status, 255);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "Zarv Version 1.3\n");

    TestBook t;
    initBook(t.b);
    put(t.b, {}, 20);
    put(t.b, {"e2e4"}, -15);
    put(t.b, {"d2d4"}, -12);
    put(t.b, {"d2d4", "d7d5"}, 0, 0);
    ASSERT_EQ(writeBookFromMemory(t.b, (dir + "/zarv.book").c_str()), 0);
    RunResult r = runProgram({ZARV_BIN, "-report"}, "", 30, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, header(4, 3) + "   15  e2e4 \n   12  d2d4 \n");
    EXPECT_EQ(r.err, "Zarv Version 1.3\n");

    std::ofstream(dir + "/zarv.book", std::ios::binary | std::ios::trunc) << std::string(40, 'x');
    RunResult bad = runProgram({ZARV_BIN, "-report"}, "", 30, dir);
    EXPECT_EQ(bad.status, 255);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("\"zarv.book\""), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("16 times a power of two"), std::string::npos) << bad.err;

    std::ofstream(dir + "/zarv.book", std::ios::binary | std::ios::trunc);
    RunResult empty = runProgram({ZARV_BIN, "-report"}, "", 30, dir);
    EXPECT_EQ(empty.status, 255);
    EXPECT_EQ(empty.err, "Zarv Version 1.3\n");
    removeTree(dir);
}

TEST(BookReportProgram, DevInsertThenReport) {
    std::string dir = makeTempDir(), path = dir + "/new.book";
    RunResult ins = runProgram({ZARV_DEV_BIN, "book", "insert", path, "e2e4", "e7e5"}, "");
    EXPECT_EQ(ins.status, 0) << ins.err;
    EXPECT_EQ(ins.out, "2 of 2 moves played, 2 new positions, 3 in the book\n");
    RunResult bad = runProgram({ZARV_DEV_BIN, "book", "insert", path, "e2e4", "e2e4"}, "");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "1 of 2 moves played, 0 new positions, 3 in the book\n");
    RunResult rep = runProgram({ZARV_DEV_BIN, "book", "report", path}, "");
    EXPECT_EQ(rep.status, 0);
    EXPECT_EQ(rep.out, header(3, 0));
    RunResult missing = runProgram({ZARV_DEV_BIN, "book", "report", dir + "/nothing.book"}, "");
    EXPECT_EQ(missing.status, 255);
    EXPECT_NE(missing.err.find("nothing.book"), std::string::npos);
    RunResult usage = runProgram({ZARV_DEV_BIN, "book", "study", path, "--effort", "0"}, "");
    EXPECT_EQ(usage.status, 2);
    removeTree(dir);
}

}  // namespace
