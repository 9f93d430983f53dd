#!/usr/bin/env python3
"""Real tarnwick-cli processes on one project folder: two sessions at once, kill -9 at random
moments of a scripted session, the data changed underneath, a working file cut short, the
folder removed, an idle console's lock, the console's exit status and the clock of its session report.

    sessions.py CLI DEMO_FOLDER [--kills N] [--only NAME]

Prints one line per check and, for the kills, "codes lost over N kills: L"; exits non-zero when a
check fails or any code was lost.
"""

import argparse
import datetime
import glob
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

FILES = ("demo.zpa", "demo.clf", "demo.dat")
PROGRESS = re.compile(r"^progress: (?:All occupations have been coded \()?(\d+)")
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def project(demo, root):
    folder = tempfile.mkdtemp(prefix="project-", dir=root)
    for name in FILES:
        shutil.copy(os.path.join(demo, name), folder)
    return folder


def open_line(folder, answers=""):
    paths = " ".join(os.path.join(folder, n) for n in FILES)
    return f"open {paths} {answers}".rstrip() + "\n"


def start(cli):
    # The console flushes its output after every command, so what it acknowledged is what the
    # test reads.
    return subprocess.Popen([cli, "session"], stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            encoding="latin-1")


def run(cli, script, timeout=60):
    p = subprocess.run([cli, "session"], input=script, capture_output=True, text=True,
                       encoding="latin-1", timeout=timeout)
    return p.returncode, p.stdout, p.stderr


def coded(out):
    found = [int(m.group(1)) for m in map(PROGRESS.match, out.splitlines()) if m]
    return found[-1] if found else None


def codes_of(line, code=None):
    """The codes of a working-file line (blocks of 4 after the 6-character identifier), or
    those equal to `code`."""
    blocks = [line[i:i + 4] for i in range(6, len(line), 4)]
    return sum(1 for b in blocks if b.strip() and (code is None or b == code))


def working_codes(folder, code=b"9800"):
    """The codes the console's MISSING gave, in the working file."""
    path = os.path.join(folder, "demo.zda")
    if not os.path.exists(path):
        return 0
    with open(path, "rb") as f:
        return sum(codes_of(line, code) for line in f.read().split(b"\r\n"))


def provenance_agrees(folder, code=b"9800"):
    """Every code MISSING gave in the working file has a coder's line in the provenance file,
    and no other case has one. A kill before the first code leaves neither file."""
    zda = os.path.join(folder, "demo.zda")
    if not os.path.exists(zda):
        return not os.path.exists(os.path.join(folder, "demo.zpv"))
    with open(zda, "rb") as f:
        lines = f.read().split(b"\r\n")
    coded = {(r, i) for r, line in enumerate(lines)
             for i, b in enumerate(line[j:j + 4] for j in range(6, len(line), 4)) if b == code}
    path = os.path.join(folder, "demo.zpv")
    if not os.path.exists(path):
        return not coded
    with open(path, "rb") as f:
        text = f.read().split(b"\r\n")
    if text[0] != b"Tarnwick provenance 1":
        return False
    given = {}
    for line in filter(None, text[1:]):
        w = line.split(b" ")
        given[(int(w[0]), int(w[2]))] = (w[3], w[4], w[7])
    return set(given) == coded and all(v == (code, b"coder", b"missing") for v in given.values())


def two_sessions(cli, demo, root):
    folder = project(demo, root)
    first = start(cli)
    first.stdin.write(open_line(folder) + "missing\n" * 30 + "show\n")
    first.stdin.flush()
    while True:  # the first holds the project once it has shown its progress
        line = first.stdout.readline()
        if not line or PROGRESS.match(line):
            break
    check(os.path.exists(os.path.join(folder, "demo.zlk")), "the first session holds a lock")
    # The second is told who holds it, opens read-only, and can neither code nor save.
    code, out, _ = run(cli, open_line(folder, "y") + "missing\nsave\nshow\n")
    check("question: The project is open for coding by" in out, "the second is told who holds it")
    check("coding is not possible" in out and "nothing can be saved" in out,
          "the read-only second refuses coding and saving")
    check(coded(out) == 0 and code == 0, "the read-only second coded nothing and ended cleanly")
    # And one that cancels does not open at all.
    code, out, _ = run(cli, open_line(folder, "n") + "show\n")
    check("error: no project is open" in out, "a second that cancels does not open")
    first.stdin.write("missing\n" * 10 + "show\nsave\nquit y n n\n")
    out, _ = first.communicate(timeout=60)
    check(first.returncode == 0, "the first ends with status 0")
    check(working_codes(folder) == 40, f"the first's 40 codes are in the working file "
          f"({working_codes(folder)})")
    check(not os.path.exists(os.path.join(folder, "demo.zlk")), "the lock is gone after both")


def read_only_folder(cli, demo, root):
    """A folder the coder cannot write (here another user's): the project opens read-only with
    the reason, refuses coding, and nothing is written beside it."""
    if os.geteuid() != 0 or not shutil.which("runuser"):
        print("skip  a folder of another user (needs root and runuser)")
        return
    as_nobody = ["runuser", "-u", "nobody", "--"]
    if subprocess.run(as_nobody + ["test", "-x", cli]).returncode != 0:
        print("skip  a folder of another user (nobody cannot run the program where it lies)")
        return
    folder = project(demo, root)
    os.chmod(root, 0o755)
    os.chmod(folder, 0o755)
    before = sorted(os.listdir(folder))
    p = subprocess.run(as_nobody + [cli, "session"], input=open_line(folder) +
                       "missing\nshow\nquit n\n", capture_output=True, text=True,
                       encoding="latin-1", timeout=60, cwd="/")
    check("cannot be written (Permission denied): the project is opened read-only" in p.stdout,
          "a folder that cannot be written opens read-only and says why")
    check("(its folder cannot be written): coding is not possible" in p.stdout,
          "coding is refused with that reason")
    check(sorted(os.listdir(folder)) == before, "nothing is written beside the project")


def damaged_working_file(cli, demo, root):
    """A working file cut in the middle of a line opens with the codes it still holds; the last
    backup, which holds them all, outlives the next openings under a dated name."""
    folder = project(demo, root)
    run(cli, open_line(folder) + "missing\n" * 60 + "save\nquit n\n")
    run(cli, open_line(folder) + "quit n\n")  # the backup now holds the 60 codes
    zda = os.path.join(folder, "demo.zda")
    with open(zda, "rb") as f:
        whole = f.read()
    cut = 0
    for _ in range(20):  # inside the 21st line, among the coded ones
        cut = whole.index(b"\r\n", cut) + 2
    with open(zda, "wb") as f:
        f.write(whole[:cut + 8])
    kept = working_codes(folder)
    code, out, _ = run(cli, open_line(folder) + "save\nquit n\n")
    check(code == 0 and "found no line in working file demo.zda" in out,
          "a working file cut short opens and says how many records are to be coded again")
    check(working_codes(folder) >= kept - 1, f"its codes are merged ({working_codes(folder)} "
          f"of the {kept} left)")
    run(cli, open_line(folder) + "quit n\n")  # a clean opening replaces the backup
    copies = glob.glob(os.path.join(folder, "demo-backup-*.~zd"))
    held = 0
    if copies:
        with open(copies[0], "rb") as f:
            held = sum(codes_of(line, b"9800") for line in f.read().split(b"\r\n"))
    check(held == 60, f"the dated copy of the last backup holds all 60 codes ({held})")


def folder_removed(cli, demo, root):
    """The project's folder removed under a session: a code is refused rather than written to a
    journal that no opening would find, and the end says the codes not saved are lost."""
    folder = project(demo, root)
    p = start(cli)
    p.stdin.write(open_line(folder) + "missing\n" * 5 + "show\n")
    p.stdin.flush()
    while True:
        line = p.stdout.readline()
        if not line or PROGRESS.match(line):
            break
    shutil.rmtree(folder)
    out, err = p.communicate("missing\nshow\n", timeout=60)
    check("Nothing was changed: the coding journal" in out + err and
          "it was removed while the project was open" in out + err,
          "with the folder removed, a code is refused and the coder told why")
    check("they are lost: the coding journal that held them was removed" in out + err,
          "the end says that the codes not saved went with the folder")


def idle_console(cli, demo, root):
    """A console waiting for its coder keeps its lock young: another computer takes a lock
    untouched for a day for stale. The heartbeat is made fast here; the lock is made old."""
    folder = project(demo, root)
    p = subprocess.Popen([cli, "session"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, text=True, encoding="latin-1",
                         env=dict(os.environ, TARNWICK_LOCK_HEARTBEAT_SECONDS="1"))
    p.stdin.write(open_line(folder) + "show\n")
    p.stdin.flush()
    while True:
        line = p.stdout.readline()
        if not line or PROGRESS.match(line):
            break
    lock = os.path.join(folder, "demo.zlk")
    old = time.time() - 2 * 86400
    os.utime(lock, (old, old))
    time.sleep(3)
    age = time.time() - os.stat(lock).st_mtime
    p.communicate("quit n\n", timeout=60)
    check(age < 60, f"an idle console keeps its lock young (touched {age:.0f} s ago)")


def kills(cli, demo, root, rounds, seed):
    rng = random.Random(seed)
    folder = project(demo, root)
    acked = 0
    lost = 0
    recovered_rounds = 0
    disagreed = 0
    for n in range(rounds):
        p = start(cli)
        script = open_line(folder, "y") + "show\n"
        for _ in range(rng.randint(20, 120)):
            script += "save\n" if rng.random() < 0.05 else "missing\nshow\n"
        p.stdin.write(script)
        p.stdin.flush()
        time.sleep(rng.uniform(0.0, 0.4))
        p.send_signal(signal.SIGKILL)
        out, _ = p.communicate(timeout=60)
        at_start = [int(m.group(1)) for m in map(PROGRESS.match, out.splitlines()) if m]
        if at_start:
            # What the opening showed first holds everything acknowledged before the last kill.
            lost += max(0, acked - at_start[0])
            acked = at_start[-1]
        # An opening that recovers what the kill left and saves it: the provenance file then
        # agrees with the working file.
        _, opened, _ = run(cli, open_line(folder, "y") + "show\n")
        if "recovered from an interrupted session" in opened:
            recovered_rounds += 1
        disagreed += 0 if provenance_agrees(folder) else 1
        if acked > 500:  # a fresh project before a round could code the last case
            code, out, _ = run(cli, open_line(folder, "y") + "show\n")
            lost += max(0, acked - (coded(out) or 0))
            folder, acked = project(demo, root), 0
    code, out, _ = run(cli, open_line(folder, "y") + "show\n")
    lost += max(0, acked - (coded(out) or 0))
    print(f"codes lost over {rounds} kills: {lost} (openings that recovered journal entries: "
          f"{recovered_rounds})")
    check(lost == 0, f"no code lost over {rounds} kills -9")
    check(disagreed == 0, f"the provenance file agrees with the working file after each recovery "
          f"({disagreed} of {rounds} disagree)")


def changed_underneath(cli, demo, root):
    folder = project(demo, root)
    code, out, _ = run(cli, open_line(folder) + "missing\n" * 300 + "save\nquit y n n\n")
    zda = os.path.join(folder, "demo.zda")
    with open(zda, "rb") as f:
        lines = f.read().split(b"\r\n")[:-1]
    before = working_codes(folder, None)
    # The data cut to the first 150 records: the codes of the other 150 are set aside.
    dat = os.path.join(folder, "demo.dat")
    with open(dat, "rb") as f:
        records = f.read().split(b"\r\n")
    with open(dat, "wb") as f:
        f.write(b"\r\n".join(records[:150]) + b"\r\n")
    expected = sum(codes_of(line) for line in lines[150:])
    code, out, _ = run(cli, open_line(folder) + "save\nquit y n n\n")
    m = re.search(r"message: (\d+) codes? could not be merged.* set aside in (\S+)", out)
    check(m is not None and int(m.group(1)) == expected and expected > 0,
          f"data cut short: {expected} codes set aside and counted in the message")
    if m:
        with open(m.group(2), "rb") as f:
            check(f.read().split(b"\r\n")[:-1] == [l for l in lines[150:] if codes_of(l)],
                  "the side file holds their lines")
    check(working_codes(folder, None) + expected == before, "no code is lost between the two files")
    # The last occupation field removed from the parameters: its codes are set aside.
    zpa = os.path.join(folder, "demo.zpa")
    with open(zpa, "rb") as f:
        text = f.read()
    with open(zpa, "wb") as f:
        f.write(text[:text.rindex(b"\n#J ") + 1])
    with open(zda, "rb") as f:
        lines = f.read().split(b"\r\n")[:-1]
    expected = sum(1 for line in lines if line[14:18].strip())
    time.sleep(1.1)  # a new minute stamp is not needed: a side file of the same minute grows
    code, out, _ = run(cli, open_line(folder) + "quit y n n\n")
    m = re.search(r"message: (\d+) codes? could not be merged", out)
    check(m is not None and int(m.group(1)) == expected and expected > 0,
          f"a field removed: its {expected} codes set aside and counted in the message")


def exit_status(cli, demo, root):
    folder = project(demo, root)
    code, out, _ = run(cli, open_line(folder) + "missing\n")
    check(code == 1 and "input ended with codes not saved" in out,
          f"input ending with unsaved codes: status {code}")
    code, out, _ = run(cli, open_line(folder, "y") + "missing\nsave\n")
    check(code == 0, f"input ending after a save: status {code}")
    zda = os.path.join(folder, "demo.zda")
    os.remove(zda)
    os.mkdir(zda)  # the save's rename fails
    code, out, _ = run(cli, open_line(folder) + "missing\nsave\nquit y n n\n")
    check(code == 1, f"a failed save: status {code}")
    os.rmdir(zda)
    # SIGTERM while the console waits for input: the codes are saved, the lock released.
    p = start(cli)
    p.stdin.write(open_line(folder) + "missing\nmissing\nmissing\nshow\n")
    p.stdin.flush()
    while True:
        line = p.stdout.readline()
        if not line or PROGRESS.match(line):
            break
    p.send_signal(signal.SIGTERM)
    p.communicate(timeout=30)
    check(p.returncode == 128 + signal.SIGTERM, f"SIGTERM: status {p.returncode}")
    check(working_codes(folder) == 3 and not os.path.exists(os.path.join(folder, "demo.zjn")),
          "SIGTERM wrote the working file and emptied the journal")
    check(not os.path.exists(os.path.join(folder, "demo.zlk")), "SIGTERM released the lock")
    # A share that is not a number is refused as a usage error, not taken (it once crashed).
    clf = os.path.join(folder, "demo.clf")
    labelled = os.path.join(folder, "labelled.csv")
    with open(labelled, "w") as f:  # a code the classification lacks; a word that finds nothing
        f.write("id,code,title\n1,2221,nurse\n2,1121,qqqq\n")
    p = subprocess.run([cli, "evaluate", clf, labelled], capture_output=True, text=True, timeout=60)
    check(p.returncode == 0 and "top-1 accuracy: 0.00 %" in p.stdout
          and "top-10 accuracy: 0.00 %" in p.stdout,
          "evaluate counts no hit where the code is not among the suggestions, however few")
    p = subprocess.run([cli, "evaluate", clf, labelled, "--learn-share", "1"], capture_output=True,
                       text=True, timeout=60)
    check(p.returncode == 2 and "no answer is left to evaluate" in p.stderr,
          f"evaluate with every answer learnt: status {p.returncode}")
    for args in (["evaluate", clf, labelled, "--learn-share", "nan"],
                 ["team", "init", *(os.path.join(folder, n) for n in FILES), "--db", "x",
                  "--double-share", "nan"]):
        p = subprocess.run([cli, *args], capture_output=True, text=True, timeout=60)
        check(p.returncode == 2 and "not a share from 0 to 1" in p.stderr,
              f"{args[0]} with a share nan: status {p.returncode}")


def report_clock(cli, demo, root):
    """The session report is named and dated by the machine's clock at the time of the run."""
    folder = project(demo, root)
    start = datetime.datetime.now().replace(microsecond=0)
    code, out, _ = run(cli, open_line(folder) + "key1 engineer\npre 0\ncode\nsave\nquit y n y\n")
    end = datetime.datetime.now()
    reports = glob.glob(os.path.join(folder, "*.zre"))
    check(code == 0 and len(reports) == 1, f"the session wrote one report: status {code}")
    if len(reports) != 1:
        return
    name = os.path.basename(reports[0])
    try:
        minute = datetime.datetime.strptime(name, "%Y%m%d%H%M.zre")
    except ValueError:
        minute = None
    check(minute is not None and start.replace(second=0) <= minute <= end,
          f"the report's name {name} is a minute of the run ({start:%Y%m%d%H%M}..{end:%Y%m%d%H%M})")
    with open(reports[0], encoding="latin-1") as f:
        stamps = [datetime.datetime.strptime(line[4:].rstrip(), "%B %d, %Y at %H:%M:%S")
                  for line in f if re.match(r"\*\*\* \w+ \d+, \d{4} at \d\d:\d\d:\d\d\s*$", line)]
    check(stamps and all(start <= t <= end for t in stamps),
          f"the report's dates {[str(t) for t in stamps]} lie within the run ({start}..{end})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("demo")
    parser.add_argument("--kills", type=int, default=5)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--only", default=None)
    a = parser.parse_args()
    seed = a.seed if a.seed is not None else random.randrange(1 << 30)
    print(f"seed {seed}")
    root = tempfile.mkdtemp(prefix="tarnwick-sessions-")
    try:
        checks = {
            "two": lambda: two_sessions(a.cli, a.demo, root),
            "kills": lambda: kills(a.cli, a.demo, root, a.kills, seed),
            "underneath": lambda: changed_underneath(a.cli, a.demo, root),
            "exit": lambda: exit_status(a.cli, a.demo, root),
            "clock": lambda: report_clock(a.cli, a.demo, root),
            "readonly": lambda: read_only_folder(a.cli, a.demo, root),
            "damaged": lambda: damaged_working_file(a.cli, a.demo, root),
            "removed": lambda: folder_removed(a.cli, a.demo, root),
            "idle": lambda: idle_console(a.cli, a.demo, root),
        }
        for name, body in checks.items():
            if a.only in (None, name):
                body()
    finally:
        shutil.rmtree(root, ignore_errors=True)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
