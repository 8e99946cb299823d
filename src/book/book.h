#pragma once
// The opening book: a table of 16-byte records keyed by the position key, on
// disk exactly as in memory.
#include <cstdint>

#include "board/types.h"

struct BookRecord {
    uint64_t key;
    int16_t score;
    uint16_t depth;  // search effort, 0 = not searched
    uint16_t used;
    uint16_t reserved;
};
static_assert(sizeof(BookRecord) == 16);

struct BookStore {
    int32_t count;
    int32_t mask;
    BookRecord* entries;
};

struct PvLine;

void initBook(BookStore& b);
BookRecord* getBookRecord(BookStore& b, const Position& p);
void addBookItem(BookStore& b, uint64_t key, int16_t score, uint16_t depth, uint16_t used);
void loadBookIntoMemory(BookStore& b, const char* name);
void writeBookFromMemory(const BookStore& b, const char* name);
int brep(const Position& p, int n);

int book_report(const char* name);
int book_root_search(BookStore& b, const Position& p, PvLine& line);
int book_search(BookStore& b, const Position& p, int alpha, int beta, int repPlies, PvLine& line);
void book_insert_alg(BookStore& b, const char* moves);
int book_study(BookStore& b, const Position& p, int plyLimit);
void study_book(const char* name);
int bookBeginSearch(Position& p, int effort, int multi, PvLine& out);
int bookNsearchRoot(const Position& p, int depth, int alpha, int beta, PvLine& out, int margin);
