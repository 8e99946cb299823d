// Pictures of positions and bitboards, and the log writer.
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

TEST(Display, BoardPicturesAndBits) {
    Position g[3];
    fenToPosition(g[0], "");
    ::testing::internal::CaptureStdout();
    displayBoardStdout(g[0]);
    FILE* saved = flog;
    flog = nullptr;
    displayBoard(g[0]);  // no log: nothing anywhere
    flog = saved;
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "\n-----[ CTM = 0   INCHECK = 0   last: N/A null   rights: KQkq]-----"
              "\n r n b q k b n r\n v v v v v v v v\n - - - - - - - -\n - - - - - - - -"
              "\n - - - - - - - -\n - - - - - - - -\n ^ ^ ^ ^ ^ ^ ^ ^\n R N B Q K B N R\n\n");
    // The header names the parent's move and this one's, and the rights left.
    fenToPosition(g[0], "r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1");
    ASSERT_EQ(algMake(g[0], g[1], "h1h8") + algMake(g[1], g[2], "e8d7"), 2);
    for (auto [i, head] : {std::pair(2, "CTM = 2   INCHECK = 0   last: h1h8 e8d7   rights: -"),
                           std::pair(1, "CTM = 1   INCHECK = 1   last: null h1h8   rights: q")}) {
        const std::string pic = logged([&] { displayBoard(g[i]); });
        EXPECT_EQ(pic.substr(0, pic.find('\n', 1)), std::string("\n-----[ ") + head + "]-----");
    }
    fenToPosition(g[0], "4k3/8/8/3q4/4P3/8/8/4K3 w - -");
    const std::string log = logged([&] { showSee(g[0]); });
    EXPECT_EQ(log.substr(0, 32), "\n---------[ see ]--------------\n");
    EXPECT_NE(log.find(" mv = e4d5  see =   9     9\n"), std::string::npos) << log;
    ::testing::internal::CaptureStdout();
    displayBitsWithFocus(0x8000000000000003ULL, 2);
    std::string empty;
    for (int r = 0; r < 6; ++r) empty += "\n - - - - - - - -";
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\nOK  \n\n - - - - - - - X" + empty + "\n X # - - - - - -\n");
}

TEST(Logger, WholeMessagesAndBudgetLines) {
    const std::string big(20000, 'z');  // longer than the formatting buffer
    EXPECT_EQ(logged([&] {
                  logger("a%sb %d\n", big.c_str(), 42);
                  timeBudget({0, 0, 0, 0, 0, 2.5}, 0);
                  timeBudget({0, 100, 0, 0, 20, 0}, 1);
              }),
              "a" + big + "b 42\nTime Left:      2.5\nWe have    100.0 seconds to make 20 moves =      4.0 goal\n");
}
