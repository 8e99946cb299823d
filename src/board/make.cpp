// Copy-make. The parent record is never touched; the child gets every field
// from it and is then edited, keys and piece-square sum kept incrementally.
#include "board/make.h"

#include <cassert>

#include "base/general.h"
#include "board/attacks.h"
#include "board/display.h"
#include "board/notation.h"
#include "board/pst.h"
#include "board/tables.h"
#include "board/zobrist.h"

thread_local constinit uint64_t nodecount = 0;

namespace {

inline int kindOn(const Position& p, int col, int sq) {
    const Bitboard b = bit(sq);
    for (int k = PAWN; k <= KING; ++k)
        if (p.pcs[col][k] & b) return k;
    return 0;
}

}  // namespace

int make(const Position& old, Position& n, Move m) {
    n = old;
    n.prev = &old;
    ++nodecount;
    n.movedKind = 0;
    n.capturedKind = 0;
    n.lastMove = m;
    if (n.ep) {
        n.hashKey ^= zob[512 + nextBit(n.ep)];
        n.ep = 0;
    }
    n.hashKey ^= zob[0] ^ zob[1];
    if (m == 0) {
        n.ctm += 1;
        n.inCheck = 0;
        assert(positionIsOk(n));
        return 1;
    }
    const int col = sideToMove(old), e = col ^ 1;
    const int from = moveFrom(m), to = moveTo(m), type = moveType(m);
    const Bitboard fromTo = bit(from) | bit(to);

    int kind = kindOn(old, col, from);
    if (kind == 0) {
        char text[8];
        alg(m, text);
        logger("\n ILLEGAL MOVE IN SEARCH\n  move in question: %s", text);
        displayBoard(old);
        // Nothing of ours to move: hand back the position with the side
        // switched, so the record stays consistent.
        n.ctm += 1;
        return 1;
    }
    n.movedKind = kind;
    n.hashKey ^= zob[pieceSquareIndex(col, kind, to)] ^ zob[pieceSquareIndex(col, kind, from)];
    n.pawnKey ^= pzob[pieceSquareIndex(col, kind, to)] ^ pzob[pieceSquareIndex(col, kind, from)];
    n.pstScore = spAdd(n.pstScore, spSub(pst[pieceSquareIndex(col, kind, to)], pst[pieceSquareIndex(col, kind, from)]));
    n.pcs[col][kind] ^= fromTo;
    n.pcs[col][ALL] ^= fromTo;

    // A king or rook that moves, or a rook taken on its corner, loses its
    // castling right for good: the squares are simply marked. The key's
    // castling part changes only when a newly marked square is one of them.
    const Bitboard marked = n.castle & CASTLE_SQUARES;
    if (fromTo & CASTLE_SQUARES & ~marked) n.hashKey ^= castleHash(marked) ^ castleHash(marked | (fromTo & CASTLE_SQUARES));
    n.castle |= fromTo;

    if (type == CASTLE) {
        n.ctm += 1;
        const CastlingRule& rule = castlingTo(col, to);
        const int rookFrom = rule.rookFrom, rookTo = rule.rookTo;
        const Bitboard rookBits = bit(rookFrom) | bit(rookTo);
        n.hashKey ^= zob[pieceSquareIndex(col, ROOK, rookTo)] ^ zob[pieceSquareIndex(col, ROOK, rookFrom)];
        n.pstScore =
            spAdd(n.pstScore, spSub(pst[pieceSquareIndex(col, ROOK, rookTo)], pst[pieceSquareIndex(col, ROOK, rookFrom)]));
        n.pcs[col][ROOK] ^= rookBits;
        n.pcs[col][ALL] ^= rookBits;
        const Bitboard before = n.castle & CASTLE_SQUARES;
        n.castle |= rookBits;
        n.hashKey ^= castleHash(before) ^ castleHash(n.castle & CASTLE_SQUARES);
        assert(positionIsOk(n));
        return 1;
    }

    if (type == EN_PASSANT) {
        n.ctm += 1;
        const int cp = rankOf(from) * 8 + fileOf(to);
        n.hashKey ^= zob[pieceSquareIndex(e, PAWN, cp)];
        n.pawnKey ^= pzob[pieceSquareIndex(e, PAWN, cp)];
        n.pcs[e][PAWN] ^= bit(cp);
        n.pcs[e][ALL] ^= bit(cp);
        n.pstScore = spSub(n.pstScore, pst[pieceSquareIndex(e, PAWN, cp)]);
        assert(positionIsOk(n));
        return 1;
    }
    if (type == DOUBLE_STEP) {
        n.ctm += 1;
        // The en-passant square is recorded only when an enemy pawn stands
        // beside the pawn and could really take it.
        const Bitboard beside = ((bit(to) << 1) & NOT_FILE_A) | ((bit(to) >> 1) & NOT_FILE_H);
        if (beside & n.pcs[e][PAWN]) {
            const int epSq = (from + to) / 2;
            n.ep = bit(epSq);
            n.hashKey ^= zob[512 + epSq];
        }
        assert(positionIsOk(n));
        return 1;
    }
    if (type >= PROMO_Q) {
        static constexpr int promoted[8] = {0, 0, 0, 0, QUEEN, KNIGHT, ROOK, BISHOP};
        const int pk = promoted[type];
        n.pstScore = spSub(n.pstScore, pst[pieceSquareIndex(col, PAWN, to)]);
        n.hashKey ^= zob[pieceSquareIndex(col, PAWN, to)];
        n.pawnKey ^= pzob[pieceSquareIndex(col, PAWN, to)];
        n.pcs[col][PAWN] ^= bit(to);
        n.pcs[col][pk] ^= bit(to);
        n.hashKey ^= zob[pieceSquareIndex(col, pk, to)];
        n.pstScore = spAdd(n.pstScore, pst[pieceSquareIndex(col, pk, to)]);
        n.stage += STAGE_WEIGHT[pk];
    }
    if (n.pcs[e][ALL] & bit(to)) {
        const int ck = kindOn(n, e, to);
        if (ck == KING) logger("ERROR: king capture here\n");
        n.stage -= STAGE_WEIGHT[ck];
        n.capturedKind = ck;
        n.hashKey ^= zob[pieceSquareIndex(e, ck, to)];
        n.pawnKey ^= pzob[pieceSquareIndex(e, ck, to)];
        n.pstScore = spSub(n.pstScore, pst[pieceSquareIndex(e, ck, to)]);
        n.pcs[e][ck] ^= bit(to);
        n.pcs[e][ALL] ^= bit(to);
    }
    n.ctm += 1;
    assert(n.capturedKind == KING || positionIsOk(n));
    return 1;
}
