#!/usr/bin/env python3
"""Nodes per second of UCI engines, side by side on the same positions.

Every engine searches the same K positions of an EPD file for N milliseconds
each ("go movetime N"). An engine's speed over a position is taken from its own
last "info" line that carries both "nodes" and "time" (what it searched in the
time it says it took), so engines that report at different moments are still
measured alike. The totals over all positions give one line per engine: nodes,
seconds, nodes per second, and the ratio to the first engine.

With --rounds R the whole set is searched R times; within a round the engines
take turns position by position (the order rotates with the position and the
round), so that a burst of load on a shared machine falls on all of them. The
median of the rounds' ratios is reported, since one round can be off by a tenth.

Usage:
  tools/nps.py build/zarv glaurung toga2 --epd tools/wac.epd --ms 500 --count 20 --rounds 3
  tools/nps.py build/zarv build/zarv --set 2 Threads=2 --rounds 3   # the same program twice
--set K NAME=VALUE gives engine K (1 for the first) its own option, set after
Hash and Threads, so the same program can stand twice with different options.
An engine is a command line (quoted when it has arguments); a bare name is looked
up on PATH and in /usr/games.
"""
import argparse
import os
import shlex
import shutil
import statistics
import subprocess
import sys

from match import openings  # the same EPD reading as the match runner


def resolve(cmd):
    words = shlex.split(cmd)
    exe = words[0]
    if os.sep not in exe:
        found = shutil.which(exe) or shutil.which(exe, path="/usr/games")
        if found:
            words[0] = found
    return words


class Engine:
    """A UCI engine in a child process, read line by line."""

    def __init__(self, cmd, hash_mb, threads, own):
        self.words = resolve(cmd)
        self.label = " ".join([cmd] + [f"{k}={v}" for k, v in own])
        self.proc = subprocess.Popen(self.words, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.send("uci")
        options = {line.split()[2] for line in self.until("uciok") if line.startswith("option name ")}
        if hash_mb:
            self.send(f"setoption name Hash value {hash_mb}")
        # Some engines search with several threads by default (Glaurung with 2):
        # each is held to the same number, so that a node costs one thread's time.
        if threads and "Threads" in options:
            self.send(f"setoption name Threads value {threads}")
        for name, value in own:
            self.send(f"setoption name {name} value {value}")
        self.send("isready")
        self.until("readyok")

    def send(self, text):
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()

    def until(self, word):
        lines = []
        while True:
            line = self.proc.stdout.readline()
            if not line:
                sys.exit(f"nps.py: {self.label} ended before '{word}'")
            line = line.strip()
            lines.append(line)
            if line.split()[:1] == [word]:
                return lines

    def search(self, fen, ms):
        """(nodes, seconds) from the last info line with both fields."""
        self.send("ucinewgame")
        self.send(f"position fen {fen}")
        self.send("isready")
        self.until("readyok")
        self.send(f"go movetime {ms}")
        nodes, msecs = 0, 0
        for line in self.until("bestmove"):
            got = infoNodesTime(line)
            if got and got[1] >= msecs:
                nodes, msecs = got
        return nodes, msecs / 1000.0

    def close(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=5)
        except (BrokenPipeError, OSError, subprocess.TimeoutExpired):
            self.proc.kill()


def infoNodesTime(line):
    """(nodes, ms) of an info line that has both, else None."""
    words = line.split()
    if words[:1] != ["info"] or words[1:2] == ["string"]:
        return None
    vals = {}
    for key in ("nodes", "time"):
        if key in words:
            i = words.index(key)
            if i + 1 < len(words) and words[i + 1].isdigit():
                vals[key] = int(words[i + 1])
    if len(vals) < 2:
        return None
    return vals["nodes"], vals["time"]


def turnOrder(n, pos, rnd):
    """Engine indices in the order they search position pos of round rnd."""
    start = (pos + rnd) % n
    return [(start + i) % n for i in range(n)]


def nps(nodes, secs):
    return nodes / secs if secs > 0 else 0.0


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("engines", nargs="+", help="engine commands; the first is the reference")
    ap.add_argument("--epd", default="tools/wac.epd")
    ap.add_argument("--ms", type=int, default=500, help="milliseconds per position")
    ap.add_argument("--count", type=int, default=20, help="positions from the start of the file")
    ap.add_argument("--rounds", type=int, default=1)
    ap.add_argument("--hash", type=int, default=32, help="Hash option in MB for every engine (0: leave)")
    ap.add_argument("--threads", type=int, default=1, help="Threads option for engines that have one (0: leave)")
    ap.add_argument("--set", nargs=2, action="append", default=[], metavar=("K", "NAME=VALUE"),
                    help="an option of engine K alone (repeatable)")
    args = ap.parse_args(argv)

    own = [[] for _ in args.engines]
    for k, setting in args.set:
        if not k.isdigit() or not 1 <= int(k) <= len(args.engines) or "=" not in setting:
            ap.error(f"--set {k} {setting}: expected an engine number and NAME=VALUE")
        own[int(k) - 1].append(tuple(setting.split("=", 1)))
    fens = openings(args.epd, args.count)
    engines = [Engine(cmd, args.hash, args.threads, own[i]) for i, cmd in enumerate(args.engines)]
    n = len(engines)
    ratios = [[] for _ in engines]
    totals = [[0, 0.0] for _ in engines]
    width = max(len(e.label) for e in engines)
    try:
        for rnd in range(args.rounds):
            sums = [[0, 0.0] for _ in engines]
            for pos, fen in enumerate(fens):
                for i in turnOrder(n, pos, rnd):
                    nodes, secs = engines[i].search(fen, args.ms)
                    sums[i][0] += nodes
                    sums[i][1] += secs
            base = nps(*sums[0])
            print(f"round {rnd + 1} of {args.rounds}: {len(fens)} positions at {args.ms} ms")
            for i, e in enumerate(engines):
                rate = nps(*sums[i])
                ratio = base / rate if rate else 0.0
                ratios[i].append(ratio)
                totals[i][0] += sums[i][0]
                totals[i][1] += sums[i][1]
                print(f"  {e.label:<{width}}  {sums[i][0]:>12} nodes  {sums[i][1]:8.2f} s  "
                      f"{rate:>11.0f} nps  ratio {ratio:.3f}")
        if args.rounds > 1:
            print(f"all {args.rounds} rounds (ratio = first engine's nps / this engine's, median of rounds)")
            for i, e in enumerate(engines):
                print(f"  {e.label:<{width}}  {totals[i][0]:>12} nodes  {totals[i][1]:8.2f} s  "
                      f"{nps(*totals[i]):>11.0f} nps  ratio {statistics.median(ratios[i]):.3f}")
    finally:
        for e in engines:
            e.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
