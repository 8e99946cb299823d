// The node searches in-process: repetition, the threat helpers, history
// halving, reductions, the score text, the table store rules of every node
// kind, and invariants of the quiescence and frontier nodes over many positions.

#include <algorithm>
#include <cmath>

#include "base/general.h"
#include "base/platform.h"
#include "board/legal.h"
#include "board/make.h"
#include "eval/eval.h"
#include "frontend/interface.h"
#include "search/search.h"
#include "search/transposition.h"
#include "support.h"

namespace {

int sq(const char* s) { return (s[1] - '1') * 8 + (s[0] - 'a'); }
Move mv(const char* from, const char* to) { return makeMove(sq(from), sq(to)); }

// A private 1 MB table, no input polling, no clock, history as at a first search.
struct SearchTest : ::testing::Test {
    void SetUp() override {
        ttabFreeHashTable(hashtable);
        hashtable = ttabMakeHashTable(1);
        ttabClear(hashtable);
        learned = {}, search = {}, searchHooks = {};
        signals.abortflag = 0;  // a search stopped by its node limit leaves it set
        std::fill(std::begin(learned.his_s), std::end(learned.his_s), 1);
        std::fill(std::begin(learned.his_f), std::end(learned.his_f), 1);
        search.goaltime = 1e18;
    }
    void TearDown() override {
        ttabFreeHashTable(hashtable);
        searchHooks.poll = UCI;
    }
    // A search of p as "go" would start it, without output.
    static void searchFor(Position& p, double budget, int depth, uint64_t nodes = 0) {
        uciBeginSearch(p, SearchLimits{.budget = budget, .depth = depth, .printLines = false, .nodes = nodes});
    }
};

}  // namespace

TEST(Repetition, SameSideFourPliesBackWithinReversibleMoves) {
    for (const auto& c : readTable("repetition.txt"))  // FEN | moves | repeats
        EXPECT_EQ(rep(playLine(words(c[1]), c[0]).back()), std::stoi(c[2])) << c[0] << " " << c[1];
}

namespace {
int polls = 0;
void countPoll() { ++polls; }
void stopPoll() {  // as "stop" served from the poll
    ++polls;
    signals.abortflag = 1;
}
}  // namespace

TEST_F(SearchTest, ReduceHisHalvesWithOneAsFloor) {
    uint64_t* his_s = learned.his_s;
    uint64_t* his_f = learned.his_f;
    std::fill(his_s, his_s + 1024, 7);
    int a = (0 * 8 + PAWN) * 64 + 12, b = (1 * 8 + KING) * 64 + 60;
    his_s[a] = 40001, his_f[a] = 0, his_f[b] = 7;
    reduceHis();
    // rows of no piece kind (7, ALL) are left alone
    EXPECT_EQ(std::tuple(his_s[a], his_f[a], his_f[b], his_s[(1 * 8 + QUEEN) * 64], his_s[7 * 64 + 3], his_s[ALL * 64 + 5]),
              std::tuple(20000u, 1u, 3u, 3u, 7u, 7u));
}

// What each node kind stores in the table for its window (tests/data/store.txt).
TEST_F(SearchTest, StoreRulesOfEveryNodeKind) {
    const std::string bounds[] = {"", "upper", "lower", "exact"};
    for (const auto& c : readTable("store.txt")) {  // node | FEN | alpha | beta | depth | excluded | bound stored | depth stored
        ttabClear(hashtable);
        const Position p = fromFen(c[1]);
        const int alpha = std::stoi(c[2]), beta = std::stoi(c[3]), depth = std::stoi(c[4]);
        PvLine line;
        const int v = c[0] == "pv"      ? searchPv(p, alpha, beta, depth, 1, line)
                      : c[0] == "quies" ? searchQuies(p, alpha, beta, depth, 1, line)
                                        : searchNonPv(p, beta, depth, 1, line, c[5] == "-" ? 0 : findLegalMove(p, c[5].c_str()) & 0xffff);
        TTEntry e{};
        const bool found = ttabGet(hashtable, p.hashKey, e);
        EXPECT_EQ(std::tuple(bounds[found ? e.flags : 0], int(e.depth), found), std::tuple(c[6], std::stoi(c[7]), c[6] != "")) << c[1] << " " << c[2];
        if (!found) continue;
        // Only an upper bound comes without a move; the score stored is the node's.
        EXPECT_TRUE(int(e.score) == v && e.move == (c[6] == "upper" ? 0u : line.m[0]) && (c[6] == "upper" || line.m[0])) << c[2];
        EXPECT_TRUE((c[6] != "lower" || v >= beta) && (c[6] != "upper" || v <= alpha)) << c[1] << " " << c[2];
    }
}

// The values and node counts of shallow null-window searches and the values of
// the quiescence search over the perft suite's positions, folded in order into
// one number that a change to any of them moves.
constexpr uint64_t SHALLOW_FINGERPRINT = 0x49fb4320dc90429f;

TEST_F(SearchTest, QuiescenceAndFrontierNodesKeepTheStaticValue) {
    PvLine line;
    uint64_t fingerprint = 0;
    for (const auto& [fen, counts] : loadPerftSuite()) {
        Position p = fromFen(fen);
        for (int razoring : {0, 5, 8})  // off, as by default, on, and on as far as the command line allows
            for (int depth = 2; depth <= 8; ++depth) {
                ttabClear(hashtable);
                use_razor = razoring;
                const uint64_t before = nodecount;
                const int v = searchNonPv(p, 1, depth, 1, line, 0);
                fingerprint = (fingerprint * 1000003 + uint64_t(int64_t(v))) * 1000003 + (nodecount - before);
            }
        use_razor = 0;
        if (p.inCheck) continue;
        int e0 = eval(p);
        ttabClear(hashtable);
        EXPECT_EQ(searchQuies(p, -32001, 32001, -26, 1, line), e0) << fen;  // too deep: no captures
        for (int depth : {0, -24, -25}) {  // -25: the last quiescence ply that still looks at captures
            const int full = searchQuies(p, -32001, 32001, depth, 1, line);
            EXPECT_GE(full, e0) << fen;
            fingerprint = fingerprint * 1000003 + uint64_t(int64_t(full));
        }
        EXPECT_EQ(searchQuies(p, e0 - 1, e0, 0, 1, line), e0) << fen;  // stand pat at beta
        ttabClear(hashtable);
        int q = searchQuies(p, e0 + 29, e0 + 30, 0, 1, line);
        ttabClear(hashtable);
        EXPECT_EQ(searchNonPv(p, e0 + 30, 1, 1, line, 0), q) << fen;  // depth 1 is quiescence
        ttabClear(hashtable);
        EXPECT_GE(searchNonPv(p, e0 + 150, 3, 1, line, 0), e0) << fen;  // frontier futility
    }
    EXPECT_EQ(fingerprint, SHALLOW_FINGERPRINT);
}

TEST_F(SearchTest, RootListAndNodeLimit) {
    Position p = fromFen(START_FEN);
    SearchLimits limits{.budget = 1e6, .depth = 3, .printLines = false};
    limits.searchMoves[0] = mv("b1", "c3");
    limits.searchMoves[1] = mv("e2", "e5");  // not a legal move: ignored
    limits.searchMovesCount = 2;
    uciBeginSearch(p, limits);  // the list is used up by the search
    EXPECT_TRUE(search.lstCount == 1 && std::string(search.bestMove) == "b1c3" && search.limits.searchMovesCount == 0)
        << search.bestMove;
    limits.searchMoves[0] = mv("e2", "e5");
    limits.searchMovesCount = 1, limits.depth = 1;
    uciBeginSearch(p, limits);
    EXPECT_EQ(search.lstCount, 20);  // none legal: every move

    searchFor(p, 1e6, 99, 20000);
    EXPECT_TRUE(nodecount == 20000u && search.limits.nodes == 0u) << nodecount;  // exact
    searchFor(p, 1e6, 99, 5);  // below the first iteration's own count: it still finishes
    EXPECT_GT(nodecount, 5u);
    EXPECT_NE(findLegalMove(p, search.bestMove), 0u) << search.bestMove;
}

// Stopped by the clock before the first iteration ends, the search plays the
// first move of its root list rather than an answer left from another
// position. The fuzz targets' node cap stops a search as early, counted from
// that search's start, not from the last one's.
TEST_F(SearchTest, StoppedBeforeTheFirstIteration) {
    Position p = fromFen(START_FEN), kiwi = fromFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    search.tics = 0xffe;  // the clock is read every 1,024 nodes: the second node (0x1000) reads it, and it has run out
    searchFor(p, 0, 99);
    EXPECT_TRUE(std::string(search.bestMove) == moveText(search.lst[0].m) && !search.firstIterationDone) << search.bestMove;
    searchFor(kiwi, 1e9, 2);
    searchHooks.nodeCap = 300, searchFor(kiwi, 1e9, 99), searchHooks.nodeCap = 0;  // kiwipete's first iteration takes thousands
    EXPECT_TRUE(nodecount >= 300U && nodecount < 320U && !search.firstIterationDone && search.bestMove[0] != '0') << nodecount;
}

TEST(EasyMove, LeadOfMoreThan150OrALoneMove) {
    for (const auto& c : readTable("easymove.txt"))  // root moves | best score | second score | obvious
        EXPECT_EQ(obviousLead(std::stoi(c[0]), std::stoi(c[1]), std::stoi(c[2])), c[3] == "1") << c[1] << " " << c[2];
}

namespace {

// A clock the test holds: the search's first reading is its start, every
// later one is `clockNow`.
constexpr double CLOCK_START = 1000.0;
double clockNow = CLOCK_START;
int clockReads = 0;
double heldClock() { return clockReads++ ? clockNow : CLOCK_START; }

struct HeldClockTest : SearchTest {
    double (*saved)() = platformClock;
    void SetUp() override { SearchTest::SetUp(), platformClock = heldClock, clockReads = 0; }
    void TearDown() override { platformClock = saved, SearchTest::TearDown(); }
    // The last iteration a search with the clock at `now` finished.
    int iterations(const char* fen, double budget, double now, int depthLimit) {
        clockReads = 0, clockNow = now;
        learned = {};
        Position p = fromFen(fen);
        testing::internal::CaptureStdout();
        uciBeginSearch(p, SearchLimits{.budget = budget, .depth = depthLimit});
        const std::string out = testing::internal::GetCapturedStdout();
        int last = 0;
        const double e = now - CLOCK_START;
        for (const auto& l : splitLines(out)) {
            int depth = 0, ms = 0;
            unsigned long long nodes = 0, nps = 0;
            if (std::sscanf(l.c_str(), "info depth %d time %d nodes %llu score %*s %*d nps %llu", &depth, &ms,
                            &nodes, &nps) != 4)
                continue;
            const auto speed = e > 0 ? (unsigned long long)(double(nodes) / e) : 0;  // no time, no speed
            EXPECT_EQ(std::tuple(ms, nps), std::tuple(int(1000 * e), speed)) << l;
            last = depth;
        }
        return last;
    }
};

double below(double t) { return std::nextafter(t, 0.0); }
double above(double t) { return std::nextafter(t, 1e12); }

}  // namespace

// The soft limits at 0.064, 0.65 and 2.5 times the budget, each just reached
// and just missed, decide after which iteration the search ends.
TEST_F(HeldClockTest, IterationLimitsOfTheTimeRules) {
    const double B = 2.0, t1 = CLOCK_START + 0.064 * B, t2 = CLOCK_START + 0.65 * B, t3 = CLOCK_START + 2.5 * B;
    const char* easy = "4k3/ppp2ppp/8/3q4/8/8/PPP2PPP/3RK3 w - - 0 1";  // the rook takes a queen
    const char* quiet = START_FEN;
    struct Case { const char* fen; double now; int depthLimit, want; } cases[] = {
        {easy, t1, 9, 7},           // an obvious move, from the seventh iteration on
        {easy, below(t1), 9, 9},    //
        {easy, t1, 6, 6},           // the depth limit first
        {easy, CLOCK_START, 3, 3},  // no time gone
        {quiet, t2, 9, 9},          // the best move never changed
        {quiet, above(t2), 9, 2},   //
        {quiet, t3, 9, 2},          // it changed more than once
        {quiet, above(t3), 9, 1},   //
    };
    for (auto c : cases) {
        EXPECT_EQ(iterations(c.fen, B, c.now, c.depthLimit), c.want) << c.fen << " at +" << c.now - CLOCK_START;
        EXPECT_EQ(search.goaltime, CLOCK_START + 4.0 * B);
    }
}

// The poll step serves input through the function the front end handed over
// on every 65,536th node and reads the clock on every 1,024th; from the hard
// limit on, or after a "stop" served there, it ends the node unless pondering.
TEST_F(HeldClockTest, PollStepServesInputAndStopsAtTheHardLimit) {
    search.goaltime = 1004.0;
    struct Case { void (*poll)(); uint32_t tics; double now; int ponder, polled, want; } cases[] = {
        {countPoll, 0xfffe, 1000, 0, 0, 0}, {countPoll, 0xffff, 1000, 0, 1, 0}, {countPoll, 0x1ffff, 1000, 0, 1, 0},
        {countPoll, 0x0fff, 1000, 0, 0, 0}, {stopPoll, 0xffff, 1000, 0, 1, 1},  {stopPoll, 0xffff, 1000, 1, 1, 0},
        {stopPoll, 0x0fff, 1000, 0, 0, 0},  {nullptr, 0xffff, 1000, 0, 0, 0},
        {nullptr, 4095, 1004.0, 0, 0, 1},   {nullptr, 4095, below(1004.0), 0, 0, 0}, {nullptr, 4094, 2000, 0, 0, 0},
        {nullptr, 4096, 2000, 0, 0, 0},     {nullptr, 1023, 2000, 0, 0, 1},   {nullptr, 1022, 2000, 0, 0, 0},
        {nullptr, 8191, 1004.5, 0, 0, 1},   {nullptr, 65535, 1004.0, 0, 0, 1}, {nullptr, 4095, 2000, 1, 0, 0},
    };
    for (auto c : cases) {
        searchHooks.poll = c.poll, search.tics = c.tics, clockReads = 1, clockNow = c.now, polls = 0;
        signals.ponderMode = c.ponder;
        signals.abortflag = 0;
        EXPECT_EQ(std::pair(pollStep(), polls), std::pair(c.want, c.polled)) << std::hex << c.tics << " " << c.now;
        EXPECT_EQ(signals.abortflag, c.poll == stopPoll ? c.polled : c.want) << c.tics;  // set by "stop" even while pondering
    }
    signals.ponderMode = 0;
}
