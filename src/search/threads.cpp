// Helper threads: created when the thread count is set, parked on a condition
// variable between searches, woken together by a new job number.
#include "search/threads.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "board/make.h"
#include "eval/eval.h"
#include "search/nodeutil.h"

namespace {

enum class Job { SEARCH, CLEAR, CLEAR_TABLE, QUIT };

// One helper's published move count: its own counter is thread_local, so the
// main thread reads this copy, refreshed every 1,024 node entries.
struct HelperSlot {
    std::atomic<uint64_t> nodes{0};
};
HelperSlot slots[MAX_THREADS];

// The job board, under `board`: the number of the latest job, what it is, its
// root and limits, and how many helpers have not finished it yet.
// Never destroyed: at exit parked helpers still wait on them.
std::mutex& board = *new std::mutex;
std::condition_variable& jobPosted = *new std::condition_variable;
std::condition_variable& jobDone = *new std::condition_variable;
uint64_t jobNumber = 0;
Job job = Job::SEARCH;
Position jobRoot;
SearchLimits jobLimits;
TTable* jobTable = nullptr;
int busy = 0;
int helpers = 0;  // helpers alive; only the thread that serves input changes it

// Iterative deepening of one helper. Odd helpers skip the second iteration,
// so that half of them always search one iteration deeper than the others.
void helperSearch(int index, Position root, const SearchLimits& limits) {
    search = {};
    search.limits = limits;
    search.limits.nodes = 0;
    search.limits.printLines = false;
    startLearnedTables();
    learned.used = true;  // the table is the main thread's to clear
    nodecount = 0;
    PvLine line;
    for (int k = 1; !signals.abortflag; k += k == 1 ? 1 + (index & 1) : 1) {
        const int s = searchRoot(root, 2 * k + 1, line);
        if (signals.abortflag || std::abs(s) >= MATE_BOUND || k >= MAX_ITERATIONS) break;
    }
    slots[index].nodes.store(nodecount, std::memory_order_relaxed);
}

void helperLoop(int index, uint64_t seen) {
    const int threads = helpers + 1;  // the count cannot change while this helper lives
    helperNodesOut = &slots[index].nodes;
    for (;;) {
        std::unique_lock<std::mutex> lock(board);
        jobPosted.wait(lock, [&] { return jobNumber != seen; });
        seen = jobNumber;
        const Job j = job;
        const Position root = jobRoot;
        const SearchLimits limits = jobLimits;
        TTable* const table = jobTable;
        lock.unlock();
        if (j == Job::SEARCH) {
            helperSearch(index, root, limits);
        } else if (j == Job::CLEAR_TABLE) {
            ttabClearShare(*table, index, threads);
        } else if (j == Job::CLEAR) {
            learned = {};
            clearEvalCaches();
        }
        lock.lock();
        if (--busy == 0) jobDone.notify_all();
        if (j == Job::QUIT) return;
    }
}

// Posts a job to every helper and waits until all have done it, unless it is
// a search, which runs until the abort signal.
void post(Job j, bool wait) {
    std::unique_lock<std::mutex> lock(board);
    job = j;
    busy = helpers;
    ++jobNumber;
    jobPosted.notify_all();
    if (wait) jobDone.wait(lock, [] { return busy == 0; });
}

}  // namespace

void setSearchThreads(int n) {
    n = std::clamp(n, 1, MAX_THREADS);
    if (n - 1 == helpers) return;
    if (helpers > 0) post(Job::QUIT, true);
    helpers = n - 1;
    for (int i = 1; i < n; ++i) {
        slots[i].nodes.store(0, std::memory_order_relaxed);
        // Detached: a helper parked at exit must not hold the process back.
        // It starts at the job board as it is, so it waits for the next job.
        std::thread(helperLoop, i, jobNumber).detach();
    }
}

int searchThreads() { return helpers + 1; }

void startHelpers(const Position& root, const SearchLimits& limits) {
    if (helpers == 0) return;
    {
        std::lock_guard<std::mutex> lock(board);
        jobRoot = root;
        jobLimits = limits;
        for (int i = 1; i <= helpers; ++i) slots[i].nodes.store(0, std::memory_order_relaxed);
    }
    post(Job::SEARCH, false);
}

void waitHelpers() {
    std::unique_lock<std::mutex> lock(board);
    jobDone.wait(lock, [] { return busy == 0; });
}

uint64_t helperNodes() {
    uint64_t n = 0;
    for (int i = 1; i <= helpers; ++i) n += slots[i].nodes.load(std::memory_order_relaxed);
    return n;
}

void clearHelpers() {
    if (helpers > 0) post(Job::CLEAR, true);
}

void clearTable(TTable& t) {
    if (ttabClearBegin(t)) {
        if (helpers > 0) {
            {
                std::lock_guard<std::mutex> lock(board);
                jobTable = &t;
            }
            post(Job::CLEAR_TABLE, false);
        }
        ttabClearShare(t, 0, helpers + 1);
        waitHelpers();
    }
    ttabClearEnd(t);
}
