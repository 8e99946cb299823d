#!/usr/bin/env bash
# Zarv in a real GUI: two short games of the engine against another UCI engine
# inside xboard, through polyglot, on a virtual X server (Xvfb), with a
# screenshot of the first game. Fails unless both games end by the rules
# (mate, stalemate, repetition, fifty moves, too little material), with Zarv
# on one side of each, and no illegal move, crash, time loss or hang.
#
#   tools/gui-check.sh [ZARV] [OPPONENT]
#
# ZARV defaults to the installed zarv (on PATH, /usr/games or /usr/local/games),
# else build/zarv; OPPONENT to glaurung. Zarv plays with the personality file
# PERSONALITY (default tuned.txt, named as a GUI user names it; empty for the
# built-in weights), which must load. The clock is TC (xboard's
# minutes[:seconds], default 0:30) plus INC seconds a move (default 0.3).
# xboard calls the flag, so a time loss ends a game. OUT names the folder for
# the games (games.pgn), xboard's debug file, polyglot's log and the
# screenshot (screenshot.png); a fresh temporary folder by default. Needs
# xboard, polyglot, Xvfb and ImageMagick's import (Debian: xboard polyglot xvfb
# imagemagick). Not part of `make test`.
set -euo pipefail
export PATH="$PATH:/usr/local/games:/usr/games"
root=$(cd "$(dirname "$0")/.." && pwd)

zarv=${1:-$(command -v zarv || echo "$root/build/zarv")}
opponent=${2:-glaurung}
zarv=$(command -v "$zarv" || true)
opponent=$(command -v "$opponent" || true)
[ -n "$zarv" ] && zarv=$(realpath "$zarv")
[ -x "$zarv" ] || { echo "gui-check: no engine ${1:-zarv} (give its path, or run make)" >&2; exit 2; }
[ -x "$opponent" ] || { echo "gui-check: no opponent ${2:-glaurung}" >&2; exit 2; }
for tool in xboard polyglot Xvfb import; do
  command -v "$tool" >/dev/null || { echo "gui-check: $tool is not installed" >&2; exit 2; }
done
out=${OUT:-$(mktemp -d /tmp/gui-check.XXXXXX)}
mkdir -p "$out"
rm -f "$out/games.pgn" "$out/screenshot.png" "$out/debug.txt" "$out/polyglot.log"

# A display number no other X server holds.
display=90
while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
xvfb_pid=""
xboard_pid=""
stop() {
  # xboard runs in a process group of its own, with polyglot and both engines.
  [ -n "$xboard_pid" ] && kill -- "-$xboard_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap stop EXIT
Xvfb ":$display" -screen 0 1070x624x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"

echo "gui-check: $zarv against $opponent, 2 games at ${TC:-0:30} + ${INC:-0.3} s, in $out"
personality=${PERSONALITY-tuned.txt}
setsid xboard -fcp "$zarv" -fUCI -firstOptions "${personality:+personalityFile=$personality}" \
  -scp "$opponent" -sUCI -matchGames 2 \
  -adapterCommand "polyglot -noini -log true -lf \"$out/polyglot.log\" -ec \"%fcp\" -ed \"%fd\"" \
  -timeControl "${TC:-0:30}" -timeIncrement "${INC:-0.3}" \
  -saveGameFile "$out/games.pgn" -debugMode true -nameOfDebugFile "$out/debug.txt" \
  -settingsFile "$out/xboardrc" -saveSettingsOnExit false -popupExitMessage false \
  -soundProgram true -boardSize medium -engineOutputUp true -engineOutputW 540 -engineOutputH 624 \
  -autoCallFlag true -checkMates true -testClaims true -materialDraws true -ruleMoves 51 -repeatsToDraw 3 \
  >"$out/xboard.log" 2>&1 &
xboard_pid=$!

# Without a window manager every window opens at the top left corner, and
# xboard's own position options go unheeded: the engine-output window is moved
# beside the board by a direct call of Xlib's XMoveWindow.
move_window() {
  python3 - "$@" <<'EOF'
import ctypes, ctypes.util, sys
from ctypes import POINTER, c_char_p, c_int, c_uint, c_ulong, c_void_p
X = ctypes.CDLL(ctypes.util.find_library("X11"))
X.XOpenDisplay.restype = c_void_p
X.XDefaultRootWindow.argtypes = [c_void_p]
X.XDefaultRootWindow.restype = c_ulong
X.XQueryTree.argtypes = [c_void_p, c_ulong, POINTER(c_ulong), POINTER(c_ulong), POINTER(POINTER(c_ulong)), POINTER(c_uint)]
X.XFetchName.argtypes = [c_void_p, c_ulong, POINTER(c_char_p)]
X.XMoveWindow.argtypes = [c_void_p, c_ulong, c_int, c_int]
X.XSync.argtypes = [c_void_p, c_int]
d = X.XOpenDisplay(None)
root, parent, children, n = c_ulong(), c_ulong(), POINTER(c_ulong)(), c_uint()
X.XQueryTree(d, X.XDefaultRootWindow(d), ctypes.byref(root), ctypes.byref(parent), ctypes.byref(children), ctypes.byref(n))
for i in range(n.value):
    name = c_char_p()
    if X.XFetchName(d, children[i], ctypes.byref(name)) and name.value == sys.argv[1].encode():
        X.XMoveWindow(d, children[i], int(sys.argv[2]), int(sys.argv[3]))
X.XSync(d, 0)
EOF
}
sleep 3
move_window "Engine Output" 530 0 || echo "gui-check: the engine-output window stays over the board" >&2

# The screenshot: a few seconds into the first game.
sleep "${SHOT_AFTER:-10}"
if kill -0 "$xboard_pid" 2>/dev/null; then
  import -window root -trim +repage "$out/screenshot.png" || echo "gui-check: no screenshot" >&2
fi
# Two games at most 2 x 2 x (TC + 150 x INC) plus start-up; 15 minutes is plenty.
limit=$(( $(date +%s) + ${LIMIT:-900} ))
while kill -0 "$xboard_pid" 2>/dev/null && [ "$(date +%s)" -lt "$limit" ]; do sleep 1; done
if kill -0 "$xboard_pid" 2>/dev/null; then
  echo "gui-check: FAIL: the match did not end within ${LIMIT:-900} s" >&2
  exit 1
fi
xboard_pid=""

fail=0
games=$(grep -c '^\[Result ' "$out/games.pgn" 2>/dev/null || true)
if [ "${games:-0}" -ne 2 ]; then
  echo "gui-check: FAIL: ${games:-0} games saved, not 2" >&2
  fail=1
fi
# One game per paragraph of headers and moves; PGN lines wrap, so join them.
python3 - "$out/games.pgn" <<'EOF' || fail=1
import os, re, sys
text = open(sys.argv[1]).read().strip() if os.path.exists(sys.argv[1]) else ""
games = re.split(r'\n(?=\[Event )', text) if text else []
rules = re.compile(r'checkmate|mates|stalemate|repetition|50-move|fifty|insufficient|material', re.I)
bad = re.compile(r'time|illegal|crash|exit|false|forfeit|disconnect|abort|resign', re.I)
ok = True
for i, g in enumerate(games, 1):
    tags = dict(re.findall(r'^\[(\w+) "([^"]*)"\]', g, re.M))
    body = ' '.join(line for line in g.splitlines() if not line.startswith('['))
    end = re.search(r'\{([^}]*)\}\s*(1-0|0-1|1/2-1/2|\*)\s*$', body)
    why, result = (end.group(1), end.group(2)) if end else ('no end comment', '*')
    moves = len(re.findall(r'\d+\.', re.sub(r'\{[^}]*\}', '', body)))
    zarv = 'Zarv' in tags.get('White', '') + tags.get('Black', '')
    good = result != '*' and zarv and rules.search(why) and not bad.search(why)
    print(f"game {i}: {tags.get('White')} - {tags.get('Black')} {result} {{{why}}} after {moves} moves: "
          + ("by the rules" if good else "FAIL"))
    ok = ok and bool(good)
sys.exit(0 if ok else 1)
EOF
# polyglot hands the option to the engine as setoption; its log (both
# engines' polyglots write to it) holds the engine's answer.
if [ -n "$personality" ]; then
  loaded=$(grep -a -o "personality file found at .*\|personality file = .*" "$out/polyglot.log" | sort -u || true)
  if [ -z "$loaded" ] || grep -a -q "info string cannot open" "$out/polyglot.log"; then
    echo "gui-check: FAIL: the personality file $personality did not load" >&2
    fail=1
  else
    echo "$loaded" | sed 's/^/gui-check: /'
  fi
fi
if grep -a -E "^[0-9]+ <(first|second) *: *(Illegal move|Error)" "$out/debug.txt"; then
  echo "gui-check: FAIL: an engine refused a move or a command" >&2
  fail=1
fi
[ -s "$out/screenshot.png" ] && echo "gui-check: screenshot $out/screenshot.png" || { echo "gui-check: FAIL: no screenshot" >&2; fail=1; }
if [ "$fail" -ne 0 ]; then
  echo "gui-check: FAIL (games, xboard's log and its debug file in $out)" >&2
  exit 1
fi
echo "gui-check: passed"
