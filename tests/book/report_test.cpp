// The book report and book insertion, in the test process and through the
// engine's -report switch.
#include "book_util.h"

TEST(BookReport, BackedUpScoresAndLines) {
    struct Case {  // known: in the book, not searched
        std::vector<std::pair<Line, int>> searched;
        Line known;
        std::string report;
        const char* fen = "";
    } cases[] = {
        {{}, {}, "", "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3"},  // mated
        {{{{}, 20}, {{"e2e4"}, -15}}, {}, "   15  e2e4 \n"},
        // A child without searched children contributes its own score.
        {{{{}, 20}, {{"e2e4"}, -15}}, {"e2e4", "e7e5"}, "   15  e2e4 \n"},
        {{{{"e2e4"}, -15}, {{"e2e4", "e7e5"}, 30}, {{"e2e4", "c7c5"}, 12}, {{"d2d4"}, -10}}, {},
         "   12  e2e4 c7c5 \n   10  d2d4 \n"},
        {{{{"e2e4"}, -15}, {{"d2d4"}, -20}, {{"c2c4"}, 5}}, {}, "   20  d2d4 \n   15  e2e4 \n   -5  c2c4 \n"},
        // Knights out and home again: a cycle through the start is a draw.
        {{{{}, 10}, {{"g1f3"}, -10}, {{"g1f3", "g8f6"}, 10}, {{"g1f3", "g8f6", "f3g1"}, -10}}, {},
         "    0  g1f3 g8f6 f3g1 f6g8 \n"},
    };
    for (const Case& c : cases) {
        TestBook t;
        for (const auto& [moves, score] : c.searched) put(t.b, moves, score);
        put(t.b, c.known, 0, 0);
        Position p = playLine({}, c.fen)[0];
        PvLine line;
        testing::internal::CaptureStdout();
        book_root_search(t.b, p, line);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.report);
    }
}

TEST(BookInsert, AddsTheLineAndStopsAtAMoveThatIsNotLegal) {
    const std::pair<const char*, int> cases[] = {
        {"e2e4  e7e5\tg1f3", 3}, {"e2e4 e7e5 e1e3", 2}, {"e2e4 f7f6 d1h5 e8f7", 3} /* into check */, {"", 0}};
    for (const auto& [text, played] : cases) {
        TestBook t;
        put(t.b, {"e2e4"}, 33);
        testing::internal::CaptureStderr();
        EXPECT_EQ(book_insert_alg(t.b, text), played) << text;
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(t.b.used, std::max(played, 1) + 1);  // start and e4 were there
        EXPECT_EQ(getBookRecord(t.b, playLine({"e2e4"}).back())->score, 33);  // searched: kept
    }
}

TEST(BookReportProgram, EngineReportSwitch) {
    const TempDir tmp;
    const std::string dir = tmp.path, banner = "Zarv Version 1.3\n";
    RunResult none = runProgram({ZARV_BIN, "-report"}, "", 30, dir);
    EXPECT_TRUE(none.status == 255 && none.out.empty() && none.err == banner);
    TestBook t;
    ASSERT_EQ(writeBookFromMemory(t.b, (dir + "/zarv.book").c_str()), 0);
    for (auto [moves, score] : {std::pair(Line{}, 20), std::pair(Line{"e2e4"}, -15), std::pair(Line{"d2d4"}, -12)})
        put(t.b, moves, score, 1);  // studied at effort 1
    addBookItem(t.b, uint64_t(1) << 40, 0, 0, 1);  // the first slot counts too, as known but not searched
    ASSERT_EQ(writeBookFromMemory(t.b, (dir + "/zarv.book").c_str()), 0);
    RunResult r = runProgram({ZARV_BIN, "-report"}, "", 30, dir);
    EXPECT_EQ(std::tuple(r.status, r.out, r.err),
              std::tuple(0, "   Total book size:        4\nPositions searched:        3\n\n   15  e2e4 \n   12  d2d4 \n", banner));
    // Bytes after the last whole record are not read: the same report.
    std::ofstream(dir + "/zarv.book", std::ios::app) << std::string(15, 'x');
    EXPECT_EQ(runProgram({ZARV_BIN, "-report"}, "", 30, dir).out, r.out);
    for (int bytes : {0, 15, 48, 63}) {  // empty: silent; 0 and 3 records are not a power of two
        std::ofstream(dir + "/zarv.book") << std::string(size_t(bytes), 'x');
        RunResult bad = runProgram({ZARV_BIN, "-report"}, "", 30, dir);
        EXPECT_TRUE(bad.status == 255 && bad.out.empty());
        EXPECT_EQ(bad.err.find("\"zarv.book\" refused: its length of " + std::to_string(bytes)) != std::string::npos, bytes > 0);
    }
}
