// FEN and coordinate move text, and the small text helpers of the UCI loop.
#include "board/notation.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

#include "board/attacks.h"
#include "board/chess960.h"
#include "board/legal.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/pst.h"
#include "board/zobrist.h"

namespace {

constexpr const char* PIECE_LETTERS = "PNBRQK";

// Copies at most FEN_MAX characters of fen into buf; the empty text stands for
// the start position.
void copyFen(const char* fen, char (&buf)[FEN_MAX + 1]) {
    if (!fen || !*fen) fen = START_FEN;
    std::strncpy(buf, fen, FEN_MAX);
    buf[FEN_MAX] = 0;
}

// Colour and kind of a FEN piece letter; kind 0 when it is none.
void pieceOf(char c, int& col, int& kind) {
    const char* w = std::strchr(PIECE_LETTERS, c);
    const char* b = c >= 'a' && c <= 'z' ? std::strchr(PIECE_LETTERS, c - 'a' + 'A') : nullptr;
    col = w ? WHITE : BLACK;
    kind = (c && w) ? int(w - PIECE_LETTERS) + 1 : (c && b) ? int(b - PIECE_LETTERS) + 1 : 0;
}

// Walks the placement field from a8 along each rank down to h1 (counter i
// stands for square i ^ 56): calls onPiece(col, kind, i) for every character
// that is not a digit or "/" (kind 0 when it names no piece) and returns the
// character that ends the field; i is left past the last square named.
template <typename F>
const char* walkPlacement(const char* c, int& i, F&& onPiece) {
    for (; *c && *c != ' '; ++c) {
        if (*c >= '0' && *c <= '9') {
            i += *c - '0';
        } else if (*c == '/') {
            i = (i + 7) & ~7;
        } else {
            int col, kind;
            pieceOf(*c, col, kind);
            onPiece(col, kind, i);
            ++i;
        }
    }
    return c;
}

// The side-to-move letter of a copied FEN: the character after the first space.
char sideLetter(const char* buf) {
    const char* space = std::strchr(buf, ' ');
    return space ? space[1] : 0;
}

}  // namespace

bool fenSideIsValid(const char* fen) {
    char buf[FEN_MAX + 1];
    copyFen(fen, buf);
    const char side = sideLetter(buf);
    return side == 'w' || side == 'b';
}

bool fenToPosition(Position& p, const char* fen) {
    char buf[FEN_MAX + 1];
    copyFen(fen, buf);
    if (!fenSideIsValid(buf)) return false;
    p.prev = nullptr;
    p.castle = LAST_RANKS;  // every home square marked: no right until the castling field grants it
    p.ep = 0;
    p.lastMove = 0;
    for (auto& side : p.pcs)
        for (auto& b : side) b = 0;

    int i = 0;
    const char* c = walkPlacement(buf, i, [&p](int col, int kind, int at) {
        if (kind && at < 64) p.pcs[col][kind] |= bit(at ^ 56);
    });
    for (auto& side : p.pcs) side[ALL] = side[PAWN] | side[KNIGHT] | side[BISHOP] | side[ROOK] | side[QUEEN] | side[KING];
    p.pstScore = getSC(p);
    p.stage = getSTAGE(p);

    p.ctm = c[1] == 'w' ? 0 : 1;  // the side letter, already known to be "w" or "b"

    // Castling field: two characters after the side letter, up to the next
    // space; a missing field reads as "-". Chess960 names its rooks.
    c += 2;
    if (chess960On()) {
        if (*c == ' ') c = readCastling960(p, c + 1);
    } else {
        if (*c == ' ') {
            for (++c; *c && *c != ' '; ++c)
                for (const CastlingRule& r : CASTLING)
                    if (*c == r.letter) p.castle &= ~castlingHomes(r);
        }
        // A right whose king or rook is not on its square is dropped: castling
        // would otherwise conjure a rook out of nothing.
        for (int col = WHITE; col <= BLACK; ++col)
            for (const CastlingRule& r : castlingRules(col)) {
                if (!(p.pcs[col][KING] & bit(r.kingFrom))) p.castle |= bit(r.kingFrom);
                if (!(p.pcs[col][ROOK] & bit(r.rookFrom))) p.castle |= bit(r.rookFrom);
            }
    }

    const int col = sideToMove(p);
    p.inCheck = fastInCheck(p, col);
    p.hashKey = slowHash(p);
    p.pawnKey = slowPsHash(p);

    // En-passant field: the move that made it is recorded as the last move; the
    // square itself only when a pawn of the side to move can take.
    while (*c == ' ') ++c;
    if (c[0] >= 'a' && c[0] <= 'h' && (c[1] == '3' || c[1] == '6')) {
        const int f = c[0] - 'a';
        const bool white = c[1] == '3';
        const int from = (white ? A2 : A7) + f, to = (white ? A4 : A5) + f;
        p.lastMove = makeMove(from, to);
        const Bitboard beside = ((bit(to) << 1) & NOT_FILE_A) | ((bit(to) >> 1) & NOT_FILE_H);
        // Only a real double step counts: the opponent's pawn on its square,
        // made by the side that has just moved.
        const bool real = (p.pcs[col ^ 1][PAWN] & bit(to)) && white == (col == BLACK);
        if (real && (beside & p.pcs[col][PAWN])) {
            const int target = (white ? A3 : A6) + f;
            p.ep = bit(target);
            p.hashKey ^= zob[512 + target];
        }
    }
    assert(popCount(p.pcs[WHITE][KING]) != 1 || popCount(p.pcs[BLACK][KING]) != 1 || positionIsOk(p));
    return true;
}

int fenIsValid(const char* fen) {
    char buf[FEN_MAX + 1];
    copyFen(fen, buf);
    int i = 0, count[2][7] = {};
    bool offBoard = false, pawnOnEdge = false;
    walkPlacement(buf, i, [&](int col, int kind, int at) {
        if (at >= 64) offBoard = true;  // a square past h1
        else ++count[col][kind];
        // A pawn on the first or last rank has no square ahead: the passed
        // pawn terms would look past the board's edge.
        if (kind == PAWN && (at < 8 || (at >= 56 && at < 64))) pawnOnEdge = true;
    });
    if (offBoard || pawnOnEdge || i > 64) return 0;
    for (const auto& n : count) {
        // Material no game can reach (more pieces than eight pawns could have
        // promoted to) could overflow the 256-move lists of the generators.
        const int promoted = std::max(0, n[QUEEN] - 1) + std::max(0, n[ROOK] - 2) + std::max(0, n[BISHOP] - 2) +
                             std::max(0, n[KNIGHT] - 2);
        if (n[KING] != 1 || n[PAWN] + promoted > 8) return 0;
    }
    // The side that has just moved may not be left in check: the first reply
    // would take its king. A bad side field is left for the reader to report.
    const char side = sideLetter(buf);
    if (side == 'w' || side == 'b') {
        Position p{};
        fenToPosition(p, buf);
        if (fasterInCheck(p, sideToMove(p) ^ 1)) return 0;
    }
    return 1;
}

void positionToFen(const Position& p, char* out) {
    char* o = out;
    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const Bitboard b = bit(rank * 8 + file);
            char letter = 0;
            for (int kind = PAWN; kind <= KING && !letter; ++kind) {
                if (p.pcs[WHITE][kind] & b) letter = PIECE_LETTERS[kind - 1];
                else if (p.pcs[BLACK][kind] & b) letter = char(PIECE_LETTERS[kind - 1] - 'A' + 'a');
            }
            if (!letter) {
                ++empty;
                continue;
            }
            if (empty) *o++ = char('0' + empty);
            empty = 0;
            *o++ = letter;
        }
        if (empty) *o++ = char('0' + empty);
        if (rank) *o++ = '/';
    }
    std::strcpy(o, sideToMove(p) == WHITE ? " w - -" : " b - -");
}

int castlingField(const Position& p, char* out) {
    if (chess960On()) return castlingField960(p, out);
    int n = 0;
    for (const CastlingRule& r : CASTLING)
        if (!(p.castle & castlingHomes(r))) out[n++] = r.letter;
    if (n == 0) out[n++] = '-';
    out[n] = 0;
    return n;
}

void alg(Move m, char* out) {
    if (m == 0) {
        std::strcpy(out, "null");
        return;
    }
    const int from = moveFrom(m), to = moveTo(m);
    out[0] = char('a' + fileOf(from));
    out[1] = char('1' + rankOf(from));
    out[2] = char('a' + fileOf(to));
    out[3] = char('1' + rankOf(to));
    static constexpr char promo[8] = {0, 0, 0, 0, 'q', 'n', 'r', 'b'};
    out[4] = promo[moveType(m)];
    out[5] = 0;
}

Move findMove(const Position& p, const char* text) {
    Move list[MAX_MOVES];
    const int n = genAll(p, list);
    for (int i = 0; i < n; ++i) {
        char t[8] = {};
        alg(list[i], t);
        // Letters match in either case; anything else only as itself (a
        // control byte 0x11 is not the digit "1", though both have bit 5 set
        // once OR-ed in).
        int j = 0;
        while (t[j] && text[j] && (t[j] == text[j] || (t[j] >= 'a' && t[j] <= 'z' && t[j] - 'a' + 'A' == text[j]))) ++j;
        if (!t[j] && !text[j]) return list[i];
    }
    return 0;
}

int algMake(const Position& cur, Position& child, const char* text) {
    const Move m = findLegalMove(cur, text);
    if (!m) return 0;
    make(cur, child, m);
    child.inCheck = fastInCheck(child, sideToMove(child));
    return 1;
}

void lowerCase(char* text) {
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z') *text = char(*text - 'A' + 'a');
}

int ParseString(char* text, char** words, int maxWords) {
    int n = 0;
    char* c = text;
    auto sep = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; };
    while (*c && n < maxWords) {
        while (sep(*c)) ++c;
        if (!*c) break;
        words[n++] = c;
        while (*c && !sep(*c)) ++c;
        if (*c) *c++ = 0;
    }
    words[n] = nullptr;
    return n;
}

int ParseString(char* text, char** words) { return ParseString(text, words, PARSE_MAX_WORDS); }

uint32_t hash(const char* text) {
    uint32_t h = 5381;
    for (; *text; ++text) h = h * 33 + uint32_t(int32_t(static_cast<signed char>(*text)));
    return h;
}
