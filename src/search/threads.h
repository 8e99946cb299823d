#pragma once
// The helper threads of the shared-table search. The main thread (the one
// that serves input) searches and answers as with one thread; the helpers
// search the same root at the same time, sharing only the transposition
// table, so that the main thread finds more of the tree already searched.
#include <cstdint>

#include "board/types.h"
#include "search/search.h"
#include "search/transposition.h"

constexpr int MAX_THREADS = 256;

// Search threads in all, the main thread included: n - 1 helpers are created
// now, each with its own position stack, history, killers, move count and
// evaluation caches, and parked until a search wakes them. Threads that are
// no longer wanted end before this returns.
void setSearchThreads(int n);
int searchThreads();
// Wakes every helper to search root (copied) until signals.abortflag is set.
void startHelpers(const Position& root, const SearchLimits& limits);
// Waits until every helper has stopped searching (the caller has set the
// abort signal) and is parked again.
void waitHelpers();
// Moves made by the helpers in the running (or last) search.
uint64_t helperNodes();
// Every helper forgets what it learned: history, killers, evaluation caches.
void clearHelpers();
// Clears the table, every search thread zeroing its share at once; a table
// that nothing has written since it was made or cleared is left as it is.
void clearTable(TTable& t);
