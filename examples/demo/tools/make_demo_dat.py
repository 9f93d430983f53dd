#!/usr/bin/env python3
"""Writes demo.dat, the survey data of the demo project: 300 respondents of the invented survey
"Work and Family 2026", wave 1, in the column layout of LAYOUT.txt and demo.zpa.

Job titles are the titles listed in KEYWORDS.txt, so that typing the title (or one of its
words) into the key-word box finds the category it belongs to; the duties use further key
words of the demo classification. The output is deterministic (fixed seed), Windows-1250 bytes
(ASCII but for a few Polish answers), one 455-column record per line, CR LF.

    python3 examples/demo/tools/make_demo_dat.py            # writes examples/demo/demo.dat
    python3 examples/demo/tools/make_demo_dat.py OUTPUT     # writes OUTPUT
"""

import pathlib
import random
import sys

RECORDS = 300
RECORD_LENGTH = 455
SEED = 2026
ENCODING = "cp1250"

# Main duties and industry for each title of KEYWORDS.txt.
DETAILS = {
    "teacher": ("teaches english to older pupils", "Education"),
    "primary teacher": ("teaches reading and arithmetic to children", "Education"),
    "kindergarten teacher": ("plays and learns with small children", "Education"),
    "nurse": ("cares for patients on a hospital ward", "Health"),
    "midwife": ("helps women in childbirth", "Health"),
    "doctor": ("examines and treats patients in a clinic", "Health"),
    "surgeon": ("operates on patients in hospital", "Health"),
    "dentist": ("treats teeth in her own practice", "Health"),
    "pharmacist": ("dispenses medicines in a pharmacy", "Retail trade"),
    "lawyer": ("advises clients and represents them in court", "Legal services"),
    "judge": ("hears cases at the district court", "Courts of law"),
    "architect": ("designs houses and offices", "Architecture"),
    "civil engineer": ("plans bridges and roads", "Engineering"),
    "engineer": ("designs machines for a factory", "Manufacturing"),
    "programmer": ("writes computer programs", "Information technology"),
    "software developer": ("develops and tests software for banks", "Information technology"),
    "accountant": ("keeps the accounts, prepares tax returns", "Finance"),
    "journalist": ("writes articles for a newspaper", "Publishing"),
    "librarian": ("lends books, runs the town library", "Culture"),
    "musician": ("plays the violin in an orchestra", "Culture"),
    "priest": ("leads the parish", "Church"),
    "social worker": ("helps families in difficulty", "Social care"),
    "psychologist": ("counsels patients", "Health"),
    "manager": ("manages a department of 40 people", "Manufacturing"),
    "shop manager": ("runs a supermarket, manages staff", "Retail trade"),
    "hotel manager": ("manages a hotel with 60 rooms", "Hotels and restaurants"),
    "managing director": ("runs a company of 200 employees", "Manufacturing"),
    "business owner": ("owns and runs a small building firm", "Construction"),
    "mayor": ("heads the town council and its office", "Local government"),
    "clerk": ("files letters and enters data", "Public administration"),
    "office clerk": ("prepares documents, answers letters", "Insurance"),
    "secretary": ("types letters and answers the telephone", "Law firm"),
    "receptionist": ("greets guests at the front desk", "Hotels and restaurants"),
    "bookkeeper": ("keeps the books of a small firm", "Finance"),
    "storekeeper": ("keeps the store of spare parts", "Manufacturing"),
    "postman": ("delivers letters and parcels", "Postal services"),
    "bank teller": ("serves customers at the bank counter", "Banking"),
    "interviewer": ("interviews people for market research", "Market research"),
    "police officer": ("patrols the streets and keeps order", "Police"),
    "firefighter": ("puts out fires, rescues people", "Fire service"),
    "security guard": ("guards a warehouse at night", "Security services"),
    "carpenter": ("makes doors and window frames from wood", "Construction"),
    "bricklayer": ("lays bricks on building sites", "Construction"),
    "plumber": ("fits pipes and repairs heating", "Construction"),
    "painter": ("paints walls and ceilings", "Construction"),
    "welder": ("welds steel parts in a factory", "Metal industry"),
    "mechanic": ("repairs machines in a factory", "Manufacturing"),
    "car mechanic": ("repairs cars in a garage", "Motor trade"),
    "electrician": ("installs electrical wiring in houses", "Construction"),
    "butcher": ("cuts and sells meat", "Food industry"),
    "baker": ("bakes bread and cakes", "Food industry"),
    "tailor": ("sews and alters clothes", "Clothing industry"),
    "hairdresser": ("cuts and styles hair", "Personal services"),
    "cook": ("prepares meals in a school kitchen", "Education"),
    "chef": ("heads the kitchen of a restaurant", "Hotels and restaurants"),
    "waiter": ("serves food and drinks to guests", "Hotels and restaurants"),
    "waitress": ("serves guests in a cafe", "Hotels and restaurants"),
    "cleaner": ("cleans offices in the evening", "Cleaning services"),
    "farmer": ("grows wheat and keeps dairy cattle", "Agriculture"),
    "gardener": ("plants and looks after parks", "Local government"),
    "farm worker": ("milks cows and feeds animals", "Agriculture"),
    "labourer": ("digs trenches and carries materials", "Construction"),
    "miner": ("works underground in a coal mine", "Mining"),
    "driver": ("drives a delivery van", "Transport"),
    "taxi driver": ("drives a taxi", "Transport"),
    "bus driver": ("drives a city bus", "Transport"),
    "truck driver": ("drives a truck across Europe", "Transport"),
    "train driver": ("drives passenger trains", "Railways"),
    "forklift driver": ("moves pallets in a warehouse", "Logistics"),
    "salesperson": ("sells cars to customers", "Motor trade"),
    "shop assistant": ("sells clothes and serves customers", "Retail trade"),
    "cashier": ("takes payments at the supermarket checkout", "Retail trade"),
    "soldier": ("serves in the army", "Armed forces"),
    "sergeant": ("commands a section of soldiers", "Armed forces"),
    "pilot": ("flies passenger aircraft", "Air transport"),
    # A few answers of Polish-speaking respondents, written as they gave them.
    "kierowca": ("jezdzi ciezarowka", "Transport"),
    "piel\u0119gniarka": ("opiekuje si\u0119 chorymi w szpitalu", "Health"),
    "nauczyciel": ("uczy matematyki", "Education"),
    "ksi\u0119gowa": ("prowadzi ksi\u0119gi rachunkowe", "Finance"),
    "\u017co\u0142nierz": ("s\u0142u\u017cy w wojsku", "Armed forces"),
    "\u015blusarz": ("naprawia maszyny", "Manufacturing"),
}
POLISH = {"kierowca", "piel\u0119gniarka", "nauczyciel", "ksi\u0119gowa", "\u017co\u0142nierz",
          "\u015blusarz"}

# Answers that fit no category, for the coder to code as missing data.
VAGUE = [
    ("Worker", "works", "Various"),
    ("Various jobs", "whatever comes along", ""),
    ("Don't know", "", ""),
]


def read_titles(path):
    """The titles of KEYWORDS.txt, in file order, without repeats."""
    titles = []
    for line in path.read_bytes().decode(ENCODING).splitlines():
        if not line or line.startswith("#"):
            continue
        title = line.split("\t", 1)[1].strip()
        if title not in titles:
            titles.append(title)
    return titles


def field(text, width):
    text = text[:width]
    return text + " " * (width - len(text))


class Jobs:
    def __init__(self, titles):
        missing = [t for t in titles if t not in DETAILS]
        if missing:
            sys.exit("no duties written for: " + ", ".join(missing))
        self.english = [t for t in titles if t not in POLISH]
        self.polish = [t for t in titles if t in POLISH]

    def choose(self, rng):
        draw = rng.random()
        if draw < 0.04:
            return rng.choice(VAGUE)
        if draw < 0.07:
            title = rng.choice(self.polish)
            return (title.capitalize(),) + DETAILS[title]
        title = rng.choice(self.english)
        return (title[0].upper() + title[1:],) + DETAILS[title]


def record(number, rng, jobs):
    father_known = rng.choices("129", weights=[70, 20, 10])[0]
    previous = rng.choices(["1", "2", "3", " "], weights=[35, 15, 25, 25])[0]
    out = ["%06d" % number, father_known, previous]

    # Respondent's current job, always asked (columns 9-171).
    title, duties, industry = jobs.choose(rng)
    out += [field(title, 60), field(duties, 60), field(industry, 40)]
    out.append(rng.choices("123457", weights=[70, 8, 12, 3, 2, 5])[0])  # 7 has no label
    out.append(rng.choice("12348"))
    out.append(rng.choices("12", weights=[30, 70])[0])

    # Father's job (columns 172-294), only when column 7 is 1.
    if father_known == "1":
        title, duties, _ = jobs.choose(rng)
        status = rng.choices(["01", " 1", " 2", "03", " 4", "98"],
                             weights=[40, 25, 10, 10, 5, 10])[0]
        out += [field(title, 60), field(duties, 60), status, rng.choice("128")]
    else:
        out.append(" " * 123)

    # Previous job (columns 295-455), only when column 8 is 1 or 2.
    if previous in ("1", "2"):
        title, duties, industry = jobs.choose(rng)
        out += [field(title, 60), field(duties, 60), field(industry, 40),
                rng.choices("12345", weights=[75, 8, 12, 3, 2])[0]]
    else:
        out.append(" " * 161)

    line = "".join(out)
    assert len(line) == RECORD_LENGTH, (number, len(line))
    return line


def main():
    demo = pathlib.Path(__file__).resolve().parent.parent
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else demo / "demo.dat"
    jobs = Jobs(read_titles(demo / "KEYWORDS.txt"))
    rng = random.Random(SEED)
    lines = [record(n, rng, jobs) for n in range(1, RECORDS + 1)]
    target.write_bytes("".join(line + "\r\n" for line in lines).encode(ENCODING))
    print("%s: %d records" % (target, len(lines)))


if __name__ == "__main__":
    main()
