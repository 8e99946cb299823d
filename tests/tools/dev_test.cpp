// The developer program driven as a user drives it: fixed outputs, outputs
// with times by pattern, refused arguments, the search's signature, divide
// and the generator cross-checks over the perft suite.

// GCC 12 sees an uninitialised std::function inside <regex> at -O0 with the
// sanitizers; the warning is about the library's own code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <regex>
#pragma GCC diagnostic pop

#include "legaltree.h"
#include "support.h"

TEST(DevCommands, OutputsAndRefusals) {
    for (const auto& c : readTable("dev.txt")) {  // arguments | status | output (~: a pattern) | first line of the error output
        const RunResult r = runDev(replaceAll(c[0], "{data}", ZARV_TEST_DATA));
        EXPECT_EQ(std::pair(r.status, r.err.substr(0, r.err.find('\n'))), std::pair(std::stoi(c[1]), c[3])) << c[0];
        if (c[2][0] == '~') EXPECT_TRUE(std::regex_match(r.out, std::regex(c[2].substr(1)))) << c[0] << "\n" << r.out;
        else EXPECT_EQ(r.out, c[2]) << c[0];
    }
}

// Self-play from the Chess960 start positions: a game's first line is one.
TEST(Dev, SelfplayChess960) {
    const TempDir dir;
    ASSERT_EQ(runDev("selfplay " + dir.path + "/games --games 1 --nodes 100 --chess960").status, 0);
    const std::string first = splitLines(readText(dir.path + "/games")).at(0);
    EXPECT_TRUE(std::regex_match(first, std::regex("0 [nbrqk]{8}/p{8}/8/8/8/8/P{8}/[NBRQK]{8} w [A-H]{2}[a-h]{2} - 0 1 .*"))) << first;
}

// The bench's node count is the search's signature: any change to the search,
// the picker or the evaluation moves it. A change made on purpose updates the
// number here and says so in its commit.
TEST(DevCommands, BenchSignature) {
    const RunResult r = runDev("bench 7", 120);
    const auto lines = splitLines(r.out);
    ASSERT_TRUE(r.status == 0 && lines.size() == 31u) << r.out << r.err;
    EXPECT_TRUE(std::regex_match(lines.back(), std::regex("bench 1046914 nodes \\d+ nps"))) << lines.back();
    EXPECT_EQ(r.out.find("info"), std::string::npos);  // the engine's own lines stay silent
}

// divide: a line per legal root move in generator order, then the perft line;
// selftest: silent over every position of the suite's two-ply trees.
TEST(DevCommands, DivideAndSelftestOverTheSuite) {
    const std::string fen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
    const auto lines = splitLines(runDev("divide 2 " + fen).out);
    ASSERT_EQ(lines.size(), 49U);  // 48 root moves, then the total
    size_t row = 0;
    walkTree(fromFen(fen), 1, [&](const Position&, const Position& child, Move m) {
        EXPECT_EQ(lines[row++], moveText(m) + " " + std::to_string(legalPerft(child, 1)));
    });
    EXPECT_EQ(lines.back().rfind("perft 2 2039 ", 0), 0u) << lines.back();
    for (const auto& c : loadPerftSuite())
        EXPECT_EQ(runDev("selftest 2 " + c.fen).out, "selftest " + std::to_string(1 + c.counts[0] + c.counts[1]) + " nodes 0 reports\n") << c.fen;
}
