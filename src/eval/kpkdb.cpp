// King and pawn against king from the bitbase, and the king distance.
#include "eval/kpkdb.h"

#include <algorithm>
#include <array>
#include <cstdlib>


namespace {

// Pawn index of each 0x88 square of the lookup frame: ranks 2-7, files a-d.
constexpr auto pix = [] {
    std::array<int, 128> t{};
    for (int r = 1; r <= 6; ++r)
        for (int f = 0; f < 4; ++f) t[16 * r + f] = (r - 1) * 4 + f;
    return t;
}();
// King index of each 0x88 square: its ordinary square number.
constexpr auto kix = [] {
    std::array<int, 128> t{};
    for (int sq = 0; sq < 64; ++sq) t[16 * (sq >> 3) + (sq & 7)] = sq;
    return t;
}();

constexpr int to0x88(int sq) { return 16 * (sq >> 3) + (sq & 7); }

int kpkPoints(int relRank) { return 340 + 16 * relRank; }

}  // namespace

int pk_win(int strongKing, int pawn, int weakKing, int weakToMove) {
    int K = to0x88(strongKing), P = to0x88(pawn), k = to0x88(weakKing);
    if ((P & 7) >= 4) {  // the table holds files a-d only: mirror the board
        K ^= 7;
        P ^= 7;
        k ^= 7;
    }
    const int index = ((pix[P] * 64 + kix[K]) * 64 + kix[k]) * 2 + (1 - (weakToMove & 1));
    return kpk[index / 8] >> (index % 8) & 1;
}

int kpvsk(const Position& p) {
    const int stm = sideToMove(p);
    if (p.pcs[WHITE][PAWN]) {
        // The frame has the pawn marching down the board: flip white's.
        const int pawn = nextBit(p.pcs[WHITE][PAWN]);
        if (pk_win(kingSquare(p, WHITE) ^ 56, pawn ^ 56, kingSquare(p, BLACK) ^ 56, stm == BLACK))
            return kpkPoints(pawn >> 3);
        return 3;
    }
    const int pawn = nextBit(p.pcs[BLACK][PAWN]);
    if (pk_win(kingSquare(p, BLACK), pawn, kingSquare(p, WHITE), stm == WHITE))
        return -kpkPoints(7 - (pawn >> 3));
    return -3;
}

int dist(int a, int b) {
    return std::max(std::abs((a & 7) - (b & 7)), std::abs((a >> 3) - (b >> 3)));
}
