// The speed tool, driven with stand-in engines whose reports are fixed, so
// every figure it prints is known in advance.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support.h"

namespace {

std::string npsTool() { return dataPath("../../tools/nps.py"); }
std::string fake(const std::string& args) { return "python3 " + dataPath("fakeuci.py") + " " + args; }

RunResult runNps(const std::vector<std::string>& extra) {
    std::vector<std::string> args{"/usr/bin/env", "python3", npsTool()};
    args.insert(args.end(), extra.begin(), extra.end());
    return runProgram(args, "", 60);
}

}  // namespace

TEST(NpsTool, OneRoundTotalsAndRatios) {
    // 9000 nodes in 200 ms per position: 18000 nodes in 0.4 s over two positions.
    RunResult r = runNps({fake("9000 200"), fake("3000 200"), fake("36000 400"), "--epd",
                          dataPath("wac.epd"), "--ms", "10", "--count", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0], "round 1 of 1: 2 positions at 10 ms");
    const char* want[] = {" 18000 nodes      0.40 s        45000 nps  ratio 1.000",
                          "  6000 nodes      0.40 s        15000 nps  ratio 3.000",
                          " 72000 nodes      0.80 s        90000 nps  ratio 0.500"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_GE(lines[i + 1].size(), std::string(want[i]).size());
        EXPECT_EQ(lines[i + 1].substr(lines[i + 1].size() - std::string(want[i]).size()), want[i]);
    }
}

TEST(NpsTool, MedianOfRoundsNotRatioOfTotals) {
    // The second engine reports 1000, 4000, 9000 nodes in 200 ms: ratios 6, 1.5
    // and 0.667 to the first engine's 30000 nps; their median is 1.5, while
    // the totals (14000 nodes in 0.6 s) would give 1.286.
    RunResult r = runNps({fake("6000 200"), fake("1000 200 grow"), "--epd", dataPath("wac.epd"), "--ms",
                          "10", "--count", "1", "--rounds", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), 12u) << r.out;
    EXPECT_NE(lines[5].find("ratio 1.500"), std::string::npos) << lines[5];
    EXPECT_NE(lines[8].find("ratio 0.667"), std::string::npos) << lines[8];
    EXPECT_EQ(lines[9].rfind("all 3 rounds", 0), 0u);
    EXPECT_NE(lines[11].find("14000 nodes      0.60 s        23333 nps  ratio 1.500"), std::string::npos)
        << lines[11];
}

