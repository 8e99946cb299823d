#pragma once
// The fuzz targets: one function per input surface of the engine, each taking
// any bytes. libFuzzer drives them (entry/entry.cpp, `make fuzz`); the replay
// test runs them on the seed corpora and on every input that once found a
// fault. A broken property ends the process through fuzzFail.
#include <cstddef>
#include <cstdint>
#include <string>

// Engine tables, a 1 MB hash table and bounded searches; once.
void fuzzInit();
[[noreturn]] void fuzzFail(const char* what);
#define FUZZ_CHECK(cond) \
    do {                 \
        if (!(cond)) fuzzFail(#cond); \
    } while (0)

// The bytes as a text: cut at the first zero byte and at maxLen characters.
std::string fuzzText(const uint8_t* data, size_t size, size_t maxLen);
// Writes the bytes to a file of this process's own and returns its name.
const char* fuzzFile(const uint8_t* data, size_t size);

int fuzzUci(const uint8_t* data, size_t size);          // the UCI loop, bytes as stdin
int fuzzFen(const uint8_t* data, size_t size);          // FEN reader and validity check
int fuzzMove(const uint8_t* data, size_t size);         // move text on fixed positions
int fuzzPersonality(const uint8_t* data, size_t size);  // personality file
int fuzzBook(const uint8_t* data, size_t size);         // book file loader
int fuzzArgs(const uint8_t* data, size_t size);         // command line, arguments split at zero bytes

struct FuzzTarget {
    const char* name;  // also the corpus directory under tests/fuzz/corpus
    int (*fn)(const uint8_t*, size_t);
};
inline constexpr FuzzTarget FUZZ_TARGETS[] = {
    {"uci", fuzzUci}, {"fen", fuzzFen},   {"move", fuzzMove},
    {"personality", fuzzPersonality}, {"book", fuzzBook}, {"args", fuzzArgs},
};
