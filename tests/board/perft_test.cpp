// Perft: the legal move-tree counts of the suite, and the perft and divide
// subcommands of the developer program driven as a user would.
#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "board_support.h"

namespace {

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

// "perft DEPTH COUNT SECONDS LEAVES_PER_SECOND", seconds with three decimals.
bool perftLine(const std::string& line, const std::string& depthAndCount) {
    const std::string head = "perft " + depthAndCount + " ";
    unsigned secs, millis, used = 0;
    unsigned long long rate;
    return line.rfind(head, 0) == 0 && std::sscanf(line.c_str() + head.size(), "%u.%3u %llu%n", &secs, &millis, &rate, &used) == 3 &&
           head.size() + used == line.size() && line[line.find('.') + 4] == ' ';
}

// perft prints one line, divide a line per legal root move in generator order
// then the total; bad arguments leave status 2, a message and no output.
TEST(PerftTool, PerftDivideAndBadArguments) {
    const std::pair<const char*, const char*> cases[] = {
        {"perft 3", "3 8902"}, {"perft 0", "0 1"}, {"perft 2 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -", "2 191"}};
    for (const auto& [args, want] : cases) {
        RunResult r = runDev(args);
        EXPECT_TRUE(r.status == 0 && !r.out.empty() && r.out.back() == '\n' && perftLine(r.out.substr(0, r.out.size() - 1), want)) << r.out;
    }
    std::vector<std::string> lines = splitLines(runDev("perft --picker 3").out);
    ASSERT_EQ(lines.size(), 2U);
    unsigned long long j = 0, castles = 0;
    EXPECT_TRUE(perftLine(lines[0], "3 8902") && std::sscanf(lines[1].c_str(), "jcount %llu castles %llu", &j, &castles) == 2) << lines[1];
    const std::string fen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
    lines = splitLines(runDev("divide 2 " + fen).out);
    ASSERT_EQ(lines.size(), 49U);  // 48 root moves, then the total
    size_t row = 0;
    walkTree(fromFen(fen), 1, [&](const Position&, const Position& child, Move m) {
        EXPECT_EQ(lines[row++], moveText(m) + " " + std::to_string(legalPerft(child, 1)));
    });
    EXPECT_TRUE(perftLine(lines.back(), "2 2039")) << lines.back();
    for (const char* args : {"perft", "perft x", "perft 11", "perft -1", "perft 3 4k3/8/8/8/8/8/8/4K3 x - -",
                             "perft 3 8/8/8/8/8/8/8/4K3 w - -", "perft --picker", "divide", "divide 12",
                             "divide 2 4k3/8/8/8/8/8/8/4K4 w"}) {
        RunResult r = runDev(args);
        EXPECT_TRUE(r.status == 2 && !r.err.empty() && r.out.empty()) << args;
    }
}

}  // namespace
