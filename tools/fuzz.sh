#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for SECONDS each (or RUNS executions
# each when RUNS is given), starting from the seed corpus in
# tests/fuzz/corpus/<target>. New inputs go to BUILD/corpus/<target>, so the
# seeds in the repository stay as they are; a fault leaves its input in
# BUILD/artifacts/ and makes the script fail.
# Usage: tools/fuzz.sh BUILD SECONDS [RUNS] [TARGET...]
set -uo pipefail
usage="usage: tools/fuzz.sh BUILD SECONDS [RUNS] [TARGET...]
  BUILD    a fuzz build (make fuzz, or cmake -DZARV_FUZZ=ON with clang++)
  SECONDS  time per target (0: no limit, RUNS decides)
  RUNS     executions per target instead of SECONDS (default 0: by time)
  TARGET   uci fen move personality book args (default: all)"
case "${1:-}" in
  -h|--help) echo "$usage"; exit 0 ;;
esac
if [ $# -lt 2 ]; then
  echo "$usage" >&2
  exit 2
fi
build=$1 seconds=$2 runs=${3:-0}
shift $(( $# < 3 ? $# : 3 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(uci fen move personality book args)
root="$(cd "$(dirname "$0")/.." && pwd)"
# Without the programs every target would fail and read as a fault.
missing=()
for t in "${targets[@]}"; do
  [ -x "$build/fuzz_$t" ] || missing+=("$build/fuzz_$t")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "fuzz: missing programs: ${missing[*]} (build them with make fuzz, which needs clang with libFuzzer)" >&2
  exit 2
fi
# The book and personality targets write a scratch file per input: memory is faster.
[ -z "${TMPDIR:-}" ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
failed=()
for t in "${targets[@]}"; do
  mkdir -p "$build/corpus/$t" "$build/artifacts"
  limit=(-max_total_time="$seconds")
  [ "$runs" -gt 0 ] && limit=(-runs="$runs")
  echo "== fuzz_$t: ${limit[*]}"
  # The engine's standard output and error are closed: refused books and
  # unknown commands alone would print megabytes. libFuzzer keeps its own
  # report, whose stack names the broken property's line.
  mask=3
  # An input of the UCI loop can hold a search per line: shorter inputs.
  maxlen=4096
  [ "$t" = uci ] && maxlen=512
  if ! "$build/fuzz_$t" "${limit[@]}" -timeout=20 -rss_limit_mb=2048 -max_len=$maxlen \
      -close_fd_mask=$mask -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
      "$build/corpus/$t" "$root/tests/fuzz/corpus/$t" 2>"$build/fuzz_$t.log"; then
    failed+=("$t")
    tail -40 "$build/fuzz_$t.log"
  fi
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done )' "$build/fuzz_$t.log" || true
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: faults in ${failed[*]} (inputs in $build/artifacts/)"
  exit 1
fi
echo "fuzz: no fault in ${targets[*]}"
