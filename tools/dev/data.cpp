// zarv-dev data merge: joins the files of a sharded self-play into the file
// one machine would have written, ordered by game index.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "dev.h"

namespace {

const char* const USAGE = "data merge OUT IN... [--games N]   join self-play shards by game index";

struct Line {
    long long game;
    std::string text;
};

int mergeMain(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "merge") != 0) {
        std::fprintf(stderr, "usage: zarv-dev %s\n", USAGE);
        return DEV_USAGE;
    }
    const char* out = argv[2];
    long games = -1;
    std::vector<Line> lines;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--games") == 0) {
            if (i + 1 >= argc || !devNumber(argv[++i], games) || games < 0) {
                std::fprintf(stderr, "zarv-dev data merge: --games needs a number\n");
                return DEV_USAGE;
            }
            continue;
        }
        std::ifstream in(argv[i]);
        if (!in) {
            std::fprintf(stderr, "zarv-dev data merge: cannot read \"%s\"\n", argv[i]);
            return 1;
        }
        std::string text;
        while (std::getline(in, text)) {
            long game;
            if (!devNumber(text.substr(0, text.find(' ')).c_str(), game)) {
                std::fprintf(stderr, "zarv-dev data merge: \"%s\": line without a game index: %s\n", argv[i],
                             text.c_str());
                return 1;
            }
            lines.push_back({game, text});
        }
    }
    // Stable: the lines of one game keep the order their shard wrote them in.
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.game < b.game; });

    // Every game ends with its game line "INDEX # ...".
    long long played = 0;
    bool complete = true;
    for (const Line& l : lines) {
        if (l.text.find(" # ") == std::string::npos) continue;
        if (l.game != played) complete = false;
        ++played;
    }
    if (games >= 0 && (!complete || played != games)) {
        std::fprintf(stderr, "zarv-dev data merge: %lld games in the files, expected games 0 to %ld\n", played,
                     games - 1);
        return 1;
    }
    FILE* f = devCreate(out);
    if (!f) {
        std::fprintf(stderr, "zarv-dev data merge: cannot write \"%s.tmp\"\n", out);
        return 1;
    }
    for (const Line& l : lines) std::fprintf(f, "%s\n", l.text.c_str());
    if (!devFinish(f, out)) {
        std::fprintf(stderr, "zarv-dev data merge: writing \"%s\" failed\n", out);
        return 1;
    }
    std::printf("data merge: %zu lines, %lld games, %zu positions\n", lines.size(), played,
                lines.size() - size_t(played));
    return 0;
}

const DevRegister dataCmd("data", USAGE, mergeMain);

}  // namespace
