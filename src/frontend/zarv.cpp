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
    if (parseEngineArgs(argc, argv, &report)) {
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
    if (report) return book_report("zarv.book") ? 0 : 255;
    if (hashMeg != 0) hashtable = ttabMakeHashTable(hashMeg);

    // UCI() handles one line and returns at once when none waits; the engine
    // ends through "quit", end of input or an error exit inside the loop. The
    // pause between calls ends as soon as a line arrives, and there is none
    // while lines wait: a "go" sent right behind its "position" starts at once,
    // as the GUI's clock does.
    for (;;) {
        UCI();
        platformWaitInput(1);
    }
}
