// MT19937, the 2002 reference Mersenne Twister. The engine's Zobrist keys are
// drawn from it, so its output must match the reference sequence exactly.
#include "board/mt.h"

namespace {

constexpr int N = 624;
constexpr int M = 397;
constexpr uint32_t MATRIX_A = 0x9908b0dfU;
constexpr uint32_t UPPER_MASK = 0x80000000U;
constexpr uint32_t LOWER_MASK = 0x7fffffffU;

uint32_t mt[N];
int mti = N + 1;  // not yet seeded

}  // namespace

void init_genrand(uint32_t seed) {
    mt[0] = seed;
    for (mti = 1; mti < N; ++mti) mt[mti] = 1812433253U * (mt[mti - 1] ^ (mt[mti - 1] >> 30)) + uint32_t(mti);
}

void init_by_array(const uint32_t* key, int length) {
    init_genrand(19650218U);
    int i = 1, j = 0;
    for (int k = N > length ? N : length; k; --k) {
        mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1664525U)) + key[j] + uint32_t(j);
        ++i;
        ++j;
        if (i >= N) {
            mt[0] = mt[N - 1];
            i = 1;
        }
        if (j >= length) j = 0;
    }
    for (int k = N - 1; k; --k) {
        mt[i] = (mt[i] ^ ((mt[i - 1] ^ (mt[i - 1] >> 30)) * 1566083941U)) - uint32_t(i);
        ++i;
        if (i >= N) {
            mt[0] = mt[N - 1];
            i = 1;
        }
    }
    mt[0] = 0x80000000U;  // non-zero initial state is assured
}

uint32_t genrand_int32() {
    static constexpr uint32_t mag01[2] = {0, MATRIX_A};
    uint32_t y;
    if (mti >= N) {
        if (mti == N + 1) init_genrand(5489U);
        int kk = 0;
        for (; kk < N - M; ++kk) {
            y = (mt[kk] & UPPER_MASK) | (mt[kk + 1] & LOWER_MASK);
            mt[kk] = mt[kk + M] ^ (y >> 1) ^ mag01[y & 1];
        }
        for (; kk < N - 1; ++kk) {
            y = (mt[kk] & UPPER_MASK) | (mt[kk + 1] & LOWER_MASK);
            mt[kk] = mt[kk + (M - N)] ^ (y >> 1) ^ mag01[y & 1];
        }
        y = (mt[N - 1] & UPPER_MASK) | (mt[0] & LOWER_MASK);
        mt[N - 1] = mt[M - 1] ^ (y >> 1) ^ mag01[y & 1];
        mti = 0;
    }
    y = mt[mti++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680U;
    y ^= (y << 15) & 0xefc60000U;
    y ^= y >> 18;
    return y;
}

int32_t genrand_int31() { return int32_t(genrand_int32() >> 1); }
double genrand_real1() { return genrand_int32() * (1.0 / 4294967295.0); }
double genrand_real2() { return genrand_int32() * (1.0 / 4294967296.0); }
double genrand_real3() { return (double(genrand_int32()) + 0.5) * (1.0 / 4294967296.0); }

double genrand_res53() {
    uint32_t a = genrand_int32() >> 5, b = genrand_int32() >> 6;
    return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
}

uint32_t randInt(uint32_t n) {
    if (n <= 1) return 0;
    // Smallest all-ones mask covering n - 1; redraw until the value fits, so
    // every result below n is equally likely.
    uint32_t mask = n - 1;
    mask |= mask >> 1;
    mask |= mask >> 2;
    mask |= mask >> 4;
    mask |= mask >> 8;
    mask |= mask >> 16;
    uint32_t v;
    do v = genrand_int32() & mask;
    while (v >= n);
    return v;
}
