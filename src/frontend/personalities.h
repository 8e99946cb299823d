#pragma once
// Personality files that a GUI user names without a folder ("tuned.txt").
#include <string>

// Loads the personality file `name` (or its lower-case form `lower`) from the
// folders beside the program, for a relative name that the working directory
// lacks: the installed personalities (<prefix>/share/zarv/personalities for
// <prefix>/games/zarv), then, for a program run from its build directory, the
// checkout's own personalities/. Returns the path it loaded, "" when the name
// is absolute or no folder holds a readable file of that name.
std::string readPersonalityBeside(const char* name, const char* lower);
