#!/usr/bin/env bash
# Lists the functions of src/ that neither program calls. A Debug build puts
# every function in a section of its own and links zarv and zarv-dev with
# section garbage collection; the linker names each section it drops, and a
# function dropped from both programs is one that nothing of theirs reaches
# (the tests do not count: a function only a test calls is dead too).
# Inline functions and template instances (comdat sections) are no finding, nor
# the three seams only the in-process fuzz targets call.
# Usage: tools/deadcode.sh [BUILD]   (default build-deadcode/, kept for reruns)
# Exit status 1 when it lists anything, 2 when the build fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build=${1:-$root/build-deadcode}
jobs=${JOBS:-2}

# Runs a build step into LOG; on failure shows the log and stops with status 2.
run() {
  local log=$1
  shift
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    echo "deadcode: the build failed" >&2
    exit 2
  fi
}

mkdir -p "$build"
run "$build/configure.log" cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-ffunction-sections \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,--gc-sections -Wl,--print-gc-sections"
run "$build/zarvcore.log" cmake --build "$build" -j "$jobs" --target zarvcore

# BUILD/PROGRAM.dropped: "MANGLED FILE" for every function section of src/ the
# link of PROGRAM drops. A comdat section's name ends in "[group]" and so does
# not match.
for program in zarv zarv-dev; do
  rm -f "$build/$program"
  run "$build/$program.log" cmake --build "$build" -j "$jobs" --target "$program"
  sed -n "s|.*removing unused section '\.text\.\([^'[]*\)' in file '[^']*zarvcore\.dir/src/\([^']*\)\.o'.*|\1 src/\2|p" \
    "$build/$program.log" | sort -u >"$build/$program.dropped"
done

both=$(comm -12 "$build/zarv.dropped" "$build/zarv-dev.dropped")
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
