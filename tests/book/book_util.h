#pragma once
// Shared by the book tests: engine start-up once, stores that free themselves,
// and lines of positions played from the start position.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "board/make.h"
#include "book/book.h"
#include "frontend/general.h"
#include "frontend/notation.h"

inline void bookTestInit() {
    static bool done = false;
    if (!done) {
        initStartupTables();
        initEngine();
    }
    done = true;
}

// A store that is freed with the test, so the sanitizer sees no leak.
struct TestBook {
    BookStore b{};
    TestBook() { bookTestInit(); }
    ~TestBook() { freeBook(b); }
};

// The positions of a line of moves from the start position (or a FEN); "null"
// makes the null move. Held in a deque so that parent pointers stay valid.
inline std::deque<Position> playLine(const std::vector<std::string>& moves, const char* fen = "") {
    bookTestInit();
    std::deque<Position> line(1);
    fenToPosition(line[0], fen);
    for (const auto& m : moves) {
        Position child;
        line.push_back(child);
        if (m == "null") {
            make(line[line.size() - 2], line.back(), 0);
        } else {
            EXPECT_TRUE(algMake(line[line.size() - 2], line.back(), m.c_str())) << m;
        }
    }
    return line;
}
