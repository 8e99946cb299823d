// The UCI loop: reading command lines, the game record, "position" and
// "setoption". The "go" command and the time budget live in go.cpp.
#include "frontend/interface.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "base/general.h"
#include "base/platform.h"
#include "board/chess960.h"
#include "board/notation.h"
#include "eval/params.h"
#include "eval/eval.h"
#include "frontend/personalities.h"
#include "search/search.h"
#include "search/strength.h"
#include "search/threads.h"
#include "search/transposition.h"

Position gme[GAME_MAX];
int32_t ply = 0;
int32_t state = 0;
int32_t ponder = 1;
int32_t searching = 0;
int32_t searchInfinite = 0;
int32_t hashMegMax = 4096;
int32_t multiPV = 1;
int32_t moveOverhead = 0;
int32_t limitStrength = 0;
int32_t uciElo = ELO_MAX;
int32_t threadsMax = MAX_THREADS;

namespace {

constexpr size_t LINE_SIZE = 30000;  // at most 29,999 characters form one line
constexpr int MAX_WORDS = 4095;
// ParseString has no limit of its own: room for every word a line can hold.
constexpr size_t WORD_ROOM = LINE_SIZE / 2 + 2;

// Command words, by their hash.
constexpr uint32_t H_UCI = 0x0b88b1c6, H_ISREADY = 0xaaebbe96, H_POSITION = 0x4cef7aba, H_GO = 0x005977fb,
                   H_STOP = 0x7c9e1b4b, H_PONDERHIT = 0x5d4738f2, H_SETOPTION = 0x687891ea,
                   H_UCINEWGAME = 0x0964e38a, H_QUIT = 0x7c9d0608;

// A command runs either from the main loop or, nested, from inside a search
// that the main loop's "go" started; each level has its own line and words.
char lineBuf[2][LINE_SIZE];
char* wordBuf[2][WORD_ROOM];
char textBuf[2][LINE_SIZE];

// Lines that arrived while a search ran, carried out after it in order.
std::deque<std::string> pending;

void joinWords(char** words, int from, int to, char* out) {
    out[0] = 0;
    size_t len = 0;
    for (int i = from; i < to; ++i) {
        size_t w = std::strlen(words[i]);
        if (len + w + 2 > LINE_SIZE) break;
        if (i > from) out[len++] = ' ';
        std::memcpy(out + len, words[i], w + 1);
        len += w;
    }
}

void writeFen() {
    char fen[128];
    positionToFen(gme[ply], fen);
    std::printf("info string fen = %s\n", fen);
}

void cmdUci() {
    std::printf("id name %s %s\n", "Zarv64", VERSION);
    std::printf("id author Halvorn\n");
    std::printf("option name Ponder type check default true\n");
    std::printf("option name Hash type spin default %d min 0 max 4096\n", 32);
    std::printf("option name personalityFile type string default <empty>\n");
    std::printf("option name Threads type spin default 1 min 1 max %d\n", MAX_THREADS);
    std::printf("option name MultiPV type spin default 1 min 1 max %d\n", MAX_ROOT_MOVES);
    std::printf("option name Clear Hash type button\n");
    std::printf("option name Move Overhead type spin default 0 min 0 max 5000\n");
    std::printf("option name UCI_LimitStrength type check default false\n");
    std::printf("option name UCI_Elo type spin default %d min %d max %d\n", ELO_MAX, ELO_MIN, ELO_MAX);
    std::printf("option name UCI_Chess960 type check default false\n");
    std::printf("uciok\n");
    std::fflush(stdout);
}

void cmdIsready() {
    // Before any "position" the game is the start position. A search already
    // running has its own root, which must not change under it.
    if (state == 0) {
        if (!searching) {
            ply = 0;
            fenToPosition(gme[0], "");
        }
        state = 1;
    }
    std::printf("readyok\n");
    std::fflush(stdout);
}

void cmdPosition(char** words, int n, char* fen) {
    if (n < 2) {
        std::fprintf(stderr, "Error here!\n");
        platformExit(1);
    }
    int from;
    if (std::strcmp(words[1], "fen") == 0) {
        // Placement, side to move, castling and en-passant square; move
        // counters that follow are skipped on the way to "moves".
        int end = 2;
        while (end < n && end < 6 && std::strcmp(words[end], "moves") != 0) ++end;
        joinWords(words, 2, end, fen);
        // A side-to-move field, when there is one, is judged first: a bad one
        // ends the engine whatever else is wrong with the text. Only then do
        // the guards refuse a text that would leave the game unplayable.
        if (end > 3 && !fenSideIsValid(fen)) {
            std::fprintf(stderr, "Error in ctm for fen \"%.*s\"", FEN_MAX, fen);
            platformExit(1);
        }
        if (end < 6 || !fenIsValid(fen)) {
            std::printf("info string invalid fen\n");
            return;
        }
        from = 6;
    } else if (std::strcmp(words[1], "startpos") == 0) {
        std::strcpy(fen, START_FEN);
        from = 2;
    } else {
        std::fprintf(stderr, "Error here!\n");
        platformExit(1);
    }
    // The game is set up now: a first "isready" after this must not put the
    // start position back in its place.
    ply = 0;
    state = 1;
    fenToPosition(gme[0], fen);
    while (from < n && std::strcmp(words[from], "moves") != 0) ++from;
    for (int i = from + 1; i < n; ++i) {
        if (ply >= GAME_MAX - 1) {
            std::printf("info string too many moves\n");
            break;
        }
        // A move that is not in the list, or that leaves the mover's king
        // attacked, ends the list: the game stays at the position before it.
        if (!algMake(gme[ply], gme[ply + 1], words[i])) {
            std::printf("info string illegal move %s\n", words[i]);
            break;
        }
        ++ply;
    }
    writeFen();
}

void setHash(const char* value) {
    hashMeg = int32_t(std::strtol(value, nullptr, 10));
    ttabFreeHashTable(hashtable);
    if (hashMeg < 1) {
        hashMeg = 0;
        std::printf("Hash tables turned OFF\n");
        logger("Hash tables turned off\n");
        return;
    }
    if (hashMeg > hashMegMax) hashMeg = hashMegMax;
    hashtable = ttabMakeHashTable(hashMeg);
    ttabClear(hashtable);  // a new table is already zero: this costs nothing
    std::printf("Hash table size is now %d meg\n", hashMeg);
}

void setPersonality(const char* path, const char* lower) {
    // File names keep their letter case on this system; the lower-case form
    // is the fallback for a GUI that sends names case-insensitively.
    if (readPersonality(path) || (std::strcmp(path, lower) != 0 && readPersonality(lower))) {
        clearTable(hashtable);  // scores stored under the old weights mean nothing now
    } else if (const std::string beside = readPersonalityBeside(path, lower); !beside.empty()) {
        clearTable(hashtable);  // a name alone finds the installed set, or the checkout's
        std::printf("info string personality file found at %s\n", beside.c_str());
    } else {
        std::printf("info string cannot open %s\n", path);
    }
    std::printf("personality file = %s\n", lower);
    std::fflush(stdout);
}

// A spin option's value, clamped to lo..hi; a value outside is said.
int32_t spinValue(const char* option, const char* value, long lo, long hi) {
    const long v = std::strtol(value, nullptr, 10);
    const long kept = std::clamp(v, lo, hi);
    if (kept != v) std::printf("info string %s %ld out of range %ld to %ld: set to %ld\n", option, v, lo, hi, kept);
    logger("%s set to %ld\n", option, kept);
    return int32_t(kept);
}

// What a freshly started engine has learned: nothing. The next search counts
// the nodes a first search counts.
void clearHash() {
    clearTable(hashtable);
    learned = {};
    search = {};
    clearEvalCaches();
    clearHelpers();
}

void cmdSetoption(char** words, int n, char* name) {
    int i = 1;
    while (i < n && std::strcmp(words[i], "name") != 0) ++i;
    int nameFrom = i + 1, nameTo = nameFrom;
    while (nameTo < n && std::strcmp(words[nameTo], "value") != 0) ++nameTo;
    if (nameFrom > n) nameFrom = nameTo = n;
    joinWords(words, nameFrom, nameTo, name);
    lowerCase(name);
    // The value is every word after "value", so a file name may hold spaces.
    static char value[LINE_SIZE], lower[LINE_SIZE];
    joinWords(words, nameTo + 1 < n ? nameTo + 1 : n, n, value);
    std::strcpy(lower, value);
    lowerCase(lower);

    if (std::strcmp(name, "hash") == 0) {
        setHash(lower);
    } else if (std::strcmp(name, "ponder") == 0) {
        ponder = std::strcmp(lower, "true") == 0 ? 1 : 0;
        std::printf("ponder set %s\n", ponder ? "ON" : "OFF");
        logger("Ponder set to %d\n", ponder);
    } else if (std::strcmp(name, "personalityfile") == 0) {
        setPersonality(value, lower);
    } else if (std::strcmp(name, "threads") == 0) {
        setSearchThreads(spinValue("Threads", lower, 1, threadsMax));
    } else if (std::strcmp(name, "multipv") == 0) {
        multiPV = spinValue("MultiPV", lower, 1, MAX_ROOT_MOVES);
    } else if (std::strcmp(name, "clear hash") == 0) {
        clearHash();
    } else if (std::strcmp(name, "move overhead") == 0) {
        moveOverhead = spinValue("Move Overhead", lower, 0, 5000);
    } else if (std::strcmp(name, "uci_limitstrength") == 0) {
        limitStrength = std::strcmp(lower, "true") == 0 ? 1 : 0;
        logger("UCI_LimitStrength set to %d\n", limitStrength);
    } else if (std::strcmp(name, "uci_elo") == 0) {
        uciElo = spinValue("UCI_Elo", lower, ELO_MIN, ELO_MAX);
    } else if (std::strcmp(name, "uci_chess960") == 0) {
        // Read by the next "position": its castling field and move texts.
        chess960 = std::strcmp(lower, "true") == 0;
        logger("UCI_Chess960 set to %d\n", chess960On() ? 1 : 0);
    } else {
        std::printf("info string %s not recognized\n", name);
        std::fflush(stdout);
        logger("option %s (value %s) not understood.\n", name, lower);
    }
}

// The first word of a line, hashed, without changing the line.
uint32_t firstWordHash(const char* line) {
    char word[16];
    size_t i = std::strspn(line, " \t\r\n");
    size_t len = std::strcspn(line + i, " \t\r\n");
    if (len == 0) return 0;
    if (len >= sizeof word) return 1;  // longer than any command word
    std::memcpy(word, line + i, len);
    word[len] = 0;
    return hash(word);
}

// End of input: the GUI has gone. Between commands the engine ends now; a
// running search that would wait for "stop" for ever is stopped, and the
// engine ends once it has answered and the kept lines are done.
void inputEnded() {
    if (!searching) platformExit(0);
    if (searchInfinite || signals.ponderMode) {
        signals.abortflag = 1;
        signals.ponderMode = 0;
    }
}

}  // namespace

void uciReset() {
    pending.clear();
    searching = searchInfinite = 0;
    signals.abortflag = 0;
    signals.ponderMode = 0;
    setSearchThreads(1);
    multiPV = 1;
    moveOverhead = 0;
    limitStrength = 0;
    uciElo = ELO_MAX;
    chess960 = false;
    state = 0;
    ply = 0;
    fenToPosition(gme[0], "");
}

int readyinp() {
    return platformInputWaiting() ? 1 : 0;
}

void uciCommand(char* line) {
    const int level = searching ? 1 : 0;
    char** words = wordBuf[level];
    int n = ParseString(line, words);
    if (n <= 0) return;
    if (n > MAX_WORDS) {
        n = MAX_WORDS;
        words[n] = nullptr;
    }
    logger("cmd = %s\n", words[0]);
    switch (hash(words[0])) {
    case H_UCI: cmdUci(); break;
    case H_ISREADY: cmdIsready(); break;
    case H_POSITION: cmdPosition(words, n, textBuf[level]); break;
    case H_GO: uciGo(words, n); break;
    case H_STOP: signals.abortflag = 1; break;
    case H_PONDERHIT: signals.ponderMode = 0; break;
    case H_SETOPTION: cmdSetoption(words, n, textBuf[level]); break;
    case H_UCINEWGAME: break;
    case H_QUIT:
        // Helpers still searching stop before the process ends under them.
        signals.abortflag = 1;
        waitHelpers();
        platformExit(0);
    default:
        std::fprintf(stderr, "%s%-10s =  0x%09x,\n", "UCI_", words[0], hash(words[0]));
        break;
    }
}

void UCI() {
    if (!searching && !pending.empty()) {
        char* line = lineBuf[0];
        std::snprintf(line, LINE_SIZE, "%s", pending.front().c_str());
        pending.pop_front();
        uciCommand(line);
        return;
    }
    if (!readyinp()) return;
    char* line = lineBuf[searching ? 1 : 0];
    if (!platformReadLine(line, LINE_SIZE)) {
        inputEnded();
        return;
    }
    size_t len = std::strlen(line);
    while (len > 0 && (line[len - 1] == '\n' || line[len - 1] == '\r')) line[--len] = 0;
    logger("uci -> %s\n", line);
    if (searching) {
        uint32_t h = firstWordHash(line);
        if (h == 0) return;  // an empty line
        if (h != H_STOP && h != H_PONDERHIT && h != H_ISREADY && h != H_QUIT) {
            pending.emplace_back(line);
            return;
        }
    }
    uciCommand(line);
}
