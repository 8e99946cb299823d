// zarv-dev eval and evalbench: the static evaluation of one position, and its
// speed over a fixed set of positions.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "base/general.h"
#include "board/legal.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "dev.h"
#include "eval/eval.h"
#include "eval/params.h"
#include "eval/pawns.h"

namespace {

int evalMain(int argc, char** argv) {
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--personality") == 0) {
        if (argc < 3) {
            std::fprintf(stderr, "zarv-dev eval: --personality needs a file\n");
            return DEV_USAGE;
        }
        if (!readPersonality(argv[2])) {
            std::fprintf(stderr, "zarv-dev eval: cannot open personality file \"%s\"\n", argv[2]);
            return DEV_USAGE;
        }
        first = 3;
    }
    Position p;
    if (!devPosition(argc, argv, first, p)) return DEV_USAGE;
    std::printf("eval %d\n", eval(p));
    return 0;
}

// Openings, middle games and endings of every kind the evaluation knows.
const char* const benchFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
    "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQK2R w KQkq - 1 5",
    "rnbqkb1r/pp3ppp/4pn2/2pp4/2PP4/2N1PN2/PP3PPP/R1BQKB1R b KQkq - 0 5",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r2q1rk1/pp2ppbp/2np1np1/8/3NP3/2N1BP2/PPPQ2PP/R3KB1R w KQ - 3 9",
    "r1bq1rk1/ppp1npbp/3p2p1/3Pp3/2P1P3/2N2N2/PP2BPPP/R1BQ1RK1 w - - 1 9",
    "2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PN1PN2/PB2BPPP/2RQ1RK1 w - - 0 12",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "3r1rk1/p4ppp/1qp1p3/4P3/2P5/1P3Q2/P4PPP/3R1RK1 b - - 0 21",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "8/8/4k3/8/2p5/8/B2P2K1/8 w - - 0 1",
    "8/5p1k/6p1/8/3B4/6P1/5PK1/3b4 w - - 0 40",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 30",
    "8/8/8/4k3/8/8/3PK3/8 w - - 0 50",
    "8/8/4k3/8/8/8/8/R3K3 w - - 0 60",
    "2r3k1/5pp1/4p2p/1p1pP3/1P1P4/2R3P1/5PKP/8 b - - 0 35",
    "r1b1k2r/ppq2ppp/2n1pn2/2bp4/8/2NBPN2/PPQ2PPP/R1B1K2R w KQkq - 0 9",
};

int evalbenchMain(int argc, char** argv) {
    long rounds = 5000;
    if (argc > 2 || (argc == 2 && (!devNumber(argv[1], rounds) || rounds < 1 || rounds > 1000000))) {
        std::fprintf(stderr, "usage: zarv-dev evalbench [ROUNDS]   (1 to 1000000, default 5000)\n");
        return DEV_USAGE;
    }
    // Each FEN and every position one legal move away from it.
    static Position set[2048];
    int count = 0;
    for (const char* fen : benchFens) {
        Position& root = set[count++];
        fenToPosition(root, fen);
        Move moves[MAX_MOVES];
        const int n = legalMoves(root, moves);
        for (int i = 0; i < n && count < 2048; ++i) make(root, set[count++], moves[i]);
    }
    long long total = 0, sum = 0;
    double secs = 0;
    for (long r = 0; r < rounds; ++r) {
        // Empty caches every round, so that the whole evaluation is timed;
        // the clearing itself is left out of the time.
        for (EvalCacheEntry& e : eca) e.key = 0;
        clear_pht();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) sum += eval(set[i]);
        secs += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        total += count;
    }
    std::printf("evalbench: %lld evaluations of %d positions in %.3f s: %.0f evaluations per second (checksum %lld)\n",
                total, count, secs, total / (secs > 0 ? secs : 1e-9), sum / rounds);
    return 0;
}

const DevRegister evalCommand("eval", "eval [--personality FILE] [FEN]   static evaluation, side to move's view",
                              evalMain);
const DevRegister evalbenchCommand("evalbench", "evalbench [ROUNDS]   evaluations per second over a fixed set of positions",
                                   evalbenchMain);

}  // namespace
