// Sharded self-play through GNU parallel: the shards merge into the file of
// the one-machine run, byte for byte, and a killed shard leaves no data file
// and is the only one played again.
#include <sys/stat.h>

#include <cstdlib>

#include "learn_support.h"

namespace {

const std::string SHARDS_SH = dataPath("../../tools/shards.sh");
const std::string GAME_ARGS = " --games 24 --nodes 300 --seed 3";

struct ShardsTest : LearnTest {
    void SetUp() override {
        if (std::system("command -v parallel >/dev/null 2>&1") != 0) GTEST_SKIP() << "GNU parallel is not installed";
        LearnTest::SetUp();
        ::setenv("ZARV_DEV", ZARV_DEV_BIN, 1);
        ::setenv("JOBS", "3", 1);
    }
    std::string whole() {
        const RunResult r = runDev("selfplay " + dir + "/whole" + GAME_ARGS, 60);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("selfplay: 24/24 games"), std::string::npos) << r.err;
        return readText(dir + "/whole");
    }
    RunResult shards() {
        return runProgram({"/bin/bash", SHARDS_SH, dir + "/sharded", "24", "3", "--nodes", "300", "--seed", "3"}, "",
                          120);
    }
};

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

int countLines(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST_F(ShardsTest, ThreeShardsMergeIntoTheWholeRun) {
    const std::string expect = whole();
    EXPECT_EQ(countLines(expect, " # "), 24);
    const RunResult r = shards();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(dir + "/sharded"), expect);
    EXPECT_NE(r.out.find("data merge: "), std::string::npos);
    for (const char* shard : {"0/3: 8/8", "1/3: 8/8", "2/3: 8/8"})
        EXPECT_NE(r.err.find(std::string("selfplay ") + shard + " games"), std::string::npos) << r.err;
    EXPECT_FALSE(exists(dir + "/sharded.shard0.tmp"));
}

TEST_F(ShardsTest, KilledShardLeavesNoFileAndIsRerunAlone) {
    const std::string expect = whole();
    // Stands in for zarv-dev: the first time shard 1 runs, it is killed in
    // the middle of a long run (a later --games wins).
    const std::string wrapper = dir + "/dev.sh";
    std::ofstream(wrapper) << "#!/bin/sh\n"
                              "case \"$*\" in *'--shard 1/3'*)\n"
                              "  if [ ! -e " + dir + "/killed ]; then\n"
                              "    touch " + dir + "/killed\n"
                              "    " ZARV_DEV_BIN " \"$@\" --games 100000 & pid=$!\n"
                              "    sleep 0.5; kill -9 $pid; exit 137\n"
                              "  fi;;\n"
                              "esac\n"
                              "exec " ZARV_DEV_BIN " \"$@\"\n";
    ::chmod(wrapper.c_str(), 0755);
    ::setenv("ZARV_DEV", wrapper.c_str(), 1);

    RunResult r = shards();
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(exists(dir + "/sharded"));
    EXPECT_FALSE(exists(dir + "/sharded.shard1"));
    EXPECT_TRUE(exists(dir + "/sharded.shard0"));
    EXPECT_TRUE(exists(dir + "/sharded.shard2"));

    r = shards();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(dir + "/sharded"), expect);
    // Three jobs the first time, only the killed one the second.
    EXPECT_EQ(countLines(readText(dir + "/sharded.joblog"), "\n"), 1 + 3 + 1);
    EXPECT_EQ(countLines(r.err, "selfplay "), 1) << r.err;
}

TEST(LearnCommands, BadOptions) {
    for (const char* args : {"selfplay", "selfplay --games 3", "selfplay o --shard 3/3", "selfplay o --shard 1",
                             "selfplay o --nodes 0", "selfplay o --games", "selfplay o --frobnicate 1",
                             "tune", "tune d --iterations -1", "data merge"})
        EXPECT_EQ(runDev(args).status, 2) << args;
}

TEST(LearnCommands, OpeningsFromAnEpdFile) {
    const std::string dir = makeTempDir();
    // Only the last line sets up a position: no kings, a bad side to move.
    std::ofstream(dir + "/o.epd") << "bad line\n8/8/8/8/8/8/8/8 w - -\n4k3/8/8/8/8/8/8/R3K3 x - -\n"
                                     "6k1/5ppp/8/8/8/8/8/R5K1 w - - bm a1a8;\n";
    const RunResult r = runDev("selfplay " + dir + "/d --games 2 --openings " + dir + "/o.epd");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readText(dir + "/d"), "0 # 1.0 mate 1\n1 # 1.0 mate 1\n");
    std::ofstream(dir + "/none.epd") << "bad line\n";
    EXPECT_EQ(runDev("selfplay " + dir + "/d --openings " + dir + "/none.epd").status, 2);
    removeTree(dir);
}

}  // namespace
