#!/usr/bin/env python3
"""Converts the ISCO-08 material into a Tarnwick classification file (.clf) and its profile.

Reads, from the folder given (default ../shared/data/isco08 beside the repository):
  esco_ISCOGroups_en.csv   the 619 ISCO-08 groups: code, title, ILO definition
  ilo_isco08_index_en.csv  the ILO index of occupational titles, one row per title and unit group

and writes one .clf in Windows-1250: every group with its code padded to four digits (major
group 2 is 2000, sub-major 22 is 2200, minor 222 is 2220), the unit groups with their
definition as description, and as hidden key words the unit group's title, the index titles
turned into natural order ("Nurse, district" -> "district nurse") and the examples the
definition lists. 9998 is added as 'missing data' and 9999 as 'not applicable'.

Beside it, with the same stem, goes its classification profile (.clp, Windows-1250, CR LF): the
name I08 and width 4 that a coding project needs without the built-in VKT-2009, and the derived
variables an occupation field can ask for with #V: SKL, the ILO skill level (1-4) as the
definitions of the major and sub-major groups state it, looked up from the nearest group above
a code; MAJ and SUB, the major and sub-major group. --no-profile leaves it out.

Also writes the evaluation sets (--eval-dir), LABELLED CSVs:
  esco_all.csv        every English ESCO title that names a single ISCO-08 unit group: id, title,
                      code and group, the ESCO occupation (its preferred label) the title belongs
                      to, so that `evaluate --learn-split occupation` can keep an occupation's
                      other titles out of the memory
  esco_2000.csv       2,000 of them, drawn with --seed
  bench.csv           the hand-coded answers of isco_benchmark_data.csv: id, title, tasks, code
  bench_title.csv     the same with the title alone
  bench_one_field.csv the same with title and tasks in one field, "title - tasks", as a survey
                      that asks a single question gets them
Standard library only.
"""

import argparse
import csv
import os
import random
import re
import sys
import unicodedata

csv.field_size_limit(10**9)


def to_cp1250(text):
    """Windows-1250 bytes; a letter the code page lacks loses its accent, anything else is '?'."""
    out = bytearray()
    for ch in text:
        try:
            out += ch.encode("cp1250")
        except UnicodeEncodeError:
            base = unicodedata.normalize("NFKD", ch).encode("ascii", "ignore")
            out += base if base else b"?"
    return bytes(out)


def clean(text):
    """One line, without the characters that mark key words and hidden text in a .clf."""
    text = text.replace("\ufffd", "")
    text = text.translate(str.maketrans({"[": "(", "]": ")", "{": "(", "}": ")"}))
    return re.sub(r"\s+", " ", text).strip()


def natural_order(title):
    """'Nurse, consultant: clinical' -> 'clinical nurse consultant'; other titles unchanged."""
    if ", " not in title:
        return title
    head, rest = title.split(", ", 1)
    parts = [p.strip() for p in rest.split(":") if p.strip()]
    return " ".join(list(reversed(parts)) + [head])


def padded(code):
    return code.ljust(4, "0")


def examples_of(definition):
    """The titles listed under 'Examples of the occupations classified here'."""
    found = []
    lines = definition.split("\n")
    inside = False
    for line in lines:
        s = line.strip()
        if s.lower().startswith("examples of the occupations classified here"):
            inside = True
            continue
        if inside:
            if s.startswith("- "):
                found.append(s[2:].strip())
            elif s:
                inside = False
    return found


def shown_definition(definition):
    """The definition up to its related occupations and notes: what a coder reads."""
    keep = []
    for line in definition.split("\n"):
        s = line.strip()
        if s.lower().startswith("some related occupations") or s.lower() == "notes":
            break
        keep.append(s)
    return clean(" ".join(keep))


def wrap(marker, text, width=100):
    """A field as a marker line and continuation lines, none of which starts with '#'."""
    words = text.split(" ")
    lines = []
    line = marker
    for w in words:
        if len(line) + 1 + len(w) > width and line.strip() != marker.strip():
            lines.append(line)
            line = "    "
        line = line + (" " if not line.endswith(" ") else "") + w
    lines.append(line)
    return lines


def read_groups(folder):
    with open(os.path.join(folder, "esco_ISCOGroups_en.csv"), encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f))
    return {r["code"]: r for r in rows}


def read_index(folder):
    titles = {}
    with open(os.path.join(folder, "ilo_isco08_index_en.csv"), encoding="utf-8", newline="") as f:
        for r in csv.DictReader(f):
            code, title = r["isco08"].strip(), r["title"].strip()
            if len(code) != 4 or "\ufffd" in title or not title:
                continue
            titles.setdefault(code, []).append(title)
    return titles


def make_clf(folder):
    groups = read_groups(folder)
    index = read_index(folder)
    units = {c for c in groups if len(c) == 4}
    lines = [
        "ISCO-08, International Standard Classification of Occupations (ILO), English",
        "Converted by tools/isco08_to_clf.py from the ESCO copy of the ILO definitions and the ILO",
        "index of occupational titles. Key words: the index titles and listed examples (hidden).",
        "",
    ]
    codes = {}
    for code in groups:
        p = padded(code)
        # The armed forces' minor groups (011, 021, 031) pad to the code of their only unit
        # group (0110, ...): the unit group stands for both.
        if p in codes and len(code) < len(codes[p]):
            continue
        codes[p] = code
    for p in sorted(codes):
        code = codes[p]
        g = groups[code]
        name = clean(g["preferredLabel"])
        lines.append("#C " + p)
        lines += wrap("#N ", name)
        if code in units:
            keys = [name] + [natural_order(t) for t in index.get(code, [])]
            keys += examples_of(g["description"])
            seen, hidden = set(), []
            for k in keys:
                k = clean(k)
                if len(k) >= 3 and k.lower() not in seen:
                    seen.add(k.lower())
                    hidden.append("[" + k + "]")
            text = shown_definition(g["description"]) or name
            lines += wrap("#D ", text + " {" + " ".join(hidden) + "}")
    lines += ["#CM 9998", "#N Missing data", "#D Not known.",
              "#CN 9999", "#N Not applicable", "#D No occupation to code."]
    return b"".join(to_cp1250(line) + b"\r\n" for line in lines)


SKILL_WORDS = {"first": 1, "second": 2, "third": 3, "fourth": 4}
SKILL_LABELS = {
    1: "Skill level 1 (simple and routine physical or manual tasks)",
    2: "Skill level 2 (operating machinery, handling information)",
    3: "Skill level 3 (complex technical and practical tasks)",
    4: "Skill level 4 (complex problem-solving and decision-making)",
}


class ProfileError(Exception):
    pass


def skill_level(definition):
    """The level of the first "at the ... ISCO skill level" of a definition, or None. Major group
    1 names its exception, sub-major group 14, after the rule; 14 states it on its own too."""
    m = re.search(r"\bat\s+the\s+(first|second|third|fourth)\s+ISCO\s+skill\s+level",
                  definition)
    return SKILL_WORDS[m.group(1)] if m else None


def quoted(text):
    """A profile's label: a text in apostrophes ends at the next one, so the title keeps none."""
    return "'" + clean(text).replace("'", "\u2019") + "'"


def make_profile(folder):
    """The profile's text and its skill-level rows; ProfileError when a major group 1-9 would
    have no skill level (group 0 has none: only its sub-major groups state one)."""
    groups = read_groups(folder)
    tops = sorted((c for c in groups if len(c) <= 2), key=padded)
    levels = {}
    for code in tops:
        level = skill_level(groups[code]["description"])
        if level is not None:
            levels[padded(code)] = level
    lacking = [c for c in "123456789" if padded(c) not in levels]
    if lacking:
        raise ProfileError("no skill level found for major group " + ", ".join(lacking))
    lines = [
        "ISCO-08 classification profile: the name and code width of the classification beside it,",
        "the ILO skill level of the major and sub-major groups as their definitions state it (a",
        "code takes the level of the nearest group above it that has one; major group 0 states",
        "none), and the major and sub-major groups. Written by tools/isco08_to_clf.py with the",
        "classification.",
        "",
        "#NAME I08 'ISCO-08'",
        "#WIDTH 4",
        "",
        "#TABLE SKL 'skill level' NEAREST",
    ]
    lines += ["#V %s %d" % (p, v) for p, v in sorted(levels.items())]
    lines += ["#L %d %s" % (v, quoted(t)) for v, t in sorted(SKILL_LABELS.items())]
    lines += ["", "#GROUPING MAJ 'major group'"]
    lines += ["#G %s-%s %s %s" % (padded(c), c + "999", c, quoted(groups[c]["preferredLabel"]))
              for c in tops if len(c) == 1]
    lines += ["", "#GROUPING SUB 'sub-major group'"]
    lines += ["#G %s-%s %s %s" % (padded(c), c + "99", c, quoted(groups[c]["preferredLabel"]))
              for c in tops if len(c) == 2]
    return b"".join(to_cp1250(line) + b"\r\n" for line in lines), levels


def single_code_titles(folder):
    """Every ESCO title (preferred and alternative labels) that names one ISCO-08 unit group, as
    (title, code, occupation). A title that several occupations of that unit group share goes
    with the first of their preferred labels in sorted order, so every run agrees."""
    codes = {}
    shown = {}
    occupations = {}
    with open(os.path.join(folder, "esco_occupations_en.csv"), encoding="utf-8", newline="") as f:
        for r in csv.DictReader(f):
            code = r["iscoGroup"].strip()
            if len(code) != 4:
                continue
            occupation = " ".join(r["preferredLabel"].split())
            for t in [r["preferredLabel"]] + r["altLabels"].split("\n"):
                t = " ".join(t.split())
                if not t:
                    continue
                codes.setdefault(t.lower(), set()).add(code)
                shown.setdefault(t.lower(), t)
                occupations.setdefault(t.lower(), set()).add(occupation)
    return sorted((shown[k], next(iter(v)), min(occupations[k]))
                  for k, v in codes.items() if len(v) == 1)


def write_csv(path, header, rows):
    with open(path, "w", encoding="utf-8", newline="") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(header)
        w.writerows(rows)


def make_eval_sets(folder, out, seed):
    titles = single_code_titles(folder)
    rng = random.Random(seed)
    drawn = rng.sample(titles, min(2000, len(titles)))
    write_csv(os.path.join(out, "esco_2000.csv"), ["id", "title", "code", "group"],
              [(i + 1, t, c, g) for i, (t, c, g) in enumerate(drawn)])
    write_csv(os.path.join(out, "esco_all.csv"), ["id", "title", "code", "group"],
              [(i + 1, t, c, g) for i, (t, c, g) in enumerate(titles)])
    bench = []
    with open(os.path.join(folder, "isco_benchmark_data.csv"), encoding="utf-8-sig",
              newline="") as f:
        for r in csv.DictReader(f):
            code = r["MANUAL_ISCO1"].strip()
            if len(code) == 4 and code.isdigit():
                bench.append((r["ID"], r["TITLE"].strip(), r["TASKS"].strip(), code))
    write_csv(os.path.join(out, "bench.csv"), ["id", "title", "tasks", "code"], bench)
    write_csv(os.path.join(out, "bench_title.csv"), ["id", "title", "code"],
              [(i, t, c) for i, t, _, c in bench])
    write_csv(os.path.join(out, "bench_one_field.csv"), ["id", "title", "code"],
              [(i, t + " - " + k if k else t, c) for i, t, k, c in bench])
    return len(titles), len(drawn), len(bench)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("output", help="the .clf to write")
    ap.add_argument("--data", default=os.path.join(here, "..", "..", "shared", "data", "isco08"),
                    help="folder of the ISCO-08 material")
    ap.add_argument("--no-profile", action="store_true",
                    help="write the .clf alone, without its profile (.clp)")
    ap.add_argument("--eval-dir", help="also write the evaluation CSVs into this folder")
    ap.add_argument("--seed", type=int, default=2026, help="seed of the drawn ESCO titles")
    args = ap.parse_args()
    profile_path = os.path.splitext(args.output)[0] + ".clp"
    try:
        data = make_clf(args.data)
        # Both are made before either is written, so that a failed profile leaves no new .clf
        # beside an old .clp.
        profile, levels = (None, {}) if args.no_profile else make_profile(args.data)
        with open(args.output, "wb") as f:
            f.write(data)
        if profile is None:
            print(f"{args.output}: {data.count(b'#C ') + 2} categories")
        else:
            with open(profile_path, "wb") as f:
                f.write(profile)
            print(f"{args.output}: {data.count(b'#C ') + 2} categories; {profile_path}: "
                  f"name I08, skill level (SKL) of {len(levels)} groups, major (MAJ) and "
                  f"sub-major (SUB) groups")
        if args.eval_dir:
            os.makedirs(args.eval_dir, exist_ok=True)
            n, d, b = make_eval_sets(args.data, args.eval_dir, args.seed)
            print(f"{args.eval_dir}: esco_all.csv {n} single-code titles with their "
                  f"occupation, esco_2000.csv {d}, bench.csv, bench_title.csv and "
                  f"bench_one_field.csv {b}")
    except ProfileError as e:
        print(f"isco08_to_clf: warning: {e}; nothing written", file=sys.stderr)
        return 1
    except (OSError, KeyError, csv.Error) as e:
        print(f"isco08_to_clf: {e}", file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main())
