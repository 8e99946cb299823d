// FEN reading and writing, move text, and the text helpers of the UCI loop.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board_support.h"

namespace {

std::string fenOf(const Position& p) {
    char buf[128];
    positionToFen(p, buf);
    return buf;
}

TEST(Fen, EmptyTextIsTheStartPosition) {
    Position p{};
    p.stage = 77;  // left alone by the reader
    boardSetUp();
    fenToPosition(p, "");
    EXPECT_EQ(p.ctm, 0);
    EXPECT_EQ(p.inCheck, 0);
    EXPECT_EQ(p.castle & CASTLE_SQUARES, 0ULL);
    EXPECT_EQ(p.ep, 0ULL);
    EXPECT_EQ(p.lastMove, 0U);
    EXPECT_EQ(p.prev, nullptr);
    EXPECT_EQ(p.stage, 77);
    EXPECT_EQ(p.pcs[WHITE][ALL], 0xffffULL);
    EXPECT_EQ(p.pcs[BLACK][ALL], 0xffff000000000000ULL);
    EXPECT_EQ(p.pcs[WHITE][KING], bit(4));
    EXPECT_EQ(p.pcs[BLACK][QUEEN], bit(59));
    EXPECT_EQ(fenOf(p), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -");
    Position q = fromFen(START_FEN);
    EXPECT_EQ(q.hashKey, p.hashKey);
}

TEST(Fen, CastlingField) {
    struct Case {
        const char* field;
        Bitboard clear;  // castle bits that must be clear
    };
    const Case cases[] = {{"KQkq", CASTLE_SQUARES}, {"qkQK", CASTLE_SQUARES}, {"-", 0},
                          {"K", 0x90ULL},          {"Q", 0x11ULL},           {"k", 0x9000000000000000ULL},
                          {"q", 0x1100000000000000ULL}, {"Kq", 0x1100000000000090ULL}};
    for (const Case& c : cases) {
        Position p = fromFen(std::string("r3k2r/8/8/8/8/8/8/R3K2R w ") + c.field + " -");
        EXPECT_EQ(p.castle & CASTLE_SQUARES, CASTLE_SQUARES & ~c.clear) << c.field;
        EXPECT_EQ(p.castle & ~CASTLE_SQUARES, 0xff000000000000ffULL & ~CASTLE_SQUARES) << c.field;
    }
    EXPECT_EQ(fromFen("r3k2r/8/8/8/8/8/8/R3K2R w KQkq -").hashKey, fromFen("r3k2r/8/8/8/8/8/8/R3K2R w qkQK -").hashKey);
}

TEST(Fen, EnPassantField) {
    struct Case {
        const char* fen;
        Bitboard ep;
        Move last;
    };
    const Case cases[] = {
        {"rnbqkbnr/pppp1ppp/8/8/3Pp3/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 2", bit(19), makeMove(11, 27)},
        {"rnbqkbnr/pppp1ppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 2", 0, makeMove(11, 27)},
        {"4k3/8/8/pP6/8/8/8/4K3 w - a6", bit(40), makeMove(48, 32)},
        {"4k3/8/8/7P/6p1/8/8/4K3 b - h3", bit(23), makeMove(15, 31)},  // only the g4 pawn is looked at
        {"4k3/8/8/6pP/8/8/8/4K3 w - g6", bit(46), makeMove(54, 38)},
        {"4k3/8/8/P6p/8/8/8/4K3 w - h6", 0, makeMove(55, 39)},  // a5 is not beside h5: no wrap
        {"4k3/8/8/8/8/8/8/4K3 w - -", 0, 0},
        {"4k3/8/8/8/8/8/8/4K3 w", 0, 0},  // missing fields read as "-"
        {"4k3/8/8/8/8/8/8/4K3 w KQ", 0, 0},
    };
    for (const Case& c : cases) {
        Position p = fromFen(c.fen);
        EXPECT_EQ(p.ep, c.ep) << c.fen;
        EXPECT_EQ(p.lastMove, c.last) << c.fen;
        EXPECT_EQ(p.hashKey, slowHash(p)) << c.fen;
    }
}

TEST(Fen, SideToMoveAndCheck) {
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/4K3 b - -").ctm, 1);
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/r3K3 w - -").inCheck, 1);
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/r3K3 b - -").inCheck, 0);
}

TEST(FenDeathTest, BadSideToMoveEndsTheProcess) {
    boardSetUp();
    Position p{};
    EXPECT_EXIT(fenToPosition(p, "4k3/8/8/8/8/8/8/4K3 x - -"), testing::ExitedWithCode(1),
                "Error in ctm for fen \"4k3/8/8/8/8/8/8/4K3 x - -\"");
}

TEST(Fen, WritesPlacementAndSideOnly) {
    struct Case {
        const char* fen;
        const char* want;
    };
    const Case cases[] = {
        {"", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -"},
        {"4k3/8/8/8/8/8/8/4K3 b - -", "4k3/8/8/8/8/8/8/4K3 b - -"},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
         "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w - -"},
        {"7k/8/8/8/8/8/8/K7 w - -", "7k/8/8/8/8/8/8/K7 w - -"},
    };
    for (const Case& c : cases) EXPECT_EQ(fenOf(fromFen(c.fen)), c.want);
    // Every suite position reads back to its own placement and side.
    for (const PerftCase& c : loadPerftSuite()) {
        const std::string want = c.fen.substr(0, c.fen.find(' ') + 2) + " - -";
        EXPECT_EQ(fenOf(fromFen(c.fen)), want);
    }
}

TEST(Fen, Validity) {
    struct Case {
        const char* fen;
        int want;
    };
    const std::string longJunk = "4k3/8/8/8/8/8/8/4K3 w - - " + std::string(1000, 'x');
    const std::string longPlacement = std::string(300, '1') + " w - -";
    const Case cases[] = {
        {"", 1},
        {START_FEN, 1},
        {"4k3/8/8/8/8/8/8/4K3 w - -", 1},
        {"8/8/8/8/8/8/8/4K3 w - -", 0},            // no black king
        {"4k3/8/8/8/8/8/8/3KK3 w - -", 0},         // two white kings
        {"4k3/8/8/8/8/8/8/4K3/8 w - -", 0},        // a ninth rank runs past h1
        {"4k3/8/8/8/8/8/8/8K w - -", 0},
        {"4k3/8/8/8/8/8/8/4K4 w - -", 0},          // nine files on the last rank
        {"k7/8/8/8/8/8/8/7K w - -", 1},
        {"//////// w - -", 0},
        {longJunk.c_str(), 1},
        {longPlacement.c_str(), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(fenIsValid(c.fen), c.want) << c.fen;
}

TEST(Fen, HostileInputStaysInBounds) {
    // Placements far past the board, long texts and odd characters must not
    // write outside the record (the sanitizer build checks this).
    const std::string texts[] = {
        "99999999999999999999999999999999999999999999999999999999 w - -",
        "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK b - -",
        std::string(200, '/') + " w",
        "4k3/8/8/8/8/8/8/4K3 w KQkq z9",
        "4k3/8/8/8/8/8/8/4K3 w KQkq " + std::string(300, 'q'),
        "4k3/8/8/8/8/8/8/4K3 b    e3",
    };
    for (const std::string& t : texts) {
        Position p = fromFen(t);
        EXPECT_GE(p.ctm, 0);
        EXPECT_EQ(p.pcs[WHITE][ALL] & p.pcs[BLACK][ALL], 0ULL);
    }
}

TEST(MoveText, Alg) {
    struct Case {
        Move m;
        const char* want;
    };
    const Case cases[] = {{0, "null"},
                          {CASTLE_WK, "e1g1"},
                          {CASTLE_WQ, "e1c1"},
                          {CASTLE_BK, "e8g8"},
                          {CASTLE_BQ, "e8c8"},
                          {makeMove(52, 60, PROMO_Q), "e7e8q"},
                          {makeMove(52, 60, PROMO_N), "e7e8n"},
                          {makeMove(52, 59, PROMO_R), "e7d8r"},
                          {makeMove(9, 0, PROMO_B), "b2a1b"},
                          {makeMove(12, 28, DOUBLE_STEP), "e2e4"},
                          {makeMove(36, 43, EN_PASSANT), "e5d6"},
                          {makeMove(0, 63), "a1h8"}};
    for (const Case& c : cases) EXPECT_EQ(moveText(c.m), c.want);
}

TEST(MoveText, AlgMakeMatchesIgnoringCase) {
    Position p = fromFen("3k4/4P3/8/8/8/8/8/R3K2R w KQ -");
    struct Case {
        const char* text;
        int ok;
        Move made;
    };
    const Case cases[] = {
        {"E7E8N", 1, makeMove(52, 60, PROMO_N)},
        {"e7e8Q", 1, makeMove(52, 60, PROMO_Q)},
        {"e7e8b", 1, makeMove(52, 60, PROMO_B)},
        {"E1G1", 1, CASTLE_WK},
        {"e1c1", 1, CASTLE_WQ},
        {"e7e8", 0, 0},   // a promotion needs its letter
        {"e7e8qq", 0, 0},
        {"e1e3", 0, 0},
        {"", 0, 0},
        {"null", 0, 0},
    };
    for (const Case& c : cases) {
        Position child{};
        child.ctm = 99;
        EXPECT_EQ(algMake(p, child, c.text), c.ok) << c.text;
        if (c.ok)
            EXPECT_EQ(child.lastMove, c.made) << c.text;
        else
            EXPECT_EQ(child.ctm, 99) << "child changed by " << c.text;
    }
}

TEST(Text, Hash) {
    struct Case {
        const char* word;
        uint32_t want;
    };
    const Case cases[] = {{"uci", 0x0b88b1c6U},     {"isready", 0xaaebbe96U},   {"position", 0x4cef7abaU},
                          {"go", 0x005977fbU},      {"stop", 0x7c9e1b4bU},      {"ponderhit", 0x5d4738f2U},
                          {"setoption", 0x687891eaU}, {"ucinewgame", 0x0964e38aU}, {"quit", 0x7c9d0608U},
                          {"xyzzy", 0x10beeda3U},   {"", 5381U},                {"\xe9", 5381U * 33U - 23U}};
    for (const Case& c : cases) EXPECT_EQ(hash(c.word), c.want) << c.word;
}

TEST(Text, ParseStringAndLowerCase) {
    char line[] = "  position\tstartpos  moves e2e4\r\n";
    char* words[PARSE_MAX_WORDS + 1];
    ASSERT_EQ(ParseString(line, words), 4);
    EXPECT_STREQ(words[0], "position");
    EXPECT_STREQ(words[1], "startpos");
    EXPECT_STREQ(words[2], "moves");
    EXPECT_STREQ(words[3], "e2e4");
    EXPECT_EQ(words[4], nullptr);

    char empty[] = " \t\r\n";
    EXPECT_EQ(ParseString(empty, words), 0);
    EXPECT_EQ(words[0], nullptr);

    char many[] = "a b c d e";
    char* few[4];
    EXPECT_EQ(ParseString(many, few, 3), 3);
    EXPECT_EQ(few[3], nullptr);

    std::string big;
    for (int i = 0; i < 5000; ++i) big += "w ";
    std::vector<char> buf(big.begin(), big.end());
    buf.push_back(0);
    EXPECT_EQ(ParseString(buf.data(), words), PARSE_MAX_WORDS);

    char mixed[] = "E7E8Q Go-ON 123";
    lowerCase(mixed);
    EXPECT_STREQ(mixed, "e7e8q go-on 123");
}

}  // namespace
