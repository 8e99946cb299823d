#pragma once
// Every operating-system call of the engine lives behind these functions.
#include <cstddef>
#include <cstdint>

// 1 when a whole line (or end of input) can be read from standard input
// without blocking, whether stdin is a pipe, a file or a terminal. Never blocks.
int platformInputWaiting();
// Reads one line of at most size - 1 characters into buf (the newline kept when
// it fits, as fgets does; a longer line is returned in pieces). Returns 0 at
// end of input, else 1. Keeps its own buffer, so no line can wait unseen in a
// library buffer while platformInputWaiting says nothing is there.
int platformReadLine(char* buf, size_t size);
// From now on the line reader takes its input from the size bytes at data
// (which must stay valid while they are read) instead of standard input, with
// end of input after them; anything still buffered is dropped. A null data
// goes back to standard input. The fuzz targets drive the UCI loop this way.
void platformInputFromMemory(const char* data, size_t size);
// Ends the process with status, or first calls the hook that
// platformSetExitHook set (a hook that returns still ends the process). The
// fuzz targets use the hook to come back from "quit" and refused input.
[[noreturn]] void platformExit(int status);
void platformSetExitHook(void (*hook)(int status));
// Wall clock: 100-nanosecond units since 1 January 1601 (UTC), as a double
// number of seconds.
double platformSeconds();
// The reading platformSeconds returns: the system clock, unless a test puts a
// clock of its own here to run the time rules without waiting.
extern double (*platformClock)();
void platformSleepMs(int ms);
// Sleeps up to ms milliseconds, but returns as soon as input arrives (at once
// when a line is already waiting or input has ended).
void platformWaitInput(int ms);
// File size in bytes, or -1 when the file cannot be examined.
int64_t platformFileSize(const char* path);
// Replaces `to` with `from`; 0 on success.
int platformRename(const char* from, const char* to);
// A block of bytes for a big table, as the system hands it over: zeroed, so
// it needs no clearing pass, and costing nothing until a page is first
// touched. It starts on a 2 MB boundary, where huge pages can start, and has
// small pages until platformPrefault gives it huge ones. Null when refused.
void* platformMapZeroed(size_t bytes);
// Has the system back every page of a platformMapZeroed block, on a thread
// of its own, 2 MB at a time, on transparent huge pages where the kernel has
// them (fewer TLB misses when probes roam over gigabytes). The engine goes on
// meanwhile, and what it writes is kept. A search that touches a page first
// gets a small one, which costs it microseconds where a fresh huge page can
// cost milliseconds (on a virtual machine); the thread later collapses such
// pages into huge ones. An earlier prefault that still runs is stopped.
// Where the kernel cannot prefault, huge pages come as the pages are touched.
void platformPrefault(void* block, size_t bytes);
// Stops a running prefault and waits until it has stopped (one 2 MB step at
// most); platformPrefaultWait waits until it has ended by itself.
void platformPrefaultStop();
void platformPrefaultWait();
// Gives a block of platformMapZeroed back to the system at once, after
// stopping a prefault that may still run over it.
void platformUnmap(void* block, size_t bytes);
// Zeroes bytes at block, a part of a platformMapZeroed block that starts on a
// 2 MB boundary, writing only where it must: a 2 MB step that the system
// holds in memory throughout has its pages written over, except those that
// are zero already; any other step is handed back to the system, which makes
// it read as zero at no cost until it is next touched, and takes small pages
// again until the next platformPrefault. Writing zeros over pages never
// touched would fault in fresh pages for nothing: seconds for gigabytes.
void platformZeroMapped(void* block, size_t bytes);
// Physical memory of the machine in bytes, or 0 when unknown.
int64_t platformMemoryBytes();
// Writes the running program's own file (absolute, links resolved) into buf
// and returns its length; 0 when the system does not say or it does not fit.
size_t platformProgramPath(char* buf, size_t size);
// Makes stdin and stdout unbuffered.
void platformUnbufferStdio();
