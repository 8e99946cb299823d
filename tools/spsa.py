#!/usr/bin/env python3
"""Tunes personality weights in play: SPSA through a match runner.

Every step perturbs all the chosen values at once, each by +c or -c at random,
plays one opening with colours swapped between the set moved up and the set
moved down, and moves every value toward the side that scored better:

    value += a_k / c_k * (wins - losses of the upper set) * sign

with c_k = c / k^0.101 and a_k = a / (A + k)^0.602 (A a tenth of the steps),
a and c chosen so that at the last step c_k is the value's own c and
a_k / c_k^2 is R (--rate). A static fit sees only what the evaluation says
about quiet positions; this sees what the weights win in games, so it can move
what that fit cannot judge: the side-to-move bonus, king safety, the pruning
that the evaluation's size steers.

    tools/spsa.py --base personalities/tuned.txt --state spsa.json --steps 3000 \\
        --params pthreat hmb ksattm.m pval --nodes 20000 --out spsa.txt

A value is KEYWORD.m (middle game), KEYWORD.e (end game) or KEYWORD (both).
Its c is an eighth of its starting size, at least 12 (1.2 centipawns), or 1.5
for the multipliers (the king-safety and table multipliers), unless given as
KEYWORD.m=C. Steps run WORKERS at a time (default 2: one game each), the
state (values, step count, every step's result) is written to STATE after each
step, and a run started again with the same STATE resumes where it stopped.
OUT gets the current values as a personality file (all weights) after every
step. The runner is fastchess (or anything taking its options) on PATH or
--runner; openings from tools/openings.epd at random.
"""
import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MULTIPLIERS = {"ksarea", "ksdefm", "ksattm", "ntabm", "btabm", "rtabm", "qtabm", "ktabm", "ptabm"}


def readPersonality(path):
    weights = []
    with open(path) as f:
        for line in f:
            words = line.split()
            if len(words) == 3 and not words[0].startswith("#"):
                weights.append([words[0], int(words[1]), int(words[2])])
    return weights


def writePersonality(path, weights, values, comment):
    with open(path + ".tmp", "w") as f:
        f.write("# " + comment + "\n")
        for key, mid, end in weights:
            mid = round(values.get(key + ".m", mid))
            end = round(values.get(key + ".e", end))
            f.write("%s %d %d\n" % (key, mid, end))
    os.replace(path + ".tmp", path)


def chosenValues(weights, params):
    """Maps KEYWORD.m / KEYWORD.e to (start, c)."""
    start = {}
    for key, mid, end in weights:
        start[key + ".m"], start[key + ".e"] = mid, end
    chosen = {}
    for p in params:
        name, _, c = p.partition("=")
        names = [name] if "." in name else [name + ".m", name + ".e"]
        for n in names:
            if n not in start:
                sys.exit("spsa: no weight %s in the base personality" % n)
            v = start[n]
            if c:
                chosen[n] = (v, float(c))
            elif n.split(".")[0] in MULTIPLIERS:
                chosen[n] = (v, max(abs(v) / 8, 1.5))
            else:
                chosen[n] = (v, max(abs(v) / 8, 12))
    return chosen


def playPair(args, upper, lower, seed):
    """Wins minus losses of the upper set over one opening, colours swapped."""
    with tempfile.TemporaryDirectory() as tmp:
        cmd = [args.runner,
               "-engine", "cmd=" + args.engine, "name=up", "option.personalityFile=" + upper,
               "-engine", "cmd=" + args.engine, "name=down", "option.personalityFile=" + lower,
               "-each", "proto=uci", "option.Hash=16"]
        cmd += ["tc=inf", "nodes=%d" % args.nodes] if args.nodes else ["tc=" + args.tc, "timemargin=200"]
        cmd += ["-openings", "file=" + args.openings, "format=epd", "order=random",
                "-srand", str(seed), "-rounds", "1", "-repeat", "-concurrency", "1"]
        run = subprocess.run(cmd, cwd=tmp, stdin=subprocess.DEVNULL, capture_output=True, text=True)
    m = re.findall(r"Wins: (\d+), Losses: (\d+), Draws: (\d+)", run.stdout)
    if m and sum(map(int, m[-1])) == 2:
        return int(m[-1][0]) - int(m[-1][1]), ""
    return None, (run.stdout + run.stderr)[-2000:]


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--base", required=True, help="personality file to start from")
    ap.add_argument("--params", nargs="+", required=True, help="values to tune (see above)")
    ap.add_argument("--state", required=True, help="JSON state file (resumed when it exists)")
    ap.add_argument("--out", required=True, help="personality file of the current values")
    ap.add_argument("--steps", type=int, default=2000, help="game pairs in all (default 2000)")
    ap.add_argument("--rate", type=float, default=0.005, help="R at the last step (default 0.005)")
    ap.add_argument("--nodes", type=int, default=20000, help="nodes a move (default 20000; 0: --tc)")
    ap.add_argument("--tc", default="2+0.02", help="time control when --nodes is 0")
    ap.add_argument("--workers", type=int, default=2, help="game pairs at once (default 2)")
    ap.add_argument("--engine", default=os.path.join(ROOT, "build", "zarv"))
    ap.add_argument("--runner", default=shutil.which("fastchess"))
    ap.add_argument("--openings", default=os.path.join(ROOT, "tools", "openings.epd"))
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    if not args.runner:
        sys.exit("spsa: no match runner: put fastchess on PATH or give --runner")
    args.engine, args.openings = os.path.abspath(args.engine), os.path.abspath(args.openings)

    weights = readPersonality(args.base)
    chosen = chosenValues(weights, args.params)
    if os.path.exists(args.state):
        with open(args.state) as f:
            state = json.load(f)
    else:
        state = {"values": {name: float(v) for name, (v, _) in chosen.items()}, "step": 0, "results": []}
    n, big_a = args.steps, args.steps / 10
    lock = threading.Lock()
    failed = []  # steps the runner gave no result for; the state file keeps the last good step
    workdir = tempfile.mkdtemp(prefix="spsa")

    def worker(w):
        rng = random.Random()
        while True:
            with lock:
                k = state["step"] + 1
                if k > n or failed:
                    return
                state["step"] = k
                seed = args.seed * 1000003 + k  # the step's signs and openings
                rng.seed(seed)
                signs = {name: rng.choice((-1, 1)) for name in chosen}
                ck = {name: c * (n / k) ** 0.101 for name, (_, c) in chosen.items()}
                up = {name: v + ck[name] * signs[name] for name, v in state["values"].items()}
                down = {name: v - ck[name] * signs[name] for name, v in state["values"].items()}
            upper, lower = os.path.join(workdir, "up%d.txt" % w), os.path.join(workdir, "down%d.txt" % w)
            writePersonality(upper, weights, up, "spsa step %d, upper" % k)
            writePersonality(lower, weights, down, "spsa step %d, lower" % k)
            result, output = playPair(args, upper, lower, seed)
            with lock:
                if result is None:
                    # a runner that fails once fails every time: stop rather than spin
                    print("spsa: step %d: no result from the runner:\n%s" % (k, output), file=sys.stderr)
                    failed.append(k)
                    return
                for name, (_, c) in chosen.items():
                    # a_k / c_k = R c^2 ((A + N) / (A + k))^0.602 / c_k
                    ak = args.rate * c * c * ((big_a + n) / (big_a + k)) ** 0.602
                    state["values"][name] += ak / ck[name] * result * signs[name]
                state["results"].append(result)
                with open(args.state + ".tmp", "w") as f:
                    json.dump(state, f)
                os.replace(args.state + ".tmp", args.state)
                writePersonality(args.out, weights, state["values"],
                                 "spsa from %s, %d of %d game pairs" % (os.path.basename(args.base), k, n))
                rs = state["results"]
                if len(rs) % 50 == 0:
                    moved = ", ".join("%s %d" % (name, round(v)) for name, v in sorted(state["values"].items()))
                    print("spsa: %d pairs, upper score %+d; %s" % (len(rs), sum(rs), moved), flush=True)

    threads = [threading.Thread(target=worker, args=(w,)) for w in range(args.workers)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    shutil.rmtree(workdir, ignore_errors=True)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
