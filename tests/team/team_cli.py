#!/usr/bin/env python3
"""tarnwick-cli's team commands against the test cluster: a team export equals a single-coder
project's files byte for byte; two coders in login roles of tarnwick_coder never hold the same
case (outside double coding) and see each other's codes; a coder who loses the connection and is
then killed loses no code; a paused or stopped server neither holds a coder nor loses a code.

    team_cli.py CLI DEMO_FOLDER CLUSTER_DIR

A second project, the five-digit golden case with its classification profile, is exported by
the team and alone too.

Prints one line per check; exits non-zero when one fails.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

FILES = ("demo.zpa", "demo.clf", "demo.dat")
OUTPUTS = ("demo.zda", "demo.asc", "demo.sps", "demo.sav", "demo.dta", "demo.csv",
           "demo_labels.csv")
CASE = re.compile(r"^case: (\d+) (\d+)$")
failures = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what)
    if not ok:
        failures.append(what)


def psql(conninfo, sql):
    return subprocess.run(["psql", "-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1", "-d",
                           conninfo, "-c", sql], check=True, capture_output=True,
                          text=True).stdout.strip()


def run(args, script=""):
    return subprocess.run(args, input=script, capture_output=True, text=True,
                          encoding="latin-1", timeout=120)


class Coder:
    """A `team code` console driven line by line."""

    def __init__(self, cli, db, name, folder):
        self.p = subprocess.Popen([cli, "team", "code", "--db", db, "--coder", name,
                                   "--folder", folder], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                  encoding="latin-1")
        self.out = []
        self.case = self.read_case()

    def read_case(self):
        while True:
            line = self.p.stdout.readline()
            if not line:
                return None
            self.out.append(line.rstrip("\n"))
            m = CASE.match(line.strip())
            if m:
                return (int(m.group(1)), int(m.group(2)))

    def code(self, action="missing"):
        """Codes the case shown (as missing data) and returns it; the console then shows the
        next case the team hands this coder."""
        coded = self.case
        self.p.stdin.write(action + "\nshow\n")
        self.p.stdin.flush()
        self.case = self.read_case()
        return coded

    def end(self):
        rest, err = self.p.communicate(timeout=60)
        self.out += rest.splitlines()
        return self.p.returncode, err


def exports_equal(cli, db, root, single, paths, outputs):
    """`team export` writes the files that `export` writes of the single-coder project."""
    exported = os.path.join(root, "exported")
    r = run([cli, "team", "export", "--db", db, exported])
    check(r.returncode == 0, "team export writes its files " + r.stderr.strip())
    run([cli, "export", *paths])
    run([cli, "export", *paths, "--format", "sav", "--format", "dta", "--format", "csv"])
    for name in outputs:
        a, b = os.path.join(single, name), os.path.join(exported, name)
        if not (os.path.exists(a) and os.path.exists(b)):
            check(False, f"team export writes {name}")
            continue
        mine, theirs = open(a, "rb").read(), open(b, "rb").read()
        # The script names its own folder; a .sav header holds the second it was written.
        if name.endswith(".sps"):
            theirs = theirs.replace(exported.encode(), single.encode())
        if name.endswith(".sav"):
            mine, theirs = mine[:92] + mine[109:], theirs[:92] + theirs[109:]
        check(mine == theirs, f"team export's {name} equals the single-coder project's")


def paused_and_down(cli, demo, root):
    """On a cluster of its own, over its Unix socket: a paused server holds a coder for seconds,
    not for the pause; with the server down, `team code` starts from the last session's copy, and
    the codes given meanwhile reach the database when it is back."""
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "pg_cluster.sh")
    base = tempfile.mkdtemp(prefix="tarnwick-pg-")
    os.chmod(base, 0o755)  # the server's own user reaches its folder
    cluster = os.path.join(base, "c")
    subprocess.run([script, "start", cluster, "-c", "fsync=off"], check=True,
                   capture_output=True)
    try:
        with open(os.path.join(cluster, "conninfo")) as f:
            port = re.search(r"port=(\d+)", f.read()).group(1)
        admin = f"host={cluster} port={port} user=postgres dbname=postgres"
        psql(admin, "CREATE DATABASE team_pause")
        db = admin.replace("dbname=postgres", "dbname=team_pause")
        project = os.path.join(root, "pause-project")
        os.mkdir(project)
        for name in FILES:
            shutil.copy(os.path.join(demo, name), project)
        run([cli, "team", "init", *[os.path.join(project, n) for n in FILES], "--db", db])
        folder = os.path.join(root, "carol")
        carol = Coder(cli, db, "carol", folder)
        given = [carol.code()]

        with open(os.path.join(cluster, "data", "postmaster.pid")) as f:
            postmaster = int(f.readline())
        children = subprocess.run(["pgrep", "-P", str(postmaster)], capture_output=True,
                                  text=True).stdout.split()
        server = [postmaster] + [int(pid) for pid in children]
        resume = lambda: [os.kill(pid, signal.SIGCONT) for pid in server]
        watchdog = threading.Timer(90, resume)  # the pause ends in any case
        for pid in server:
            os.kill(pid, signal.SIGSTOP)
        watchdog.start()
        started = time.monotonic()
        given.append(carol.code())
        waited = time.monotonic() - started
        watchdog.cancel()
        resume()
        check(waited < 30 and carol.case is not None,
              f"a paused server holds the coder {waited:.0f} s, not for the whole pause")
        carol.end()

        dave_folder = os.path.join(root, "dave-offline")
        dave = Coder(cli, db, "dave", dave_folder)
        dave.code()
        dave.end()

        subprocess.run([script, "halt", cluster], check=True)
        carol = Coder(cli, db, "carol", folder)
        check(carol.case is not None and any("cannot be reached" in line for line in carol.out),
              "with the server down, team code starts from the last session's copy")
        dave = Coder(cli, db, "dave", dave_folder)
        offline = [carol.code(), carol.code()]
        by_dave = [dave.code(), dave.code()]
        given += offline
        carol.end()
        dave.end()
        check(not set(offline) & set(by_dave),
              f"two coders offline code cases apart {offline} {by_dave}")
        subprocess.run([script, "resume", cluster], check=True)
        carol = Coder(cli, db, "carol", folder)
        carol.end()
        stored = {tuple(map(int, row.split("|"))) for row in
                  psql(db, "SELECT DISTINCT record, field FROM tarnwick.actions "
                           "WHERE coder = 'carol'").splitlines() if row}
        missing = set(given) - stored
        check(not missing, f"the codes given while the server was paused or down reach it "
              f"{sorted(missing)}")
    finally:
        subprocess.run([script, "stop", cluster], capture_output=True)
        shutil.rmtree(base, ignore_errors=True)


def main():
    cli, demo, cluster = sys.argv[1:4]
    golden = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "golden")
    with open(os.path.join(cluster, "conninfo")) as f:
        admin = f.read().strip()
    root = tempfile.mkdtemp(prefix="team-cli-")
    try:
        psql(admin, "DROP DATABASE IF EXISTS team_cli")
        psql(admin, "CREATE DATABASE team_cli")
        db = admin.replace("dbname=postgres", "dbname=team_cli")

        # A single-coder project with some codes.
        single = os.path.join(root, "single")
        os.mkdir(single)
        for name in FILES:
            shutil.copy(os.path.join(demo, name), single)
        paths = [os.path.join(single, n) for n in FILES]
        out = run([cli, "session"], f"open {' '.join(paths)}\n" + "missing\n" * 7 +
                  "next-record\npick 30\nna\nsave\nquit y n n\n")
        check(out.returncode == 0, "the single coder's session ends cleanly")

        r = run([cli, "team", "init", *paths, "--db", db, "--double-share", "0.3"])
        check(r.returncode == 0 and "coded already" in r.stdout, "team init loads the project")
        r = run([cli, "team", "init", *paths, "--db", db])
        check(r.returncode != 0, "a second team init on the same database is refused")

        # The team's export against the single coder's files, in a folder of their own.
        exports_equal(cli, db, root, single, paths, OUTPUTS)

        # A classification with its profile: the team keeps the profile beside it.
        psql(admin, "DROP DATABASE IF EXISTS team_cli_profile")
        psql(admin, "CREATE DATABASE team_cli_profile")
        own_db = admin.replace("dbname=postgres", "dbname=team_cli_profile")
        own = os.path.join(root, "own")
        shutil.copytree(os.path.join(golden, "export", "five_digit"), own,
                        ignore=shutil.ignore_patterns("expected"))
        own_paths = [os.path.join(own, n) for n in ("five.zpa", "five.clf", "five.dat")]
        r = run([cli, "team", "init", *own_paths, "--db", own_db])
        check(r.returncode == 0, "team init loads a project whose classification has a profile "
              + r.stderr.strip())
        exports_equal(cli, own_db, os.path.join(root, "own-team"), own, own_paths,
                      [n.replace("demo", "five") for n in OUTPUTS])

        # A name with a line end would break every table that names coders.
        r = run([cli, "team", "code", "--db", db, "--coder", "eve\nmallory",
                 "--folder", os.path.join(root, "eve")], "quit y n n\n")
        check(r.returncode != 0 and "may not be empty nor hold a line end" in r.stdout + r.stderr,
              "a coder's name with a line end is refused")

        # Two coders in login roles with only the coder group's rights.
        for role in ("cli_alice", "cli_bob"):
            psql(admin, f"DROP ROLE IF EXISTS {role}")
            psql(admin, f"CREATE ROLE {role} LOGIN IN ROLE tarnwick_coder")
        alice_db = db.replace("user=postgres", "user=cli_alice")
        bob_db = db.replace("user=postgres", "user=cli_bob")
        alice = Coder(cli, alice_db, "alice", os.path.join(root, "alice"))
        bob = Coder(cli, bob_db, "bob", os.path.join(root, "bob"))
        check(alice.case is not None and bob.case is not None, "both coders are shown a case")
        coded = {"alice": [], "bob": []}
        for _ in range(15):
            coded["alice"].append(alice.code())
            coded["bob"].append(bob.code())
        double = {tuple(map(int, row.split("|"))) for row in
                  psql(db, "SELECT record, field FROM tarnwick.cases WHERE double_coded")
                  .splitlines() if row}
        shared = (set(coded["alice"]) & set(coded["bob"])) - double
        check(not shared, f"no single-coded case went to both coders {sorted(shared)}")
        check(any(line.startswith("team: ") for line in alice.out + bob.out),
              "a coder's window takes the other coder's codes")

        # A coder's login acts as that coder only, with the classification's codes and a lease
        # of an hour at most.
        def refused(sql, why):
            r = subprocess.run(["psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-d", alice_db,
                                "-c", sql], capture_output=True, text=True)
            return r.returncode != 0 and why in r.stderr
        check(refused("SELECT * FROM tarnwick.coder_states('bob')", "may not act as coder bob"),
              "alice's login cannot read bob's blind codes")
        check(refused("SELECT tarnwick.record_action('x1', 'bob', 0, 0, true, '9997', 0)",
                      "may not act as coder bob"), "alice's login cannot code as bob")
        check(refused("SELECT tarnwick.release_claims('bob')", "may not act as coder bob"),
              "alice's login cannot release bob's claims")
        check(refused("SELECT * FROM tarnwick.claim_next('alice', 1000000000)",
                      "A lease lasts from 0 to 3600 seconds"), "a lease of decades is refused")
        check(refused("SELECT tarnwick.record_action('x2', 'alice', 0, 0, true, 'QQQQ', 0)",
                      "is not in the project's classification"),
              "a code the classification lacks is refused")

        # Alice loses the connection (her role may no longer log in), codes on, and is killed.
        psql(admin, "ALTER ROLE cli_alice NOLOGIN")
        psql(admin, "SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                    "WHERE usename = 'cli_alice'")
        offline = [alice.code() for _ in range(3)]
        check(any("connection to the team database is lost" in line for line in alice.out),
              "alice is told that the connection is lost")
        alice.p.send_signal(signal.SIGKILL)
        alice.p.communicate(timeout=60)
        psql(admin, "ALTER ROLE cli_alice LOGIN")
        bob.end()
        again = Coder(cli, alice_db, "alice", os.path.join(root, "alice"))
        check(any("3 codes of an earlier session sent" in line for line in again.out),
              "the next opening sends the codes kept while offline")
        check(again.case is not None,
              "a coder killed once codes again: the copy's stale lock is taken over")
        again.end()
        stored = {tuple(map(int, row.split("|"))) for row in
                  psql(db, "SELECT DISTINCT record, field FROM tarnwick.actions "
                           "WHERE coder = 'alice'").splitlines() if row}
        missing = set(coded["alice"] + offline) - stored
        check(not missing, f"every code alice gave is in the database {sorted(missing)}")

        # An action the server refuses for what it holds is kept aside on the coder's computer
        # and blocks none after it.
        psql(db, "DELETE FROM tarnwick.codes WHERE code = '9800'")
        dave_folder = os.path.join(root, "dave")
        dave = Coder(cli, db, "dave", dave_folder)
        dave.code()
        dave.code("na")
        dave.end()
        psql(db, "INSERT INTO tarnwick.codes VALUES ('9800')")
        refused_path = os.path.join(dave_folder, "refused.txt")
        kept = open(refused_path).read().count("\n") if os.path.exists(refused_path) else 0
        sent = int(psql(db, "SELECT count(*) FROM tarnwick.actions WHERE coder = 'dave'"))
        check(kept == 1 and sent == 1 and any("refused a coding action" in line
                                              for line in dave.out),
              f"a refused action is kept aside and the next is sent ({kept} kept, {sent} sent)")

        paused_and_down(cli, demo, root)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
