// zarv-dev book: report, insert into and study an opening-book file.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/general.h"
#include "base/platform.h"
#include "book/book.h"
#include "dev.h"
#include "search/transposition.h"

namespace {

constexpr const char* BOOK_USAGE =
    "book report [FILE] | book insert FILE MOVE... | book study FILE [--effort N] [--plies N]";

int usageError(const char* why) {
    std::fprintf(stderr, "zarv-dev book: %s\nusage: zarv-dev %s\n", why, BOOK_USAGE);
    return DEV_USAGE;
}

// Loads FILE, or starts a new book when there is none yet (a file of length
// 0 holds nothing either). 0 when the file exists but is no book, or there is
// no memory for a new one.
int openBook(BookStore& b, const char* name) {
    int64_t size = platformFileSize(name);
    if (size <= 0) return initBook(b);
    if (bookLoad(b, name) != BOOK_OK) {
        std::fprintf(stderr, "zarv-dev book: cannot read \"%s\"\n", name);
        return 0;
    }
    return 1;
}

int runReport(int argc, char** argv) {
    if (argc > 3) return usageError("report takes at most one file");
    const char* name = argc == 3 ? argv[2] : BOOK_FILE;
    if (platformFileSize(name) < 0) std::fprintf(stderr, "zarv-dev book: no book file \"%s\"\n", name);
    return book_report(name) ? 0 : 255;
}

int runInsert(int argc, char** argv) {
    if (argc < 3) return usageError("insert needs a file");
    const char* name = argv[2];
    std::string moves;
    for (int i = 3; i < argc; ++i) (moves += argv[i]) += ' ';
    BookStore b{};
    if (!openBook(b, name)) return 255;
    int before = b.used;
    int words = argc - 3;
    int played = book_insert_alg(b, moves.c_str());
    int status = played == words ? 0 : 1;
    if (writeBookFromMemory(b, name) != 0) status = 1;
    std::printf("%d of %d moves played, %d new positions, %d in the book\n", played, words, b.used - before,
                b.used);
    freeBook(b);
    return status;
}

int runStudy(int argc, char** argv) {
    if (argc < 3) return usageError("study needs a file");
    const char* name = argv[2];
    long effort = 60, plies = BOOK_PLIES;
    for (int i = 3; i < argc; i += 2) {
        long* target = std::strcmp(argv[i], "--effort") == 0  ? &effort
                       : std::strcmp(argv[i], "--plies") == 0 ? &plies
                                                               : nullptr;
        if (!target) return usageError("unknown study option");
        if (i + 1 >= argc || !devNumber(argv[i + 1], *target)) return usageError("option needs a number");
    }
    if (effort < 1 || effort > 1000) return usageError("effort must be 1 to 1000 (600,000 nodes each)");
    if (plies < 1 || plies > BOOK_PLIES) return usageError("plies must be 1 to 70");
    if (platformFileSize(name) <= 0) {
        std::fprintf(stderr, "zarv-dev book: starting a new book \"%s\"\n", name);
        BookStore b{};
        if (!initBook(b)) return 255;
        int failed = writeBookFromMemory(b, name);
        freeBook(b);
        if (failed) return 1;
    }
    // The search serves standard input every 65,536 nodes as in UCI play, and
    // ends the program when input ends. The study takes no commands (Ctrl-C
    // or kill stops it, and the book keeps every finished search), so it
    // listens on a pipe that never delivers anything.
    int fds[2];
    if (::pipe(fds) == 0) {
        ::dup2(fds[0], 0);
        ::close(fds[0]);
    }
    if (!hashtable.entries && hashMeg > 0) hashtable = ttabMakeHashTable(hashMeg);
    bookEffort = int32_t(effort);
    bookMaxPly = int32_t(plies);
    return study_book(name);
}

int runBook(int argc, char** argv) {
    if (argc < 2) return usageError("missing book command");
    if (std::strcmp(argv[1], "report") == 0) return runReport(argc, argv);
    if (std::strcmp(argv[1], "insert") == 0) return runInsert(argc, argv);
    if (std::strcmp(argv[1], "study") == 0) return runStudy(argc, argv);
    return usageError("unknown book command");
}

const DevRegister bookCommand("book", BOOK_USAGE, runBook);

}  // namespace
