// The log writer. (The picture of a position: zarv-dev display.)
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/general.h"
#include "board/display.h"
#include "board/notation.h"
#include "board/zobrist.h"
#include "frontend/interface.h"

namespace {

// Runs f with a temporary log open and returns what it wrote there.
template <class F>
std::string logged(F f) {
    FILE* saved = flog;
    flog = std::tmpfile();
    f();
    std::string all(65536, 0);
    std::rewind(flog);
    all.resize(std::fread(all.data(), 1, all.size(), flog));
    std::fclose(flog);
    flog = saved;
    return all;
}

}  // namespace

TEST(Logger, WholeMessagesAndBudgetLines) {
    const std::string big(20000, 'z');  // longer than the formatting buffer
    EXPECT_EQ(logged([&] {
                  logger("a%sb %d\n", big.c_str(), 42);
                  timeBudget({0, 0, 0, 0, 0, 2.5}, 0);
                  timeBudget({0, 100, 0, 0, 20, 0}, 1);
              }),
              "a" + big + "b 42\nTime Left:      2.5\nWe have    100.0 seconds to make 20 moves =      4.0 goal\n");
}
