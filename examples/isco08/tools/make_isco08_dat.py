#!/usr/bin/env python3
"""Writes isco08.dat, the survey data of the ISCO-08 example project: 300 respondents of an
invented English survey, in the column layout of isco08.zpa (and README.md).

The answers are written here as respondents give them: job titles with their typos and
abbreviations, duties that are sometimes missing, vague answers ("office work", "self
employed"), people no longer in work who name their last job or none. Every ISCO-08 major
group turns up, the armed forces too. Each current-job answer is used once or twice; partners'
and fathers' jobs are drawn from answers of their own, as a respondent reports another person's
work (vaguer, older trades for the fathers). The output is deterministic (fixed seed), ASCII
(so Windows-1250 as well), one 470-column record per line, CR LF.

    python3 examples/isco08/tools/make_isco08_dat.py            # writes examples/isco08/isco08.dat
    python3 examples/isco08/tools/make_isco08_dat.py OUTPUT     # writes OUTPUT
"""

import pathlib
import random
import sys

RECORDS = 300
RECORD_LENGTH = 470
SEED = 2026
ENCODING = "cp1250"
TITLE, DUTIES, INDUSTRY = 60, 80, 40

# The respondent's current job: title, main duties, industry, employment status (1 employee,
# 2 self-employed with employees, 3 self-employed without, 4 helping in a family business,
# 5 apprentice or trainee, 8 not known).
WORKING = [
    # armed forces
    ("Army officer", "captain, commands a company of infantry", "Armed forces", "1"),
    ("Soldier", "private in the army, infantry", "Army", "1"),
    ("Sergeant", "section commander, train new recruits", "British Army", "1"),
    ("RAF", "corporal, aircraft technician", "Royal Air Force", "1"),
    ("Lieutenant commander", "navy, executive officer on a frigate", "Royal Navy", "1"),
    ("Serving in the forces", "", "Ministry of Defence", "1"),
    ("Marine", "rifleman", "Royal Marines", "1"),
    ("Warrant officer", "regimental sergeant major, discipline and drill", "Army", "1"),
    ("Royal Navy", "able seaman, weapons", "Defence", "1"),
    # managers
    ("Managing director", "run the company, 45 staff, sales and strategy",
     "Manufacturing of plastic parts", "2"),
    ("MD", "own the business, manage everything", "Printing", "2"),
    ("Chief executive", "head of the housing association", "Social housing", "1"),
    ("Head teacher", "run a primary school of 400 pupils", "Education", "1"),
    ("HR manager", "recruitment, staff policies, payroll", "Retail chain head office", "1"),
    ("Finance director", "budgets, reports to the board, audit", "Engineering firm", "1"),
    ("IT manager", "manage a team of 8 developers and the infrastructure", "Insurance", "1"),
    ("Store manager", "run the supermarket, 60 staff, ordering, rotas", "Retail", "1"),
    ("Restaurant manager", "running the restaurant, staff, bookings, stock", "Hospitality", "1"),
    ("Hotel manager", "", "Hotel", "1"),
    ("Landlady", "run the pub with my husband, bar and food", "Pub", "2"),
    ("Sales manger", "lead the sales team for the north west", "Building supplies", "1"),
    ("Production manager", "in charge of the production lines, 3 shifts", "Food factory", "1"),
    ("Project manager - construction", "manage building projects from start to handover",
     "Construction", "1"),
    ("Operations manager", "warehouse and distribution, 120 staff", "Logistics", "1"),
    ("Care home manager", "registered manager of a care home for the elderly", "Social care", "1"),
    ("County councillor", "elected member, chair the planning committee", "Local government",
     "1"),
    ("Senior civil servant", "director in a government department, policy", "Civil service", "1"),
    ("Farm manager", "manage a 600 acre arable farm for the owner", "Agriculture", "1"),
    ("Practice manager", "GP surgery, manage reception staff and the finances", "Health", "1"),
    ("Manager", "", "", "1"),
    ("Shop owner", "I have a small newsagents", "Retail", "3"),
    ("Marketing manager", "campaigns, brand, digital marketing budget", "Consumer goods", "1"),
    ("Bank manager", "branch manager, lending decisions, staff", "Banking", "1"),
    ("Director of nursing", "in charge of nursing services of the trust", "NHS", "1"),
    ("Owner", "run a guest house, 8 rooms", "B&B", "2"),
    # professionals
    ("Secondary school teacher", "teach maths to 11-18 year olds", "Education", "1"),
    ("Teacher", "primary, year 4", "School", "1"),
    ("teaching", "", "education", "1"),
    ("Lecturer", "teach and research in chemistry at the university", "Higher education", "1"),
    ("Doctor", "GP", "NHS", "1"),
    ("Consultant anaesthetist", "anaesthesia for surgery, on call", "Hospital", "1"),
    ("Nurse", "staff nurse on a surgical ward", "NHS hospital", "1"),
    ("Registered nurse", "district nursing, visit patients at home", "Community health", "1"),
    ("Midwife", "deliver babies, antenatal clinics", "Maternity unit", "1"),
    ("Pharmacist", "dispensing, advice to customers", "Chemist", "1"),
    ("Dentist", "own practice with two other dentists", "Dental practice", "2"),
    ("Physio", "treat patients after injuries and operations", "Hospital", "1"),
    ("Vet", "small animal practice", "Veterinary", "1"),
    ("Software engineer", "write code in Java for the back end of web apps", "IT", "1"),
    ("Developer", "web sites", "Digital agency", "1"),
    ("Programer", "programming and testing", "Software", "1"),
    ("Systems analyst", "analyse business needs and design IT systems", "Local council", "1"),
    ("Network engineer", "look after the company network and servers", "Telecoms", "1"),
    ("Civil engineer", "design roads and drainage", "Engineering consultancy", "1"),
    ("Mechanical engineer", "design of pumps, calculations, drawings", "Engineering", "1"),
    ("Engineer", "", "", "1"),
    ("Architect", "design houses and extensions, planning applications", "Architects practice",
     "3"),
    ("Accountant", "chartered accountant, audits and tax", "Accountancy firm", "1"),
    ("accountent", "", "", "3"),
    ("Solicitor", "conveyancing and wills", "Law firm", "1"),
    ("Barrister", "criminal law, court work", "Legal", "3"),
    ("Social worker", "child protection team", "Council", "1"),
    ("Clinical psychologist", "therapy for adults with mental health problems", "NHS", "1"),
    ("Journalist", "reporter on the local paper", "Newspaper", "1"),
    ("Vicar", "Church of England parish priest", "Church", "1"),
    ("Research scientist", "lab research on plant diseases", "Research institute", "1"),
    ("Chemist", "quality control analysis in the lab", "Pharmaceuticals", "1"),
    ("Economist", "forecasting and reports", "Bank", "1"),
    ("Management consultant", "advise companies on restructuring", "Consultancy", "1"),
    ("Graphic designer", "design logos, leaflets, websites", "Self employed", "3"),
    ("Musician", "play guitar in a band, weddings and pubs", "Entertainment", "3"),
    ("Librarian", "", "Public library", "1"),
    ("Translator", "translate documents German to English", "freelance", "3"),
    ("Optometrist", "eye tests", "Opticians", "1"),
    ("Actuary", "pensions calculations", "Insurance", "1"),
    # technicians and associate professionals
    ("Lab technician", "prepare samples, run tests", "Hospital laboratory", "1"),
    ("Electrical technician", "testing and commissioning switchgear", "Power", "1"),
    ("Draughtsman", "CAD drawings for a steel fabricator", "Engineering", "1"),
    ("QS", "costs and measurements of building work", "Construction", "1"),
    ("Paramedic", "ambulance service, emergency calls", "Ambulance service", "1"),
    ("Dental nurse", "assist the dentist, sterilise instruments", "Dental surgery", "1"),
    ("Pharmacy technician", "", "Hospital pharmacy", "1"),
    ("Estate agent", "valuations, showing houses to buyers", "Estate agency", "1"),
    ("Insurance broker", "sell commercial insurance policies", "Insurance", "1"),
    ("Accounts assistant", "purchase ledger, bank reconciliations", "Wholesale", "1"),
    ("Detective constable", "CID, investigate burglaries and fraud", "Police", "1"),
    ("Personal trainer", "train clients in the gym", "Leisure centre", "3"),
    ("Head chef", "plan menus, run the kitchen", "Restaurant", "1"),
    ("IT support", "help desk, fix PCs and printers for staff", "University", "1"),
    ("Sound engineer", "mixing for live events", "Events", "3"),
    ("Legal secretary", "typing, diary management for the solicitors", "Law firm", "1"),
    ("Medical secretary", "typing clinic letters", "Hospital", "1"),
    ("Air traffic controller", "", "Airport", "1"),
    ("Pilot", "first officer on short haul flights", "Airline", "1"),
    ("Ships officer", "second officer on a cargo ship", "Shipping", "1"),
    ("Buyer", "buying for the company, negotiate with suppliers", "Retail", "1"),
    ("Youth worker", "run clubs and activities for teenagers", "Charity", "1"),
    ("Football coach", "coaching the under 16s and the first team", "Sport", "1"),
    ("Building control officer", "inspect building work for the regulations", "Council", "1"),
    ("Surveyor", "", "", "1"),
    ("Apprentice electrician", "learning the trade, college one day a week",
     "Electrical contractor", "5"),
    # clerical support workers
    ("Secratary", "typing, filing, answering the phone", "Office", "1"),
    ("Office work", "", "", "1"),
    ("Admin assistant", "data entry, filing, post", "NHS trust", "1"),
    ("Recepcionist", "front desk at the doctors, appointments", "GP surgery", "1"),
    ("Hotel receptionist", "check guests in and out", "Hotel", "1"),
    ("Call centre", "answer customer calls about their bills", "Energy company", "1"),
    ("Bank clerk", "counter, cashing cheques, paying in", "Bank", "1"),
    ("Payroll clerk", "pay wages for 300 employees", "Manufacturing", "1"),
    ("Bookkeeper", "keep the books for small firms", "self employed", "3"),
    ("Clerk", "council office", "Local government", "1"),
    ("Data entry", "typing orders into the computer", "Mail order", "1"),
    ("Stock controller", "stock records, goods in paperwork", "Distribution", "1"),
    ("Postman", "deliver mail", "Royal Mail", "1"),
    ("Post office counter clerk", "", "Post office", "1"),
    ("Library assistant", "issue books, shelving", "Library", "1"),
    ("Travel agent", "book holidays for customers", "Travel agency", "1"),
    ("Civil servant", "administrative officer, process benefit claims",
     "Department for Work and Pensions", "1"),
    ("Office administrator", "", "Charity", "1"),
    ("Admin", "NHS", "", "1"),
    # service and sales workers
    ("Shop assistant", "serving customers, stacking shelves", "Supermarket", "1"),
    ("Sales assistant", "selling clothes", "Fashion retail", "1"),
    ("Cashier", "checkout", "Tesco", "1"),
    ("Hairdreser", "cut and colour hair, own salon", "Hair salon", "2"),
    ("Beautician", "nails, facials, waxing", "Beauty salon", "3"),
    ("Care assistant", "personal care for elderly residents, washing, feeding", "Care home",
     "1"),
    ("Carer", "home carer, visit clients in their homes", "Home care agency", "1"),
    ("HCA", "healthcare assistant on the wards, obs, bed baths", "Hospital", "1"),
    ("Waitress", "serving tables", "Cafe", "1"),
    ("Bar staff", "pulling pints, serving", "Pub", "1"),
    ("Cook", "cook school dinners", "School kitchen", "1"),
    ("Security guard", "patrol the shopping centre, CCTV", "Security", "1"),
    ("Fire fighter", "", "Fire and rescue service", "1"),
    ("Police officer", "constable on a response team", "Police", "1"),
    ("Prison officer", "supervise prisoners on the wing", "Prison service", "1"),
    ("Sales rep", "visit customers, sell office furniture", "Office furniture", "1"),
    ("Childminder", "look after children in my home", "self-employed", "3"),
    ("Cabin crew", "flight attendant, safety and service", "Airline", "1"),
    ("Market trader", "sell fruit and veg on the market", "Market", "3"),
    ("Dog groomer", "", "Pet services", "3"),
    ("Telesales", "selling over the phone", "Double glazing", "1"),
    ("Teaching assistant", "help children with special needs in class", "Primary school", "1"),
    ("Nursery nurse", "look after babies and toddlers", "Day nursery", "1"),
    ("Tour guide", "guided tours of the castle", "Tourism", "1"),
    ("Funeral director", "arrange funerals, look after the families", "Funeral services", "2"),
    ("Caretaker", "school caretaker, locking up, small repairs", "School", "1"),
    # skilled agricultural, forestry and fishery workers
    ("Farmer", "dairy farm, 120 cows", "Agriculture", "2"),
    ("Farmer", "sheep and beef", "Farming", "3"),
    ("Arable farmer", "wheat, barley, oilseed rape", "Agriculture", "2"),
    ("Gardener", "self employed gardener, lawns, hedges", "Gardening", "3"),
    ("Tree surgeon", "felling and pruning trees", "Arboriculture", "3"),
    ("Fisherman", "own boat, crab and lobster", "Fishing", "3"),
    ("Helping on the farm", "family farm, milking, feeding calves", "Farm", "4"),
    ("Grower", "growing tomatoes in glasshouses", "Horticulture", "1"),
    ("Gamekeeper", "rear pheasants, control vermin", "Estate", "1"),
    ("Beekeeper", "", "", "3"),
    ("Forestry worker", "planting and thinning trees", "Forestry Commission", "1"),
    ("Poultry farmer", "", "", "2"),
    # craft and related trades workers
    ("Electrician", "domestic rewires, fault finding", "Construction", "3"),
    ("Electrican", "", "building sites", "3"),
    ("Sparky", "", "", "3"),
    ("Plumber", "plumbing and heating, boiler installs", "Self employed", "3"),
    ("Joiner", "first and second fix on new houses", "Building", "1"),
    ("Carpenter", "", "", "3"),
    ("Brickie", "laying bricks and blocks", "House building", "1"),
    ("Plasterer", "plastering and rendering", "Construction", "3"),
    ("Painter and decorator", "painting, wallpapering", "self employed", "3"),
    ("Roofer", "slate and tile roofs, repairs", "Roofing", "1"),
    ("Welder", "MIG and TIG welding of steel frames", "Steel fabrication", "1"),
    ("Fitter", "maintenance fitter, repair the machines on the lines", "Food factory", "1"),
    ("Mechanic", "car repairs and servicing, MOTs", "Garage", "1"),
    ("HGV mechanic", "repair and service lorries", "Haulage", "1"),
    ("Aircraft engineer", "maintenance on aircraft engines", "Airline", "1"),
    ("Toolmaker", "make press tools", "Engineering", "1"),
    ("Baker", "bake bread at night", "Bakery", "1"),
    ("Butcher", "cutting meat, serving customers", "Butchers shop", "1"),
    ("Seamstress", "alterations and repairs to clothes", "Dry cleaners", "1"),
    ("Upholsterer", "recover old furniture", "", "3"),
    ("Printer", "run the printing press", "Printing works", "1"),
    ("Jeweller", "make and repair rings", "Jewellers", "2"),
    ("Gas engineer", "install and service gas boilers", "British Gas", "1"),
    ("Tiler", "", "", "3"),
    ("Cabinet maker", "bespoke kitchens", "Furniture", "2"),
    ("TV engineer", "install aerials and satellite dishes", "", "3"),
    # plant and machine operators and assemblers
    ("Lorry driver", "HGV class 1, deliveries to supermarkets", "Haulage", "1"),
    ("Truck driver", "tipper lorry", "Quarry", "1"),
    ("Bus driver", "", "Bus company", "1"),
    ("Taxi driver", "own taxi", "Taxi", "3"),
    ("Delivery driver", "deliver parcels in a van", "Courier", "3"),
    ("Driver", "", "", "1"),
    ("Forklift driver", "loading and unloading lorries", "Warehouse", "1"),
    ("Machine operator", "operate a CNC machine", "Engineering", "1"),
    ("Machinist", "sewing machinist, curtains", "Textiles", "1"),
    ("Factory worker", "on the line, packing biscuits", "Food factory", "1"),
    ("Process operator", "control room, chemical plant", "Chemicals", "1"),
    ("Train driver", "", "Railway", "1"),
    ("Crane operator", "tower crane on building sites", "Construction", "1"),
    ("Assembler", "assemble car parts", "Car plant", "1"),
    ("Digger driver", "excavator, groundworks", "Civil engineering", "3"),
    ("Tram driver", "", "Metrolink", "1"),
    ("Bottling line operator", "", "Brewery", "1"),
    # elementary occupations
    ("Cleaner", "clean offices in the evenings", "Cleaning company", "1"),
    ("Cleaning", "", "school", "1"),
    ("Kitchen porter", "washing up, cleaning the kitchen", "Hotel", "1"),
    ("Labourer", "general labouring on site", "Construction", "1"),
    ("Warehouse operative", "picking and packing orders", "Online retailer", "1"),
    ("Packer", "packing", "Factory", "1"),
    ("Farm labourer", "seasonal work, picking fruit", "Farm", "1"),
    ("Bin man", "collect the bins", "Council", "1"),
    ("Street cleaner", "sweeping", "Council", "1"),
    ("Dinner lady", "serve lunches and help in the playground", "Primary school", "1"),
    ("Car wash", "washing cars by hand", "Car wash", "1"),
    ("Shelf stacker", "nights, filling shelves", "Supermarket", "1"),
    ("Porter", "hospital porter, moving patients and equipment", "Hospital", "1"),
    ("Courier", "food deliveries on my bike", "Delivery app", "3"),
    ("Chambermaid", "cleaning the rooms", "Hotel", "1"),
    ("Handyman", "", "", "3"),
    ("Leaflet delivery", "", "", "1"),
    ("Window cleaner", "own round", "", "3"),
    ("Odd jobs", "whatever I can get", "", "3"),
    # vague answers
    ("Self employed", "", "", "3"),
    ("Self-employed", "my own business", "", "2"),
    ("Civil servant", "", "Government", "1"),
    ("Various", "agency work", "", "1"),
    ("Work for the council", "", "Council", "1"),
    ("Consultant", "", "", "3"),
    ("Business", "import export", "", "2"),
    ("Student", "part time in a bar", "", "1"),
]

# Respondents not in paid work now (column 190 is 2): the last job, when they give one.
NOT_WORKING = [
    ("Retired", "", "", "8"),
    ("Retired", "", "", "8"),
    ("Retired", "was a nurse for 35 years", "NHS", "1"),
    ("Retired teacher", "", "", "1"),
    ("Pensioner", "worked in a factory", "", "1"),
    ("Retired", "bus driver", "", "1"),
    ("Retired - ex army", "", "", "1"),
    ("Unemployed", "looking for work", "", "8"),
    ("Unemployed", "last job was warehouse", "", "1"),
    ("Housewife", "", "", "8"),
    ("Worked in a shop", "", "", "1"),
    ("Not working", "long term sick, was a welder", "", "1"),
    ("Redundant", "was a production supervisor at the car plant", "Motor industry", "1"),
    ("Maternity leave", "accounts clerk", "Building society", "1"),
    ("Retired", "ran a garage", "", "2"),
]

# The partner's job as the respondent reports it: title and duties.
PARTNER = [
    ("Nurse", "at the hospital"),
    ("Teacher", ""),
    ("works in a bank", ""),
    ("something in IT", "computers, I don't really know"),
    ("Builder", "he has his own firm"),
    ("Electrician", ""),
    ("Shop assistant", "part time"),
    ("Accountant", ""),
    ("Police", "sergeant"),
    ("Lorry driver", "long distance"),
    ("Office", ""),
    ("Care worker", "looks after old people"),
    ("Hairdresser", ""),
    ("Engineer", "oil rigs"),
    ("Civil servant", "tax office"),
    ("Manager", "in a supermarket"),
    ("Doctor", "hospital doctor, paediatrics"),
    ("Plumber", ""),
    ("Cleaner", "schools"),
    ("Sales", "sells cars"),
    ("Receptionist", "at the vets"),
    ("Soldier", "in the army, corporal"),
    ("Chef", ""),
    ("Farmer", "our own farm"),
    ("Self employed", ""),
    ("Lecturer", "history at the college"),
    ("Solicitor", ""),
    ("Factory", "works on the machines"),
    ("Secretary", "for a firm of solicitors"),
    ("Mechanic", ""),
    ("Dental receptionist", ""),
    ("Teaching assistant", "infant school"),
    ("Warehouse", "nights"),
    ("Software developer", ""),
    ("Project manager", "for a bank"),
    ("Bus driver", ""),
    ("Admin", ""),
    ("Pharmacist", ""),
    ("Architect", ""),
    ("Postwoman", ""),
    ("Kitchen assistant", "school kitchen"),
    ("Director", "of his own company, about 20 people"),
    ("Carpenter", ""),
    ("Social worker", "adults"),
    ("Estate agent", ""),
    ("Physiotherapist", ""),
    ("Security", "night security at a factory"),
    ("Taxi driver", ""),
    ("Beauty therapist", ""),
    ("Labourer", "building sites"),
    ("Marketing", ""),
    ("Pilot", "RAF"),
    ("Bar work", ""),
    ("Cook", "in a care home"),
    ("Gardener", "for the council"),
    ("Machine operator", ""),
    ("Childminder", ""),
    ("Fireman", ""),
    ("HR", ""),
    ("Scientist", "research, cancer"),
    ("Call centre", ""),
    ("Painter", "painter and decorator"),
    ("Dinner lady", ""),
    ("Don't know exactly", "works for an insurance company"),
]

# The father's job when the respondent was 14, as remembered: title and duties.
FATHER = [
    ("Miner", "down the pit"),
    ("Coal miner", ""),
    ("Farmer", "had a small farm"),
    ("Farm labourer", ""),
    ("Steelworker", "in the steelworks"),
    ("Docker", ""),
    ("Welder", "at the shipyard"),
    ("Engineer", ""),
    ("Electrician", ""),
    ("Builder", ""),
    ("Bricklayer", ""),
    ("Joiner", ""),
    ("Lorry driver", ""),
    ("Bus driver", ""),
    ("Bus conductor", ""),
    ("Milkman", ""),
    ("Postman", ""),
    ("Policeman", ""),
    ("Fireman", ""),
    ("Soldier", "in the army"),
    ("Army", "major"),
    ("RAF", "sergeant, engineer on aircraft"),
    ("Navy", ""),
    ("Teacher", "headmaster later"),
    ("Teacher", ""),
    ("Doctor", "GP"),
    ("Accountant", ""),
    ("Bank manager", ""),
    ("Manager", "at the mill"),
    ("Foreman", "at the factory"),
    ("Factory worker", ""),
    ("Weaver", "cotton mill"),
    ("Mechanic", "own garage"),
    ("Fitter", ""),
    ("Toolmaker", ""),
    ("Printer", "typesetter at the newspaper"),
    ("Signalman", "on the railway"),
    ("Train driver", ""),
    ("Shopkeeper", "ran a corner shop"),
    ("Butcher", "own shop"),
    ("Baker", ""),
    ("Salesman", "travelling salesman"),
    ("Insurance man", "collected the premiums door to door"),
    ("Clerk", "in an office"),
    ("Civil servant", ""),
    ("Vicar", ""),
    ("Self employed", "builder"),
    ("Taxi driver", ""),
    ("Labourer", ""),
    ("Dustman", ""),
    ("Caretaker", ""),
    ("Painter and decorator", ""),
    ("Plumber", ""),
    ("Fisherman", "trawlers"),
    ("Gardener", "on an estate"),
    ("Chef", ""),
    ("Publican", "ran the pub"),
    ("Company director", ""),
    ("Solicitor", ""),
    ("Architect", ""),
    ("Scientist", ""),
    ("Engineer", "British Rail"),
    ("Security guard", ""),
    ("Machine operator", "in a plastics factory"),
    ("Worked away", "not sure"),
    ("Worked on the buildings", ""),
    ("Sales rep", ""),
    ("Draughtsman", ""),
    ("Lecturer", "at the poly"),
    ("Coal man", "delivered coal"),
]


def field(text, width):
    assert len(text) <= width, (text, width)
    return text + " " * (width - len(text))


def as_written(title, rng):
    """A few respondents write in capitals, a few all in small letters."""
    draw = rng.random()
    if draw < 0.05:
        return title.upper()
    if draw < 0.12:
        return title.lower()
    return title


def current_jobs(rng):
    """One current-job answer per respondent: every one of the lists once, the rest again."""
    pool = [(a, "1") for a in WORKING] + [(a, "2") for a in NOT_WORKING]
    assert len(pool) <= RECORDS <= 2 * len(pool), len(pool)
    drawn = pool + rng.sample(pool, RECORDS - len(pool))
    rng.shuffle(drawn)
    return drawn


def record(number, job, rng):
    partner = rng.choices("1239", weights=[55, 12, 28, 5])[0]
    father = rng.choices("1289", weights=[75, 12, 10, 3])[0]
    out = ["%06d" % number, partner, father]

    # Respondent's current job, always asked (columns 9-190).
    (title, duties, industry, status), working = job
    out += [field(as_written(title, rng), TITLE), field(duties, DUTIES), field(industry, INDUSTRY),
            status, working]

    # Partner's job (columns 191-330), only when column 7 is 1.
    if partner == "1":
        title, duties = rng.choice(PARTNER)
        out += [field(as_written(title, rng), TITLE), field(duties, DUTIES)]
    else:
        out.append(" " * (TITLE + DUTIES))

    # Father's job (columns 331-470), only when column 8 is 1.
    if father == "1":
        title, duties = rng.choice(FATHER)
        out += [field(as_written(title, rng), TITLE), field(duties, DUTIES)]
    else:
        out.append(" " * (TITLE + DUTIES))

    line = "".join(out)
    assert len(line) == RECORD_LENGTH, (number, len(line))
    return line


def main():
    example = pathlib.Path(__file__).resolve().parent.parent
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else example / "isco08.dat"
    rng = random.Random(SEED)
    jobs = current_jobs(rng)
    lines = [record(n, job, rng) for n, job in enumerate(jobs, start=1)]
    target.write_bytes("".join(line + "\r\n" for line in lines).encode(ENCODING))
    print("%s: %d records" % (target, len(lines)))


if __name__ == "__main__":
    main()
