#!/usr/bin/env bash
# Self-play split into shards that GNU parallel runs on the local cores (or,
# with PARALLEL_OPTS="--sshloginfile hosts.txt ...", on many machines), then
# merged into the file a one-machine run writes, and the games counted.
#
#   tools/shards.sh OUT GAMES SHARDS [selfplay options: --nodes N --seed S --openings FILE]
#
# Run it from the checkout's root. Environment: ZARV_DEV (default
# build/zarv-dev), JOBS (jobs at once, default the number of cores),
# PARALLEL_OPTS (more options for parallel). The job log OUT.joblog lets a
# second run of the same command redo only the shards that failed.
set -euo pipefail
if [ $# -lt 3 ]; then
    echo "usage: tools/shards.sh OUT GAMES SHARDS [selfplay options]" >&2
    exit 2
fi
out=$1 games=$2 shards=$3
shift 3
dev=${ZARV_DEV:-build/zarv-dev}
command -v parallel >/dev/null || { echo "tools/shards.sh: GNU parallel is not installed (apt-get install parallel)" >&2; exit 2; }

# Stopped by a signal (TERM, INT), parallel ends its running jobs: TERM, then
# KILL to what is left. A failed shard does not stop the others: a second run
# redoes only the failed ones.
# shellcheck disable=SC2086  # PARALLEL_OPTS is a list of options
parallel --joblog "$out.joblog" --resume-failed --line-buffer -j "${JOBS:-$(nproc)}" --termseq TERM,200,KILL,25 \
    ${PARALLEL_OPTS:-} \
    "$dev" selfplay "$out.shard{}" --games "$games" --shard "{}/$shards" "$@" ::: $(seq 0 $((shards - 1)))

files=()
for k in $(seq 0 $((shards - 1))); do files+=("$out.shard$k"); done
"$dev" data merge "$out" "${files[@]}" --games "$games"
