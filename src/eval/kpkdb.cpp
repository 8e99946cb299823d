// King and pawn against king from the bitbase, and the small endgame and
// distance helpers.
#include "eval/kpkdb.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "board/tables.h"
#include "eval/eval.h"

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

namespace {

using EndgameScorer = int (*)(const Position&);
struct EndgameEntry {
    uint64_t key;
    EndgameScorer score;
};
// Scorers of special endings by material key; none is registered.
EndgameEntry egme[4096];

}  // namespace

int special_endings(const Position& p, uint64_t key) {
    const EndgameEntry& e = egme[key & 0xfff];
    if (e.key == key && e.score) return e.score(p);
    return 0;
}

int kvsk(const Position&) { return 0; }

int kvsm(const Position& p) {
    if (p.pcs[WHITE][BISHOP]) return 3;
    if (!p.pcs[WHITE][KNIGHT]) return -3;
    return 3;
}

int kbnvsk(const Position& p) {
    const int strong = p.pcs[WHITE][KNIGHT] ? WHITE : BLACK;
    const int S = kingSquare(p, strong), k = kingSquare(p, strong ^ 1);
    const int N = nextBit(p.pcs[strong][KNIGHT]), B = nextBit(p.pcs[strong][BISHOP]);
    // Mate comes only in a corner of the bishop's colour: drive the king there.
    const bool dark = ((B >> 3) + (B & 7)) % 2 == 0;
    const int c1 = dark ? 0 : 56, c2 = dark ? 63 : 7;
    const int c = std::min(mdist(k, c1), mdist(k, c2));
    const int v = 800 - 20 * c - 4 * dist(S, k) - 2 * dist(N, k);
    return strong == WHITE ? v : -v;
}

int dist(int a, int b) {
    return std::max(std::abs((a & 7) - (b & 7)), std::abs((a >> 3) - (b >> 3)));
}

int mdist(int a, int b) { return std::abs((a & 7) - (b & 7)) + std::abs((a >> 3) - (b >> 3)); }

namespace {

int mobilityCount(const Position& p, int col, Bitboard attacks, Bitboard target, int& hit) {
    hit = (attacks & target) != 0;
    return popCount(attacks & mobilityArea(p, col));
}

}  // namespace

int nxmap(const Position& p, int col, int sq, Bitboard target, int& hit) {
    return mobilityCount(p, col, nATT[sq], target, hit);
}

int dxmap(const Position& p, int col, int sq, Bitboard target, int& hit) {
    return mobilityCount(p, col, diagAttacks(sq, occupied(p)), target, hit);
}

int oxmap(const Position& p, int col, int sq, Bitboard target, int& hit) {
    return mobilityCount(p, col, orthAttacks(sq, occupied(p)), target, hit);
}
