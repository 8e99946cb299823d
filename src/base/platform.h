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
// touched. It starts on a 2 MB boundary and is marked for transparent huge
// pages, so that random probes over gigabytes miss the TLB less; a system
// without them gives small pages and nothing else changes. Null when refused.
void* platformMapZeroed(size_t bytes);
// Has the system back every page of a platformMapZeroed block, on a thread
// of its own, 2 MB at a time, without touching what the pages hold: a search
// on a new table then rarely waits while the system hands over and zeroes a
// fresh page (on a virtual machine, seconds for gigabytes). An earlier one
// that still runs is stopped. Where the kernel cannot, pages come as touched.
void platformPrefault(void* block, size_t bytes);
// Gives a block of platformMapZeroed back to the system at once, after
// stopping a prefault that may still run over it.
void platformUnmap(void* block, size_t bytes);
// Zeroes bytes at block, a part of a platformMapZeroed block that starts on a
// page, writing only where it must: a page the system does not hold in memory
// (never touched, or swapped out) is handed back, which makes it read as zero
// at no cost until it is next touched, and a page in memory that is zero
// already (one that was only read maps the system's shared zero page) is left
// alone. Writing zeros over either would fault in a fresh page for nothing:
// seconds for gigabytes.
void platformZeroMapped(void* block, size_t bytes);
// Physical memory of the machine in bytes, or 0 when unknown.
int64_t platformMemoryBytes();
// Makes stdin and stdout unbuffered.
void platformUnbufferStdio();
