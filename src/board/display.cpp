// Plain-text pictures of positions and bitboards, and two developer aids.
#include "board/display.h"

#include <cstdio>
#include <cstring>

#include "base/general.h"
#include "base/platform.h"
#include "board/attacks.h"
#include "board/make.h"
#include "board/movegen.h"
#include "board/notation.h"
#include "board/see.h"

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

void bitsGrid(Bitboard b, Bitboard focus) {
    for (int rank = 7; rank >= 0; --rank) {
        std::fputc('\n', stdout);
        for (int file = 0; file < 8; ++file) {
            Bitboard s = bit(rank * 8 + file);
            std::fputs(focus & s ? " #" : b & s ? " X" : " -", stdout);
        }
    }
    std::fputc('\n', stdout);
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

void displayBits(Bitboard b) {
    std::fputs("\nBITS", stdout);
    bitsGrid(b, b);
}

void displayBitsWithFocus(Bitboard b, Bitboard focus) {
    std::fputs("\nOK  \n", stdout);
    bitsGrid(b, focus);
}

void showSee(const Position& p) {
    logger("\n---------[ see ]--------------\n");
    Move list[MAX_MOVES];
    int n = genAll(p, list);
    for (int i = 0; i < n; ++i) {
        char text[8];
        alg(list[i], text);
        logger(" mv = %s  ", text);
        Position child;
        make(p, child, list[i]);
        child.inCheck = fastInCheck(child, sideToMove(child));
        logger("see = %3d  %4d\n", Xsee(p, list[i]), see(p, list[i], 0));
    }
    logger("\n\n");
}

void xDebug(const Position& p, Move m) {
    char fen[128];
    positionToFen(p, fen);
    if (FILE* f = std::fopen("ttt.fen", "w")) {
        std::fprintf(f, "%s\n", fen);
        std::fclose(f);
    }
    displayBoardStdout(p);
    char text[8];
    alg(m, text);
    std::printf("Move in question: %s  spec: %d \n", text, int(m >> 12));
    if (platformSystem("xboard -size small -lpf ttt.fen -ncp") != 0) logger("Error in system call\n");
}
