#!/usr/bin/env python3
"""Mutation test of the suite: does a test fail when the code is wrong?

Puts random single-point slips into src/ one at a time, in a copy of the
checkout: a comparison bound moved (< <=, > >=), a comparison negated (== !=),
&& swapped with ||, a sign flipped (binary + -, += -=) and a constant off by
one (an integer +-1, a decimal's last digit +-1). Each slip is rebuilt
incrementally and the suite run test by test through ctest with a time limit;
the first failing test (or a hang) catches the slip and ends its run. A slip
that does not compile is not counted; another is drawn in its place.

Tests that have caught slips run first for the next ones, so most caught slips
cost one short test; a slip that survives has run the whole suite. Survivors
are then run through a probe (bench node counts, the evaluation checksum, perft
counts, searches through the engine): a survivor whose probe output equals the
unchanged program's may change nothing at all and is listed as such; one whose
probe output differs is a fault the suite misses.

    tools/mutants.py --seed 18 --count 200          # prints survivors and the score
    tools/mutants.py --seed 18 --count 200 --list   # only the slips that would be made

The copy lives in --workdir (default /tmp/zarv-mutants-<seed>) and is kept, so
a second run reuses its build. It is built with -O1 (--opt): quicker to
rebuild, and the tests do not depend on speed. Results go to
<workdir>/results.json as they come, the survivors (file, line, slip) to
<workdir>/survivors.txt at the end; --resume keeps the verdicts that still
hold for the checkout as it is now and judges the rest again.
"""
import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

FIRST_TESTS = 6  # tests run one by one before the rest of the suite
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Files left out: machine-found magic multipliers are no programmer's slip.
SKIP_FILES = {"src/board/magics.h"}

PUNCT = ["<<=", ">>=", "<=>", "->*", "...", "::", "->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&",
         "||", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", ".*"]
SWAP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==", "&&": "||", "||": "&&",
        "+": "-", "-": "+", "+=": "-=", "-=": "+="}
NUM_RE = re.compile(r"(0[xX][0-9a-fA-F']+|[0-9][0-9']*\.?[0-9']*(?:[eE][+-]?[0-9]+)?|\.[0-9]+)([uUlLfF]*)")


def lex(text):
    """Tokens (kind, start, end) of C++ text; comments, strings and
    preprocessor lines are dropped."""
    toks, i, n = [], 0, len(text)
    line_start = True
    while i < n:
        c = text[i]
        if c == "\n":
            line_start = True
            i += 1
            continue
        if c in " \t\r":
            i += 1
            continue
        if line_start and c == "#":
            while i < n and (text[i] != "\n" or text[i - 1] == "\\"):
                i += 1
            continue
        line_start = False
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
            continue
        if text.startswith("/*", i):
            i = text.find("*/", i) + 2
            continue
        if c in "\"'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            i = j + 1
            continue
        if c.isalpha() or c == "_":
            j = i
            while j < n and (text[j].isalnum() or text[j] == "_"):
                j += 1
            toks.append(("id", i, j))
            i = j
            continue
        if c.isdigit() or (c == "." and i + 1 < n and text[i + 1].isdigit()):
            m = NUM_RE.match(text, i)
            toks.append(("num", i, m.end()))
            i = m.end()
            continue
        for p in PUNCT:
            if text.startswith(p, i):
                toks.append(("op", i, i + len(p)))
                i += len(p)
                break
        else:
            toks.append(("op", i, i + 1))
            i += 1
    return toks


def template_brackets(text, toks):
    """Indexes of < and > tokens that are template brackets: an identifier
    then <, closed on the same line with only names, numbers, ::, commas,
    * and & in between."""
    inside = set()
    for k, (kind, s, e) in enumerate(toks):
        if text[s:e] != "<" or k == 0 or toks[k - 1][0] != "id":
            continue
        depth, j = 0, k
        while j < len(toks):
            t = text[toks[j][1]:toks[j][2]]
            if "\n" in text[toks[k][1]:toks[j][1]]:
                break
            if t == "<":
                depth += 1
            elif t == ">" or t == ">>":
                depth -= len(t)
                if depth <= 0:
                    inside.update(range(k, j + 1))
                    break
            elif not (toks[j][0] in ("id", "num") or t in ("::", ",", "*", "&")):
                break
            j += 1
    return inside


def dimension(text, toks, k, line):
    """A number that is an array's size in its declaration ("int a[8]",
    "b[64][64]"): a larger size changes nothing, a smaller one overruns."""
    def t(j):
        return text[toks[j][1]:toks[j][2]] if 0 <= j < len(toks) else ""
    if t(k - 1) != "[" or t(k + 1) != "]":
        return False
    j = k - 2
    while t(j) == "]":  # the later sizes of a table with several
        j -= 3
        if t(j + 1) != "[":
            return False
    if j < 0 or toks[j][0] != "id":
        return False
    before = t(j - 1)
    return (j > 0 and toks[j - 1][0] == "id" and before not in ("return", "case")) or before in ("*", "&") or \
        (before == "," and "(" not in line)


def sites(rel, text):
    """Every slip the file allows: (start, end, replacement)."""
    toks = lex(text)
    tmpl = template_brackets(text, toks)
    out = []
    for k, (kind, s, e) in enumerate(toks):
        t = text[s:e]
        line = text[text.rfind("\n", 0, s) + 1:text.find("\n", s)]
        if "static_assert" in line or "operator" in line or "assert(" in line:
            continue  # asserts are compiled out of the Release build the suite runs
        if kind == "op" and t in SWAP and k not in tmpl:
            if t in ("+", "-"):
                prev = toks[k - 1] if k else None
                ptxt = text[prev[1]:prev[2]] if prev else ""
                binary = prev and (prev[0] in ("id", "num") or ptxt in (")", "]"))
                if not binary or ptxt in ("return", "case"):
                    continue
            out.append((s, e, SWAP[t]))
        elif kind == "num" and k not in tmpl and not dimension(text, toks, k, line):
            m = NUM_RE.match(text, s)
            body, suffix = m.group(1), m.group(2)
            if "'" in body:
                continue
            if body.lower().startswith("0x"):
                v = int(body, 16)
                for nv in (v + 1, v - 1):
                    if nv >= 0:
                        out.append((s, e, "0x%x%s" % (nv, suffix)))
            elif "." in body or "e" in body.lower() and not body.lower().startswith("0x"):
                mant = re.match(r"[0-9.]+", body).group(0)
                last = max(i for i, ch in enumerate(mant) if ch.isdigit())
                d = int(mant[last])
                for nd in (d + 1, d - 1):
                    if 0 <= nd <= 9:
                        out.append((s, e, mant[:last] + str(nd) + mant[last + 1:] + body[len(mant):] + suffix))
            else:
                v = int(body)
                for nv in (v + 1, v - 1):
                    if nv >= 0:
                        out.append((s, e, str(nv) + suffix))
    return out


def all_sites(src, held):
    """Every slip of the files of src/ that the checkout holds."""
    found = []
    for dirpath, _, files in os.walk(os.path.join(src, "src")):
        for f in sorted(files):
            if not f.endswith((".cpp", ".h")):
                continue
            path = os.path.join(dirpath, f)
            rel = os.path.relpath(path, src)
            if rel in SKIP_FILES or rel not in held:
                continue
            with open(path) as fh:
                text = fh.read()
            for s, e, rep in sites(rel, text):
                found.append((rel, s, e, rep))
    found.sort()
    return found


def line_of(text, pos):
    return text.count("\n", 0, pos) + 1


def session_members(sid):
    """Live processes of the session sid: its own process groups and those its
    processes made (GNU parallel puts each job in one), orphans included."""
    found = []
    for d in os.listdir("/proc"):
        if not d.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % d) as fh:
                state, _, _, session = fh.read().rsplit(")", 1)[1].split()[:4]
        except (OSError, ValueError):
            continue
        if int(session) == sid and state != "Z":
            found.append(int(d))
    return found


def end_session(sid):
    """Kills every process of the session until none is left (one may fork
    while the others die)."""
    for _ in range(1000):
        left = session_members(sid)
        if not left:
            return
        for pid in left:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        time.sleep(0.01)


def run(cmd, cwd=None, timeout=None):
    """Runs cmd in a session of its own; on the time limit, and after it, every
    process of that session is ended with it: the whole tree, and whatever lost
    its parent on the way (an engine a test started, a shard's job). The output
    goes through a file, which no such process can hold open."""
    with tempfile.TemporaryFile(mode="w+") as out:
        p = subprocess.Popen(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, text=True,
                             start_new_session=True)
        try:
            rc = p.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            rc = "timeout"
        try:
            os.killpg(p.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        end_session(p.pid)
        p.wait()
        out.seek(0)
        return rc, out.read()


def checkout_files():
    """The checkout's files, committed or not, less builds and ignored files."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT, stdout=subprocess.PIPE,
                           text=True, check=True).stdout.split()
    return [f for f in files if not f.startswith(("build", ".git")) and os.path.isfile(os.path.join(ROOT, f))]


def copy_checkout(work, files):
    """Brings the copy up to the checkout's files; returns a digest of src/ and
    one per test file."""
    copy = os.path.join(work, "src-copy")
    for top in ("src", "tests", "tools"):
        for dirpath, _, names in os.walk(os.path.join(copy, top)):
            for f in names:
                if os.path.relpath(os.path.join(dirpath, f), copy) not in files:
                    os.remove(os.path.join(dirpath, f))
    src_digest, test_digests = hashlib.sha1(), {}
    for rel in sorted(files):
        data = open(os.path.join(ROOT, rel), "rb").read()
        dst = os.path.join(copy, rel)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        if not os.path.exists(dst) or open(dst, "rb").read() != data:
            shutil.copyfile(os.path.join(ROOT, rel), dst)  # newer than any object built from the old text
        if rel.startswith("src/"):
            src_digest.update(rel.encode() + data)
        elif rel.startswith("tests/"):
            test_digests[rel] = hashlib.sha1(data).hexdigest()
    return src_digest.hexdigest(), test_digests


def test_file_digest(src, name, test_digests):
    """Digest of the test file that defines the test Suite.Name."""
    suite, _, case = name.partition(".")
    pattern = re.compile(r"TEST(_F)?\(\s*%s\s*,\s*%s\s*\)" % (re.escape(suite), re.escape(case)))
    shared = "".join(d for rel, d in sorted(test_digests.items()) if not rel.endswith("_test.cpp"))
    for rel in sorted(test_digests):
        if rel.endswith("_test.cpp") and pattern.search(open(os.path.join(src, rel)).read()):
            return hashlib.sha1((test_digests[rel] + shared).encode()).hexdigest()
    return None


def objects(build):
    out = {}
    for dirpath, _, files in os.walk(os.path.join(build, "CMakeFiles")):
        for f in files:
            if f.endswith(".o"):
                p = os.path.join(dirpath, f)
                out[p] = os.stat(p).st_mtime_ns
    return out


def list_tests(build):
    """Test names in CTest's order, and the program each one runs."""
    out = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"], stdout=subprocess.PIPE,
                         text=True, check=True).stdout
    tests = json.loads(out)["tests"]
    return [t["name"] for t in tests], {t["name"]: os.path.basename(t["command"][0]) for t in tests}


PROBE = [
    ["zarv-dev", "bench", "6"],
    ["zarv-dev", "evalbench", "1"],
    ["zarv-dev", "perft", "4"],
    ["zarv-dev", "perft", "--picker", "4", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -"],
    ["zarv-dev", "perft", "5", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -"],
    ["zarv-dev", "go", "--depth", "7", "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq -"],
    ["zarv-dev", "go", "--depth", "9", "8/8/4k3/8/8/4K3/4P3/8 w - -"],
    ["zarv-dev", "go", "--depth", "7", "8/pp3k2/2p5/3r4/8/2B5/PP3PPP/4R1K1 b - -"],
]
# Timings vary from run to run; everything else must not.
VOLATILE = [(r"\b(time|nps) \d+", r"\1 #"), (r"\s+\d+ ms\b", " # ms"), (r"nodes \d+ nps", "nodes # nps"),
            (r"\d+\.\d+( \d+)?", "#"), (r"\d+ evaluations per second", "# evaluations per second")]


def steady(out):
    for pattern, repl in VOLATILE:
        out = re.sub(pattern, repl, out)
    return out


def probe(build):
    text = []
    for cmd in PROBE:
        rc, out = run([os.path.join(build, cmd[0])] + cmd[1:], timeout=300)
        text.append("%s -> %s\n%s" % (" ".join(cmd), rc, steady(out)))
    return "\n".join(text)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--seed", type=int, default=18)
    ap.add_argument("--count", type=int, default=200, help="slips that build")
    ap.add_argument("--workdir")
    ap.add_argument("--jobs", type=int, default=2, help="compile jobs")
    ap.add_argument("--list", action="store_true", help="print the slips and stop")
    ap.add_argument("--resume", action="store_true",
                    help="take verdicts from results.json that still hold: the same src/, and for a caught slip the "
                         "same source of the test that caught it (survivors are judged again when tests changed)")
    ap.add_argument("--positions", default="0:", metavar="A:B",
                    help="judge only the slips at places A to B-1 of the seed's order (to share a run between "
                         "two copies in different work dirs)")
    ap.add_argument("--report", nargs="+", metavar="WORKDIR",
                    help="print the survivors and the score of the first --count slips judged in these work dirs")
    ap.add_argument("--opt", default="-O1", help="optimisation of the build (default -O1: quicker to rebuild)")
    ap.add_argument("--no-probe", action="store_true", help="do not probe survivors")
    args = ap.parse_args()
    if args.report:
        merged = {}
        for d in args.report:
            with open(os.path.join(d, "results.json")) as fh:
                for r in json.load(fh):
                    merged[r["pos"]] = r
        return summarize([merged[k] for k in sorted(merged)], args.count, args.seed, args.report[0])
    work = args.workdir or "/tmp/zarv-mutants-%d" % args.seed
    files = checkout_files()
    # A list only reads the checkout itself, which holds the same files as the
    # copy would: it creates no work dir.
    src = ROOT if args.list else os.path.join(work, "src-copy")
    build = os.path.join(src, "build")
    if not args.list:
        os.makedirs(work, exist_ok=True)
        src_digest, test_digests = copy_checkout(work, files)
        tests_digest = hashlib.sha1(json.dumps(sorted(test_digests.items())).encode()).hexdigest()

    candidates = all_sites(src, set(files))
    rng = random.Random(args.seed)
    order = list(range(len(candidates)))
    rng.shuffle(order)
    texts = {}

    def text_of(rel):
        if rel not in texts:
            with open(os.path.join(src, rel)) as fh:
                texts[rel] = fh.read()
        return texts[rel]

    def describe(c):
        """file:line: old -> new | the line as the slip leaves it."""
        rel, s, e, rep = c
        t = text_of(rel)
        start = t.rfind("\n", 0, s) + 1
        return "%s:%d: %s -> %s   | %s" % (rel, line_of(t, s), t[s:e], rep,
                                         (t[start:s] + rep + t[e:t.find("\n", s)]).strip())

    if args.list:
        for i in order[:args.count]:
            print(describe(candidates[i]))
        print("%d candidate slips in src/" % len(candidates))
        return 0

    print("%d candidate slips in src/, seed %d" % (len(candidates), args.seed), flush=True)
    rc, out = run(["nice", "cmake", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=Release",
                   "-DCMAKE_CXX_FLAGS_RELEASE=%s -DNDEBUG" % args.opt])
    if rc != 0:
        print(out)
        return 1
    rc, out = run(["nice", "cmake", "--build", build, "-j", str(args.jobs)])
    if rc != 0:
        print(out)
        return 1
    tests, target = list_tests(build)
    base_objs = objects(build)
    shadow = os.path.join(work, "objects")
    shutil.rmtree(shadow, ignore_errors=True)
    for p in base_objs:
        dst = os.path.join(shadow, os.path.relpath(p, build))
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copy2(p, dst)

    # Unchanged program: every test passes and gives its time limit.
    limit, t0 = {}, time.time()
    for name in tests:
        start = time.time()
        rc, out = run(["ctest", "--test-dir", build, "-R", "^%s$" % re.escape(name), "--output-on-failure"])
        if rc != 0:
            print("the unchanged suite fails %s:\n%s" % (name, out))
            return 1
        limit[name] = max(10.0, 5 * (time.time() - start))
    print("unchanged suite: %d tests, %.0f s" % (len(tests), time.time() - t0), flush=True)
    base_probe = None if args.no_probe else probe(build)
    if base_probe is not None and probe(build) != base_probe:
        print("the probe's output of the unchanged program varies from run to run")
        return 1

    results_path = os.path.join(work, "results.json")
    results = []
    pos_of = {candidates[idx][:2] + candidates[idx][3:]: pos for pos, idx in enumerate(order)}
    if args.resume and os.path.exists(results_path):
        with open(results_path) as fh:
            for r in json.load(fh):
                if r["src"] != src_digest:
                    continue
                killer = r.get("caught_by", "").split(" ")[0]
                holds = ((r["verdict"] == "survived" and r["tests"] == tests_digest) or
                         (r["verdict"] == "caught" and killer in tests and
                          test_file_digest(src, killer, test_digests) == r.get("killer_source")))
                if holds:
                    r["pos"] = pos_of[(r["file"], r["start"], r["replacement"])]
                    results.append(r)
    done = {(r["file"], r["start"], r["replacement"]): r for r in results}
    kills = {}
    for r in results:
        if r.get("caught_by"):
            kills[r["caught_by"]] = kills.get(r["caught_by"], 0) + 1

    judged = sum(1 for r in results if r["verdict"] != "no build")
    first_pos, _, last_pos = args.positions.partition(":")
    for pos, idx in enumerate(order):
        if judged >= args.count:
            break
        if pos < int(first_pos) or (last_pos and pos >= int(last_pos)):
            continue
        c = candidates[idx]
        rel, s, e, rep = c
        if (rel, s, rep) in done:
            continue
        path = os.path.join(src, rel)
        orig = text_of(rel)
        rec = {"pos": pos, "file": rel, "start": s, "replacement": rep, "slip": describe(c), "src": src_digest,
               "tests": tests_digest}
        t_start = time.time()
        with open(path, "w") as fh:
            fh.write(orig[:s] + rep + orig[e:])
        try:
            # The tests that caught most slips so far run first, each built on
            # its own; the rest run in one CTest call once everything is built.
            built, ranked = set(), sorted(tests, key=lambda n: -kills.get(n, 0))
            first = [n for n in ranked[:FIRST_TESTS] if kills.get(n)]
            rest = [n for n in tests if n not in first]
            rec["verdict"] = "survived"
            for name in first + [None]:
                goal = target[name] if name else "all"
                if goal not in built:
                    rc, out = run(["nice", "cmake", "--build", build, "-j", str(args.jobs), "--target", goal],
                                  timeout=1800)
                    if rc != 0:
                        rec["verdict"] = "no build"
                        rec["build_error"] = out[-2000:]
                        break
                    built.add(goal)
                if name:
                    cmd, wait, which = ["-R", "^%s$" % re.escape(name)], limit[name], name
                else:
                    wait = max(limit[n] for n in rest)
                    cmd, which = ["-E", "^(%s)$" % "|".join(re.escape(n) for n in first)] if first else [], None
                # CTest's --timeout yields to the tests' own TIMEOUT property
                # (600 s), so a hang is cut here: one test gets its own limit.
                rc, out = run(["nice", "ctest", "--test-dir", build, "--stop-on-failure", "--timeout", str(int(wait))]
                              + cmd, timeout=wait + 60 if name else wait * len(rest) + 60)
                if rc != 0:
                    if which is None:
                        found = re.findall(r"\d+ - (\S+) \(([^)]*)\)", out)
                        which = found[0][0] if found else "the rest of the suite"
                        timed = rc == "timeout" or (found and found[0][1] == "Timeout")
                    else:
                        timed = rc == "timeout" or "Timeout" in out
                    rec["verdict"] = "caught"
                    rec["caught_by"] = which + (" (time limit)" if timed else "")
                    rec["killer_source"] = test_file_digest(src, which, test_digests)
                    kills[which] = kills.get(which, 0) + 1
                    break
            if rec["verdict"] != "no build":
                if rec["verdict"] == "survived" and base_probe is not None:
                    rec["probe"] = "same output" if probe(build) == base_probe else "output differs"
        finally:
            with open(path, "w") as fh:
                fh.write(orig)
            # Put the unchanged objects back, newer than the sources, so the
            # next slip recompiles only its own files.
            for p, mtime in objects(build).items():
                if base_objs.get(p) != mtime:
                    shutil.copyfile(os.path.join(shadow, os.path.relpath(p, build)), p)
                    os.utime(p, None)
                    base_objs[p] = os.stat(p).st_mtime_ns
        rec["seconds"] = round(time.time() - t_start, 1)
        results.append(rec)
        if rec["verdict"] != "no build":
            judged += 1
        print("[%d/%d] %-8s %s%s" % (judged, args.count, rec["verdict"], rec["slip"],
                                     "  <" + rec.get("caught_by", rec.get("probe", "")) + ">"), flush=True)
        with open(results_path, "w") as fh:
            json.dump(results, fh, indent=1)

    return summarize(sorted(results, key=lambda r: r["pos"]), args.count, args.seed, work)


def summarize(results, count, seed, work):
    """Prints the survivors and the score, and writes the survivors to
    <work>/survivors.txt: file:line: slip | the line as the slip leaves it,
    then what the probe saw."""
    counted = [r for r in results if r["verdict"] != "no build"][:count]
    if counted and len(results) and results[-1]["pos"] + 1 != len({r["pos"] for r in results}):
        print("note: not every slip before place %d has been judged" % results[-1]["pos"])
    caught = sum(r["verdict"] == "caught" for r in counted)
    survivors = [r for r in counted if r["verdict"] == "survived"]
    same = sum(r.get("probe") == "same output" for r in survivors)
    print("\nsurvivors:")
    for r in survivors:
        print("  [%s] %s" % (r.get("probe", "not probed"), r["slip"]))
    with open(os.path.join(work, "survivors.txt"), "w") as fh:
        for r in survivors:
            fh.write("%s   [%s]\n" % (r["slip"], r.get("probe", "not probed")))
    print("\nseed %d: %d slips, %d caught, %d survived (%d with the probe's output unchanged); survivors in %s" %
          (seed, len(counted), caught, len(survivors), same, os.path.join(work, "survivors.txt")))
    if counted:
        print("score: %.1f %% of all slips, %.1f %% of the slips whose probe output changes" %
              (100.0 * caught / len(counted), 100.0 * caught / max(1, len(counted) - same)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
