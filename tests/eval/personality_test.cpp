// Personality files: parsing, complete replacement of the weights, and the
// developer program's --personality option.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "dev.h"
#include "eval_support.h"
#include "support.h"

namespace {

struct PersonalityTest : ParamsTest {
    std::string dir;
    int files = 0;
    void SetUp() override {
        ParamsTest::SetUp();
        dir = makeTempDir();
    }
    void TearDown() override {
        removeTree(dir);
        ParamsTest::TearDown();
    }
    std::string write(const std::string& text) {
        std::string path = dir + "/p" + std::to_string(files++) + ".txt";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // Loads the text and returns the names of the weights that are not 0.
    std::vector<std::string> load(const std::string& text) {
        EXPECT_EQ(readPersonality(write(text).c_str()), 1);
        std::vector<std::string> set;
        for (const ParamEntry& e : paramTable)
            if (*e.value) set.push_back(e.name);
        return set;
    }
};

using Names = std::vector<std::string>;

TEST_F(PersonalityTest, EmptyFileZeroesEverything) {
    EXPECT_EQ(load(""), Names{});
    EXPECT_EQ(evalFen(START_FEN), 0);
    EXPECT_EQ(evalFen("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"), 0);
    EXPECT_EQ(evalFen("4k3/8/8/8/8/8/8/3QK3 b - -"), 0);
    // King and pawn against king keeps its fixed scores.
    EXPECT_EQ(evalFen("4k3/8/4K3/4P3/8/8/8/8 b - -"), -404);
}

TEST_F(PersonalityTest, LinesAndFields) {
    struct Case {
        const char* text;
        Names set;
        int mid, end;  // of hmb when set
    };
    const Case cases[] = {
        {"hmb 90 20\n", {"hmb"}, 90, 20},
        {"pmob 36 115\n", {"pmob"}, 0, 0},
        {"ropen\t180   180\r\n", {"ropen"}, 0, 0},
        {"# hmb 5 5\n", {}, 0, 0},
        {"#hmb 5 5\n", {}, 0, 0},
        {" #hmb 5 5\n", {}, 0, 0},  // '#' glued to the keyword: unknown word
        {"Hmb 5 5\n", {}, 0, 0},
        {"HMB 5 5\n", {}, 0, 0},
        {"hmb 5\n", {}, 0, 0},
        {"hmb 5 5 5\n", {}, 0, 0},
        {"hmbx 5 5\n", {}, 0, 0},
        {"\n\n   \n", {}, 0, 0},
        {"hmb 12x 7\n", {"hmb"}, 12, 7},
        {"hmb x 7\n", {"hmb"}, 0, 7},
        {"hmb +8 -0\n", {"hmb"}, 8, 0},
        {"hmb -1 -1\n", {"hmb"}, -1, -1},
        {"hmb 1 1\nhmb 3 4\n", {"hmb"}, 3, 4},
        {"hmb 2147483647 1073741824\n", {"hmb"}, -1, -1073741824},
        {"hmb 99999999999 -99999999999\n", {"hmb"}, -1, 0},  // pinned to 32 bits, then 31 kept
        {"  hmb 7 8", {"hmb"}, 7, 8},                       // no final newline
        {"nmob 1 1\nhmb 2 2\n", {"nmob", "hmb"}, 2, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(load(c.text), c.set) << c.text;
        EXPECT_EQ(getMidVal(hmb), c.mid) << c.text;
        EXPECT_EQ(getEndVal(hmb), c.end) << c.text;
    }
    load("hmb -1 -1\n");
    EXPECT_EQ(hmb, 0x7fffffff7fffffffULL);
}

TEST_F(PersonalityTest, OnlyHmbGivesTheSideToMoveBonus) {
    load("hmb 90 20\n");
    EXPECT_EQ(evalFen(START_FEN), 9);
    EXPECT_EQ(evalFen("4k3/8/8/8/8/8/8/4K3 w - -"), 2);
    // A queen on the board moves the bonus 6/24 of the way to the middle game.
    EXPECT_EQ(evalFen("4k3/8/8/8/8/8/8/3QK3 b - -"), 4);
}

TEST_F(PersonalityTest, LongLinesAreReadInPieces) {
    // 1022 characters per piece: the tail after them is a line of its own.
    std::string pad(1100, ' ');
    EXPECT_EQ(load(pad + "hmb 5 6\n"), Names{"hmb"});
    EXPECT_EQ(getMidVal(hmb), 5);
    EXPECT_EQ(load("hmb 5 6" + pad + "extra\n"), Names{"hmb"});
    EXPECT_EQ(load("hmb 5 6" + std::string(1015, ' ') + "9 9\n"), Names{"hmb"});
    EXPECT_EQ(load(std::string(1018, ' ') + "hmb 5 6\n"), Names{});
}

TEST_F(PersonalityTest, DefaultFileRestoresDefaultTables) {
    std::string text;
    for (const ParamEntry& e : paramTable)
        text += std::string(e.name) + " " + std::to_string(getMidVal(e.def)) + " " + std::to_string(getEndVal(e.def)) + "\n";
    ScorePair before[1024];
    std::memcpy(before, pst, sizeof pst);
    const int32_t spbBefore = spb[10];
    const int startEval = evalFen("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    load("");
    const std::string path = write(text);
    for (int twice = 0; twice < 2; ++twice) {
        ASSERT_EQ(readPersonality(path.c_str()), 1);
        for (const ParamEntry& e : paramTable) EXPECT_EQ(*e.value, e.def) << e.name;
        EXPECT_EQ(std::memcmp(before, pst, sizeof pst), 0);
        EXPECT_EQ(spb[10], spbBefore);
        EXPECT_EQ(evalFen("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3"), startEval);
    }
}

TEST_F(PersonalityTest, UnopenableFileChangesNothing) {
    load("hmb 90 20\nnmob 1 2\n");
    ScorePair before[1024];
    std::memcpy(before, pst, sizeof pst);
    Position p = evalPos(START_FEN);
    eval(p);
    EXPECT_EQ(readPersonality((dir + "/missing.txt").c_str()), 0);
    EXPECT_EQ(readPersonality(dir.c_str()), 0) << "a directory is not a personality";
    EXPECT_EQ(getMidVal(hmb), 90);
    EXPECT_EQ(getEndVal(nmob), 2);
    EXPECT_EQ(std::memcmp(before, pst, sizeof pst), 0);
    EXPECT_EQ(eca[p.hashKey & EC_MASK].key, p.hashKey) << "caches kept";
}

TEST_F(PersonalityTest, DeveloperProgramLoadsPersonality) {
    const std::string empty = write("");
    RunResult r = runProgram({ZARV_DEV_BIN, "eval", "--personality", empty}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "eval 0\n");
    r = runProgram({ZARV_DEV_BIN, "eval", "--personality", write("hmb 90 20\n"), "4k3/8/8/8/8/8/8/4K3", "b", "-", "-"}, "");
    EXPECT_EQ(r.out, "eval 2\n");
    r = runProgram({ZARV_DEV_BIN, "eval", "--personality", dir + "/missing.txt"}, "");
    EXPECT_EQ(r.status, DEV_USAGE);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos);
}

}  // namespace
