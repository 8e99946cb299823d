// What the front end does for the layers below it: it hands the search its
// way of serving input, and empties the search's table when a personality
// changes the evaluation (the evaluation alone leaves that table alone).
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "eval/evaltables.h"
#include "frontend/interface.h"
#include "search/search.h"
#include "search/transposition.h"
#include "support.h"

TEST(Handover, StartUpGivesTheSearchTheUciLoop) { EXPECT_EQ(searchHooks.poll, &UCI); }

TEST(Handover, PersonalityOptionEmptiesTheTableTheEvaluationKeeps) {
    const std::string dir = makeTempDir();
    const std::string good = dir + "/Weights", missing = dir + "/none";
    std::ofstream(good) << "ropen 180 180\n";
    const TTable saved = hashtable;
    hashtable = ttabMakeHashTable(1);
    const uint64_t key = 0x123456789abcdefULL;
    auto storedAfter = [&](const std::string& command) {
        ttabClear(hashtable);
        ttabPut(hashtable, key, 6, 40, EXACT, 0x1c);
        std::string line = command;
        testing::internal::CaptureStdout();
        line.empty() ? reInitEval() : uciCommand(line.data());
        testing::internal::GetCapturedStdout();
        TTEntry e;
        return ttabGet(hashtable, key, e);
    };
    EXPECT_TRUE(storedAfter(""));  // rebuilding the tables keeps the table's entries
    EXPECT_FALSE(storedAfter("setoption name personalityFile value " + good));
    // A file that cannot be read changes no weight: the entries stay.
    EXPECT_TRUE(storedAfter("setoption name personalityFile value " + missing));
    ttabFreeHashTable(hashtable);
    hashtable = saved;
    defaultWeights();
    removeTree(dir);
}
