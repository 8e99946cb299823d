#!/usr/bin/env python3
"""Soak test: one engine process, many searches, no leak and no bad answer.

Runs SEARCHES searches (default 2,000) in a single engine process, changing
between them the Hash size, the personality file and the position (the EPD
positions of tests/data plus a few random legal moves), and ending searches in
every way a GUI does: "stop" at a random moment of an infinite or pondering
search, "ponderhit", move time, depth, nodes and clock limits. Every "bestmove"
is checked against the legal moves that an arbiter engine lists ("go perft 1",
as in tools/match.py). The engine's resident memory (VmRSS, from
/proc/<pid>/status) is read after the first hundred searches (half the searches
when there are fewer than 200) and at the end, both times with the same Hash
size and personality, and may differ by at most 1 MiB. On Linux a reading that
fails fails the soak; elsewhere the memory check is skipped, and said so.

Usage:
  tools/soak.py [--engine build/zarv] [--arbiter /usr/games/stockfish]
                [--searches 2000] [--seed 1]
Exit status 0 when every search ended with a legal move and memory held
(status 2 for fewer than 2 searches: nothing to compare).
"""
import argparse
import os
import random
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from match import Arbiter, Engine  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
HASH_SIZES = [0, 1, 2, 4, 8, 16, 32, 64]
# Personality files: a few weights each; every weight not named becomes 0.
PERSONALITIES = [
    "pval 850 1150\nnval 3400 3900\nbval 3400 3900\nrval 4900 6400\nqval 10100 12100\n",
    "# material and mobility only\npval 900 1100\nnmob 60 60\nbmob 60 60\nrmob 30 50\nqmob 20 30\n",
    "hmb 90 20\nksarea 50 0\nppinc 300 300\npassed 100 100\n",
    "",
]


def positions():
    fens = []
    for name in ("openings.epd", "wac.epd"):
        with open(os.path.join(ROOT, "tools", name)) as f:
            for line in f:
                parts = line.split()
                if len(parts) >= 4:
                    fens.append(" ".join(parts[:4]))
    return fens


def memory_kib(pid):
    """(VmRSS, VmHWM) in KiB, or a text saying why they cannot be read."""
    path = f"/proc/{pid}/status"
    try:
        with open(path) as f:
            fields = dict(line.split(":", 1) for line in f if ":" in line)
        return int(fields["VmRSS"].split()[0]), int(fields["VmHWM"].split()[0])
    except (OSError, KeyError, ValueError, IndexError) as e:
        return f"cannot read VmRSS and VmHWM from {path}: {type(e).__name__} {e}"


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--engine", default=os.path.join(ROOT, "build", "zarv"))
    ap.add_argument("--arbiter", default="/usr/games/stockfish")
    ap.add_argument("--searches", type=int, default=2000)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    if args.searches < 2:
        ap.error("--searches must be at least 2: memory is compared between two moments")
    rnd = random.Random(args.seed)

    tmp = tempfile.mkdtemp(prefix="zarv-soak-")
    files = []
    for i, text in enumerate(PERSONALITIES):
        path = os.path.join(tmp, f"personality{i}.txt")
        with open(path, "w") as f:
            f.write(text)
        files.append(path)

    fens = positions()
    arbiter = Arbiter([args.arbiter])
    engine = Engine([args.engine])
    bad, rss, started = [], {}, time.monotonic()

    def read_memory(n):
        engine.ready()
        r = memory_kib(engine.proc.pid)
        if isinstance(r, str):
            print(f"after {n} searches: {r}", flush=True)
        else:
            print(f"after {n} searches: VmRSS {r[0]} KiB, peak (VmHWM) {r[1]} KiB", flush=True)
        return r

    # A short soak still compares two readings: the first after half of it.
    first = min(100, args.searches // 2)
    for n in range(1, args.searches + 1):
        measure = n in (first, args.searches)
        # The same Hash and personality at both measurements; anything between.
        if measure:
            engine.send("setoption name Hash value 16")
            engine.send(f"setoption name personalityFile value {files[0]}")
        elif rnd.random() < 0.1:
            engine.send(f"setoption name Hash value {rnd.choice(HASH_SIZES)}")
        elif rnd.random() < 0.1:
            engine.send(f"setoption name personalityFile value {rnd.choice(files)}")

        fen = rnd.choice(fens)
        moves = []
        for _ in range(rnd.randrange(4)):
            legal, _, _ = arbiter.query(fen + " 0 1", moves)
            if not legal:
                break
            moves.append(rnd.choice(legal))
        legal, _, _ = arbiter.query(fen + " 0 1", moves)
        if not legal:
            if measure:  # no search to make, but the reading is still due
                rss[n] = read_memory(n)
            continue
        engine.send(f"position fen {fen}" + (" moves " + " ".join(moves) if moves else ""))

        kind = rnd.randrange(7)
        if kind == 0:
            engine.send("go infinite")
            time.sleep(rnd.random() * 0.05)
            engine.send("stop")
        elif kind == 1:
            engine.send("go ponder wtime 1000 btime 1000")
            time.sleep(rnd.random() * 0.03)
            engine.send(rnd.choice(["stop", "ponderhit"]))
        elif kind == 2:
            engine.send(f"go movetime {rnd.randrange(1, 30)}")
        elif kind == 3:
            engine.send(f"go depth {rnd.randrange(1, 6)}")
        elif kind == 4:
            engine.send(f"go nodes {rnd.randrange(1, 20000)}")
        elif kind == 5:
            t = rnd.randrange(10, 3000)
            engine.send(f"go wtime {t} btime {t} winc {rnd.randrange(0, 50)} binc 10")
        else:
            engine.send("go")
        try:
            answer = engine.until("bestmove", 30)[-1].split()
        except (TimeoutError, EOFError) as e:
            print(f"search {n}: no bestmove ({type(e).__name__}) after position {fen} moves {moves}")
            return 1
        move = answer[1] if len(answer) > 1 else ""
        if move not in legal:
            bad.append((n, fen, moves, move))
            print(f"search {n}: illegal bestmove {move} in {fen} moves {' '.join(moves)}")
        if measure:
            rss[n] = read_memory(n)

    engine.close()
    arbiter.close()
    for path in files:
        os.remove(path)
    os.rmdir(tmp)
    summary = f"{args.searches} searches in {time.monotonic() - started:.0f} s: {len(bad)} illegal best moves, "
    failed = [r for r in rss.values() if isinstance(r, str)]
    if failed:
        # Linux always has the file: a failed reading there is a fault of the
        # soak, which must not pass as "memory held".
        linux = sys.platform.startswith("linux")
        print(summary + "resident memory not measured (" + failed[0] +
              ("" if linux else "; only Linux has /proc/<pid>/status") + ")")
        return 1 if linux or bad else 0
    grown = rss[args.searches][0] - rss[first][0]
    print(summary + f"resident memory {rss[first][0]} -> {rss[args.searches][0]} KiB ({grown:+d} KiB), "
          f"peak {rss[args.searches][1]} KiB")
    return 0 if not bad and abs(grown) <= 1024 else 1


if __name__ == "__main__":
    sys.exit(main())
