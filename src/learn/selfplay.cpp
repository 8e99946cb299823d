// Self-play games, their adjudication and the quiet positions they yield.
#include "learn/selfplay.h"

#include <algorithm>
#include <cstring>

#include "base/general.h"
#include "board/attacks.h"
#include "board/legal.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "eval/eval.h"
#include "search/search.h"
#include "search/transposition.h"

const char* const gameEndNames[7] = {"none", "mate", "stalemate", "repetition", "fifty", "material", "length"};

namespace {

// A year: only the node budget ends a search.
constexpr double NO_CLOCK = 31622400.0;

const char* resultText(int result) { return result == 2 ? "1.0" : result == 1 ? "0.5" : "0.0"; }

}  // namespace

uint64_t rngNext(Rng& r) {
    uint64_t z = (r.s += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

Rng gameRng(uint64_t seed, uint64_t index) {
    // Two rounds of mixing, so that neighbouring seeds and indices give
    // unrelated games.
    Rng a{seed};
    Rng r{rngNext(a) ^ (index * 0xd1b54a32d192ed03ULL)};
    rngNext(r);
    return r;
}

void gameStart(Game& g, const char* fen) {
    Position& p = g.pos[0];
    fenToPosition(p, fen && *fen ? fen : START_FEN);
    g.fifty[0] = 0;
    g.count = 1;
    g.firstPlayed = 0;
    g.fullMove = 1;
    g.end = END_NONE;
    g.result = 1;
}

void gamePlay(Game& g, Move m) {
    const int i = g.count - 1;
    Position& child = g.pos[i + 1];
    make(g.pos[i], child, m);
    child.inCheck = fasterInCheck(child, sideToMove(child));
    g.fifty[i + 1] = child.movedKind == PAWN || child.capturedKind ? 0 : int16_t(g.fifty[i] + 1);
    ++g.count;
}

bool insufficientMaterial(const Position& p) {
    Bitboard heavy = 0, minors = 0, bishops = 0;
    for (int col = 0; col < 2; ++col) {
        heavy |= p.pcs[col][PAWN] | p.pcs[col][ROOK] | p.pcs[col][QUEEN];
        minors |= p.pcs[col][KNIGHT] | p.pcs[col][BISHOP];
        bishops |= p.pcs[col][BISHOP];
    }
    if (heavy) return false;
    if (popCount(minors) <= 1) return true;
    // Bishops alone, all on light or all on dark squares, can never mate.
    constexpr Bitboard LIGHT = 0x55aa55aa55aa55aaULL;
    return minors == bishops && ((bishops & LIGHT) == 0 || (bishops & ~LIGHT) == 0);
}

int gameJudge(Game& g) {
    const int last = g.count - 1;
    const Position& p = g.pos[last];
    Move legal[MAX_MOVES];
    // Mate and stalemate first: a mate given with the fiftieth move stands.
    if (legalMoves(p, legal) == 0) {
        g.end = p.inCheck ? END_MATE : END_STALEMATE;
        g.result = p.inCheck ? (sideToMove(p) == WHITE ? 0 : 2) : 1;
        return g.end;
    }
    g.result = 1;
    // The same position a third time: only positions since the last capture
    // or pawn move can repeat, and the key covers castling and en passant.
    int seen = 1;
    for (int i = last - 2; i >= last - g.fifty[last] && i >= 0; i -= 2)
        if (g.pos[i].hashKey == p.hashKey) ++seen;
    if (seen >= 3)
        g.end = END_REPETITION;
    else if (g.fifty[last] >= 100)
        g.end = END_FIFTY;
    else if (insufficientMaterial(p))
        g.end = END_MATERIAL;
    else if (last >= GAME_PLIES)
        g.end = END_LENGTH;
    else
        g.end = END_NONE;
    return g.end;
}

void selfplaySetup() {
    ttabFreeHashTable(hashtable);
    hashtable = ttabMakeHashTable(SELFPLAY_HASH_MB);
    hashMeg = SELFPLAY_HASH_MB;
    searchHooks.poll = nullptr;
}

void freshEngine() {
    learned = {};
    search = {};
    clearEvalCaches();
}

Move engineMove(Game& g, uint64_t nodes) {
    Position& p = g.pos[g.count - 1];
    SearchLimits limits;
    limits.budget = NO_CLOCK;
    limits.nodes = nodes;
    limits.printLines = false;
    search.bestScore = 0;  // a search stopped before its first iteration has no score
    uciBeginSearch(p, limits);
    signals.abortflag = 0;
    const int s = std::clamp(search.bestScore, -SCORE_CAP, SCORE_CAP);
    g.score[g.count - 1] = sideToMove(p) == WHITE ? s : -s;
    return findLegalMove(p, search.bestMove);
}

bool isQuiet(const Position& p) {
    if (p.inCheck) return false;
    // The test must not leave entries behind that would steer later searches.
    const TTable saved = hashtable;
    hashtable = TTable{0, -1, 0, nullptr, 0};
    signals.abortflag = 0;
    PvLine line;
    const int q = searchQuies(p, NO_SCORE, -NO_SCORE, 0, 0, line);
    hashtable = saved;
    return q == eval(p);
}

void fullFen(const Position& p, int fifty, int fullMove, char* out) {
    positionToFen(p, out);
    char* o = std::strchr(out, ' ');
    o += std::sprintf(o, " %c ", sideToMove(p) == WHITE ? 'w' : 'b');
    o += castlingField(p, o);
    *o++ = ' ';
    if (p.ep) {
        const int sq = nextBit(p.ep);
        *o++ = char('a' + fileOf(sq));
        *o++ = char('1' + rankOf(sq));
    } else {
        *o++ = '-';
    }
    std::sprintf(o, " %d %d", fifty, fullMove);
}

int playGame(const SelfPlay& sp, uint64_t index, Game& g, FILE* out) {
    Rng rng = gameRng(sp.seed, index);
    freshEngine();
    int plies = sp.randomPlies;
    if (sp.openingCount > 0) {
        gameStart(g, sp.openings[rngNext(rng) % uint64_t(sp.openingCount)]);
    } else {
        gameStart(g, nullptr);
        plies += RANDOM_PLIES;
    }
    // From the same generator as the opening: the game stays a function of
    // (seed, index).
    for (int i = 0; i < plies && gameJudge(g) == END_NONE; ++i) {
        Move legal[MAX_MOVES];
        const int n = legalMoves(g.pos[g.count - 1], legal);
        gamePlay(g, legal[rngNext(rng) % uint64_t(n)]);
    }
    g.firstPlayed = g.count - 1;
    while (gameJudge(g) == END_NONE) {
        const Move m = engineMove(g, sp.nodes);
        if (!m) break;  // cannot happen while legal moves remain
        gamePlay(g, m);
    }
    // The last position is not searched: a game that ends without mate is a
    // draw, and a mated position is never quiet.
    g.score[g.count - 1] = 0;

    int kept = 0;
    char fen[128];
    const int firstSide = sideToMove(g.pos[0]);
    for (int i = g.firstPlayed; i < g.count; ++i) {
        const Position& p = g.pos[i];
        if (!isQuiet(p)) continue;
        fullFen(p, g.fifty[i], g.fullMove + (i + firstSide) / 2, fen);
        std::fprintf(out, "%llu %s %s", (unsigned long long)index, fen, resultText(g.result));
        if (sp.scores)
            std::fprintf(out, " %+d\n", g.score[i]);
        else
            std::fputc('\n', out);
        ++kept;
    }
    std::fprintf(out, "%llu # %s %s %d\n", (unsigned long long)index, resultText(g.result), gameEndNames[g.end],
                 g.count - 1);
    return kept;
}
