#pragma once
// Table-driven command-line parser.
#include <cstdint>

struct ArgOption {
    const char* name;  // without the dash; "" ends the table
    void* target;
    int type;          // 1 text, 2 integer, 3 double, 4 switch
};

int ParseArgs(int argc, char** argv, const ArgOption* table);  // 0 ok, 1 error (already reported)
void helpme(const char* prog);
// The engine's own options over the process-wide settings (log, cpu, omt,
// razor, report, hd1, hd2): empties logfile, then ParseArgs. The report
// switch sets *report.
int parseEngineArgs(int argc, char** argv, int32_t* report);
