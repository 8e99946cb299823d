#pragma once
// Helpers shared by the evaluation tests: one-time set-up, positions from FEN
// ready for eval, parameter sets, and the colour and file mirrors.
#include <gtest/gtest.h>

#include <string>

#include "board/zobrist.h"
#include "eval/eval.h"
#include "eval/evaltables.h"
#include "eval/params.h"
#include "eval/pawns.h"
#include "frontend/general.h"
#include "frontend/notation.h"

inline void evalSetUp() {
    static const bool done = [] {
        initStartupTables();
        initEngine();
        return true;
    }();
    (void)done;
}

// pstScore and stage computed as the search entry points do.
inline Position evalPos(const std::string& fen) {
    evalSetUp();
    Position p{};
    fenToPosition(p, fen.c_str());
    p.pstScore = getSC(p);
    p.stage = getSTAGE(p);
    return p;
}

inline int evalFen(const std::string& fen) { return eval(evalPos(fen)); }

inline void restoreDefaults() {
    setDefaultParams();
    reInitEval();
}

// Every weight 0 except the ones given: isolates single terms.
inline void onlyParams(std::initializer_list<std::pair<ScorePair*, ScorePair>> set) {
    evalSetUp();
    for (const ParamEntry& e : paramTable) *e.value = 0;
    for (auto [param, v] : set) *param = v;
    reInitEval();
}

// Tests that change weights put the defaults back afterwards.
struct ParamsTest : ::testing::Test {
    void SetUp() override { evalSetUp(); }
    void TearDown() override { restoreDefaults(); }
};

inline void rekey(Position& m) {
    m.hashKey = slowHash(m);
    m.pawnKey = slowPsHash(m);
    m.pstScore = getSC(m);
    m.stage = getSTAGE(m);
}

// Ranks reversed, colours and side to move swapped.
inline Position colourMirror(const Position& p) {
    Position m = p;
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < 7; ++k) m.pcs[c][k] = __builtin_bswap64(p.pcs[c ^ 1][k]);
    m.castle = __builtin_bswap64(p.castle);
    m.ep = __builtin_bswap64(p.ep);
    m.ctm = (p.ctm & 1) ^ 1;
    m.prev = nullptr;
    rekey(m);
    return m;
}

inline Bitboard flipFiles(Bitboard b) {
    b = ((b >> 1) & 0x5555555555555555ULL) | ((b & 0x5555555555555555ULL) << 1);
    b = ((b >> 2) & 0x3333333333333333ULL) | ((b & 0x3333333333333333ULL) << 2);
    return ((b >> 4) & 0x0f0f0f0f0f0f0f0fULL) | ((b & 0x0f0f0f0f0f0f0f0fULL) << 4);
}

// Files reversed; castling rights dropped, since kings leave the e-file.
inline Position fileMirror(const Position& p) {
    Position m = p;
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < 7; ++k) m.pcs[c][k] = flipFiles(p.pcs[c][k]);
    m.castle = LAST_RANKS;
    m.ep = flipFiles(p.ep);
    m.prev = nullptr;
    rekey(m);
    return m;
}
