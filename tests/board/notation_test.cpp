// FEN reading and writing, and move text.

#include "board_support.h"

// What the reader makes of each FEN of tests/data/fen.txt, and what the writer makes of that.
TEST(Fen, ReadingValidityAndWritingBack) {
    for (const auto& c : readTable("fen.txt")) {  // FEN | valid | written back | castlings | en passant | last move | in check
        const Position p = fromFen(c[0]);  // read even when refused: nothing may be written off the record
        EXPECT_EQ(p.pcs[WHITE][ALL] & p.pcs[BLACK][ALL], 0ULL) << c[0];
        EXPECT_EQ(fenIsValid(c[0].c_str()), std::stoi(c[1])) << c[0];
        if (c[1] == "0") continue;
        char fen[128];
        positionToFen(p, fen);
        Move list[4];
        const std::string castlings = listText(list, genCastling(p, WHITE, list)) + "/" + listText(list, genCastling(p, BLACK, list));
        const std::string ep = p.ep ? moveText(makeMove(0, nextBit(p.ep))).substr(2) : "-";
        EXPECT_EQ(std::tuple(std::string(fen), castlings, ep, moveText(p.lastMove), std::to_string(p.inCheck), positionIsOk(p)),
                  std::tuple(c[2], c[3], c[4], c[5], c[6], true)) << c[0];
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
