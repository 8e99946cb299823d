// magicgen: finds the multipliers of the four sliding-attack line tables and
// prints them as src/board/magics.h. Run once; the output is committed.
//
// For every square and line direction the index of an occupancy is
// ((occ & mask) * magic) >> 58. A multiplier is good when two occupancies share
// an index only if they give the same attack set along the line, so a 64-entry
// list per square is enough even for the 7-bit rank and file masks.
#include <cstdint>
#include <cstdio>
#include <random>

namespace {

// Line directions as (file step, rank step) pairs, both ways along the line.
struct Dir {
    const char* name;
    int df, dr;
};
constexpr Dir kDirs[4] = {{"ne", 1, 1}, {"nw", -1, 1}, {"ns", 0, 1}, {"ew", 1, 0}};

bool onBoard(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

uint64_t lineMask(int sq, const Dir& d) {
    uint64_t m = 0;
    for (int s = -1; s <= 1; s += 2)
        for (int f = sq % 8 + s * d.df, r = sq / 8 + s * d.dr; onBoard(f, r); f += s * d.df, r += s * d.dr)
            m |= 1ULL << (r * 8 + f);
    return m;
}

uint64_t lineAttacks(int sq, const Dir& d, uint64_t occ) {
    uint64_t a = 0;
    for (int s = -1; s <= 1; s += 2)
        for (int f = sq % 8 + s * d.df, r = sq / 8 + s * d.dr; onBoard(f, r); f += s * d.df, r += s * d.dr) {
            uint64_t b = 1ULL << (r * 8 + f);
            a |= b;
            if (occ & b) break;
        }
    return a;
}

bool magicWorks(int sq, const Dir& d, uint64_t magic) {
    uint64_t mask = lineMask(sq, d);
    uint64_t seen[64];
    bool used[64] = {};
    uint64_t sub = 0;
    do {
        int idx = int((sub * magic) >> 58);
        uint64_t att = lineAttacks(sq, d, sub);
        if (used[idx] && seen[idx] != att) return false;
        used[idx] = true;
        seen[idx] = att;
        sub = (sub - mask) & mask;
    } while (sub);
    return true;
}

}  // namespace

int main() {
    std::mt19937_64 rng(20261205);
    uint64_t magics[4][64];
    for (int di = 0; di < 4; ++di)
        for (int sq = 0; sq < 64; ++sq) {
            for (;;) {
                uint64_t m = rng() & rng() & rng();
                if (magicWorks(sq, kDirs[di], m)) {
                    magics[di][sq] = m;
                    break;
                }
            }
        }
    std::printf("#pragma once\n// Multipliers of the sliding-attack line tables, found by tools/magicgen.cpp:\n");
    std::printf("// every occupancy of a line mask maps, by ((occ & mask) * magic) >> 58, to an\n");
    std::printf("// index shared only with occupancies that give the same attacks.\n");
    std::printf("#include <array>\n#include <cstdint>\n\n");
    for (int di = 0; di < 4; ++di) {
        std::printf("inline constexpr std::array<uint64_t, 64> %sMagicInit = {\n", kDirs[di].name);
        for (int sq = 0; sq < 64; ++sq)
            std::printf("%s0x%016llxULL,%s", sq % 4 == 0 ? "    " : " ", (unsigned long long)magics[di][sq],
                        sq % 4 == 3 ? "\n" : "");
        std::printf("};\n\n");
    }
    return 0;
}
