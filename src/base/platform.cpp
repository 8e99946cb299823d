// Linux implementation of the engine's operating-system calls.
//
// Standard input is read with read(2) into a buffer of our own rather than
// through stdio, so that the non-blocking test and the line reader always
// agree: a line that the test has seen cannot hide in a library buffer, and a
// line that is still arriving is not handed out half-written.
#include "base/platform.h"

#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// Input bytes read from fd 0 but not yet handed out. Larger than the longest
// line the UCI loop takes, so a full buffer always holds a whole piece.
constexpr size_t IN_SIZE = 1 << 16;
char inBuf[IN_SIZE];
size_t inStart = 0, inEnd = 0;
bool inEof = false;
// Input taken from memory instead of fd 0 (platformInputFromMemory).
const char* memIn = nullptr;
size_t memLeft = 0;
void (*exitHook)(int) = nullptr;

size_t pending() { return inEnd - inStart; }

// Reads what one read(2) gives into the free space; blocks only when asked to.
void fill(bool block) {
    if (inEof) return;
    if (inStart > 0 && (inEnd == IN_SIZE || inStart == inEnd)) {
        std::memmove(inBuf, inBuf + inStart, pending());
        inEnd -= inStart;
        inStart = 0;
    }
    if (inEnd == IN_SIZE) return;
    if (memIn) {
        size_t n = std::min(memLeft, IN_SIZE - inEnd);
        std::memcpy(inBuf + inEnd, memIn, n);
        memIn += n;
        memLeft -= n;
        inEnd += n;
        inEof = memLeft == 0;
        return;
    }
    // Even a blocking read waits in poll(), so a descriptor some parent left
    // non-blocking cannot turn the wait into a spin.
    pollfd p = {0, POLLIN, 0};
    int r;
    while ((r = ::poll(&p, 1, block ? -1 : 0)) < 0 && errno == EINTR) {
    }
    if (r == 0) return;
    // Readable, or POLLHUP without data, POLLERR, POLLNVAL: read() tells which.
    for (;;) {
        ssize_t n = ::read(0, inBuf + inEnd, IN_SIZE - inEnd);
        if (n > 0) {
            inEnd += size_t(n);
            return;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        inEof = true;  // end of file, or an error that no retry can mend
        return;
    }
}

// True when the buffer holds a piece the reader can hand out at once: a whole
// line, as much as the caller's buffer takes, or the tail before end of input.
bool pieceReady(size_t maxChars) {
    size_t n = pending();
    if (n >= maxChars) return true;
    if (std::memchr(inBuf + inStart, '\n', n)) return true;
    return inEof;
}

}  // namespace

int platformInputWaiting() {
    // The UCI loop reads up to 29,999 characters per line.
    if (pieceReady(29999)) return 1;
    fill(false);
    return pieceReady(29999) ? 1 : 0;
}

int platformReadLine(char* buf, size_t size) {
    if (size < 2) return 0;
    // A piece never exceeds what the buffer can hold, whatever the caller's room.
    size_t maxChars = size - 1 < IN_SIZE ? size - 1 : IN_SIZE;
    while (!pieceReady(maxChars)) fill(true);
    size_t n = pending();
    if (n == 0) return 0;  // end of input
    const char* start = inBuf + inStart;
    const char* nl = static_cast<const char*>(std::memchr(start, '\n', n < maxChars ? n : maxChars));
    size_t take = nl ? size_t(nl - start) + 1 : (n < maxChars ? n : maxChars);
    std::memcpy(buf, start, take);
    buf[take] = 0;
    inStart += take;
    return 1;
}

void platformInputFromMemory(const char* data, size_t size) {
    memIn = data;
    memLeft = data ? size : 0;
    inStart = inEnd = 0;
    inEof = false;
}

void platformExit(int status) {
    std::fflush(stdout);
    if (exitHook) exitHook(status);
    std::exit(status);
}

void platformSetExitHook(void (*hook)(int status)) { exitHook = hook; }

static double systemClock() {
    timespec ts;
    ::clock_gettime(CLOCK_REALTIME, &ts);
    // Seconds between 1601-01-01 and 1970-01-01, the epoch of the clock's
    // 100-nanosecond reading.
    return double(ts.tv_sec) + 11644473600.0 + double(ts.tv_nsec) * 1e-9;
}

double (*platformClock)() = systemClock;

double platformSeconds() { return platformClock(); }

void platformSleepMs(int ms) {
    timespec ts = {ms / 1000, long(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

void platformWaitInput(int ms) {
    if (platformInputWaiting() || memIn) return;
    pollfd p = {0, POLLIN, 0};
    if (::poll(&p, 1, ms) < 0 && errno != EINTR) platformSleepMs(ms);  // no usable stdin: just sleep
}

int64_t platformFileSize(const char* path) {
    struct stat st;
    if (::stat(path, &st) != 0) return -1;
    return int64_t(st.st_size);
}

int platformRename(const char* from, const char* to) { return std::rename(from, to) == 0 ? 0 : 1; }

namespace {
constexpr size_t HUGE_PAGE = size_t(2) << 20;  // a transparent huge page on x86-64
bool isZero(const char* p, size_t n) {
    const uint64_t* w = reinterpret_cast<const uint64_t*>(p);
    for (size_t i = 0; i + 8 <= n / 8; i += 8)  // a cache line at a time
        if (w[i] | w[i + 1] | w[i + 2] | w[i + 3] | w[i + 4] | w[i + 5] | w[i + 6] | w[i + 7]) return false;
    return true;
}

size_t pageRounded(size_t bytes) {
    const size_t page = size_t(::sysconf(_SC_PAGE_SIZE));
    return (bytes + page - 1) / page * page;
}
}  // namespace

void* platformMapZeroed(size_t bytes) {
    if (bytes == 0) return nullptr;
    const size_t size = pageRounded(bytes), span = size + HUGE_PAGE;
    // Mapped with room to spare, then trimmed to the 2 MB boundary, where
    // huge pages can start.
    void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    char* const first = static_cast<char*>(raw);
    char* const start = first + (HUGE_PAGE - uintptr_t(first) % HUGE_PAGE) % HUGE_PAGE;
    if (start > first) ::munmap(first, size_t(start - first));
    if (first + span > start + size) ::munmap(start + size, size_t(first + span - (start + size)));
    // Small pages until platformPrefault moves the block to huge ones.
    ::madvise(start, size, MADV_NOHUGEPAGE);
    return start;
}

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it
#endif
#ifndef MADV_COLLAPSE
#define MADV_COLLAPSE 25  // Linux 6.1; older kernels refuse it, khugepaged collapses in time
#endif

namespace {
// The prefault that may be running. Its thread is detached, so that an exit
// never waits for it; unmapping waits until it has stopped.
std::atomic<bool> prefaultStop{false}, prefaulting{false};

// Each 2 MB step is marked for huge pages, backed (a huge page where nothing
// has touched it yet) and, where a search touched it first and small pages
// came, collapsed into a huge page; the kernel keeps what the pages hold.
void prefault(char* block, size_t bytes) {
    for (size_t at = 0; at < bytes && !prefaultStop.load(std::memory_order_relaxed); at += HUGE_PAGE) {
        const size_t n = std::min(HUGE_PAGE, bytes - at);
        ::madvise(block + at, n, MADV_HUGEPAGE);  // refused where there are none: small pages then
        if (::madvise(block + at, n, MADV_POPULATE_WRITE) != 0) {
            ::madvise(block + at, bytes - at, MADV_HUGEPAGE);  // no prefault: huge pages as touched
            break;
        }
        if (n == HUGE_PAGE) ::madvise(block + at, n, MADV_COLLAPSE);
    }
    prefaulting.store(false, std::memory_order_release);
}

// Waits at most for the 2 MB step under way.
void stopPrefault() {
    prefaultStop.store(true, std::memory_order_relaxed);
    while (prefaulting.load(std::memory_order_acquire)) platformSleepMs(1);
}
}  // namespace

void platformPrefault(void* block, size_t bytes) {
    if (bytes < HUGE_PAGE) return;  // a few pages: not worth a thread
    stopPrefault();
    prefaultStop.store(false, std::memory_order_relaxed);
    prefaulting.store(true, std::memory_order_relaxed);
    std::thread(prefault, static_cast<char*>(block), bytes).detach();
}

void platformPrefaultStop() { stopPrefault(); }

void platformPrefaultWait() {
    while (prefaulting.load(std::memory_order_acquire)) platformSleepMs(1);
}

void platformUnmap(void* block, size_t bytes) {
    stopPrefault();
    if (block) ::munmap(block, pageRounded(bytes));
}

void platformZeroMapped(void* block, size_t bytes) {
    const size_t page = size_t(::sysconf(_SC_PAGE_SIZE));
    unsigned char resident[HUGE_PAGE / 4096];
    char* const start = static_cast<char*>(block);
    // A huge page's worth at a time, so the residency vector fits on the stack.
    for (size_t done = 0; done < bytes;) {
        char* const chunk = start + done;
        const size_t n = std::min(bytes - done, page * sizeof resident);
        const size_t pages = (n + page - 1) / page;
        size_t held = pages;
        if (::mincore(chunk, n, resident) == 0)
            held = size_t(std::count_if(resident, resident + pages, [](unsigned char r) { return r & 1; }));
        // A step in memory throughout (a huge page, or one the prefault
        // backed) keeps its pages. Any other goes back whole: a few small
        // pages that searches touched, and pages swapped out. Small pages
        // serve it until the next prefault, since a huge page's first touch
        // is the dear one.
        if (held < pages && (::madvise(chunk, n, MADV_NOHUGEPAGE), ::madvise(chunk, n, MADV_DONTNEED) == 0)) {
            done += n;
            continue;
        }
        for (size_t at = 0; at < n; at += page) {
            const size_t m = std::min(page, n - at);
            if (!isZero(chunk + at, m)) std::memset(chunk + at, 0, m);
        }
        done += n;
    }
}

int64_t platformMemoryBytes() {
    long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGE_SIZE);
    return pages > 0 && size > 0 ? int64_t(pages) * size : 0;
}

size_t platformProgramPath(char* buf, size_t size) {
    const ssize_t n = size > 0 ? ::readlink("/proc/self/exe", buf, size) : -1;
    if (n <= 0 || size_t(n) >= size) return 0;  // a full buffer may hold a cut name
    buf[n] = 0;
    return size_t(n);
}

void platformUnbufferStdio() {
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
}
