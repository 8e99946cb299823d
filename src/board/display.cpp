// Plain-text pictures of positions.
#include "board/display.h"

#include <cstdio>
#include <cstring>

#include "base/general.h"
#include "board/notation.h"

namespace {

// Writes the board picture into buf (about 300 characters).
void boardPicture(const Position& p, char* buf, size_t size) {
    char last[8], parent[8], rights[5];
    if (p.prev)
        alg(p.prev->lastMove, parent);
    else
        std::strcpy(parent, "N/A");
    alg(p.lastMove, last);
    castlingField(p, rights);

    int len = std::snprintf(buf, size, "\n-----[ CTM = %d   INCHECK = %d   last: %s %s   rights: %s]-----", p.ctm,
                            p.inCheck, parent, last, rights);
    static const char white[] = "-^NBRQK";
    static const char black[] = "-vnbrqk";
    for (int i = 0; i < 64; ++i) {
        int sq = i ^ 56;
        if ((i & 7) == 0) buf[len++] = '\n';
        char ch = '-';
        if (int k = kindAt(p, WHITE, sq))
            ch = white[k];
        else if (int kb = kindAt(p, BLACK, sq))
            ch = black[kb];
        buf[len++] = ' ';
        buf[len++] = ch;
    }
    std::snprintf(buf + len, size - size_t(len), "\n\n");
}

}  // namespace

void displayBoard(const Position& p) {
    if (!flog) return;
    char buf[512];
    boardPicture(p, buf, sizeof buf);
    logger("%s", buf);
}

void displayBoardStdout(const Position& p) {
    char buf[512];
    boardPicture(p, buf, sizeof buf);
    std::fputs(buf, stdout);
}
