// The start-up steps both programs and the tests share.
#include "frontend/startup.h"

#include <cmath>

#include "base/general.h"
#include "base/platform.h"
#include "board/tables.h"
#include "board/zobrist.h"
#include "eval/evaltables.h"
#include "frontend/interface.h"
#include "search/search.h"
#include "search/strength.h"

void initStartupTables() {
    logs[0] = 0.0;
    for (int i = 1; i < 256; ++i) logs[i] = 3.0 * std::log10(double(i));
    initBoardTables();
}

void initEngine() {
    initZob();
    init_eval();
    searchHooks.poll = UCI;
    // A level's games differ from one start of the engine to the next.
    seedLevelRandom(uint64_t(platformSeconds() * 1e7));
}
