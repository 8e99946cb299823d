// Personality files: parsing, complete replacement of the weights, and the
// developer program's --personality option.
#include <cstring>
#include <fstream>

#include "eval_support.h"

namespace {

using Names = std::vector<std::string>;

struct PersonalityTest : EvalTest {
    const TempDir tmp;
    const std::string dir = tmp.path;
    int files = 0;
    std::string write(const std::string& text) {
        const std::string path = dir + "/p" + std::to_string(files++);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    // Loads the text; the names of the weights that are not 0 afterwards.
    Names load(const std::string& text) {
        EXPECT_EQ(readPersonality(write(text).c_str()), 1);
        Names set;
        for (const ParamEntry& e : paramTable)
            if (*e.value) set.push_back(e.name);
        return set;
    }
};

TEST_F(PersonalityTest, LinesAndFields) {
    const std::string pad(1100, ' ');
    const struct { std::string text; Names set; int mid, end; } cases[] = {  // mid, end: of hmb
        {"", {}, 0, 0}, {"hmb 90 20\n", {"hmb"}, 90, 20}, {"pmob 36 115\n", {"pmob"}, 0, 0},
        {"ropen\t180   180\r\n", {"ropen"}, 0, 0},
        {"# hmb 5 5\n#hmb 5 5\n #hmb 5 5\n", {}, 0, 0},  // a blank before '#' glues it to the word
        {"Hmb 5 5\nHMB 5 5\nhmb 5\nhmb 5 5 5\nhmbx 5 5\n\n  \n", {}, 0, 0},
        {"hmb 12x 7\n", {"hmb"}, 12, 7}, {"hmb x +7\n", {"hmb"}, 0, 7}, {"hmb -1 -1\n", {"hmb"}, -1, -1},
        {"hmb 1 1\nhmb 3 4\n", {"hmb"}, 3, 4},
        {"hmb 2147483647 1073741824\n", {"hmb"}, -1, -1073741824},  // the low 31 bits
        {"hmb 99999999999 -99999999999\n", {"hmb"}, -1, 0},         // pinned to 32 bits first
        {"nmob 1 1\n  hmb 7 8", {"nmob", "hmb"}, 7, 8},
        // At most 1022 characters per read: the rest is a line of its own.
        {pad + "hmb 5 6\n", {"hmb"}, 5, 6},
        {"hmb 5 6" + pad + "extra\n", {"hmb"}, 5, 6},
        {std::string(1018, ' ') + "hmb 5 6\n", {}, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(load(c.text), c.set) << c.text;
        EXPECT_EQ(hmb, scorePair(c.mid, c.end)) << c.text;
    }
}

TEST_F(PersonalityTest, DefaultsComeBackAndUnopenableFilesChangeNothing) {
    ScorePair before[1024];
    std::memcpy(before, pst, sizeof pst);
    const Position p = evalPos("r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3");
    const int v = eval(p);
    load("hmb 1 1\n");
    const std::string path = dataPath("../../personalities/default.txt");
    for (int twice = 0; twice < 2; ++twice) {  // loading twice is loading once
        ASSERT_EQ(readPersonality(path.c_str()), 1);
        for (const ParamEntry& e : paramTable) EXPECT_EQ(*e.value, e.def) << e.name;
        EXPECT_EQ(std::memcmp(before, pst, sizeof pst), 0);
        EXPECT_EQ(eval(p), v);
    }
    // Neither a missing file nor a directory touches weights, tables or caches.
    EXPECT_EQ(readPersonality((dir + "/missing").c_str()), 0);
    EXPECT_EQ(readPersonality(dir.c_str()), 0);
    for (const ParamEntry& e : paramTable) EXPECT_EQ(*e.value, e.def) << e.name;
    EXPECT_EQ(std::memcmp(before, pst, sizeof pst), 0);
    EXPECT_EQ(eca[p.hashKey & EC_MASK].key, p.hashKey);
}

}  // namespace
