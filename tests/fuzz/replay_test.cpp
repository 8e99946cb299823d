// Replays every fuzz target on its seed corpus and on the inputs that once
// found a fault (tests/fuzz/regressions/<target>/): none may break a property
// or, in the sanitizer build, touch memory it should not.
#include <filesystem>

#include "fuzz_targets.h"
#include "support.h"

namespace {

void replay(const FuzzTarget& t, const std::string& kind, size_t atLeast) {
    std::error_code none;  // a target without regressions has no directory
    size_t files = 0;
    for (const auto& f : std::filesystem::directory_iterator(std::string(ZARV_FUZZ_DIR) + "/" + kind + "/" + t.name, none)) {
        SCOPED_TRACE(f.path().string());
        const std::string bytes = readText(f.path());
        EXPECT_EQ(t.fn(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
        ++files;
    }
    EXPECT_GE(files, atLeast) << t.name;
}

TEST(FuzzReplay, SeedCorpora) {
    for (const auto& t : FUZZ_TARGETS) replay(t, "corpus", 3);
}

TEST(FuzzReplay, Regressions) {
    for (const auto& t : FUZZ_TARGETS) replay(t, "regressions", 0);
}

}  // namespace
