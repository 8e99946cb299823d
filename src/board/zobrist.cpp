// Zobrist keys. The draw order is fixed: book files store positions by these
// keys, so changing it would orphan every book.
#include "board/zobrist.h"

#include <initializer_list>

#include "board/mt.h"

uint64_t zob[1024];
uint64_t pzob[1024];

void initZob() {
    init_genrand(1027);
    for (int col = 0; col < 2; ++col)
        for (int kind = 0; kind < 8; ++kind)
            for (int sq = 0; sq < 64; ++sq) {
                int i = pieceSquareIndex(col, kind, sq);
                uint64_t a = genrand_int32();
                zob[i] = a << 32 | genrand_int32();
                // Every square draws four numbers whether or not it has a pawn
                // key, so the full keys stay where they are.
                uint64_t c = genrand_int32();
                uint64_t d = genrand_int32();
                pzob[i] = (kind == PAWN || kind == KING) ? (c << 32 | d) : 0;
            }
}

uint64_t castleKey(Bitboard castle) {
    uint64_t key = castleHash(castle & CASTLE_SQUARES);
    for (Bitboard b = ~castle & CASTLE_960_SQUARES; b; b &= b - 1) key ^= zob[pieceSquareIndex(WHITE, 7, nextBit(b))];
    return key;
}

uint64_t slowHash(const Position& p) {
    uint64_t key = zob[p.ctm & 1];
    for (int col = 0; col < 2; ++col)
        for (int kind = PAWN; kind <= KING; ++kind)
            for (Bitboard b = p.pcs[col][kind]; b; b &= b - 1) key ^= zob[pieceSquareIndex(col, kind, nextBit(b))];
    key ^= castleKey(p.castle);
    if (p.ep) key ^= zob[512 + nextBit(p.ep)];
    return key;
}

uint64_t slowPsHash(const Position& p) {
    uint64_t key = 0;
    for (int col = 0; col < 2; ++col)
        for (int kind : {PAWN, KING})
            for (Bitboard b = p.pcs[col][kind]; b; b &= b - 1) key ^= pzob[pieceSquareIndex(col, kind, nextBit(b))];
    return key;
}
