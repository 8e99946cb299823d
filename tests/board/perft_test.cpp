// Perft: the legal move-tree counts of the suite, and the perft and divide
// subcommands of the developer program driven as a user would.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "board_support.h"
#include "support.h"

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
        for (size_t d = 0; d < c.counts.size() && c.counts[d] < LEAF_LIMIT; ++d) {
            EXPECT_EQ(legalPerft(p, int(d) + 1), c.counts[d]) << c.fen << " depth " << d + 1;
            ++checked;
        }
    }
    EXPECT_GT(checked, 60);
}

// "perft DEPTH COUNT SECONDS LEAVES_PER_SECOND", seconds with three decimals.
bool parsePerftLine(const std::string& line, long& depth, unsigned long long& count) {
    double secs;
    unsigned long long rate;
    int used = 0;
    if (std::sscanf(line.c_str(), "perft %ld %llu %lf %llu%n", &depth, &count, &secs, &rate, &used) != 4) return false;
    const size_t dot = line.find('.');
    return size_t(used) == line.size() && dot != std::string::npos && line.find(' ', dot) == dot + 4;
}

TEST(PerftTool, PrintsOneLine) {
    RunResult r = runProgram({ZARV_DEV_BIN, "perft", "3"}, "");
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), 1U) << r.out;
    long depth = 0;
    unsigned long long count = 0;
    ASSERT_TRUE(parsePerftLine(lines[0], depth, count)) << r.out;
    EXPECT_EQ(depth, 3);
    EXPECT_EQ(count, 8902U);

    r = runProgram({ZARV_DEV_BIN, "perft", "2", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8", "w", "-", "-"}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 12), "perft 2 191 ");

    r = runProgram({ZARV_DEV_BIN, "perft", "0"}, "");
    EXPECT_EQ(r.out.substr(0, 10), "perft 0 1 ");
}

TEST(PerftTool, DivideListsRootMovesInGeneratorOrder) {
    const std::string fen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
    std::vector<std::string> args = {ZARV_DEV_BIN, "divide", "2"};
    std::istringstream words(fen);
    for (std::string w; words >> w;) args.push_back(w);
    RunResult r = runProgram(args, "");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), 49U);  // 48 root moves and the total
    Position p = fromFen(fen);
    Move list[MAX_MOVES];
    const int n = genAll(p, list);
    size_t row = 0;
    uint64_t sum = 0;
    for (int i = 0; i < n; ++i) {
        Position child;
        make(p, child, list[i]);
        if (fasterInCheck(child, WHITE)) continue;
        const std::string want = moveText(list[i]) + " " + std::to_string(legalPerft(child, 1));
        EXPECT_EQ(lines[row++], want);
        sum += legalPerft(child, 1);
    }
    EXPECT_EQ(sum, 2039U);
    EXPECT_EQ(lines.back().substr(0, 13), "perft 2 2039 ");
}

TEST(PerftTool, PickerPerftMatchesTheLegalCount) {
    RunResult r = runProgram({ZARV_DEV_BIN, "perft", "--picker", "3"}, "");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), 2U) << r.out;
    EXPECT_EQ(lines[0].substr(0, 13), "perft 3 8902 ");
    unsigned long long j = 0, castles = 0;
    int used = 0;
    EXPECT_EQ(std::sscanf(lines[1].c_str(), "jcount %llu castles %llu%n", &j, &castles, &used), 2) << lines[1];
    EXPECT_EQ(size_t(used), lines[1].size()) << lines[1];
    EXPECT_GT(j, 8902U);  // legal moves made at every level, the leaves among them
}

TEST(PerftTool, BadArgumentsExitWithStatus2) {
    const std::vector<std::vector<std::string>> cases = {
        {"perft"},
        {"perft", "x"},
        {"perft", "11"},
        {"perft", "-1"},
        {"perft", "3", "4k3/8/8/8/8/8/8/4K3", "x", "-", "-"},
        {"perft", "3", "8/8/8/8/8/8/8/4K3", "w", "-", "-"},
        {"perft", "--picker"},
        {"divide"},
        {"divide", "12"},
        {"divide", "2", "4k3/8/8/8/8/8/8/4K4", "w"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {ZARV_DEV_BIN};
        args.insert(args.end(), c.begin(), c.end());
        RunResult r = runProgram(args, "");
        std::string shown;
        for (const auto& a : c) shown += a + " ";
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_FALSE(r.err.empty()) << shown;
        EXPECT_TRUE(r.out.empty()) << shown;
    }
}

}  // namespace
