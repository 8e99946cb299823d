// Chess960 castling, its FEN castling fields and the start positions.
#include "board/chess960.h"

#include <cstdio>

#include "board/attacks.h"
#include "board/tables.h"

std::atomic<bool> chess960{false};

namespace {

constexpr Bitboard backRank(int col) { return col == WHITE ? 0xffULL : 0xffULL << 56; }
// The squares from a to b on one rank, both included.
inline Bitboard span(int a, int b) { return bet[a][b] | bit(a) | bit(b); }
// Squares of the same rank above (towards h) and below sq.
constexpr Bitboard above(int sq) { return ~((bit(sq) << 1) - 1); }
constexpr Bitboard below(int sq) { return bit(sq) - 1; }

// col's king, when it stands on its back rank; -1 otherwise.
int backRankKing(const Position& p, int col) {
    const Bitboard k = p.pcs[col][KING];
    if (popCount(k) != 1 || !(k & backRank(col))) return -1;
    return nextBit(k);
}

}  // namespace

int genCastling960(const Position& p, int col, Move* list) {
    const int k = kingSquare(p, col);
    const Bitboard homes = ~p.castle & backRank(col);
    if (!(homes & bit(k))) return 0;
    const Bitboard rooks = homes & p.pcs[col][ROOK];
    const Bitboard occ = occupied(p), sliders = p.pcs[col ^ 1][ROOK] | p.pcs[col ^ 1][QUEEN];
    Bitboard att = 0;
    bool attDone = false;
    int n = 0;
    for (const Bitboard side : {rooks & above(k), rooks & below(k)}) {
        if (!side) continue;
        const Castling960 c = castling960(k, nextBit(side));
        const Bitboard path = span(c.kingFrom, c.kingTo);
        const Bitboard mover = bit(c.kingFrom) | bit(c.rookFrom);
        if (occ & (path | span(c.rookFrom, c.rookTo)) & ~mover) continue;
        // The attack board first: with the king and the rook where they stand,
        // nothing may attack the squares the king stands on, crosses or reaches.
        if (!attDone) att = getAttBoard(p, col ^ 1), attDone = true;
        if (att & path) continue;
        // Then the king on its target once both have moved: a rook or queen on
        // the back rank that the castling rook shielded it from now gives check.
        const Bitboard after = (occ & ~mover) | bit(c.kingTo) | bit(c.rookTo);
        if (orthAttacks(c.kingTo, after) & sliders) continue;
        list[n++] = makeMove(c.kingFrom, c.rookFrom, CASTLE);
    }
    return n;
}

const char* readCastling960(Position& p, const char* c) {
    bool granted[2][2] = {};  // [colour][king side]
    for (; *c && *c != ' '; ++c) {
        const int col = *c >= 'a' ? BLACK : WHITE;
        const char letter = char(*c | 0x20);
        const int k = backRankKing(p, col);
        if (k < 0) continue;
        const Bitboard rooks = p.pcs[col][ROOK] & backRank(col);
        int r = -1;
        if (letter == 'k' && (rooks & above(k))) r = 63 - std::countl_zero(rooks & above(k));  // the outermost
        else if (letter == 'q' && (rooks & below(k))) r = nextBit(rooks & below(k));
        else if (letter >= 'a' && letter <= 'h' && (rooks & bit((k & 56) + letter - 'a'))) r = (k & 56) + letter - 'a';
        if (r < 0 || granted[col][r > k]) continue;
        granted[col][r > k] = true;
        p.castle &= ~(bit(k) | bit(r));
    }
    return c;
}

int castlingField960(const Position& p, char* out) {
    int n = 0;
    for (int col = WHITE; col <= BLACK; ++col) {
        const Bitboard homes = ~p.castle & backRank(col);
        const int k = backRankKing(p, col);
        if (k < 0 || !(homes & bit(k))) continue;
        const Bitboard rooks = homes & p.pcs[col][ROOK];
        for (const Bitboard side : {rooks & above(k), rooks & below(k)}) {
            if (!side) continue;
            const int r = nextBit(side), file = fileOf(r);
            const bool standard = fileOf(k) == 4 && (file == 0 || file == 7);
            const char letter = standard ? (file == 7 ? 'K' : 'Q') : char('A' + file);
            out[n++] = col == WHITE ? letter : char(letter | 0x20);
        }
    }
    if (n == 0) out[n++] = '-';
    out[n] = 0;
    return n;
}

void chess960Start(int n, char* out) {
    char rank[9] = {};
    auto place = [&rank](int nth, char piece) {  // on the nth empty file
        for (int f = 0; f < 8; ++f)
            if (!rank[f] && nth-- == 0) {
                rank[f] = piece;
                return;
            }
    };
    rank[2 * (n % 4) + 1] = 'B';  // the light-squared bishop: b, d, f or h
    n /= 4;
    rank[2 * (n % 4)] = 'B';  // the dark-squared one: a, c, e or g
    n /= 4;
    place(n % 6, 'Q');
    n /= 6;
    // The two knights on two of the five files left, in this order by n.
    static constexpr int knights[10][2] = {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 2},
                                           {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};
    place(knights[n][1], 'N');
    place(knights[n][0], 'N');
    place(0, 'R');
    place(0, 'K');
    place(0, 'R');
    char black[9], rights[5];
    int r = 0;
    for (int f = 0; f < 8; ++f) black[f] = char(rank[f] | 0x20);
    black[8] = 0;
    for (int f = 7; f >= 0; --f)
        if (rank[f] == 'R') rights[r++] = char('A' + f);
    rights[2] = char(rights[0] | 0x20), rights[3] = char(rights[1] | 0x20), rights[4] = 0;
    std::snprintf(out, 80, "%s/pppppppp/8/8/8/8/PPPPPPPP/%s w %s - 0 1", black, rank, rights);
}
