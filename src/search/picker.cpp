// Staged move picker. A node that is cut off by its hash move, a capture or a
// killer never pays for generating or sorting its quiet moves.
#include "search/picker.h"

#include <algorithm>
#include <cassert>

#include "board/attacks.h"
#include "board/movegen.h"
#include "board/see.h"
#include "board/tables.h"
#include "search/search.h"

namespace {

enum Stage : int {
    HASH_MOVE = 1, CAPTURES = 2, KILLER1 = 3, KILLER2 = 4, QUIETS = 5,
    EVASIONS = 6, CAPS_CHECKS = 7, POSTPONED = 8, END = 9
};

// Losing moves set aside by the capture-like stages sit below this entry; the
// quiet moves are written from here on (or after the last postponed move when
// there are more of them).
constexpr int QUIET_BASE = 32;

constexpr int KEY_HASH = 30000;
constexpr int KEY_PROMO = 29998;
constexpr int KEY_EP = 14;

constexpr uint32_t entry(Move m, int key) { return uint32_t(key) << 16 | (m & 0xffff); }
constexpr int keyOf(uint32_t e) { return int16_t(e >> 16); }

// Most valuable victim first; among equal victims the cheaper attacker first.
int captureKey(const Position& p, Move m) {
    int col = sideToMove(p);
    int victim = kindAt(p, col ^ 1, moveTo(m));
    int attacker = kindAt(p, col, moveFrom(m));
    return 16 * victim - 2 * attacker;
}

// Keys of the capture stage: the hash move is recognised before the move's kind.
int capsKey(const GenContext& g, Move m) {
    if (m == g.hashMove) return KEY_HASH;
    int t = moveType(m);
    if (t > CASTLE) return KEY_PROMO;
    if (t == EN_PASSANT) return KEY_EP;
    return captureKey(*g.pos, m);
}

// Keys of the evasion and capture-and-check stages: en passant is recognised
// first, so an en-passant hash move sorts as an ordinary en-passant capture.
int mixedKey(const GenContext& g, Move m, bool evasions) {
    int t = moveType(m);
    if (t == EN_PASSANT) return KEY_EP;
    if (m == g.hashMove) return KEY_HASH;
    if (t > CASTLE) return KEY_PROMO;
    const Position& p = *g.pos;
    if (p.pcs[sideToMove(p) ^ 1][ALL] & bit(moveTo(m))) return captureKey(p, m);
    if (!evasions) return 0;
    if (m == g.killer1) return 2;
    if (m == g.killer2) return 1;
    return 0;
}

// Success ratio of a quiet move in 0..2047. Counters below 2^53 take the plain
// 64-bit product; larger ones the 128-bit one, so every size gives the exact quotient.
int historyKey(int col, int kind, int to) {
    int i = pieceSquareIndex(col, kind, to);
    uint64_t s = learned.his_s[i], f = learned.his_f[i];
    if (s < (uint64_t(1) << 53)) return int(s * 2048 / (s + f + 1));
    return int(2048 * (unsigned __int128)s / (s + f + 1));
}

// Straight insertion sort, descending by key and stable: an entry moves up only
// past strictly smaller keys, so equal keys keep their generation order.
void sortEntries(uint32_t* list, int first, int end) {
    for (int i = first + 1; i < end; ++i) {
        uint32_t e = list[i];
        int k = keyOf(e);
        int j = i;
        for (; j > first && keyOf(list[j - 1]) < k; --j) list[j] = list[j - 1];
        list[j] = e;
    }
}

// Appends quiet moves with their history keys.
struct QuietWriter {
    uint32_t* list;
    int n;
    int col;
    void add(int from, int to, int kind, int type = NORMAL) {
        list[n++] = entry(makeMove(from, to, type), historyKey(col, kind, to));
    }
    void addTargets(int from, Bitboard targets, int kind) {
        for (; targets; targets &= targets - 1) add(from, nextBit(targets), kind);
    }
};

// Quiet moves in their generation order: castling, single pawn steps, knights,
// bishops, rooks, queens, king, double steps. Returns the count written.
int genQuiets(const GenContext& g, uint32_t* list) {
    const Position& p = *g.pos;
    int col = sideToMove(p);
    Bitboard occ = occupied(p), empty = ~occ;
    const Bitboard* own = p.pcs[col];
    QuietWriter w{list, 0, col};

    Move castlings[2];
    for (int i = 0, n = genCastling(p, col, castlings); i < n; ++i)
        w.add(moveFrom(castlings[i]), moveTo(castlings[i]), KING, CASTLE);

    // Pawn steps: a step from the seventh rank is a promotion, made elsewhere.
    int up = col == WHITE ? 8 : -8;
    Bitboard pawns = own[PAWN] & ~rnk7[col];
    Bitboard single = (col == WHITE ? pawns << 8 : pawns >> 8) & empty;
    for (Bitboard b = single; b; b &= b - 1) {
        int to = nextBit(b);
        w.add(to - up, to, PAWN);
    }

    for (Bitboard b = own[KNIGHT]; b; b &= b - 1) {
        int from = nextBit(b);
        w.addTargets(from, nATT[from] & empty, KNIGHT);
    }
    for (Bitboard b = own[BISHOP]; b; b &= b - 1) {
        int from = nextBit(b);
        w.addTargets(from, neLine(from, occ) & empty, BISHOP);
        w.addTargets(from, nwLine(from, occ) & empty, BISHOP);
    }
    for (Bitboard b = own[ROOK]; b; b &= b - 1) {
        int from = nextBit(b);
        w.addTargets(from, nsLine(from, occ) & empty, ROOK);
        w.addTargets(from, ewLine(from, occ) & empty, ROOK);
    }
    if (own[QUEEN]) {
        // The queen generator writes plain words in place; keys are added after.
        int end = w.n + genQueensNc(p, col, w.list + w.n);
        for (; w.n < end; ++w.n) w.list[w.n] = entry(w.list[w.n], historyKey(col, QUEEN, moveTo(w.list[w.n])));
    }
    int k = kingSquare(p, col);
    w.addTargets(k, kATT[k] & empty, KING);

    Bitboard doubles = own[PAWN] & rnk2[col];
    doubles = col == WHITE ? ((((doubles << 8) & empty) << 8) & empty)
                           : ((((doubles >> 8) & empty) >> 8) & empty);
    for (Bitboard b = doubles; b; b &= b - 1) {
        int to = nextBit(b);
        w.add(to - 2 * up, to, PAWN, DOUBLE_STEP);
    }
    return w.n;
}

// The hash-move and killer stages. An en-passant word is never offered from
// outside the generators, so it is dropped for good; any other word is
// remembered as tried, so that the generated copy of it is not handed out again.
Move trySingle(GenContext& g, Move& k) {
    if (!k) return 0;
    if ((k >> 12) == EN_PASSANT) {
        k = 0;
        return 0;
    }
    assert(g.triedCount < 4);
    g.tried[g.triedCount++] = k;
    return pslegal(*g.pos, k) ? (k & 0xffff) : 0;
}

bool wasTried(const GenContext& g, Move m) {
    for (int i = 0; i < g.triedCount; ++i)
        if (g.tried[i] == m) return true;
    return false;
}

// Fills the list of a capture-like stage and sorts it.
void startListStage(GenContext& g, int stage) {
    const Position& p = *g.pos;
    Move* moves = g.list;
    g.postponed = 0;
    if (stage == CAPTURES) {
        g.count = genCaps(p, moves);
        for (int i = 0; i < g.count; ++i) g.list[i] = entry(moves[i], capsKey(g, moves[i]));
    } else {
        g.count = stage == EVASIONS ? genOut(p, moves) : genCapsChecks(p, moves);
        for (int i = 0; i < g.count; ++i)
            g.list[i] = entry(moves[i], mixedKey(g, moves[i], stage == EVASIONS));
    }
    sortEntries(g.list, 0, g.count);
}

void startQuietStage(GenContext& g) {
    int base = std::max(QUIET_BASE, int(g.postponed));
    int n = genQuiets(g, g.list + base);
    assert(base + n <= 256);
    g.next = base;
    g.count = base + n;
    if (n >= 2) sortEntries(g.list, base, g.count);
}

}  // namespace

// Rows: main search; quiescence with checks; quiescence with captures only; in check.
const int32_t mvStageTable[64] = {
    HASH_MOVE, CAPTURES, KILLER1, KILLER2, QUIETS, POSTPONED, END, 0, 0, 0,
    HASH_MOVE, CAPS_CHECKS, END, 0, 0, 0, 0, 0, 0, 0,
    HASH_MOVE, CAPTURES, END, 0, 0, 0, 0, 0, 0, 0,
    EVASIONS, POSTPONED, END, 0, 0, 0, 0, 0, 0, 0,
};

void initGenContext(const Position& p, GenContext& g, int row, Move hashMove, Move killer1, Move killer2) {
    g.pos = &p;
    g.row = row;
    g.hashMove = hashMove;
    g.killer1 = killer1;
    g.killer2 = killer2;
    g.stageIndex = g.curStage = g.count = g.next = g.postponed = g.triedCount = 0;
}

Move nextMove(GenContext& g) {
    for (;;) {
        while (g.next < g.count) {
            Move m = g.list[g.next++] & 0xffff;
            if (wasTried(g, m)) continue;
            // Losing captures (and checks or evasions that lose the piece) wait
            // until everything else has been tried. Promotions, castling and en
            // passant are never judged by the exchange.
            if ((g.curStage == CAPTURES || g.curStage == EVASIONS || g.curStage == CAPS_CHECKS) &&
                moveType(m) <= DOUBLE_STEP && !seeAtLeast(*g.pos, m, 0, 0)) {
                g.list[g.postponed++] = m;
                continue;
            }
            return m;
        }
        // A drained context stays on its end entry, so further calls keep
        // answering 0.
        if (g.stageIndex >= 10) return 0;
        g.curStage = mvStageTable[g.row * 10 + g.stageIndex++];
        g.next = g.count = 0;
        Move m = 0;
        switch (g.curStage) {
        case HASH_MOVE: m = trySingle(g, g.hashMove); break;
        case KILLER1: m = trySingle(g, g.killer1); break;
        case KILLER2: m = trySingle(g, g.killer2); break;
        case CAPTURES:
        case EVASIONS:
        case CAPS_CHECKS: startListStage(g, g.curStage); break;
        case QUIETS: startQuietStage(g); break;
        case POSTPONED:
            g.count = g.postponed;
            break;
        case END:
            --g.stageIndex;
            return 0;
        default: break;
        }
        if (m) return m;
    }
}
