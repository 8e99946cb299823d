// zarv-dev chess960: the Chess960 start positions as FEN lines, the opening
// file of a Fischer random match.
#include <cstdio>

#include "board/chess960.h"
#include "dev.h"

namespace {

int runStarts(int argc, char** argv) {
    long first = 0, last = 959;
    if (argc > 1) {
        if (!devNumber(argv[1], first) || first < 0 || first > 959) {
            std::fprintf(stderr, "zarv-dev chess960: expected a start number from 0 to 959\n");
            return DEV_USAGE;
        }
        last = first;
    }
    for (long n = first; n <= last; ++n) {
        char fen[80];
        chess960Start(int(n), fen);
        std::printf("%s\n", fen);
    }
    return 0;
}

const DevRegister startsCommand("chess960", "chess960 [N]   the 960 start positions (or number N, 518 the standard one) as FEN",
                                runStarts);

}  // namespace
