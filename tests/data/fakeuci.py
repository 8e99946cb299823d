#!/usr/bin/env python3
# A stand-in UCI engine for the speed tool's tests: every "go" answers at once
# with fixed info lines, the last full one reporting NODES nodes in MS ms
# (with a third argument "grow": NODES times k*k at the k-th "go").
import sys

nodes, ms = int(sys.argv[1]), int(sys.argv[2])
grow = sys.argv[3:] == ["grow"]
searches = 0
for line in sys.stdin:
    word = line.split()[:1]
    if word == ["uci"]:
        print("id name fake\nuciok", flush=True)
    elif word == ["isready"]:
        print("readyok", flush=True)
    elif word == ["go"]:
        searches += 1
        n = nodes * searches * searches if grow else nodes
        print(f"info depth 1 time {ms // 2} nodes {n // 4} score cp 0 pv e2e4")
        print(f"info depth 2 nodes {n} time {ms} nps 1")
        print("info currmove e2e4 currmovenumber 1")
        print("info string time 99999 nodes 1")
        print("bestmove e2e4", flush=True)
    elif word == ["quit"]:
        break
