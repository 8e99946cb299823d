// Pictures of positions and bitboards.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "board/zobrist.h"
#include "frontend/display.h"
#include "frontend/general.h"
#include "frontend/notation.h"

namespace {

// Runs f with a temporary log open and returns what it wrote there.
template <class F>
std::string logged(F f) {
    FILE* saved = flog;
    flog = std::tmpfile();
    f();
    std::rewind(flog);
    std::string all;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, flog)) > 0) all.append(buf, n);
    std::fclose(flog);
    flog = saved;
    return all;
}

void initBoard() {
    initStartupTables();
    initZob();
}

}  // namespace

TEST(Display, BoardPictureOfTheStartPosition) {
    initBoard();
    Position p;
    fenToPosition(p, "");
    std::string want =
        "\n-----[ CTM = 0   INCHECK = 0   last: N/A null   rights: KQkq]-----"
        "\n r n b q k b n r\n v v v v v v v v\n - - - - - - - -\n - - - - - - - -"
        "\n - - - - - - - -\n - - - - - - - -\n ^ ^ ^ ^ ^ ^ ^ ^\n R N B Q K B N R\n\n";
    EXPECT_EQ(logged([&] { displayBoard(p); }), want);
    ::testing::internal::CaptureStdout();
    displayBoardStdout(p);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), want);
}

TEST(Display, NoLogNoPicture) {
    initBoard();
    Position p;
    fenToPosition(p, "");
    FILE* saved = flog;
    flog = nullptr;
    ::testing::internal::CaptureStdout();
    displayBoard(p);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    flog = saved;
}

TEST(Display, HeaderAfterMovesAndRights) {
    initBoard();
    struct Case {
        const char* fen;
        const char* moves[2];
        const char* header;
    } cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R b Kq - 0 1", {"e8c8", nullptr},
         "\n-----[ CTM = 2   INCHECK = 0   last: null e8c8   rights: K]-----"},
        {"4k3/8/8/8/8/8/8/4K2R w - - 0 1", {"h1h8", "e8d7"},
         "\n-----[ CTM = 2   INCHECK = 0   last: h1h8 e8d7   rights: -]-----"},
        {"4k3/8/8/8/8/8/8/4K2R w K - 0 1", {"h1h8", nullptr},
         "\n-----[ CTM = 1   INCHECK = 1   last: null h1h8   rights: -]-----"},
    };
    for (const auto& c : cases) {
        Position g[3];
        fenToPosition(g[0], c.fen);
        int n = 0;
        while (n < 2 && c.moves[n]) {
            ASSERT_EQ(algMake(g[n], g[n + 1], c.moves[n]), 1) << c.moves[n];
            ++n;
        }
        std::string pic = logged([&] { displayBoard(g[n]); });
        EXPECT_EQ(pic.substr(0, pic.find('\n', 1)), c.header) << c.fen;
    }
}

TEST(Display, Bits) {
    ::testing::internal::CaptureStdout();
    displayBits(1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "\nBITS"
              "\n - - - - - - - -\n - - - - - - - -\n - - - - - - - -\n - - - - - - - -"
                  "\n - - - - - - - -\n - - - - - - - -\n - - - - - - - -\n # - - - - - - -\n");
    ::testing::internal::CaptureStdout();
    displayBitsWithFocus(0x8000000000000003ULL, 2);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "\nOK  \n\n - - - - - - - X\n - - - - - - - -\n - - - - - - - -\n - - - - - - - -"
              "\n - - - - - - - -\n - - - - - - - -\n - - - - - - - -\n X # - - - - - -\n");
}
