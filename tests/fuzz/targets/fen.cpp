// The FEN reader and its validity check. A FEN the engine accepts is written
// back by positionToFen to a text that reads back to the same position.
#include <cstring>
#include <string>

#include "board/attacks.h"
#include "board/zobrist.h"
#include "board/notation.h"
#include "fuzz_targets.h"

int fuzzFen(const uint8_t* data, size_t size) {
    fuzzInit();
    const std::string fen = fuzzText(data, size, 400);
    const int valid = fenIsValid(fen.c_str());
    // The reader alone must survive any text; it refuses only a bad
    // side-to-move field.
    Position p{};
    if (!fenToPosition(p, fen.c_str())) {
        const std::string read = fen.substr(0, 254);
        const size_t space = read.find(' ');
        const char side = space != std::string::npos && space + 1 < read.size() ? read[space + 1] : 0;
        FUZZ_CHECK(side != 'w' && side != 'b');
        return 0;
    }
    if (!valid) return 0;

    FUZZ_CHECK(positionIsOk(p));
    FUZZ_CHECK(p.hashKey == slowHash(p));
    FUZZ_CHECK(p.pawnKey == slowPsHash(p));
    FUZZ_CHECK(p.inCheck == fastInCheck(p, sideToMove(p)));

    char out[128];
    positionToFen(p, out);
    FUZZ_CHECK(std::strlen(out) < 90);
    FUZZ_CHECK(fenIsValid(out));
    Position q{};
    fenToPosition(q, out);
    FUZZ_CHECK(std::memcmp(p.pcs, q.pcs, sizeof p.pcs) == 0);
    FUZZ_CHECK(sideToMove(p) == sideToMove(q));
    FUZZ_CHECK(q.hashKey == slowHash(q));
    // The written FEN carries no castling rights and no en-passant square:
    // the same position without them.
    Position bare = p;
    bare.castle = 0xff000000000000ffULL;
    bare.ep = 0;
    FUZZ_CHECK(q.hashKey == slowHash(bare));
    char again[128];
    positionToFen(q, again);
    FUZZ_CHECK(std::strcmp(out, again) == 0);
    return 0;
}
