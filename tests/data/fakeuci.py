#!/usr/bin/env python3
# A stand-in UCI engine for the speed tool's tests: every "go" answers at once
# with fixed info lines, the last full one reporting NODES nodes in MS ms
# (with a third argument "grow": NODES times k*k at the k-th "go"), times its
# Threads option (default 2), as an engine that counts every thread's nodes.
import sys

nodes, ms = int(sys.argv[1]), int(sys.argv[2])
grow = sys.argv[3:] == ["grow"]
searches = 0
threads = 2
for line in sys.stdin:
    word = line.split()[:1]
    if word == ["uci"]:
        print("id name fake\noption name Threads type spin default 2 min 1 max 8\nuciok", flush=True)
    elif line.startswith("setoption name Threads value "):
        threads = int(line.split()[-1])
    elif word == ["isready"]:
        print("readyok", flush=True)
    elif word == ["go"]:
        searches += 1
        n = (nodes * searches * searches if grow else nodes) * threads
        print(f"info depth 1 time {ms // 2} nodes {n // 4} score cp 0 pv e2e4")
        print(f"info depth 2 nodes {n} time {ms} nps 1")
        print("info currmove e2e4 currmovenumber 1")
        print("info string time 99999 nodes 1")
        print("bestmove e2e4", flush=True)
    elif word == ["quit"]:
        break
