// kpkgen: builds the king-and-pawn-against-king bitbase by retrograde
// analysis and writes it as a C++ source file holding the constant table
// `kpk`. Run by the build; standalone on purpose (the engine library is
// compiled from its output, so it cannot link against that library).
//
// Frame: the pawn moves towards rank 1 (as a black pawn does) and stands on
// files a-d, ranks 2-7. Index = ((pawnIndex * 64 + strongKing) * 64 +
// weakKing) * 2 + pawnSideToMove, pawnIndex = (rank - 1) * 4 + file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int N = 24 * 64 * 64 * 2;

enum : uint8_t { UNKNOWN = 0, WIN = 1, DRAW = 2, INVALID = 3 };

int fileOf(int s) { return s & 7; }
int rankOf(int s) { return s >> 3; }
int dist(int a, int b) {
    int df = std::abs(fileOf(a) - fileOf(b)), dr = std::abs(rankOf(a) - rankOf(b));
    return df > dr ? df : dr;
}
bool adjacent(int a, int b) { return dist(a, b) <= 1; }

int pawnSquare(int pix) { return (pix / 4 + 1) * 8 + pix % 4; }
int indexOf(int pix, int strong, int weak, int pawnToMove) {
    return ((pix * 64 + strong) * 64 + weak) * 2 + pawnToMove;
}

// Squares attacked by a pawn on p marching towards rank 1.
bool pawnAttacks(int p, int s) {
    return rankOf(s) == rankOf(p) - 1 && std::abs(fileOf(s) - fileOf(p)) == 1;
}

// Squares a king on s may step to (on the board), written to out.
int kingSteps(int s, int* out) {
    int n = 0;
    for (int dr = -1; dr <= 1; ++dr)
        for (int df = -1; df <= 1; ++df) {
            if (!dr && !df) continue;
            int r = rankOf(s) + dr, f = fileOf(s) + df;
            if (r >= 0 && r < 8 && f >= 0 && f < 8) out[n++] = r * 8 + f;
        }
    return n;
}

// Does a rook (queen: also diagonals) on q attack s, the strong king on
// blocker being the only piece that can stand in the way?
bool sliderAttacks(int q, int s, int blocker, bool diagonals) {
    int df = fileOf(s) - fileOf(q), dr = rankOf(s) - rankOf(q);
    if (!df && !dr) return false;
    bool straight = !df || !dr;
    bool diagonal = std::abs(df) == std::abs(dr);
    if (!straight && !(diagonals && diagonal)) return false;
    int sf = (df > 0) - (df < 0), sr = (dr > 0) - (dr < 0);
    for (int x = q + sr * 8 + sf; x != s; x += sr * 8 + sf)
        if (x == blocker) return false;
    return true;
}

// The pawn has just promoted on q to a queen or rook, the weak side to move.
// The new piece wins unless the weak king takes it or has been stalemated.
bool promotionWins(int strong, int weak, int q, bool queen) {
    if (adjacent(weak, q) && !adjacent(strong, q)) return false;
    if (sliderAttacks(q, weak, strong, queen)) return true;  // check: mate or a won KQK/KRK
    int steps[8];
    int n = kingSteps(weak, steps);
    for (int i = 0; i < n; ++i) {
        int s = steps[i];
        if (s == q || adjacent(s, strong)) continue;
        if (sliderAttacks(q, s, strong, queen)) continue;
        return true;  // the weak king can move: not stalemate
    }
    return false;
}

bool valid(int pawn, int strong, int weak, int pawnToMove) {
    if (strong == pawn || weak == pawn || adjacent(strong, weak)) return false;
    // With the pawn side to move the weak king cannot stand in check.
    if (pawnToMove && pawnAttacks(pawn, weak)) return false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kpkgen OUTPUT.cpp\n");
        return 2;
    }
    std::vector<uint8_t> res(N, UNKNOWN);
    for (int pix = 0; pix < 24; ++pix)
        for (int k = 0; k < 64; ++k)
            for (int w = 0; w < 64; ++w)
                for (int t = 0; t < 2; ++t)
                    if (!valid(pawnSquare(pix), k, w, t)) res[indexOf(pix, k, w, t)] = INVALID;

    // Fixed-point iteration from the pawn side's point of view: a position is
    // won when the pawn side to move has a winning move, or when every move of
    // the weak side leads to a won position. Whatever is never proven won is
    // a draw. The pawn only moves towards the promotion rank, so ranks nearer
    // to it are settled first.
    for (int pix = 0; pix < 24; ++pix) {
        int pawn = pawnSquare(pix);
        bool changed = true;
        while (changed) {
            changed = false;
            for (int k = 0; k < 64; ++k)
                for (int w = 0; w < 64; ++w)
                    for (int t = 0; t < 2; ++t) {
                        int idx = indexOf(pix, k, w, t);
                        if (res[idx] != UNKNOWN) continue;
                        int steps[8];
                        bool win;
                        if (t) {  // pawn side to move
                            win = false;
                            int n = kingSteps(k, steps);
                            for (int i = 0; i < n && !win; ++i) {
                                int s = steps[i];
                                if (s == pawn || adjacent(s, w)) continue;
                                if (res[indexOf(pix, s, w, 0)] == WIN) win = true;
                            }
                            int one = pawn - 8;
                            if (!win && one != k && one != w) {
                                if (rankOf(one) == 0)
                                    win = promotionWins(k, w, one, true) || promotionWins(k, w, one, false);
                                else {
                                    if (res[indexOf(pix - 4, k, w, 0)] == WIN) win = true;
                                    int two = one - 8;
                                    if (!win && rankOf(pawn) == 6 && two != k && two != w &&
                                        res[indexOf(pix - 8, k, w, 0)] == WIN)
                                        win = true;
                                }
                            }
                        } else {  // weak side to move: won only if every reply loses
                            win = true;
                            bool anyMove = false;
                            int n = kingSteps(w, steps);
                            for (int i = 0; i < n && win; ++i) {
                                int s = steps[i];
                                if (adjacent(s, k) || pawnAttacks(pawn, s)) continue;
                                anyMove = true;
                                if (s == pawn) win = false;  // the pawn is taken
                                else if (res[indexOf(pix, k, s, 1)] != WIN) win = false;
                            }
                            // Without a move: checkmate by the pawn wins, stalemate draws.
                            if (!anyMove) win = pawnAttacks(pawn, w);
                        }
                        if (win) {
                            res[idx] = WIN;
                            changed = true;
                        }
                    }
        }
    }

    std::vector<uint8_t> bits(N / 8, 0);
    for (int i = 0; i < N; ++i)
        if (res[i] == WIN) bits[i / 8] |= uint8_t(1u << (i % 8));

    FILE* f = std::fopen(argv[1], "w");
    if (!f) {
        std::fprintf(stderr, "kpkgen: cannot write %s\n", argv[1]);
        return 1;
    }
    std::fprintf(f, "// Generated by tools/kpkgen.cpp: king and pawn against king, 1 = pawn side wins.\n");
    std::fprintf(f, "#include \"eval/kpkdb.h\"\n\nconst uint8_t kpk[24576] = {\n");
    for (int i = 0; i < N / 8; ++i)
        std::fprintf(f, "%s%d,%s", i % 24 ? "" : "    ", bits[i], i % 24 == 23 ? "\n" : "");
    std::fprintf(f, "};\n");
    if (std::fclose(f) != 0) return 1;
    return 0;
}
