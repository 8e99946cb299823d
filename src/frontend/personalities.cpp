// Where a personality file named without a folder is found.
#include "frontend/personalities.h"

#include <cstring>

#include "base/platform.h"
#include "eval/params.h"

// Where the build installs the personalities, relative to the folder it
// installs the engine in; the build sets it from its install layout.
#ifndef ZARV_PERSONALITIES_FROM_BINDIR
#define ZARV_PERSONALITIES_FROM_BINDIR "../share/zarv/personalities"
#endif

namespace {

// dir joined with rel, each leading "../" of rel taking one folder off dir.
std::string joinPath(std::string dir, const char* rel) {
    while (std::strncmp(rel, "../", 3) == 0 && dir.rfind('/') != std::string::npos) {
        dir.erase(dir.rfind('/'));
        rel += 3;
    }
    return dir + "/" + rel;
}

}  // namespace

std::string readPersonalityBeside(const char* name, const char* lower) {
    char exe[4096];
    if (name[0] == 0 || name[0] == '/' || platformProgramPath(exe, sizeof exe) == 0) return "";
    const std::string dir(exe, std::strrchr(exe, '/'));
    std::string folders[2] = {joinPath(dir, ZARV_PERSONALITIES_FROM_BINDIR), ""};
    // A build directory holds CMake's cache; its checkout is one folder up.
    if (platformFileSize((dir + "/CMakeCache.txt").c_str()) >= 0) folders[1] = joinPath(dir, "../personalities");
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        for (const char* file : {name, lower}) {
            const std::string path = folder + "/" + file;
            if (readPersonality(path.c_str())) return path;
        }
    }
    return "";
}
