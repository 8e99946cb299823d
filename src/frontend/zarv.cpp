// Zarv: start-up and the main loop of the UCI engine.
#include <cstdio>

#include "base/general.h"
#include "base/platform.h"
#include "board/notation.h"
#include "book/book.h"
#include "frontend/interface.h"
#include "frontend/myargs.h"
#include "frontend/startup.h"
#include "search/transposition.h"

int main(int argc, char** argv) {
    initStartupTables();
    platformUnbufferStdio();

    int32_t report = 0;
    logfile[0] = 0;
    const ArgOption options[] = {
        {"log", logfile, 1}, {"cpu", &CPU, 2},       {"omt", &omt, 2}, {"razor", &use_razor, 2},
        {"report", &report, 4}, {"hd1", &hd1, 2}, {"hd2", &hd2, 2}, {"", nullptr, 0},
    };
    if (ParseArgs(argc, argv, options)) {
        helpme(argv[0]);
        return 255;
    }
    if (use_razor > 8) use_razor = 8;
    if (logfile[0]) {
        flog = std::fopen(logfile, "a+");
        if (flog) std::setvbuf(flog, nullptr, _IONBF, 0);
    }

    initEngine();
    ply = 0;
    fenToPosition(gme[0], "");  // the game holds the start position until "position"
    std::fprintf(stderr, "Zarv Version %s\n", VERSION);
    if (report) {
        book_report("zarv.book");
        return 0;
    }
    if (hashMeg != 0) hashtable = ttabMakeHashTable(hashMeg);

    // UCI() returns at once when no line waits; the engine ends through
    // "quit", end of input or an error exit inside the loop.
    for (;;) {
        UCI();
        platformSleepMs(1);
    }
}
