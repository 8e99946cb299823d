#!/usr/bin/env python3
"""One calibration point of the strength levels (UCI_LimitStrength, UCI_Elo).

Plays Zarv at a level against Stockfish limited to the same UCI_Elo (or to
another, or against Zarv at another level) through a match runner, and prints
one row of the README's table: level, games, wins/draws/losses, score and the
Elo difference with its 95 % error.

    tools/calibrate.py 1700                      # Zarv 1700 against Stockfish 1700, 100 games at 10+0.1
    tools/calibrate.py 1700 --zarv-elo 1850      # Zarv's level 1850 against Stockfish 1700 (fitting)
    tools/calibrate.py 2000 --vs 1700            # Zarv 2000 against Zarv 1700 (the levels in order)

The match runner is fastchess (or anything that takes its options, such as
cutechess-cli) on PATH, or given with --runner; neither is packaged for
Debian, so build one from its public source. Stockfish is `apt-get install
stockfish` (the table was measured with 15.1). One thread and 16 MB each,
openings from tools/openings.epd in random order, each played with colours
swapped; games that both engines agree are lost by 10 pawns for 3 moves, or
drawn within 0.1 of a pawn for 8 moves after move 40, are adjudicated.
"""
import argparse
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def elo_of(wins, draws, losses):
    """Elo difference of a score and its 95 % error (trinomial)."""
    n = wins + draws + losses
    score = (wins + 0.5 * draws) / n
    var = (wins * (1 - score) ** 2 + draws * (0.5 - score) ** 2 + losses * score ** 2) / n
    def elo(s):
        s = min(max(s, 1e-3), 1 - 1e-3)
        return -400 * math.log10(1 / s - 1)
    err = 1.96 * math.sqrt(var / n)
    return elo(score), (elo(score + err) - elo(score - err)) / 2, score


def find(program, fallbacks):
    for p in [program] + fallbacks:
        found = shutil.which(p)
        if found:
            return found
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("elo", type=int, help="the reference's UCI_Elo (and Zarv's, unless --zarv-elo)")
    ap.add_argument("--zarv-elo", type=int, help="Zarv's UCI_Elo when it differs from the reference's")
    ap.add_argument("--vs", type=int, metavar="ELO2", help="play Zarv at ELO2 instead of Stockfish")
    ap.add_argument("--games", type=int, default=100, help="games, an even number (default 100)")
    ap.add_argument("--tc", default="10+0.1", help="time control, seconds+increment (default 10+0.1)")
    ap.add_argument("--concurrency", type=int, default=2, help="games at once (default 2: one per core)")
    ap.add_argument("--engine", default=os.path.join(ROOT, "build", "zarv"))
    ap.add_argument("--reference", default="stockfish", help="the reference engine (default stockfish)")
    ap.add_argument("--runner", default="fastchess", help="the match runner (default fastchess on PATH)")
    ap.add_argument("--pgn", help="write the games here")
    args = ap.parse_args()

    runner = find(args.runner, [])
    if not runner:
        sys.exit("calibrate.py: no match runner '%s': build fastchess or cutechess-cli and put it on PATH, "
                 "or name it with --runner" % args.runner)
    args.engine = os.path.abspath(args.engine)
    if not os.access(args.engine, os.X_OK):
        sys.exit("calibrate.py: no engine at %s: run make first" % args.engine)
    zarv_elo = args.zarv_elo or args.elo

    def zarv(elo):
        return ["-engine", "cmd=" + args.engine, "name=zarv-%d" % elo, "option.UCI_LimitStrength=true",
                "option.UCI_Elo=%d" % elo]

    if args.vs:
        second = zarv(args.vs)
        second[2] = "name=zarv-%d-b" % args.vs if args.vs == zarv_elo else second[2]
    else:
        reference = find(args.reference, ["/usr/games/" + args.reference])
        if not reference:
            sys.exit("calibrate.py: no reference engine '%s' (apt-get install stockfish)" % args.reference)
        second = ["-engine", "cmd=" + reference, "name=reference-%d" % args.elo, "option.UCI_LimitStrength=true",
                  "option.UCI_Elo=%d" % args.elo]
    cmd = [runner] + zarv(zarv_elo) + second + [
        "-each", "tc=" + args.tc, "proto=uci", "option.Threads=1", "option.Hash=16",
        "-openings", "file=" + os.path.join(ROOT, "tools", "openings.epd"), "format=epd", "order=random",
        "-rounds", str(max(1, args.games // 2)), "-repeat", "-concurrency", str(args.concurrency),
        "-resign", "movecount=3", "score=1000", "twosided=true",
        "-draw", "movenumber=40", "movecount=8", "score=10"]
    if args.pgn:
        cmd += ["-pgnout", "file=" + os.path.abspath(args.pgn)]
    # The runner leaves its settings file in its working directory.
    with tempfile.TemporaryDirectory() as work:
        out = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, cwd=work).stdout
    found = re.findall(r"Games: (\d+), Wins: (\d+), Losses: (\d+), Draws: (\d+)", out)
    if not found:
        sys.stdout.write(out[-3000:])
        sys.exit("calibrate.py: the runner reported no result")
    games, wins, losses, draws = map(int, found[-1])
    # Games not ended by the board or an adjudication, by the engine at fault:
    # "Finished game 7 (zarv-1700 vs reference-1700): 0-1 {White loses on time}".
    faults = {}
    for white, black, reason in re.findall(r"Finished game \d+ \((\S+) vs (\S+)\): \S+ \{(.*)\}", out):
        if re.search(r"(?i)on time|illegal|disconnect|crash|stall", reason):
            who = white if reason.startswith("White") else black
            kind = "time loss" if "on time" in reason else reason.split(" ", 1)[1]
            faults[(who, kind)] = faults.get((who, kind), 0) + 1
    diff, err, score = elo_of(wins, draws, losses)
    against = "zarv %d" % args.vs if args.vs else "stockfish %d" % args.elo
    print("| %d | %s | %d | +%d =%d -%d | %.1f %% | %+.0f ± %.0f |%s" % (
        zarv_elo, against, games, wins, draws, losses, 100 * score, diff, err,
        "".join("  %s: %d %s" % (who, n, kind) for (who, kind), n in sorted(faults.items()))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
