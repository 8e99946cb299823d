#!/usr/bin/env python3
"""A small match runner for two UCI engines.

Plays games from the positions of an EPD file, each position twice with the
colours swapped, under a Fischer clock (base + increment per move). A third
UCI engine that understands "go perft 1" and "d" (Stockfish does) serves as
the arbiter: it lists the legal moves and gives the FEN after every move, from
which the runner judges mate, stalemate, the fifty-move rule, threefold
repetition and bare material. Every move is checked for legality and every
answer is timed against the clock; a crash, an illegal move or a flag ends the
game as a loss for that engine and is counted separately.

Usage:
  tools/match.py --engine1 build/zarv --engine2 /usr/games/stockfish \
      --option2 "UCI_LimitStrength=true" --option2 "UCI_Elo=1800" \
      --games 20 --base 10 --inc 0.1 --openings tools/openings.epd
"""
import argparse
import queue
import subprocess
import sys
import threading
import time

START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"


class Engine:
    """A UCI engine in a child process, its output read by a thread."""

    def __init__(self, cmd, options=()):
        self.cmd = cmd
        self.proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.name = cmd[0]
        self.send("uci")
        for line in self.until("uciok", 10):
            if line.startswith("id name "):
                self.name = line[8:]
        for opt in options:
            key, _, value = opt.partition("=")
            self.send(f"setoption name {key} value {value}")
        self.ready()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.rstrip("\n"))
        self.lines.put(None)  # end of output: the process has gone

    def send(self, text):
        try:
            self.proc.stdin.write(text + "\n")
            self.proc.stdin.flush()
        except (BrokenPipeError, OSError):
            pass

    def until(self, prefix, timeout):
        """Lines up to and including the first that starts with prefix; raises on timeout or exit."""
        out, deadline = [], time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError(prefix)
            try:
                line = self.lines.get(timeout=left)
            except queue.Empty:
                raise TimeoutError(prefix)
            if line is None:
                raise EOFError(prefix)
            out.append(line)
            if line.startswith(prefix):
                return out

    def ready(self):
        self.send("isready")
        self.until("readyok", 10)

    def alive(self):
        return self.proc.poll() is None

    def close(self):
        self.send("quit")
        try:
            self.proc.wait(3)
        except subprocess.TimeoutExpired:
            self.proc.kill()


class Arbiter(Engine):
    def query(self, fen, moves):
        """Legal moves, the FEN after the moves, and whether the side to move is in check."""
        pos = f"position fen {fen}" + (" moves " + " ".join(moves) if moves else "")
        self.send(pos)
        self.send("go perft 1")
        legal = []
        for line in self.until("Nodes searched", 10):
            head, sep, _ = line.partition(":")
            if sep and head != "Nodes searched" and 4 <= len(head) <= 5:
                legal.append(head)
        self.send("d")
        lines = self.until("Checkers", 10)
        now = next(l[5:] for l in lines if l.startswith("Fen: "))
        checkers = lines[-1][len("Checkers:"):].strip()
        return legal, now, bool(checkers)


def bare_material(fen):
    pieces = [c for c in fen.split()[0] if c.isalpha() and c not in "kK"]
    return not pieces or (len(pieces) == 1 and pieces[0] in "nNbB")


def play(white, black, arbiter, fen, base, inc, max_plies=400):
    """Returns (result text, reason, loser index or None, problem kind or None, plies)."""
    engines = [white, black]
    clock = [base, base]
    moves, seen = [], {}
    for e in engines:
        e.send("ucinewgame")
        e.ready()
    while True:
        legal, now, check = arbiter.query(fen, moves)
        side = 0 if now.split()[1] == "w" else 1
        if not legal:
            if check:
                return ("0-1" if side == 0 else "1-0"), "mate", side, None, len(moves)
            return "1/2-1/2", "stalemate", None, None, len(moves)
        key = " ".join(now.split()[:4])
        seen[key] = seen.get(key, 0) + 1
        if seen[key] >= 3:
            return "1/2-1/2", "repetition", None, None, len(moves)
        if int(now.split()[4]) >= 100:
            return "1/2-1/2", "fifty moves", None, None, len(moves)
        if bare_material(now):
            return "1/2-1/2", "bare material", None, None, len(moves)
        if len(moves) >= max_plies:
            return "1/2-1/2", "length", None, None, len(moves)
        e = engines[side]
        e.send(f"position fen {fen}" + (" moves " + " ".join(moves) if moves else ""))
        ms = [max(0, int(c * 1000)) for c in clock]
        start = time.monotonic()
        e.send(f"go wtime {ms[0]} btime {ms[1]} winc {int(inc * 1000)} binc {int(inc * 1000)}")
        lose = "0-1" if side == 0 else "1-0"
        try:
            answer = e.until("bestmove", clock[side] + 5)[-1]
        except (TimeoutError, EOFError):
            kind = "crash" if not e.alive() else "time"
            return lose, kind, side, kind, len(moves)
        used = time.monotonic() - start
        clock[side] -= used
        if clock[side] < 0:
            return lose, f"time: {used:.3f} s used of {used + clock[side]:.3f} s", side, "time", len(moves)
        clock[side] += inc
        move = answer.split()[1] if len(answer.split()) > 1 else ""
        if move not in legal:
            return lose, f"illegal move {move}", side, "illegal", len(moves)
        moves.append(move)


def openings(path, count):
    fens = []
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 4:
                fens.append(" ".join(parts[:4]) + " 0 1")
    return (fens or [START])[:count]


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--engine1", required=True)
    ap.add_argument("--engine2", required=True)
    ap.add_argument("--option1", action="append", default=[])
    ap.add_argument("--option2", action="append", default=[])
    ap.add_argument("--arbiter", default="/usr/games/stockfish")
    ap.add_argument("--games", type=int, default=20)
    ap.add_argument("--base", type=float, default=10.0)
    ap.add_argument("--inc", type=float, default=0.1)
    ap.add_argument("--openings", default="")
    args = ap.parse_args()

    starts = openings(args.openings, (args.games + 1) // 2) if args.openings else [START]
    arbiter = Arbiter([args.arbiter])
    score = {"win": 0, "draw": 0, "loss": 0}
    problems = {1: {"crash": 0, "illegal": 0, "time": 0}, 2: {"crash": 0, "illegal": 0, "time": 0}}
    e1 = Engine([args.engine1], args.option1)
    e2 = Engine([args.engine2], args.option2)
    for g in range(args.games):
        fen = starts[(g // 2) % len(starts)]
        first_white = g % 2 == 0
        white, black = (e1, e2) if first_white else (e2, e1)
        result, reason, loser, kind, plies = play(white, black, arbiter, fen, args.base, args.inc)
        if loser is not None:
            who = 1 if (loser == 0) == first_white else 2
            if kind:
                problems[who][kind] += 1
        if result == "1/2-1/2":
            score["draw"] += 1
        elif (result == "1-0") == first_white:
            score["win"] += 1
        else:
            score["loss"] += 1
        print(f"game {g + 1:2d}: {white.name} - {black.name}  {result}  ({reason}, {plies} plies)  {fen}",
              flush=True)
        # An engine that crashed or overran its clock is replaced for the next game.
        if kind in ("crash", "time"):
            (e1 if who == 1 else e2).close()
        if not e1.alive():
            e1 = Engine([args.engine1], args.option1)
        if not e2.alive():
            e2 = Engine([args.engine2], args.option2)
    print(f"{e1.name} vs {e2.name}: +{score['win']} ={score['draw']} -{score['loss']}")
    for who, name in ((1, e1.name), (2, e2.name)):
        p = problems[who]
        print(f"{name}: {p['crash']} crashes, {p['illegal']} illegal moves, {p['time']} time losses")
    e1.close()
    e2.close()
    arbiter.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
