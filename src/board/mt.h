#pragma once
// MT19937, the 2002 reference Mersenne Twister: the Zobrist keys (and so every
// book file) depend on its exact output sequence for seed 1027.
#include <cstdint>

void init_genrand(uint32_t seed);
uint32_t genrand_int32();
