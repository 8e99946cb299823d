#!/usr/bin/env python3
"""How long UCI engines keep a GUI waiting for their transposition table.

For every table size and engine a fresh engine process is started, as a GUI
starts one: after "uciok" the time from "setoption name Hash value N" to the
"readyok" of the "isready" sent right behind it is measured. With --search MS
the engine then searches a middle-game position for MS milliseconds, so that
the table is in use, and the time from "setoption name Clear Hash" to
"readyok" is measured too, with the nodes of that search (its last "info"
line's count: a search that starts right after a new table may wait for the
system's fresh pages), the engine's resident memory and the part of it on
transparent huge pages (AnonHugePages of /proc/PID/smaps_rollup) after it. Engines take turns size by size, so that load on a shared machine
falls on all of them; with --rounds R the medians of R rounds are printed.

Usage:
  tools/readytime.py build/zarv /usr/games/stockfish --hash 16 256 1024 4096 --search 2000 --rounds 3
"""
import argparse
import statistics
import subprocess
import sys
import time

from nps import resolve  # the same engine lookup as the speed comparison

FEN = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4"


def memory(pid):
    """(resident KiB, AnonHugePages KiB) of a running process."""
    fields = {}
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            words = line.split()
            if len(words) >= 2 and words[1].isdigit():
                fields[words[0].rstrip(":")] = int(words[1])
    return fields.get("Rss", 0), fields.get("AnonHugePages", 0)


def measure(cmd, mb, search_ms, threads):
    """(seconds to readyok after Hash, seconds after Clear Hash, rss, huge, nodes) of one fresh engine."""
    proc = subprocess.Popen(resolve(cmd), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True, bufsize=1)

    def send(text):
        proc.stdin.write(text + "\n")
        proc.stdin.flush()

    def until(word):
        nodes = 0
        for line in proc.stdout:
            words = line.split()
            if words[:1] == [word]:
                return nodes
            if words[:1] == ["info"] and "nodes" in words[:-1]:
                nodes = int(words[words.index("nodes") + 1])
        sys.exit(f"readytime.py: {cmd} ended before '{word}'")

    def timed(command):
        start = time.perf_counter()
        send(command)
        send("isready")
        until("readyok")
        return time.perf_counter() - start

    try:
        send("uci")
        until("uciok")
        if threads:
            send(f"setoption name Threads value {threads}")
        send("isready")
        until("readyok")
        ready = timed(f"setoption name Hash value {mb}")
        clear, rss, huge, nodes = None, None, None, None
        if search_ms:
            send(f"position fen {FEN}")
            send(f"go movetime {search_ms}")
            nodes = until("bestmove")
            rss, huge = memory(proc.pid)
            clear = timed("setoption name Clear Hash")
        send("quit")
        proc.wait(timeout=30)
    finally:
        if proc.poll() is None:
            proc.kill()
    return ready, clear, rss, huge, nodes


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("engines", nargs="+", help="engine commands")
    ap.add_argument("--hash", type=int, nargs="+", default=[16, 256, 1024, 4096], help="table sizes in MB")
    ap.add_argument("--search", type=int, default=0, metavar="MS", help="search this long, then time Clear Hash")
    ap.add_argument("--threads", type=int, default=0, help="Threads option (0: leave)")
    ap.add_argument("--rounds", type=int, default=1)
    args = ap.parse_args(argv)
    results = {}
    for rnd in range(args.rounds):
        for mb in args.hash:
            for i in range(len(args.engines)):
                cmd = args.engines[(i + rnd) % len(args.engines)]
                got = measure(cmd, mb, args.search, args.threads)
                results.setdefault((cmd, mb), []).append(got)
                ready, clear, rss, huge, nodes = got
                extra = f"  nodes {nodes}  rss {rss} KiB  huge {huge} KiB  clear {clear:.3f} s" if args.search else ""
                print(f"round {rnd + 1}  {cmd}  Hash {mb}: ready {ready:.3f} s{extra}", flush=True)
    if args.rounds > 1:
        print(f"medians of {args.rounds} rounds")
        for (cmd, mb), runs in results.items():
            med = [statistics.median(r[k] for r in runs) if runs[0][k] is not None else None for k in range(5)]
            extra = (f"  nodes {med[4]:.0f}  rss {med[2]:.0f} KiB  huge {med[3]:.0f} KiB  clear {med[1]:.3f} s"
                     if args.search else "")
            print(f"  {cmd}  Hash {mb}: ready {med[0]:.3f} s{extra}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
