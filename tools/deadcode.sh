#!/usr/bin/env bash
# Lists the functions of src/ that neither program calls. A Debug build puts
# every function in a section of its own and links zarv and zarv-dev with
# section garbage collection; the linker names each section it drops, and a
# function dropped from both programs is one that nothing of theirs reaches
# (the tests do not count: a function only a test calls is dead too).
# Inline functions and template instances (comdat sections) are no finding, nor
# the three seams only the in-process fuzz targets call.
# Usage: tools/deadcode.sh [BUILD]   (default build-deadcode/, kept for reruns)
# Exit status 1 when it lists anything.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build=${1:-$root/build-deadcode}
jobs=${JOBS:-2}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-ffunction-sections \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,--gc-sections -Wl,--print-gc-sections" >/dev/null
cmake --build "$build" -j "$jobs" --target zarvcore >/dev/null

# "MANGLED FILE" for every function section of src/ the link of $1 drops.
# A comdat section's name ends in "[group]" and so does not match.
dropped() {
  rm -f "$build/$1"
  cmake --build "$build" -j "$jobs" --target "$1" 2>&1 |
    sed -n "s|.*removing unused section '\.text\.\([^'[]*\)' in file '[^']*zarvcore\.dir/src/\([^']*\)\.o'.*|\1 src/\2|p" |
    sort -u
}

both=$(comm -12 <(dropped zarv) <(dropped zarv-dev))
found=0
while read -r mangled file; do
  [ -n "$mangled" ] || continue
  name=$(c++filt "$mangled")
  case "$name" in
  std::* | platformInputFromMemory\(* | platformSetExitHook\(* | uciReset\(*) continue ;;
  esac
  echo "$file: $name"
  found=1
done <<<"$both"
[ "$found" = 0 ] && echo "no function of src/ is dropped from both programs"
exit "$found"
