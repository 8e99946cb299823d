// zarv-dev: the developer program. Usage: zarv-dev <subcommand> [arguments].
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/general.h"
#include "board/chess960.h"
#include "board/notation.h"
#include "dev.h"
#include "frontend/startup.h"

namespace {

struct DevCommand {
    const char* name;
    const char* usage;
    DevMain run;
};

std::vector<DevCommand>& commands() {
    static std::vector<DevCommand> list;
    return list;
}

void usage(FILE* out) {
    std::fprintf(out, "usage: zarv-dev <subcommand> [arguments]\n\nsubcommands:\n");
    for (const auto& c : commands()) std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

DevRegister::DevRegister(const char* name, const char* use, DevMain run) {
    commands().push_back({name, use, run});
}

double devNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

FILE* devCreate(const char* name) { return std::fopen((std::string(name) + ".tmp").c_str(), "w"); }

int devFinish(FILE* f, const char* name) {
    const bool written = std::fflush(f) == 0 && !std::ferror(f);
    const bool closed = std::fclose(f) == 0;
    return written && closed && std::rename((std::string(name) + ".tmp").c_str(), name) == 0;
}

int devNumber(const char* text, long& out) {
    if (!text || !*text) return 0;
    char* end;
    errno = 0;
    out = std::strtol(text, &end, 10);
    return *end == 0 && errno == 0;
}

int devPosition(int argc, char** argv, int first, Position& p) {
    std::string fen;
    for (int i = first; i < argc; ++i) {
        if (!fen.empty()) fen += ' ';
        fen += argv[i];
    }
    if (fen.empty()) fen = START_FEN;
    // A castling field that names rook files (Shredder-FEN) is Chess960.
    const size_t side = fen.find(' '), castling = fen.find(' ', side + 1);
    if (side != std::string::npos && castling != std::string::npos)
        for (size_t i = castling + 1; i < fen.size() && fen[i] != ' '; ++i)
            if ((fen[i] | 0x20) >= 'a' && (fen[i] | 0x20) <= 'h') chess960 = true;
    // A side-to-move field other than w or b would end the process inside the
    // reader, so it is checked here first.
    size_t sp = fen.find(' ');
    if (sp == std::string::npos || sp + 1 >= fen.size() || (fen[sp + 1] != 'w' && fen[sp + 1] != 'b') ||
        (sp + 2 < fen.size() && fen[sp + 2] != ' ')) {
        std::fprintf(stderr, "zarv-dev: bad side to move in FEN \"%s\"\n", fen.c_str());
        return 0;
    }
    if (!fenIsValid(fen.c_str())) {
        std::fprintf(stderr, "zarv-dev: invalid FEN \"%s\"\n", fen.c_str());
        return 0;
    }
    fenToPosition(p, fen.c_str());
    return 1;
}

int main(int argc, char** argv) {
    // --chess960, wherever it stands, plays Fischer random chess; the
    // subcommands never see it.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--chess960") == 0) chess960 = true;
        else argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    if (argc < 2) {
        usage(stderr);
        return DEV_USAGE;
    }
    // Help asked for is an answer, not an error: standard output, status 0.
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        usage(stdout);
        return 0;
    }
    for (const auto& c : commands()) {
        if (std::strcmp(c.name, argv[1]) == 0) {
            initStartupTables();
            initEngine();
            return c.run(argc - 1, argv + 1);
        }
    }
    std::fprintf(stderr, "zarv-dev: unknown subcommand \"%s\"\n", argv[1]);
    usage(stderr);
    return DEV_USAGE;
}
