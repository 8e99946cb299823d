#pragma once
// The engine ends the process through platformExit on "quit", at end of input
// and on a few refused inputs. The fuzz targets and the in-process UCI tests
// take that end back instead: catchExit runs fn and returns the status it
// ended with, or -1 when fn returned. The frames left behind hold only plain
// records. An exit outside catchExit aborts: under fuzzing it is a fault.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include "base/platform.h"

namespace exitcatch {
inline std::jmp_buf* target = nullptr;
inline int status = 0;
inline void hook(int s) {
    if (!target) std::fprintf(stderr, "exit(%d) outside catchExit\n", s), std::abort();
    status = s;
    std::longjmp(*target, 1);
}
}  // namespace exitcatch

template <class F>
int catchExit(F fn) {
    std::jmp_buf here;
    std::jmp_buf* const outer = exitcatch::target;
    exitcatch::target = &here;
    platformSetExitHook(exitcatch::hook);
    const bool exited = setjmp(here) != 0;
    if (!exited) fn();
    exitcatch::target = outer;
    return exited ? exitcatch::status : -1;
}
