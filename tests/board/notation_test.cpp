// FEN reading and writing, move text, and the text helpers of the UCI loop.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "board_support.h"

namespace {

std::string fenOf(const Position& p) {
    char buf[128];
    positionToFen(p, buf);
    return buf;
}

TEST(Fen, StartPositionAndCastlingField) {
    Position p = fromFen("");
    p.stage = 77, p.pstScore = 77;
    fenToPosition(p, "");
    EXPECT_TRUE(p.stage == 24 && p.pstScore == 0);  // the reader finishes the record
    EXPECT_EQ(p.ctm + p.inCheck + int(p.lastMove) + (p.prev != nullptr), 0);
    EXPECT_EQ((p.castle & CASTLE_SQUARES) | p.ep, 0ULL);
    EXPECT_EQ(std::tuple(p.pcs[WHITE][ALL] | p.pcs[BLACK][ALL], p.pcs[WHITE][KING] | p.pcs[BLACK][QUEEN], p.hashKey),
              std::tuple(0xffff00000000ffffULL, bit(4) | bit(59), fromFen(START_FEN).hashKey));
    EXPECT_EQ(fromFen("4k3/8/8/8/8/8/8/r3K3 w - -").inCheck, 1);
    const std::pair<const char*, Bitboard> cases[] = {
        {"KQkq", CASTLE_SQUARES}, {"qkQK", CASTLE_SQUARES}, {"-", 0}, {"K", 0x90ULL}, {"Kq", 0x1100000000000090ULL}};
    for (const auto& [field, cleared] : cases)
        EXPECT_EQ(fromFen(std::string("r3k2r/8/8/8/8/8/8/R3K2R w ") + field + " -").castle, 0xff000000000000ffULL & ~cleared);
    Move list[4];  // rights without their rook or king are dropped
    for (const char* fen : {"4k3/8/8/8/8/8/8/4K3 w KQ -", "4k3/8/8/8/8/8/8/1R2K2N w KQ -", "4k3/8/8/8/8/8/8/R2K3R w KQ -"})
        EXPECT_EQ(genCastling(fromFen(fen), WHITE, list), 0) << fen;
    EXPECT_EQ(listText(list, genCastling(fromFen("r3k3/8/8/8/8/8/8/4K3 b kq -"), BLACK, list)), "e8c8");
}

TEST(Fen, EnPassantField) {
    const std::tuple<const char*, Bitboard, Move> cases[] = {
        {"rnbqkbnr/pppp1ppp/8/8/3Pp3/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 2", bit(19), makeMove(11, 27)},
        {"rnbqkbnr/pppp1ppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 2", 0, makeMove(11, 27)},
        {"4k3/8/8/6pP/8/8/8/4K3 w - g6", bit(46), makeMove(54, 38)},
        {"4k3/8/8/P6p/8/8/8/4K3 w - h6", 0, makeMove(55, 39)},  // a5 is not beside h5
        {"4k3/8/8/6P1/8/8/8/4K3 w - h6", 0, makeMove(55, 39)},  // no pawn made that step
        {"4k3/8/8/8/6Pp/8/8/4K3 w - h3", 0, makeMove(15, 31)},  // nor the side to move
        {"4k3/8/8/8/8/8/8/4K3 w", 0, 0}, {"4k3/8/8/8/8/8/8/4K3 w KQ", 0, 0}};  // missing fields read as "-"
    for (const auto& [fen, ep, last] : cases) {
        Position p = fromFen(fen);
        EXPECT_TRUE(p.ep == ep && p.lastMove == last && positionIsOk(p)) << fen;
    }
}

TEST(Fen, WritesPlacementAndSideOnly) {  // the start position's text: the UCI tests
    EXPECT_EQ(fenOf(fromFen("4k3/8/8/8/8/8/8/4K3 b KQ -")), "4k3/8/8/8/8/8/8/4K3 b - -");
    for (const PerftCase& c : loadPerftSuite())
        EXPECT_EQ(fenOf(fromFen(c.fen)), c.fen.substr(0, c.fen.find(' ') + 2) + " - -");
}

TEST(Fen, ValidityAndHostileInput) {
    const std::pair<std::string, int> cases[] = {
        {"", 1}, {START_FEN, 1}, {"k7/8/8/8/8/8/8/7K w - -", 1}, {"4k3/8/8/8/8/8/8/4K3 w - - " + std::string(999, 'x'), 1},
        {"8/8/8/8/8/8/8/4K3 w - -", 0}, {"4k3/8/8/8/8/8/8/3KK3 w - -", 0},  // one king of each colour
        {"4k3/8/8/8/8/8/8/4K3/8 w - -", 0}, {"4k3/8/8/8/8/8/8/4K4 w - -", 0}, {std::string(200, '1') + " w", 0},  // past h1
        {"QQQQQQQQ/QQ6/8/8/8/8/8/4K2k b - -", 0}, {"QQQQQQQQ/Q7/8/8/8/8/8/4K2k b - -", 1},  // nine queens at most
        {"4k3/8/8/8/8/8/8/4K2R w - -", 1}, {"4k3/8/8/8/8/8/8/4K2R b - -", 1}, {"4k3/8/8/8/8/8/8/4R1K1 w - -", 0},
        {"//////// w - -", 0}, {std::string(76, 'K') + " b - -", 0}, {std::string(56, '9') + " w KQkq z9", 0},
        {"4k2P/8/8/8/8/8/8/4K3 w - -", 0}, {"4k3/8/8/8/8/8/8/p3K3 b - -", 0}, {"4k3/P7/8/8/8/8/7p/4K3 w - -", 1},  // pawns: not on rank 1 or 8
        {"4k3/8/8/8/8/8/8/4K3 b    e3", 1}, {"4k3/8/8/8/8/8/8/4K3 w KQkq " + std::string(300, 'q'), 1}};
    for (const auto& [fen, valid] : cases) {
        EXPECT_EQ(fenIsValid(fen.c_str()), valid) << fen;
        Position p = fromFen(fen);  // read anyway: nothing may be written off the record
        EXPECT_EQ(p.pcs[WHITE][ALL] & p.pcs[BLACK][ALL], 0ULL);
    }
}

TEST(MoveText, AlgAndAlgMake) {
    const std::pair<Move, const char*> texts[] = {
        {0, "null"}, {CASTLE_WK, "e1g1"}, {CASTLE_BQ, "e8c8"}, {makeMove(52, 60, PROMO_Q), "e7e8q"}, {makeMove(52, 60, PROMO_N), "e7e8n"},
        {makeMove(52, 59, PROMO_R), "e7d8r"}, {makeMove(9, 0, PROMO_B), "b2a1b"}, {makeMove(36, 43, EN_PASSANT), "e5d6"}};
    for (const auto& [m, want] : texts) EXPECT_EQ(moveText(m), want);
    Position p = fromFen("3k4/4P3/8/8/8/8/8/R3K2R w KQ -");
    const std::pair<const char*, Move> cases[] = {  // 0: no move has that text
        {"E7E8N", makeMove(52, 60, PROMO_N)}, {"e7e8Q", makeMove(52, 60, PROMO_Q)}, {"E1G1", CASTLE_WK}, {"e1c1", CASTLE_WQ},
        {"e7e8", 0}, {"e7e8qq", 0}, {"e1e3", 0}, {"", 0}, {"null", 0},
        {"e\x11" "c1", 0}, {"e1\x07" "1", 0}, {"e1c\x11", 0}, {"e7e8\x11", 0}};  // control bytes are not digits or letters
    for (const auto& [text, made] : cases) {
        Position child{};
        child.ctm = 99;
        EXPECT_EQ(algMake(p, child, text), made != 0) << text;
        EXPECT_EQ(made ? child.lastMove : Move(child.ctm), made ? made : 99U) << text;
    }
}

TEST(Text, HashAndParseString) {
    // The hashes of words are pinned by the protocol tests' unknown-command lines.
    EXPECT_EQ(std::pair(hash(""), hash("\xe9")), std::pair(5381U, 5381U * 33U - 23U));  // bytes count as signed
    char line[] = "  position\tstartpos  moves e2e4\r\n";
    char* words[PARSE_MAX_WORDS + 1];
    ASSERT_EQ(ParseString(line, words), 4);
    EXPECT_TRUE(std::string(words[0]) + words[3] == "positione2e4" && words[4] == nullptr);
    std::string big;
    for (int i = 0; i < 5000; ++i) big += "w ";
    EXPECT_EQ(ParseString(big.data(), words), PARSE_MAX_WORDS);  // lowerCase: the UCI tests' option texts
}

}  // namespace
