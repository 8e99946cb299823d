// Process-wide settings, the log writer and the clock.
#include "base/general.h"

#include <cmath>
#include <cstdarg>

#include "base/platform.h"

char logfile[512];
FILE* flog = nullptr;
int32_t CPU = 0;
int32_t omt = 0;
int32_t use_razor = 0;
int32_t hd1 = 10;
int32_t hd2 = 14;
int32_t hashMeg = 32;
double logs[256];

void logger(const char* fmt, ...) {
    if (!flog) return;
    char buf[8192];
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return;
    if (size_t(n) < sizeof buf) {
        std::fputs(buf, flog);
    } else {
        // Too long for the buffer: format again straight into the log, so a
        // long line (a deep principal variation, a huge input line) stays whole.
        va_start(ap, fmt);
        std::vfprintf(flog, fmt, ap);
        va_end(ap);
    }
    std::fflush(flog);
}

double seconds(int whole) {
    double s = platformSeconds();
    return whole ? std::trunc(s) : s;
}
