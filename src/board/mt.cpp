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
