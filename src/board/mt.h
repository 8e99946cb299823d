#pragma once
// MT19937, the 2002 reference Mersenne Twister: the Zobrist keys (and so every
// book file) depend on its exact output sequence for seed 1027.
#include <cstdint>

void init_genrand(uint32_t seed);
void init_by_array(const uint32_t* key, int length);
uint32_t genrand_int32();
int32_t genrand_int31();
double genrand_real1();
double genrand_real2();
double genrand_real3();
double genrand_res53();
uint32_t randInt(uint32_t n);  // uniform below n
