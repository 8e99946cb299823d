#pragma once
// Shared by the book tests: stores freed with the test.

#include <algorithm>
#include <fstream>

#include "base/general.h"
#include "book/book.h"
#include "search/search.h"
#include "support.h"

using Line = std::vector<std::string>;

struct TestBook {
    BookStore b{};
    explicit TestBook(bool fresh = true) {
        if (fresh) initBook(b);
    }
    ~TestBook() { freeBook(b); }
};

inline void put(BookStore& b, const Line& moves, int score, int depth = 60) {
    addBookItem(b, playLine(moves).back().hashKey, int16_t(score), uint16_t(depth), 1);
}
