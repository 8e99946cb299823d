// Sharded self-play through GNU parallel: the shards merge into the file of
// the one-machine run, byte for byte.
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "learn_support.h"

TEST_F(LearnTest, ThreeShardsMergeIntoTheWholeRun) {
    if (std::system("command -v parallel >/dev/null 2>&1") != 0) GTEST_SKIP() << "GNU parallel is not installed";
    ::setenv("ZARV_DEV", ZARV_DEV_BIN, 1);
    ::setenv("JOBS", "3", 1);
    const RunResult one = runDev("selfplay " + dir + "/whole --games 24 --nodes 300 --seed 3", 60);
    EXPECT_NE(one.err.find("selfplay: 24/24 games"), std::string::npos) << one.err;
    const RunResult r = runProgram({"/bin/bash", dataPath("../../tools/shards.sh"), dir + "/sharded", "24", "3", "--nodes",
                                    "300", "--seed", "3"}, "", 120);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(dir + "/sharded"), readText(dir + "/whole"));
    EXPECT_NE(r.out.find("data merge: "), std::string::npos);
    for (const char* shard : {"0/3: 8/8", "1/3: 8/8", "2/3: 8/8"})
        EXPECT_NE(r.err.find(std::string("selfplay ") + shard + " games"), std::string::npos) << r.err;
    EXPECT_FALSE(std::ifstream(dir + "/sharded.shard0.tmp").good());
}

// A run whose shards never end, stopped by its time limit, leaves no process
// behind: not the script, not parallel, not a job (each in a group of its own).
TEST_F(LearnTest, ShardsStoppedByTheTimeLimitLeaveNothingRunning) {
    if (std::system("command -v parallel >/dev/null 2>&1") != 0) GTEST_SKIP() << "GNU parallel is not installed";
    const std::string forever = dir + "/forever";
    std::ofstream(forever) << "#!/bin/sh\nexec tail -f \"$0\"\n";
    ::chmod(forever.c_str(), 0700);
    ::setenv("ZARV_DEV", forever.c_str(), 1);
    ::setenv("JOBS", "2", 1);
    const RunResult r = runProgram({"/bin/bash", dataPath("../../tools/shards.sh"), dir + "/s", "4", "2"}, "", 1);
    EXPECT_EQ(r.status, 128 + SIGALRM);
    for (const auto& e : std::filesystem::directory_iterator("/proc"))  // every process's command line
        EXPECT_EQ(readText(e.path().string() + "/cmdline").find(dir), std::string::npos) << e.path();
}

TEST(LearnCommands, OpeningsFromAnEpdFile) {
    const TempDir tmp;
    const std::string dir = tmp.path;
    // Only the last line sets up a position: no kings, a bad side to move.
    std::ofstream(dir + "/o.epd") << "bad line\n8/8/8/8/8/8/8/8 w - -\n4k3/8/8/8/8/8/8/R3K3 x - -\n"
                                     "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm a1a8;\n";
    const RunResult r = runDev("selfplay " + dir + "/d --games 2 --openings " + dir + "/o.epd");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(dir + "/d"), "0 # 1.0 mate 1\n1 # 1.0 mate 1\n");
    std::ofstream(dir + "/none.epd") << "bad line\n";
    EXPECT_EQ(runDev("selfplay " + dir + "/d --openings " + dir + "/none.epd").status, 2);
}

// The weights of a personality file play both sides: the games change.
TEST(LearnCommands, PersonalityPlaysTheGames) {
    const TempDir tmp;
    const std::string games = " --games 2 --nodes 300 --seed 3";
    ASSERT_EQ(runDev("selfplay " + tmp.path + "/plain" + games).status, 0);
    ASSERT_EQ(runDev("selfplay " + tmp.path + "/tuned" + games + " --personality " + dataPath("../../personalities/tuned.txt")).status, 0);
    EXPECT_NE(readText(tmp.path + "/tuned"), readText(tmp.path + "/plain"));
}
