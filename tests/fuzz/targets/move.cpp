// Move text on a fixed set of positions: an accepted move is legal, and every
// legal move's own text is accepted.
#include <strings.h>

#include <cstring>

#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/zobrist.h"
#include "board/notation.h"
#include "fuzz_targets.h"

namespace {

// Castling both ways, en passant, promotions with and without capture, check
// and checkmate, pins.
constexpr const char* POSITIONS[] = {
    "",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3",
    "4k3/8/8/8/8/8/4r3/R3K2R w KQ - 0 1",
    "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1",
};
constexpr int N_POSITIONS = sizeof POSITIONS / sizeof POSITIONS[0];

}  // namespace

int fuzzMove(const uint8_t* data, size_t size) {
    fuzzInit();
    if (size == 0) return 0;
    Position p{};
    fenToPosition(p, POSITIONS[data[0] % N_POSITIONS]);
    const std::string text = fuzzText(data + 1, size - 1, 64);
    const int side = sideToMove(p);

    Position child{};
    const int found = algMake(p, child, text.c_str());
    // The UCI loop takes a found move only when it leaves the mover's king safe.
    const bool accepted = found && !fasterInCheck(child, side);

    Move list[MAX_MOVES];
    const int n = genAll(p, list);
    int legalNamed = 0;
    for (int i = 0; i < n; ++i) {
        char t[8];
        alg(list[i], t);
        if (strcasecmp(t, text.c_str()) != 0) continue;
        Position c{};
        make(p, c, list[i]);
        if (fastInCheck(c, side)) continue;
        ++legalNamed;
        if (accepted) FUZZ_CHECK(c.hashKey == child.hashKey);
    }
    FUZZ_CHECK(legalNamed <= 1);
    FUZZ_CHECK(accepted == (legalNamed == 1));
    if (!accepted) return 0;
    FUZZ_CHECK(text.size() == 4 || text.size() == 5);
    FUZZ_CHECK(positionIsOk(child));
    FUZZ_CHECK(child.hashKey == slowHash(child));
    FUZZ_CHECK(child.pawnKey == slowPsHash(child));
    FUZZ_CHECK(!fastInCheck(child, side));
    FUZZ_CHECK(child.inCheck == fastInCheck(child, side ^ 1));
    return 0;
}
