// The book report: a minimax over the searched positions of the book, and the
// insertion of a line of moves.
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "board/attacks.h"
#include "board/make.h"
#include "board/notation.h"
#include "book/book.h"
#include "search/nodeutil.h"
#include "search/picker.h"
#include "search/search.h"

namespace {

// No searched book move below a position, and its negation.
constexpr int NO_BOOK = -32001;

struct ReportEntry {
    int score;
    char text[384];  // 63 moves of at most 5 characters and a blank each
};

// One entry per legal move of the root: a position never has more than 256.
ReportEntry reportList[256];
int reportCount;

// True when q's key occurs on the line from the minimax's top position down to
// q. The book is a graph: a line can come back to a position it passed
// (knights out and home again), and the minimax must not follow such a cycle
// for ever.
bool onPath(const Position& q, const Position* top) {
    for (const Position* a = q.prev; a; a = a->prev) {
        if (a->hashKey == q.hashKey) return true;
        if (a == top) break;
    }
    return false;
}

int searchBook(BookStore& b, const Position& p, PvLine& line, const Position* top, bool report) {
    line.m[0] = 0;
    int best = NO_BOOK;
    RootMove moves[MAX_ROOT_MOVES];
    const int n = rootMoves(p, moves);
    Position child;
    PvLine childLine;
    for (int i = 0; i < n; ++i) {
        const Move m = moves[i].m;
        make(p, child, m);
        child.inCheck = fasterInCheck(child, sideToMove(child));
        const BookRecord* r = getBookRecord(b, child);
        if (!r->used || r->depth == 0) continue;
        int s;
        if (onPath(child, top)) {
            s = 0;  // going round in a circle is a draw
            childLine.m[0] = 0;
        } else {
            // Every searched child is visited: the minimax has no window.
            s = -searchBook(b, child, childLine, top, false);
            if (s == -NO_BOOK) s = -r->score;
        }
        PvLine here;
        setLine(here, m, childLine);
        if (report && reportCount < 256) {
            ReportEntry& e = reportList[reportCount++];
            e.score = s;
            getUciPv(here, e.text);
        }
        if (s > best) {
            best = s;
            line = here;
        }
    }
    return best;
}

}  // namespace

int book_root_search(BookStore& b, const Position& p, PvLine& line) {
    reportCount = 0;
    int best = searchBook(b, p, line, &p, true);
    for (int i = 0; i < reportCount; ++i)
        for (int j = i + 1; j < reportCount; ++j)
            if (reportList[j].score > reportList[i].score) std::swap(reportList[i], reportList[j]);
    for (int i = 0; i < reportCount; ++i) std::printf("%5d  %s\n", reportList[i].score, reportList[i].text);
    std::fflush(stdout);
    return best;
}

bool book_report(const char* name) {
    BookStore b{};
    if (bookLoad(b, name) != BOOK_OK) return false;
    int size = 0, searched = 0;
    for (int32_t i = 0; i < b.count; ++i) {
        size += b.entries[i].used != 0;
        searched += b.entries[i].used != 0 && b.entries[i].depth > 0;
    }
    std::printf("   Total book size: %8d\n", size);
    std::printf("Positions searched: %8d\n\n", searched);
    Position p;
    fenToPosition(p, "");
    PvLine line;
    book_root_search(b, p, line);
    freeBook(b);
    return true;
}

int book_insert_alg(BookStore& b, const char* moves) {
    std::string text = moves;
    std::vector<char*> words(text.size() / 2 + 2);
    int n = ParseString(text.data(), words.data());
    // Every move's child refers to its parent, so the line is kept whole.
    std::vector<Position> line(size_t(n) + 1);
    fenToPosition(line[0], "");
    for (int i = 0; i < n; ++i) {
        Position& cur = line[size_t(i)];
        Position& next = line[size_t(i) + 1];
        if (!algMake(cur, next, words[size_t(i)])) {
            std::fprintf(stderr, "Book insert: \"%s\" is not a legal move after %d moves\n", words[size_t(i)], i);
            return i;
        }
        BookRecord* r = getBookRecord(b, next);
        if (r->depth == 0 && !bookPut(b, r, next.hashKey, 0, 0)) {
            std::fprintf(stderr, "Book insert: the book is full\n");
            return i;
        }
    }
    return n;
}
