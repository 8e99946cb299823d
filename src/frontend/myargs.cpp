// Table-driven command-line parser and the usage text.
#include "frontend/myargs.h"

#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/general.h"

int ParseArgs(int argc, char** argv, const ArgOption* table) {
    if (argc < 2) return 0;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-') {
            std::fprintf(stderr, "Error in command line processing.  option expected at argument %d\n", i);
            return 1;
        }
        const ArgOption* o = table;
        while (o->name[0] && strcasecmp(o->name, arg + 1) != 0) ++o;
        if (!o->name[0]) {
            std::fprintf(stderr, "Error. option %s not found.\n", arg);
            return 1;
        }
        if (o->type > 4) {
            std::fprintf(stderr, "Error.  Do not understand command line switch.");
            return 1;
        }
        if (o->type == 4) {
            *static_cast<int32_t*>(o->target) = 1;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "Error.  No argument.\n");
            return 1;
        }
        const char* value = argv[++i];
        switch (o->type) {
        case 1: {
            // Text targets are the 512-character log name: longer names are cut.
            char* t = static_cast<char*>(o->target);
            std::snprintf(t, sizeof logfile, "%s", value);
            break;
        }
        case 2:
            *static_cast<int32_t*>(o->target) = int32_t(std::strtol(value, nullptr, 10));
            break;
        case 3:
            *static_cast<double*>(o->target) = std::strtod(value, nullptr);
            break;
        default:
            break;
        }
    }
    return 0;
}

void helpme(const char* prog) {
    std::fprintf(stderr,
                 "\nusage: %s {options} \n\n"
                 "  -log FILE      log file name\n"
                 "  -cpu {0|1}     cpu time?\n"
                 "  -help          display this help message\n"
                 "  -lmr {1|0}     use late move reductions\n"
                 "  -ckq {1|0}     use checks in quies\n"
                 "  -nmp {1|0}     use null move pruning\n"
                 "\n",
                 prog);
}

int parseEngineArgs(int argc, char** argv, int32_t* report) {
    logfile[0] = 0;
    const ArgOption options[] = {
        {"log", logfile, 1}, {"cpu", &CPU, 2},     {"omt", &omt, 2}, {"razor", &use_razor, 2},
        {"report", report, 4}, {"hd1", &hd1, 2}, {"hd2", &hd2, 2}, {"", nullptr, 0},
    };
    return ParseArgs(argc, argv, options);
}
