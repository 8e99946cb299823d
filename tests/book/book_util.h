#pragma once
// Shared by the book tests: stores freed with the test, and
// lines of positions played from the start position or a FEN.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>

#include "board/make.h"
#include "book/book.h"
#include "frontend/general.h"
#include "frontend/notation.h"
#include "search/search.h"
#include "support.h"

using Line = std::vector<std::string>;

struct TestBook {
    BookStore b{};
    explicit TestBook(bool fresh = true) { fresh ? initBook(b) : void(); }
    ~TestBook() { freeBook(b); }
};

// "null" makes the null move. A deque keeps the parent pointers valid.
inline std::deque<Position> playLine(const Line& moves, const char* fen = "") {
    std::deque<Position> line(1);
    fenToPosition(line[0], fen);
    for (const auto& m : moves) {
        line.emplace_back();
        if (m == "null") make(line[line.size() - 2], line.back(), 0);
        else EXPECT_TRUE(algMake(line[line.size() - 2], line.back(), m.c_str())) << m;
    }
    return line;
}

inline void put(BookStore& b, const Line& moves, int score, int depth = 60) {
    addBookItem(b, playLine(moves).back().hashKey, int16_t(score), uint16_t(depth), 1);
}
