// The personality-file parser: any bytes as the file, after which the tables
// are rebuilt from the weights and a few positions are evaluated with them.
#include "eval/eval.h"
#include "eval/evaltables.h"
#include "eval/params.h"
#include "board/notation.h"
#include "fuzz_targets.h"

namespace {

constexpr const char* POSITIONS[] = {
    "",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/8/4k3/8/2P5/8/8/4K3 b - - 0 1",
    "6k1/5ppp/8/8/8/8/5PPP/3QR1K1 w - - 0 1",
};

}  // namespace

int fuzzPersonality(const uint8_t* data, size_t size) {
    fuzzInit();
    FUZZ_CHECK(readPersonality(fuzzFile(data, size)) == 1);
    for (const char* fen : POSITIONS) {
        Position p{};
        fenToPosition(p, fen);
        eval(p);
    }
    return 0;
}
