// Chess960: castling from any start, the castling fields of its FENs, its keys.

#include "board/chess960.h"
#include "board_support.h"

namespace {

// The UCI option on for one test.
struct Chess960On {
    Chess960On() { chess960 = true; }
    ~Chess960On() { chess960 = false; }
};

// Placement, side and castling field of p.
std::string fenWithRights(const Position& p) {
    char fen[128], field[8];
    positionToFen(p, fen);
    castlingField(p, field);
    const std::string placed = fen;  // ends in " - -"
    return placed.substr(0, placed.size() - 4) + " " + field;
}

}  // namespace

TEST(Chess960, CastlingCases) {
    const Chess960On on;
    for (const auto& c : readTable("castling960.txt")) {  // FEN | moves | castlings | field | after the first
        const auto line = playLine(words(c[1]), c[0]);
        const Position& p = line.back();
        Move list[2];
        const int n = genCastling(p, sideToMove(p), list);
        char field[8];
        castlingField(p, field);
        std::string after = "-";
        Position child;
        if (n > 0 && make(p, child, list[0])) after = fenWithRights(child);
        EXPECT_EQ(std::tuple(listText(list, n), std::string(field), after), std::tuple(c[2], c[3], c[4])) << c[0];
        EXPECT_TRUE(n == 0 || positionIsOk(child)) << c[0];
        // The rights are in the key: the same board without them differs.
        const std::string fen = c[0];
        const size_t rights = fen.find(' ', fen.find(' ') + 1) + 1;
        const Position none = fromFen(fen.substr(0, rights) + "-" + fen.substr(fen.find(' ', rights)));
        EXPECT_EQ(fromFen(fen).hashKey == none.hashKey, c[3] == "-" && c[1].empty()) << c[0];
    }
}
