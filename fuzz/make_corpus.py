#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets, fuzz/corpus/<target>/, from the demo project and
the tests' data files. The seeds are committed; run this again only to rebuild them.

    python3 fuzz/make_corpus.py

Findings of fuzzing runs are added by hand under a name that says what they caught
(fuzz/corpus/<target>/crash-<what>), next to the seeds written here.
"""

import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parent.parent
DEMO = ROOT / "examples" / "demo"
DATA = ROOT / "tests" / "data"
CORPUS = ROOT / "fuzz" / "corpus"


def put(target, name, content):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(content if isinstance(content, bytes) else content.encode("cp1250"))


def scale_codes():
    text = (ROOT / "src" / "core" / "classification" / "scale_values.inc").read_text()
    return re.findall(r'^\{"(\d{4})"', text, re.M)


def small_classification(codes, with_standard=True):
    codes = sorted(set(codes) | ({"9997", "9998"} if with_standard else set()))
    out = ["Small classification"]
    for i, c in enumerate(codes):
        nxt = codes[i + 1] if i + 1 < len(codes) else None
        lowest = nxt is None or not is_subordinate(c, nxt)
        mark = "#CM " if c == "9997" else "#CN " if c == "9998" else "#C "
        out.append(mark + c)
        if c == "9997":
            out.append("#N Missing data")
        elif c == "9998":
            out.append("#N Not applicable")
        else:
            out += ["#N Category " + c, "#S Cat " + c]
        if lowest:
            out.append("#D Work of [worker%s] and [teacher] {internal}" % c)
    return "\r\n".join(out) + "\r\n"


def is_subordinate(a, b):
    i = 0
    while i < len(a) and i < len(b) and a[i] == b[i]:
        i += 1
    return all(ch == "0" for ch in a[i:])


def params():
    put("params", "demo.zpa", (DEMO / "demo.zpa").read_bytes())
    for sub in ("params", "gui"):
        for f in sorted((DATA / sub).glob("*.zpa")):
            put("params", sub + "-" + f.name, f.read_bytes())
    put("params", "small.zpa",
        "#R 1-6 'Respondent number'\r\n#J ZAW 'Occupation'\r\n#I1 10-29 'Job title'\r\n"
        "#I2 30-39 'Duties'\r\n#F 8 1\r\n#S1 PRS 'prestige'\r\n")
    put("params", "labels-filter.zpa",
        "#R 1-5 'Respondent'\n#J ZAWR 'Current job'\n#I1 7-10 'Title'\n#I2 11-12 'Status'\n"
        "#T 1 'Employee'\n#T ' 2' 'Self-employed'\n#J ZAWO 'Father job'\n#I1 7-10 'Title'\n"
        "#F 6 1-3\n#X14 C14 'Class'\n" + "".join("#T %d 'Class %d'\n" % (k, k) for k in range(1, 15)))
    put("params", "faults.zpa",
        "#R 0-3 ''\n#R 1-6 'Again'\n#I1 5-9 'No J'\n#J 1AB 'Digit'\n#J TOOLONG 'x'\n#I14 1 'x'\n"
        "#F 9-8 1\n#X14 ABCD ''\n#T 123 'long'\n#S7 X 'y'\n#Q\n")


def classification(codes):
    put("classification", "demo.clf", (DEMO / "demo.clf").read_bytes())
    for f in sorted((DATA / "classification").glob("*.clf")):
        put("classification", f.name, f.read_bytes())
    put("classification", "small.clf", small_classification(codes))
    put("classification", "no-standard-codes.clf", small_classification(codes[:40], False))
    put("classification", "brackets.clf",
        "#C 0000\n#N A\n#C 0001\n#N B\n#D [x] [[y]] {z} [ab]c] {{q}} end\n"
        "#CM 0002\n#N M\n#D [missing]\n#CN 0003\n#N N\n#D {no}[na]\n")
    put("classification", "odd-width.clf", "#C 12345\n#N wide\n#D [wide] code\n#C 1\n#N narrow\n")


def record(n, father="1", previous="1", title="Primary school teacher"):
    r = "%06d%s%s" % (n, father, previous) + title.ljust(60) + "teaches pupils".ljust(60)
    r += "Education".ljust(40) + "112"
    r += "Miner".ljust(60) + "digs coal".ljust(60) + "011"
    r += "Cashier".ljust(60) + "takes payments".ljust(60) + "Retail".ljust(40) + "1"
    assert len(r) == 455
    return r


def data(codes):
    demo = (DEMO / "demo.dat").read_bytes().split(b"\r\n")
    head = b"\r\n".join(demo[:6]) + b"\r\n"
    put("data", "demo-head", head)
    ids = [line[:6] for line in demo[:6]]
    zda = b"".join(i + codes[k].encode() + b"9998" + b"    " + b"\r\n" for k, i in enumerate(ids))
    put("data", "demo-head-working", head + b"\0" + zda)
    put("data", "demo-head-short-working", head + b"\0" + zda[: len(zda) // 2])
    recs = [record(1), record(2, "2", "3"), record(3, "9", " "), record(4, "1", "2")]
    text = "\r\n".join(recs) + "\r\n"
    put("data", "four", text)
    put("data", "four-working",
        text + "\0" + "000001%s%s%s\r\n000002    \r\n000003\r\n000004999799989997\r\n" % (
            codes[1], codes[2], codes[3]))
    put("data", "four-lf-extra-lines",
        "\n".join(recs) + "\0" + "000001\n000002\n000003\n000004\n000005    \n")
    put("data", "bad-id-working", text + "\0" + "000001\r\n000003\r\n")
    put("data", "unknown-code-working", text + "\0" + "0000011234\r\n000002\r\n000003\r\n000004\r\n")
    put("data", "short-record", recs[0] + "\r\n" + recs[1][:200] + "\r\n")
    put("data", "nothing-to-code", "\r\n".join(record(k, "2", "3")[:455] for k in (1, 2)))
    put("data", "binary", b"\x00\xff\xfe\r\r\n\x00")


def session():
    put("session", "navigate",
        "show\nnext-occupation\nnext-record\nprevious-record\nprevious-occupation\nfind\n"
        "pick 000005\npick nobody\noption show-na 1\nnext-record\noption show-na 0\nshow\n")
    put("session", "code-and-save",
        "key1 teacher\npre 0\ncode\nmissing\nna\nrepeat\ncancel\nkey1 nurse\nfull 10\ncode\n"
        "option after 1\nmissing\noption after 2\nna\ncancel\nsave\nshow\n")
    put("session", "two-keys",
        "second on\nkey1 engineer\nkey2 machines\nsecond off\nselect  teacher \ntab full\n"
        "tab pre\npre 1\ncode\nfull 99999\npre -1\nselect\n")
    put("session", "quit-all-yes",
        "key1 cook\npre 0\ncode\nnotepad remember this line\nquit yyyyy\nshow\n")
    put("session", "quit-cancel",
        "missing\nquit yc\nquit n\nna\nsave\nquit y n y n y\n")
    put("session", "window-only",
        "entry 3\nentry -1\nentry 100000\nkey1 driver\ndpre 0\ndfull 5\ntab full 0\n"
        "tab full -7\noutput\nreport\nsave\n")
    put("session", "suggestions-undo",
        "key1 driver\npre 0\ncode\nbegin\ntake 0\nidentical y\nundo\ninstall\ntab suggestions\n"
        "sline 1\ntake 1\nprevious-occupation\nidentical y\nundo\nredo\nundo\ntake 9\n"
        "identical n\nredo\ncancel\nundo\nfind\ntake -1\n")
    put("session", "junk", b"open x y z\nunknown\n\x00\xff\r\nfull\npre x\noption after 7\n"
        b"option show-na -1\ntab sideways\nsecond maybe\nquit x\n")


def console():
    # The console takes the session's seeds; the window-only commands are unknown to it.
    for f in sorted((CORPUS / "session").iterdir()):
        put("console", f.name, f.read_bytes())


def memory():
    head = "Tarnwick coding memory 1\r\n"
    put("memory", "two-answers", head + "1\t1130\tkierowca ci\u0119\u017car\u00f3wki |  | wozi towary\r\n"
        "3\t1110\tnurse\r\n2\t2330\tnurse\r\n")
    put("memory", "empty-title", head + "4\t2330\t | teaches children | public sector\r\n")
    put("memory", "lf-and-blank-lines", "Tarnwick coding memory 1\n\n7\t2330\tteacher\n")
    put("memory", "bad-answer", head + "1\t2330\tteacher |\r\n")


def main():
    codes = scale_codes()
    params()
    classification(codes)
    data(codes)
    session()
    console()
    memory()


if __name__ == "__main__":
    main()
