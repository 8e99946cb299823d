// The node searches in-process: repetition, the threat helpers, history
// halving, reductions, the score text, the table store rules of every node
// kind, and invariants of the quiescence and frontier nodes over many positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "board/attacks.h"
#include "board/make.h"
#include "board/tables.h"
#include "eval/eval.h"
#include "frontend/general.h"
#include "frontend/interface.h"
#include "frontend/notation.h"
#include "search/picker.h"
#include "search/search.h"
#include "search/transposition.h"
#include "support.h"

namespace {

void engineSetUp() {
    static const bool done = [] {
        initStartupTables();
        initEngine();
        return true;
    }();
    (void)done;
}

// A root position as the search entry point prepares it.
Position rootOf(const std::string& fen) {
    engineSetUp();
    Position p{};
    fenToPosition(p, fen.c_str());
    p.pstScore = getSC(p);
    p.stage = getSTAGE(p);
    return p;
}

int sq(const char* s) { return (s[1] - '1') * 8 + (s[0] - 'a'); }

// Fixture: a private 1 MB table, no input polling, no clock, and the killer
// and history tables restored afterwards for the other tests of this program.
struct SearchTest : ::testing::Test {
    TTable saved{};
    uint64_t hs[1024], hf[1024];
    Move k[4][128];
    void SetUp() override {
        engineSetUp();
        saved = hashtable;
        hashtable = ttabMakeHashTable(1);
        ttabClear(hashtable);
        std::memcpy(hs, his_s, sizeof hs);
        std::memcpy(hf, his_f, sizeof hf);
        std::memcpy(k[0], ka, sizeof k[0]);
        std::memcpy(k[1], kb, sizeof k[1]);
        std::memcpy(k[2], oa, sizeof k[2]);
        std::memcpy(k[3], ob, sizeof k[3]);
        std::fill(his_s, his_s + 1024, 1);
        std::fill(his_f, his_f + 1024, 1);
        searchPollsInput = 0;
        searchSilent = 1;
        abortflag = 0;
        ponderMode = 0;
        nodeLimit = 0;
        goaltime = 1e18;
    }
    void TearDown() override {
        ttabFreeHashTable(hashtable);
        hashtable = saved;
        std::memcpy(his_s, hs, sizeof hs);
        std::memcpy(his_f, hf, sizeof hf);
        std::memcpy(ka, k[0], sizeof k[0]);
        std::memcpy(kb, k[1], sizeof k[1]);
        std::memcpy(oa, k[2], sizeof k[2]);
        std::memcpy(ob, k[3], sizeof k[3]);
        searchSilent = 0;
        searchPollsInput = 1;
    }
    const TTEntry* entry(const Position& p) { return ttabGet(hashtable, p.hashKey); }
};

// A game as a chain of records, each made from the one before.
struct Game {
    std::vector<Position> rec;
    explicit Game(const std::string& fen) {
        rec.reserve(64);
        rec.push_back(rootOf(fen));
    }
    Game& play(const char* text) {
        Position child{};
        EXPECT_TRUE(algMake(rec.back(), child, text)) << text;
        rec.push_back(child);
        rec.back().prev = &rec[rec.size() - 2];
        return *this;
    }
    Game& pass() {
        Position child{};
        make(rec.back(), child, 0);
        rec.push_back(child);
        rec.back().prev = &rec[rec.size() - 2];
        return *this;
    }
    const Position& last() const { return rec.back(); }
};

std::vector<std::string> epdFens(const std::string& file, size_t most) {
    std::ifstream in(dataPath(file));
    std::vector<std::string> out;
    std::string line;
    while (out.size() < most && std::getline(in, line)) {
        std::vector<std::string> f;
        size_t pos = 0;
        for (int i = 0; i < 4; ++i) {
            size_t sp = line.find(' ', pos);
            f.push_back(line.substr(pos, sp - pos));
            pos = sp + 1;
        }
        out.push_back(f[0] + " " + f[1] + " " + f[2] + " " + f[3]);
    }
    return out;
}

}  // namespace

TEST(ScoreText, CentipawnsAndMates) {
    struct Case {
        int s;
        const char* text;
    } cases[] = {{0, "cp 0"},           {150, "cp 150"},        {-37, "cp -37"},       {31800, "cp 31800"},
                 {-31800, "cp -31800"}, {31999, "mate 1"},      {31998, "mate 2"},     {31997, "mate 2"},
                 {31995, "mate 3"},     {-32000, "mate -1"},    {-31998, "mate -1"},   {-31996, "mate -2"},
                 {-31994, "mate -3"},   {31801, "mate 100"},    {-31801, "mate -100"}};
    for (auto c : cases) {
        char out[32];
        scoreText(c.s, out);
        EXPECT_STREQ(out, c.text) << c.s;
    }
}

TEST(LateMoveReduction, StepsOfTheLogarithmCurve) {
    engineSetUp();
    struct Range {
        int from, to, nonPv, pv;
    } ranges[] = {{2, 2, 2, 0},   {3, 4, 3, 1},   {5, 9, 4, 2},     {10, 21, 5, 3},
                  {22, 46, 6, 4}, {47, 99, 7, 5}, {100, 215, 8, 6}, {216, 255, 9, 7}};
    for (auto r : ranges)
        for (int n = r.from; n <= r.to; ++n) {
            EXPECT_EQ(lmrReduction(n, false), r.nonPv) << n;
            EXPECT_EQ(lmrReduction(n, true), r.pv) << n;
        }
}

TEST(Repetition, KnightShuffles) {
    Game g(START_FEN);
    g.play("g1f3").play("g8f6").play("f3g1").play("f6g8");
    // Back at the start, but the position set up from FEN is never compared.
    EXPECT_EQ(rep(g.last()), 0);
    g.play("g1f3");
    EXPECT_EQ(rep(g.last()), 1);  // four plies back
    g.play("b8c6");
    EXPECT_EQ(rep(g.last()), 0);
}

TEST(Repetition, EndsAtIrreversibleMovesAndNullMoves) {
    Game g(START_FEN);
    g.play("e2e4").play("e7e5").play("g1f3").play("b8c6").play("f3g1").play("c6b8");
    EXPECT_EQ(rep(g.last()), 1);  // the position after 1. e4 e5

    Game h(START_FEN);
    h.play("e2e4").play("e7e5").pass().play("b8c6").play("g1f3").play("c6b8").play("f3g1");
    // The same pieces with Black to move stood on the board right after the
    // null move, which the walk does not cross.
    EXPECT_EQ(rep(h.last()), 0);

    Game k(START_FEN);
    k.play("g1f3").play("g8f6").play("f3g1").play("f6g8").play("e2e4");
    EXPECT_EQ(rep(k.last()), 0);  // a pawn move is never a repetition
    EXPECT_EQ(rep(k.rec[0]), 0);  // nor is the game's start
}

TEST(AttVic, PieceOnSquareAttacksTarget) {
    // White: Kb1, Qd1, Ra4, Bc4, Nf3, pawn e4; Black: Kh8, pawn f5, Bd7, rook d4.
    Position p = rootOf("7k/3b4/8/5p2/R1BrP3/5N2/8/1K1Q4 w - - 0 1");
    struct Case {
        int col;
        const char *from, *to;
        int want;
    } cases[] = {
        {WHITE, "e4", "f5", 1}, {WHITE, "e4", "d5", 1}, {WHITE, "e4", "e5", 0}, {WHITE, "f3", "d4", 1},
        {WHITE, "f3", "e5", 1}, {WHITE, "f3", "f5", 0}, {WHITE, "c4", "f7", 1}, {WHITE, "c4", "a6", 1},
        {WHITE, "c4", "g8", 1}, {WHITE, "c4", "c5", 0}, {WHITE, "a4", "a8", 1}, {WHITE, "a4", "c4", 1},
        {WHITE, "a4", "d4", 0}, {WHITE, "d1", "d4", 1}, {WHITE, "d1", "d5", 0}, {WHITE, "d1", "h5", 0}, {WHITE, "d1", "a4", 1},
        {WHITE, "b1", "c2", 1}, {WHITE, "b1", "b3", 0}, {WHITE, "e5", "f6", 0}, {BLACK, "e4", "f5", 0},
        {BLACK, "f5", "e4", 1}, {BLACK, "f5", "g6", 0}, {BLACK, "d7", "a4", 1}, {BLACK, "d4", "d1", 1},
        {BLACK, "d4", "a4", 0}, {BLACK, "d4", "c4", 1}, {BLACK, "d4", "h4", 0}, {BLACK, "h8", "g7", 1}, {BLACK, "h8", "f8", 0},
    };
    for (auto c : cases)
        EXPECT_EQ(attVic(p, c.col, sq(c.from), sq(c.to)), c.want) << c.from << "-" << c.to << " colour " << c.col;
}

TEST(Connected, ThreatFollowsFromTheLastMove) {
    // White: Kh1, Ra1, Na3, Bg5, Qd1; Black: Kg8, Nf6, pawns f7 g7 h7.
    const char* fen = "6k1/5ppp/5n2/6B1/8/N7/8/R2Q3K w - - 0 1";
    Move none = 0;
    {
        Game g(fen);
        g.play("a3b5");
        const Position& p = g.last();
        EXPECT_EQ(connected(p, WHITE, p.lastMove, none), 0);
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("b5"), sq("c7"))), 1);  // the moved piece
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("a1"), sq("a8"))), 1);  // the file it opened
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("d1"), sq("d7"))), 0);  // unrelated
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("d1"), sq("a4"))), 0);
    }
    {
        Game g(fen);
        g.play("g5f6");  // takes the knight that guarded h5 and d7
        const Position& p = g.last();
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("d1"), sq("h5"))), 1);
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("d1"), sq("d7"))), 1);
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("d1"), sq("d3"))), 0);
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("a1"), sq("a7"))), 0);
    }
    {
        Game g(fen);
        g.play("d1d5");
        const Position& p = g.last();
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("a1"), sq("d1"))), 1);  // to the square it left
        EXPECT_EQ(connected(p, WHITE, p.lastMove, makeMove(sq("a1"), sq("c1"))), 0);
    }
}

TEST_F(SearchTest, ReduceHisHalvesWithOneAsFloor) {
    for (int i = 0; i < 1024; ++i) his_s[i] = his_f[i] = 7;
    int a = (0 * 8 + PAWN) * 64 + 12, b = (1 * 8 + KING) * 64 + 60, spare = (0 * 8 + 7) * 64 + 3;
    his_s[a] = 40001;
    his_f[a] = 0;
    his_s[b] = 1;
    his_f[b] = 2;
    reduceHis();
    EXPECT_EQ(his_s[a], 20000u);
    EXPECT_EQ(his_f[a], 1u);
    EXPECT_EQ(his_s[b], 1u);
    EXPECT_EQ(his_f[b], 1u);
    EXPECT_EQ(his_s[(1 * 8 + QUEEN) * 64 + 0], 3u);
    EXPECT_EQ(his_s[spare], 7u);  // rows of no piece kind are left alone
    EXPECT_EQ(his_s[(0 * 8 + ALL) * 64 + 5], 7u);
}

TEST(PassMask, SquaresNoOpponentPawnCanContest) {
    struct Case {
        const char* fen;
        Bitboard mask;
    } cases[] = {
        // White to move: ranks 1-4, minus what Black's pawns attack or block on their way down.
        {"4k3/8/8/4p3/8/8/8/4K3 w - - 0 1", 0x00000000c7c7c7c7ULL},
        {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", 0x00000000ffffffffULL},
        {"4k3/p7/8/8/8/8/8/4K3 w - - 0 1", 0x00000000fcfcfcfcULL},
        // Black to move: ranks 5-8, minus White's pawns' paths up the board.
        {"4k3/8/8/8/3P4/8/8/4K3 b - - 0 1", 0xe3e3e3e300000000ULL},
        {"4k3/8/8/8/8/8/7P/4K3 b - - 0 1", 0x3f3f3f3f00000000ULL},
    };
    for (auto c : cases) EXPECT_EQ(passMaskOf(rootOf(c.fen)), c.mask) << c.fen;
}

TEST_F(SearchTest, PvNodeStoresExactUpperAndLower) {
    Position p = rootOf(START_FEN);
    PvLine line;
    int v = searchPv(p, -32001, 32001, 5, 1, line);
    const TTEntry* e = entry(p);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->flags, EXACT);
    EXPECT_EQ(e->depth, 5);
    EXPECT_EQ(e->score, v);
    EXPECT_NE(line.m[0], 0u);
    EXPECT_EQ(e->move, line.m[0]);

    ttabClear(hashtable);
    v = searchPv(p, 1000, 2000, 5, 1, line);
    e = entry(p);
    ASSERT_NE(e, nullptr);
    EXPECT_LE(v, 1000);
    EXPECT_EQ(e->flags, UPPER);
    EXPECT_EQ(e->move, 0);

    ttabClear(hashtable);
    v = searchPv(p, -2000, -1000, 5, 1, line);
    e = entry(p);
    ASSERT_NE(e, nullptr);
    EXPECT_GE(v, -1000);
    EXPECT_EQ(e->flags, LOWER);
    EXPECT_EQ(e->move, line.m[0]);
    EXPECT_NE(line.m[0], 0u);
}

TEST_F(SearchTest, NullWindowNodeStoresBoundsAndSkipsExcludedSearches) {
    // A pawn ending: no null move, so every result goes through the store.
    Position p = rootOf("8/8/4k3/8/8/4K3/4P3/8 w - - 0 1");
    PvLine line;
    int v = searchNonPv(p, 1500, 6, 1, line, 0);
    const TTEntry* e = entry(p);
    ASSERT_NE(e, nullptr);
    EXPECT_LT(v, 1500);
    EXPECT_EQ(e->flags, UPPER);
    EXPECT_EQ(e->move, 0);
    EXPECT_EQ(e->depth, 6);

    ttabClear(hashtable);
    v = searchNonPv(p, -1500, 6, 1, line, 0);
    e = entry(p);
    ASSERT_NE(e, nullptr);
    EXPECT_GE(v, -1500);
    EXPECT_EQ(e->flags, LOWER);
    EXPECT_NE(line.m[0], 0u);
    EXPECT_EQ(e->move, line.m[0]);

    ttabClear(hashtable);
    searchNonPv(p, 0, 6, 1, line, makeMove(sq("e2"), sq("e3")));
    EXPECT_EQ(entry(p), nullptr);
}

TEST_F(SearchTest, QuiescenceStoresOnlyNullWindowResults) {
    // White can take a hanging queen: a quiescence node with captures to try.
    Position p = rootOf("4k3/8/8/3q4/8/2N5/8/4K3 w - - 0 1");
    PvLine line;
    int e0 = eval(p);
    int v = searchQuies(p, e0 + 100, e0 + 101, 0, 1, line);
    const TTEntry* e = entry(p);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->depth, 0);
    EXPECT_GE(v, e0 + 101);
    EXPECT_EQ(e->flags, LOWER);
    EXPECT_EQ(e->move, makeMove(sq("c3"), sq("d5")));

    ttabClear(hashtable);
    v = searchQuies(p, 20000, 20001, -4, 1, line);
    e = entry(p);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->depth, -2);
    EXPECT_EQ(e->flags, UPPER);
    EXPECT_EQ(e->move, 0);

    // A wide window whose alpha ends below beta - 1 stores nothing.
    ttabClear(hashtable);
    searchQuies(p, -20000, 20000, 0, 1, line);
    EXPECT_EQ(entry(p), nullptr);
}

TEST_F(SearchTest, QuiescenceStandsOnItsStaticValue) {
    std::vector<std::string> fens = epdFens("openings.epd", 40);
    for (const auto& f : epdFens("wac.epd", 60)) fens.push_back(f);
    PvLine line;
    for (const auto& fen : fens) {
        Position p = rootOf(fen);
        int e0 = eval(p);
        ttabClear(hashtable);
        if (p.inCheck) continue;
        EXPECT_EQ(searchQuies(p, -32001, 32001, -26, 1, line), e0) << fen;
        EXPECT_EQ(line.m[0], 0u);
        EXPECT_GE(searchQuies(p, -32001, 32001, 0, 1, line), e0) << fen;
        EXPECT_EQ(searchQuies(p, e0 - 1, e0, 0, 1, line), e0) << fen;  // stand pat at beta
        // A node at depth 1 is the quiescence search with the null window.
        ttabClear(hashtable);
        int q = searchQuies(p, e0 + 29, e0 + 30, 0, 1, line);
        ttabClear(hashtable);
        EXPECT_EQ(searchNonPv(p, e0 + 30, 1, 1, line, 0), q) << fen;
        // A frontier node far below beta still keeps its static value.
        ttabClear(hashtable);
        EXPECT_GE(searchNonPv(p, e0 + 150, 3, 1, line, 0), e0) << fen;
    }
}

TEST_F(SearchTest, MatedAndStalemateNodes) {
    PvLine line;
    Position mated = rootOf("k7/1Q6/1K6/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(searchQuies(mated, -32001, 32001, 0, 3, line), -32000 + 3);
    EXPECT_EQ(searchPv(mated, -32001, 32001, 4, 5, line), -32000 + 5);
    EXPECT_EQ(searchNonPv(mated, 0, 8, 2, line, 0), -32000 + 2);
    Position stale = rootOf("k7/8/1Q6/8/8/8/8/7K b - - 0 1");
    EXPECT_EQ(searchPv(stale, -32001, 32001, 4, 5, line), 0);
    EXPECT_EQ(searchNonPv(stale, 1, 8, 2, line, 0), 0);
}

TEST_F(SearchTest, RootListHonoursSearchMovesAndFindsMates) {
    Position p = rootOf(START_FEN);
    searchMoves[0] = makeMove(sq("a2"), sq("a3"));
    searchMoves[1] = makeMove(sq("e2"), sq("e5"));  // not a legal move: ignored
    searchMovesCount = 2;
    resetSearchState();
    uciBeginSearch(p, 1e6, 3);
    EXPECT_EQ(lstCount, 1);
    EXPECT_STREQ(bestMove, "a2a3");
    EXPECT_EQ(searchMovesCount, 0);  // used up by the search

    searchMoves[0] = makeMove(sq("e2"), sq("e5"));
    searchMovesCount = 1;
    uciBeginSearch(p, 1e6, 1);
    EXPECT_EQ(lstCount, 20);  // none legal: every move

    Position mate = rootOf("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
    uciBeginSearch(mate, 1e6, 9);
    EXPECT_STREQ(bestMove, "a1a8");
}

TEST_F(SearchTest, NodeLimitIsExactAfterTheFirstIteration) {
    Position p = rootOf(START_FEN);
    resetSearchState();
    nodeLimit = 20000;
    uciBeginSearch(p, 1e6, 99);
    EXPECT_NE(abortflag, 0);
    EXPECT_EQ(nodecount, 20000u);
    EXPECT_EQ(nodeLimit, 0u);

    // A limit below the first iteration's own count still lets it finish.
    nodeLimit = 5;
    uciBeginSearch(p, 1e6, 99);
    EXPECT_NE(std::string(bestMove), "0000");
    EXPECT_GT(nodecount, 5u);
}

TEST_F(SearchTest, FixedDepthSearchIsDeterministic) {
    Position p = rootOf("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
    uint64_t counts[2];
    std::string moves[2];
    for (int run = 0; run < 2; ++run) {
        ttabClear(hashtable);
        resetSearchState();
        uciBeginSearch(p, 1e6, 5);
        counts[run] = nodecount;
        moves[run] = bestMove;
    }
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_EQ(moves[0], moves[1]);
    EXPECT_GT(counts[0], 1000u);
}

TEST_F(SearchTest, LoneMoveIsTheEasyMove) {
    // Black's king has a single legal move.
    Position p = rootOf("k7/2K5/8/8/8/8/8/7R b - - 0 1");
    uciBeginSearch(p, 1e6, 2);
    EXPECT_EQ(lstCount, 1);
    EXPECT_EQ(easyMove, makeMove(sq("a8"), sq("a7")));
    EXPECT_STREQ(bestMove, "a8a7");
}
