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
// Hands the free pages of the heap back to the system (malloc_trim): glibc
// keeps a freed block of megabytes resident when it did not map it by itself.
void platformReleaseFreeMemory();
// Physical memory of the machine in bytes, or 0 when unknown.
int64_t platformMemoryBytes();
// Writes the running program's own file (absolute, links resolved) into buf
// and returns its length; 0 when the system does not say or it does not fit.
size_t platformProgramPath(char* buf, size_t size);
// Makes stdin and stdout unbuffered.
void platformUnbufferStdio();
