// Replays every fuzz target on its seed corpus and on the inputs that once
// found a fault (tests/fuzz/regressions/<target>/): none may break a property
// or, in the sanitizer build, touch memory it should not.
#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"

namespace {

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') out.push_back(dir + "/" + e->d_name);
        closedir(d);
    }
    return out;
}

std::string slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void replay(const FuzzTarget& t, const std::string& kind, size_t atLeast) {
    const auto files = filesIn(std::string(ZARV_FUZZ_DIR) + "/" + kind + "/" + t.name);
    EXPECT_GE(files.size(), atLeast) << t.name;
    for (const auto& f : files) {
        SCOPED_TRACE(f);
        const std::string bytes = slurp(f);
        EXPECT_EQ(t.fn(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
    }
}

TEST(FuzzReplay, SeedCorpora) {
    for (const auto& t : FUZZ_TARGETS) replay(t, "corpus", 3);
}

TEST(FuzzReplay, Regressions) {
    for (const auto& t : FUZZ_TARGETS) replay(t, "regressions", 0);
}

}  // namespace
