// The board's fixed tables. Everything that depends only on geometry is built
// at compile time; the sliding-attack lists need every subset of every line
// mask and are filled at start-up.
#include "board/tables.h"

#include <cstddef>
#include <initializer_list>

#include "board/magics.h"

namespace {

constexpr bool onBoard(int f, int r) { return f >= 0 && f < 8 && r >= 0 && r < 8; }

// Squares reached by single steps of (df, dr) from sq.
template <std::size_t N>
constexpr std::array<Bitboard, 64> stepTable(const int (&steps)[N][2]) {
    std::array<Bitboard, 64> t{};
    for (int sq = 0; sq < 64; ++sq)
        for (const auto& s : steps)
            if (onBoard(fileOf(sq) + s[0], rankOf(sq) + s[1])) t[sq] |= bit(sq + s[0] + 8 * s[1]);
    return t;
}

constexpr int kKingSteps[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
constexpr int kKnightSteps[8][2] = {{-2, -1}, {-1, -2}, {1, -2}, {2, -1}, {-2, 1}, {-1, 2}, {1, 2}, {2, 1}};

// Every square along (df, dr) and its reverse through sq, sq itself excluded.
constexpr Bitboard ray(int sq, int df, int dr) {
    Bitboard m = 0;
    for (int s = -1; s <= 1; s += 2)
        for (int f = fileOf(sq) + s * df, r = rankOf(sq) + s * dr; onBoard(f, r); f += s * df, r += s * dr)
            m |= bit(8 * r + f);
    return m;
}

constexpr std::array<Bitboard, 64> lineTable(int df, int dr) {
    std::array<Bitboard, 64> t{};
    for (int sq = 0; sq < 64; ++sq) t[sq] = ray(sq, df, dr);
    return t;
}

constexpr std::array<Bitboard, 64> unionTable(std::initializer_list<std::array<Bitboard, 64>> parts, bool self) {
    std::array<Bitboard, 64> t{};
    for (int sq = 0; sq < 64; ++sq) {
        t[sq] = self ? bit(sq) : 0;
        for (const auto& p : parts) t[sq] |= p[sq];
    }
    return t;
}

constexpr int sign(int x) { return (x > 0) - (x < 0); }

constexpr std::array<std::array<Bitboard, 64>, 64> betweenTable() {
    std::array<std::array<Bitboard, 64>, 64> t{};
    for (int a = 0; a < 64; ++a)
        for (int b = 0; b < 64; ++b) {
            int df = fileOf(b) - fileOf(a), dr = rankOf(b) - rankOf(a);
            if (a == b || (df != 0 && dr != 0 && df != dr && df != -dr)) continue;
            int sf = sign(df), sr = sign(dr);
            Bitboard m = 0;
            for (int f = fileOf(a) + sf, r = rankOf(a) + sr; 8 * r + f != b; f += sf, r += sr) m |= bit(8 * r + f);
            t[a][b] = m;
        }
    return t;
}

constexpr Bitboard rankMask(int r) { return 0xffULL << (8 * r); }

// Attack set along one line with the given occupancy, both directions, each up
// to and including the first occupied square.
Bitboard walkLine(int sq, int df, int dr, Bitboard occ) {
    Bitboard a = 0;
    for (int s = -1; s <= 1; s += 2)
        for (int f = fileOf(sq) + s * df, r = rankOf(sq) + s * dr; onBoard(f, r); f += s * df, r += s * dr) {
            a |= bit(8 * r + f);
            if (occ & bit(8 * r + f)) break;
        }
    return a;
}

void fillLine(LineList (&mob)[64][64], Bitboard (&bits)[64][64], const std::array<Bitboard, 64>& mask,
              const std::array<uint64_t, 64>& magic, int df, int dr) {
    for (int sq = 0; sq < 64; ++sq) {
        for (int i = 0; i < 64; ++i) mob[sq][i] = LineList{};
        Bitboard sub = 0;
        do {
            LineList& l = mob[sq][lineIndex(sub, mask[sq], magic[sq])];
            l.n = 0;
            for (Bitboard a = walkLine(sq, df, dr, sub); a; a &= a - 1) l.sq[l.n++] = uint8_t(nextBit(a));
            sub = (sub - mask[sq]) & mask[sq];
        } while (sub);
        // The generators and the evaluation read the boards; the lists are
        // what each board is made from.
        for (int i = 0; i < 64; ++i) {
            Bitboard b = 0;
            for (int k = 0; k < mob[sq][i].n; ++k) b |= bit(mob[sq][i].sq[k]);
            bits[sq][i] = b;
        }
    }
}

}  // namespace

constinit const std::array<Bitboard, 64> kATT = stepTable(kKingSteps);
constinit const std::array<Bitboard, 64> nATT = stepTable(kKnightSteps);

constinit const std::array<Bitboard, 64> neDiag = lineTable(1, 1);
constinit const std::array<Bitboard, 64> nwDiag = lineTable(-1, 1);
constinit const std::array<Bitboard, 64> nsOrth = lineTable(0, 1);
constinit const std::array<Bitboard, 64> ewOrth = lineTable(1, 0);

constinit const std::array<Bitboard, 64> superD = unionTable({lineTable(1, 1), lineTable(-1, 1)}, true);
constinit const std::array<Bitboard, 64> superO = unionTable({lineTable(0, 1), lineTable(1, 0)}, true);
constinit const std::array<Bitboard, 64> super =
    unionTable({lineTable(1, 1), lineTable(-1, 1), lineTable(0, 1), lineTable(1, 0)}, true);
constinit const std::array<Bitboard, 64> superF = unionTable({lineTable(0, 1)}, true);
constinit const std::array<Bitboard, 64> superR = unionTable({lineTable(1, 0)}, true);
constinit const std::array<std::array<Bitboard, 64>, 64> bet = betweenTable();

constinit const Bitboard rnk1[2] = {rankMask(0), rankMask(7)};
constinit const Bitboard rnk2[2] = {rankMask(1), rankMask(6)};
constinit const Bitboard rnk3[2] = {rankMask(2), rankMask(5)};
constinit const Bitboard rnk4[2] = {rankMask(3), rankMask(4)};
constinit const Bitboard rnk5[2] = {rankMask(4), rankMask(3)};
constinit const Bitboard rnk6[2] = {rankMask(5), rankMask(2)};
constinit const Bitboard rnk7[2] = {rankMask(6), rankMask(1)};
constinit const Bitboard rnk8[2] = {rankMask(7), rankMask(0)};

constinit const std::array<uint64_t, 64> neMagic = neMagicInit;
constinit const std::array<uint64_t, 64> nwMagic = nwMagicInit;
constinit const std::array<uint64_t, 64> nsMagic = nsMagicInit;
constinit const std::array<uint64_t, 64> ewMagic = ewMagicInit;

LineList neMob[64][64], nwMob[64][64], nsMob[64][64], ewMob[64][64];
Bitboard neBits[64][64], nwBits[64][64], nsBits[64][64], ewBits[64][64];
Bitboard wing[64];

void initBoardTables() {
    fillLine(neMob, neBits, neDiag, neMagic, 1, 1);
    fillLine(nwMob, nwBits, nwDiag, nwMagic, -1, 1);
    fillLine(nsMob, nsBits, nsOrth, nsMagic, 0, 1);
    fillLine(ewMob, ewBits, ewOrth, ewMagic, 1, 0);
    constexpr Bitboard fileA = 0x0101010101010101ULL;
    for (int sq = 0; sq < 64; ++sq) {
        // Three files centred on the square's file, pushed inwards at the edges.
        int centre = fileOf(sq) == 0 ? 1 : fileOf(sq) == 7 ? 6 : fileOf(sq);
        wing[sq] = (fileA << (centre - 1)) | (fileA << centre) | (fileA << (centre + 1));
    }
}
