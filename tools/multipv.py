#!/usr/bin/env python3
"""MultiPV as a GUI's analysis pane uses it: for each middle-game position,
"setoption name MultiPV value 4", "go infinite", SECONDS later "stop". Checks
that every finished iteration wrote four lines, multipv 1 to 4 in order, with
distinct first moves and scores best first, and that bestmove is line 1's
first move; prints one line per position.

Usage: tools/multipv.py ENGINE [SECONDS]
"""
import subprocess
import sys
import time

fens = [
 "r1bq1rk1/pp2ppbp/2np1np1/8/3NP3/2N1BP2/PPPQ2PP/R3KB1R w KQ - 3 9",
 "r2q1rk1/pp2ppbp/2p2np1/6B1/3PP1b1/Q1P2N2/P4PPP/3RKB1R b K - 0 13",
 "2rq1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PNBPN2/PB3PPP/2RQ1RK1 w - - 0 11",
 "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 1",
 "r3r1k1/2p2ppp/p1p1bn2/8/1q2P3/2NPQN2/PPP3PP/R4RK1 b - - 2 15",
]
for fen in fens:
    p = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
    p.stdin.write(f"setoption name MultiPV value 4\nposition fen {fen}\ngo infinite\n"); p.stdin.flush()
    time.sleep(float(sys.argv[2]) if len(sys.argv) > 2 else 3)
    p.stdin.write("stop\nquit\n"); p.stdin.flush()
    out = p.communicate(timeout=20)[0].splitlines()
    info = [l.split() for l in out if l.startswith("info depth")]
    best = [l for l in out if l.startswith("bestmove")][0].split()[1]
    by = {}
    for w in info: by.setdefault(int(w[2]), []).append(w)
    ok = bool(by)
    for d, ls in by.items():
        mp = [int(w[4]) for w in ls]; first = [w[15] for w in ls]
        sc = [int(w[11]) if w[10]=="cp" else (100000 if int(w[11])>0 else -100000) for w in ls]
        if mp != [1,2,3,4] or len(set(first)) != 4 or sc != sorted(sc, reverse=True): ok = False; print("bad", d, mp, first, sc)
    last = by[max(by)]
    print(f"{fen[:40]:40} iterations {len(by)} (depth {max(by)}), 4 lines each: {ok}, last: " + ", ".join(f"{w[15]} {w[10]} {w[11]}" for w in last) + f"; bestmove {best} = line 1: {best == last[0][15]}")
