// Copy-make. The parent record is never touched; the child gets every field
// from it and is then edited, keys and piece-square sum kept incrementally.
#include "board/make.h"

#include <cassert>

#include "base/general.h"
#include "board/attacks.h"
#include "board/chess960.h"
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

// Castling, in either form: the standard word names the king's target
// (e1g1), the Chess960 word the castling rook's square (the king takes its
// own rook). King and rook leave their homes before either lands, so they
// may swap or stay put.
int makeCastling(Position& n, int col, int from, int to) {
    const bool rookOnTo = n.pcs[col][ROOK] & bit(to);
    const Castling960 c = castling960(from, rookOnTo ? to : castlingTo(col, to).rookFrom);
    n.movedKind = KING;
    n.hashKey ^= zob[pieceSquareIndex(col, KING, c.kingTo)] ^ zob[pieceSquareIndex(col, KING, c.kingFrom)] ^
                 zob[pieceSquareIndex(col, ROOK, c.rookTo)] ^ zob[pieceSquareIndex(col, ROOK, c.rookFrom)];
    n.pawnKey ^= pzob[pieceSquareIndex(col, KING, c.kingTo)] ^ pzob[pieceSquareIndex(col, KING, c.kingFrom)];
    n.pstScore = spAdd(n.pstScore, spSub(pst[pieceSquareIndex(col, KING, c.kingTo)], pst[pieceSquareIndex(col, KING, c.kingFrom)]));
    n.pstScore = spAdd(n.pstScore, spSub(pst[pieceSquareIndex(col, ROOK, c.rookTo)], pst[pieceSquareIndex(col, ROOK, c.rookFrom)]));
    const Bitboard homes = bit(c.kingFrom) | bit(c.rookFrom), targets = bit(c.kingTo) | bit(c.rookTo);
    n.pcs[col][KING] = (n.pcs[col][KING] & ~homes) | bit(c.kingTo);
    n.pcs[col][ROOK] = (n.pcs[col][ROOK] & ~homes) | bit(c.rookTo);
    n.pcs[col][ALL] = (n.pcs[col][ALL] & ~homes) | targets;
    const Bitboard castle = n.castle | homes | targets;
    n.hashKey ^= castleKey(n.castle) ^ castleKey(castle);
    n.castle = castle;
    n.ctm += 1;
    assert(positionIsOk(n));
    return 1;
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
    if (type == CASTLE && (old.pcs[col][KING] & bit(from))) return makeCastling(n, col, from, to);

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

    // A king or rook that moves, or a rook taken on its home square, loses
    // its castling right for good: the squares are simply marked. The key's
    // castling part changes only when a back-rank square is newly marked.
    if (const Bitboard fresh = fromTo & ~n.castle & LAST_RANKS) n.hashKey ^= castleKey(n.castle) ^ castleKey(n.castle | fresh);
    n.castle |= fromTo;

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
