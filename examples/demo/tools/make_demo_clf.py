#!/usr/bin/env python3
"""Writes examples/demo/demo.clf, the demo classification, from the tree below.

Run from anywhere:  python3 examples/demo/tools/make_demo_clf.py

The output is Windows-1250 text with CR LF line ends. Each category is a line of the tree:

    code | name | short label | key words | hidden key words | Polish key words | note

separated by "|"; trailing fields may be left out and lists are separated by ";". Only the
categories of the lowest level (those with no category below them) get a description, built
from the note and the key words; a higher-level category must not list key words. The script
checks the rules the program applies when it loads the file, so a mistake shows here first.
"""

import os
import sys
import textwrap

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "demo.clf")

MISSING = "9800"
NOT_APPLICABLE = "9900"

PREAMBLE = [
    "Varden Classification of Occupations VKT-2009 - demonstration edition",
    "",
    "Written for the Tarnwick demo project. The codes follow the basic categories of",
    "VKT-2009; the names, short labels and descriptions are illustrative only.",
    "Key words are marked in square brackets; text in braces is not shown to coders.",
    "",
]

TREE = r"""
0000 | Managers, senior officials and legislators | Managers and officials
0100 | Legislators and senior government officials | Legislators and senior officials
0110 | Legislators | Legislators
0111 | Members of parliament and senators | Members of parliament | member of parliament; senator; parliamentarian; deputy | legislator | poseł; senator | Elected members of the national parliament and its upper chamber.
0112 | Members of regional and local councils | Councillors | councillor; council member; alderman | | radny; radna
0170 | Senior officials of public administration | Senior public officials
0171 | Ministers and senior government officials | Senior government officials | minister; secretary of state; permanent secretary; director general | undersecretary | minister; wiceminister | Heads of ministries and central offices who set and direct government policy.
0172 | Mayors and heads of local government | Mayors | mayor; governor; district head; village head | | burmistrz; wójt; starosta
0180 | Senior officials of parties and interest organisations | Officials of organisations
0181 | Senior officials of political parties | Party officials | party leader; party secretary; party chairman; party official | | przewodniczący partii
0182 | Senior officials of trade unions | Trade union officials | trade union leader; union official; union chairman | shop steward | związkowiec
0183 | Senior officials of employers' and professional associations | Association officials | association director; chamber president; guild master | | prezes izby
0184 | Senior officials of humanitarian and other organisations | NGO officials | charity director; foundation president; NGO director | | prezes fundacji
0200 | Directors and chief executives | Directors and chief executives
0290 | Chief executives and general managers | Chief executives
0291 | Chief executives of large enterprises | Chief executives | chief executive; CEO; managing director; company president; general manager | | dyrektor generalny; prezes zarządu | Direct a large company with the help of other managers.
0292 | Heads of public institutions and agencies | Heads of public institutions | agency head; institute director; office director | | dyrektor urzędu
0293 | Owners and managers of small enterprises | Small business managers | business owner; shop owner; entrepreneur; small business manager; proprietor | self-employed | przedsiębiorca; właściciel firmy | Run their own small firm, usually with fewer than ten employees, and take part in its daily work.
0294 | Heads of banks and financial institutions | Bank directors | bank director; bank president; branch director | | dyrektor banku
0295 | Heads of schools and universities | Heads of educational institutions | headteacher; headmaster; school director; principal; rector; dean | | dyrektor szkoły; rektor; dziekan
0296 | Heads of hospitals and health institutions | Hospital directors | hospital director; clinic director; medical director | | dyrektor szpitala
0300 | Specialised and operations managers | Specialised managers
0310 | Production and technical managers | Production managers
0311 | Manufacturing and production managers | Manufacturing managers | production manager; factory manager; plant manager; manufacturing manager; works manager | | kierownik produkcji
0312 | Education and training managers | Education managers | education manager; training manager; deputy head; education officer | | kierownik szkolenia
0313 | Construction and mining managers | Construction managers | construction manager; site manager; mine manager; building contractor | | kierownik budowy
0320 | Administrative and commercial managers | Commercial managers
0321 | Finance and administration managers | Finance managers | finance manager; financial director; CFO; administration manager | | dyrektor finansowy
0322 | Human resource managers | HR managers | human resource manager; HR manager; personnel manager | | kierownik kadr
0323 | Sales, marketing and advertising managers | Sales managers | sales manager; marketing manager; advertising manager; commercial director | | kierownik sprzedaży
0330 | Professional services managers | Professional services managers
0331 | ICT service managers | ICT managers | IT manager; ICT manager; chief information officer | | kierownik działu IT
0332 | Child care services managers | Child care managers | child care manager; nursery manager | | 
0333 | Health services managers | Health services managers | health services manager; practice manager; ward manager | | 
0334 | Aged care services managers | Aged care managers | care home manager; nursing home manager | | kierownik domu opieki
0335 | Social welfare managers | Social welfare managers | social welfare manager; welfare centre director | | kierownik ośrodka pomocy społecznej
0336 | Financial and insurance services branch managers | Branch managers | branch manager; bank branch manager; insurance branch manager | | 
0337 | Agricultural and forestry production managers | Farm managers | farm manager; estate manager; forestry manager | | kierownik gospodarstwa
0338 | Sports, recreation and cultural centre managers | Leisure managers | sports centre manager; leisure manager; cultural centre director | | dyrektor domu kultury
0340 | Hospitality, retail and other services managers | Services managers
0341 | Hotel managers | Hotel managers | hotel manager; hotel director; hostel manager | | kierownik hotelu
0342 | Restaurant and catering managers | Restaurant managers | restaurant manager; catering manager; canteen manager | | kierownik restauracji
0343 | Retail and wholesale trade managers | Shop managers | shop manager; store manager; supermarket manager; retail manager | | kierownik sklepu
0344 | Transport, logistics and warehouse managers | Logistics managers | logistics manager; transport manager; warehouse manager; fleet manager | | kierownik magazynu
1000 | Professionals | Professionals
1100 | Science, engineering and health professionals | Science and health professionals
1110 | Physical, mathematical and earth science professionals | Physical scientists
1112 | Physicists and astronomers | Physicists | physicist; astronomer; astrophysicist | | fizyk; astronom | Study matter, energy and the universe and apply their findings in industry and medicine.
1113 | Meteorologists | Meteorologists | meteorologist; weather forecaster; climatologist | | meteorolog; synoptyk
1114 | Chemists | Chemists | chemist; analytical chemist; research chemist | | chemik
1115 | Geologists and geophysicists | Geologists | geologist; geophysicist; hydrogeologist; seismologist | | geolog; geofizyk
1116 | Mathematicians and actuaries | Mathematicians | mathematician; actuary | | matematyk; aktuariusz
1117 | Statisticians | Statisticians | statistician; data scientist; biostatistician; demographer | | statystyk
1118 | Materials scientists and metallurgists | Materials scientists | metallurgist; materials scientist; ceramics scientist | | metalurg
1119 | Physical science professionals not elsewhere classified | Other physical scientists | oceanographer; hydrologist; research scientist | | oceanograf; hydrolog
1120 | Engineering professionals | Engineers
1121 | Civil engineers | Civil engineers | civil engineer; structural engineer; construction engineer; road engineer; bridge engineer | | inżynier budownictwa | Design and supervise the building of roads, bridges, buildings, dams and other works.
1122 | Electrical and electronics engineers | Electrical engineers | electrical engineer; power engineer; electronics engineer | | inżynier elektryk
1123 | Mechanical engineers | Mechanical engineers | mechanical engineer; engineer; automotive engineer; aeronautical engineer | | inżynier mechanik; inżynier
1124 | Chemical engineers | Chemical engineers | chemical engineer; process engineer | | inżynier chemik
1125 | Mining and petroleum engineers | Mining engineers | mining engineer; petroleum engineer; drilling engineer | | inżynier górnictwa
1126 | Environmental engineers | Environmental engineers | environmental engineer; water engineer; waste engineer | | inżynier środowiska
1127 | Industrial and production engineers | Industrial engineers | industrial engineer; production engineer; quality engineer | | technolog
1128 | Telecommunications engineers | Telecom engineers | telecommunications engineer; radio engineer | | inżynier telekomunikacji
1129 | Engineering professionals not elsewhere classified | Other engineers | biomedical engineer; safety engineer; agricultural engineer | | 
1130 | Information and communications technology professionals | ICT professionals
1131 | ICT project managers and consultants | ICT consultants | IT consultant; IT project manager; solutions architect | | konsultant IT
1132 | Data and artificial intelligence specialists | Data specialists | data analyst; data engineer; machine learning engineer | | analityk danych
1133 | Software developers and programmers | Programmers | programmer; software developer; software engineer; coder; application developer | developer | programista; programistka | Write, test and maintain computer programs for users and organisations.
1134 | Systems analysts | Systems analysts | systems analyst; business analyst; requirements analyst | | analityk systemów
1135 | Database and network professionals | Database and network specialists | database administrator; network administrator; system administrator; network engineer | | administrator sieci
1136 | Web and multimedia developers | Web developers | web developer; web designer; multimedia developer; game developer | | 
1137 | Software testers | Software testers | software tester; test engineer; quality assurance analyst | | tester oprogramowania
1138 | Cyber security specialists | Security specialists | cyber security specialist; security analyst; penetration tester | | specjalista bezpieczeństwa
1140 | Architects, planners, surveyors and designers | Architects and designers
1141 | Building architects | Architects | architect; building architect | | architekt | Design buildings and supervise their construction, maintenance and restoration.
1142 | Town and traffic planners | Planners | town planner; urban planner; traffic planner | | urbanista
1144 | Surveyors and cartographers | Surveyors | surveyor; land surveyor; cartographer; geodesist | | geodeta; kartograf
1145 | Landscape architects | Landscape architects | landscape architect; garden designer | | architekt krajobrazu
1146 | Product and garment designers | Product designers | product designer; industrial designer; fashion designer; garment designer | | projektant mody
1147 | Graphic and multimedia designers | Graphic designers | graphic designer; illustrator; visual designer; animator | | grafik
1149 | Designers not elsewhere classified | Other designers | interior architect; exhibition designer; jewellery designer | | 
1150 | Life science professionals | Life scientists
1153 | Biologists, botanists and zoologists | Biologists | biologist; botanist; zoologist; ecologist; marine biologist | | biolog; zoolog; botanik
1154 | Agronomists | Agronomists | agronomist; agricultural scientist; soil scientist; agricultural adviser | | agronom
1155 | Foresters and fishery scientists | Foresters | forester; forestry scientist; fisheries scientist; forest engineer | | leśniczy; nadleśniczy
1156 | Veterinarians | Veterinarians | veterinarian; vet; veterinary surgeon | | weterynarz; lekarz weterynarii
1157 | Environmental protection professionals | Environmental specialists | environmental protection officer; conservationist; environmental scientist | | ekolog
1158 | Microbiologists and biotechnologists | Microbiologists | microbiologist; biotechnologist; geneticist; biochemist | | mikrobiolog; genetyk
1159 | Pharmacologists and life scientists not elsewhere classified | Other life scientists | pharmacologist; toxicologist; physiologist | | farmakolog
1160 | Medical doctors, dentists and pharmacists | Doctors and pharmacists
1161 | General medical practitioners | General practitioners | doctor; physician; general practitioner; family doctor | medical doctor | lekarz; lekarka; lekarz rodzinny | Diagnose and treat illness and injury and refer patients to specialists when needed.
1162 | Specialist medical practitioners | Medical specialists | surgeon; anaesthetist; cardiologist; paediatrician; gynaecologist; radiologist; specialist doctor | | chirurg; pediatra; kardiolog
1163 | Dentists | Dentists | dentist; dental surgeon; orthodontist | | dentysta; stomatolog
1164 | Psychiatrists | Psychiatrists | psychiatrist; child psychiatrist | | psychiatra
1165 | Pharmacists | Pharmacists | pharmacist; dispensing chemist; hospital pharmacist | | farmaceuta; aptekarz
1166 | Dietitians and nutritionists | Dietitians | dietitian; nutritionist | | dietetyk
1167 | Physiotherapists | Physiotherapists | physiotherapist; physical therapist | | fizjoterapeuta
1168 | Complementary medicine professionals | Complementary medicine | homeopath; acupuncturist; naturopath; chiropractor | | 
1169 | Health professionals not elsewhere classified | Other health professionals | audiologist; speech therapist; optometrist; occupational therapist | | logopeda
1170 | Nursing and midwifery professionals | Nurses and midwives
1171 | Nursing managers and specialist nurses | Specialist nurses | head nurse; nurse specialist; theatre nurse; nurse anaesthetist | | oddziałowa; pielęgniarka oddziałowa
1173 | Nursing professionals | Nurses | nurse; registered nurse; staff nurse; ward sister; nurse practitioner | | pielęgniarka; pielęgniarz | Care for the sick, injured and disabled in hospitals, clinics, homes and the community.
1174 | Midwifery professionals | Midwives | midwife; birth attendant | | położna
1175 | Paramedical practitioners | Paramedics | paramedic; emergency medical technician | | ratownik medyczny
1176 | Nursing and health care assistants | Health care assistants | nursing assistant; health care assistant; auxiliary nurse | | opiekun medyczny
1177 | Community health workers | Community health workers | community health worker; health visitor; school nurse | | higienistka szkolna
1180 | University and higher education teachers | University teachers
1185 | University professors | Professors | professor; university professor | | profesor
1186 | University and college lecturers | Lecturers | lecturer; university lecturer; senior lecturer; assistant professor | | wykładowca; adiunkt
1187 | Research and teaching assistants | Research assistants | research assistant; teaching assistant; doctoral student; postdoctoral researcher | | asystent naukowy; doktorant
1188 | Researchers in research institutes | Researchers | researcher; research fellow; scientist | | naukowiec; pracownik naukowy
1190 | Legal professionals | Legal professionals
1191 | Lawyers | Lawyers | lawyer; attorney; advocate; solicitor; barrister; legal adviser | | adwokat; radca prawny; prawnik | Advise clients on legal matters, draft legal documents and represent clients in court.
1192 | Judges and prosecutors | Judges | judge; magistrate; prosecutor; public prosecutor | | sędzia; prokurator
1193 | Notaries | Notaries | notary; notary public | | notariusz
1194 | Court bailiffs | Bailiffs | bailiff; court bailiff; enforcement officer | | komornik
1199 | Legal professionals not elsewhere classified | Other legal professionals | patent attorney; ombudsman; legal counsel | | rzecznik patentowy
1200 | Teaching and social professionals | Teaching professionals
1220 | School teachers | School teachers
1221 | Secondary school teachers | Secondary teachers | teacher; secondary school teacher; high school teacher; subject teacher | schoolteacher | nauczyciel; nauczycielka | Teach one or more subjects at secondary schools, prepare lessons and assess pupils.
1222 | Primary school teachers | Primary teachers | primary school teacher; primary teacher; elementary teacher; class teacher | | nauczyciel nauczania początkowego
1223 | Early childhood educators | Kindergarten teachers | kindergarten teacher; preschool teacher; nursery teacher | | przedszkolanka; wychowawczyni przedszkola
1224 | Special needs teachers | Special needs teachers | special needs teacher; special education teacher; teacher of the deaf | | pedagog specjalny
1225 | Vocational education teachers | Vocational teachers | vocational teacher; vocational instructor; technical teacher | | nauczyciel zawodu
1226 | Language teachers | Language teachers | language teacher; English teacher; foreign language teacher | | lektor; anglista
1227 | Music and arts teachers | Music and art teachers | music teacher; art teacher; dance teacher; piano teacher | | 
1229 | Teaching professionals not elsewhere classified | Other teachers | tutor; private tutor; teacher trainer | | korepetytor
1230 | Education support professionals | Education support
1231 | Education methods specialists | Education specialists | education specialist; curriculum developer; methodologist | | metodyk
1232 | School inspectors | School inspectors | school inspector; education inspector | | wizytator; kurator oświaty
1234 | School counsellors and educational psychologists | School counsellors | school counsellor; school pedagogue; educational psychologist; career counsellor | | pedagog szkolny
1235 | Physical education teachers | Physical education teachers | physical education teacher; PE teacher; gym teacher | | wuefista
1236 | IT trainers | IT trainers | IT trainer; computer instructor | | 
1237 | Driving and flying instructors | Driving instructors | driving instructor; flight instructor | | instruktor jazdy
1238 | Adult education trainers | Adult trainers | adult educator; trainer; corporate trainer | | szkoleniowiec
1240 | Religious, social and counselling professionals | Social and religious professionals
1241 | Ministers of religion | Clergy | priest; clergyman; minister of religion; pastor; rabbi; imam; vicar | | ksiądz; proboszcz; duchowny
1242 | Psychologists | Psychologists | psychologist; psychotherapist; clinical psychologist | | psycholog
1249 | Social work and counselling professionals | Social workers | social worker; family counsellor; probation officer; addiction counsellor | | pracownik socjalny; kurator sądowy
2000 | Business, legal, cultural and communication professionals | Business and cultural professionals
2100 | Business and administration professionals | Business professionals
2120 | Finance professionals | Finance professionals
2121 | Accountants | Accountants | accountant; chartered accountant; chief accountant; cost accountant | | księgowy; księgowa; główny księgowy | Keep and examine financial records, prepare accounts and tax returns and advise on them.
2122 | Financial advisers | Financial advisers | financial adviser; investment adviser; financial planner | | doradca finansowy
2123 | Financial analysts | Financial analysts | financial analyst; investment analyst; credit analyst | | analityk finansowy
2124 | Auditors | Auditors | auditor; internal auditor; statutory auditor | | audytor; biegły rewident
2125 | Tax advisers | Tax advisers | tax adviser; tax consultant | | doradca podatkowy
2126 | Insurance specialists | Insurance specialists | insurance specialist; underwriter; risk analyst | | 
2127 | Economists | Economists | economist; econometrician | | ekonomista
2129 | Finance professionals not elsewhere classified | Other finance professionals | treasury specialist; financial controller; fund manager | | kontroler finansowy
2130 | Administration and sales professionals | Administration professionals
2131 | Management and organisation analysts | Management analysts | management consultant; organisation analyst; business consultant | | konsultant biznesowy
2132 | Policy administration professionals | Policy officers | policy officer; policy analyst; government adviser | | 
2133 | Personnel and careers professionals | HR specialists | HR specialist; recruiter; personnel officer; human resources specialist | headhunter | rekruter
2134 | Training and staff development professionals | Training specialists | training specialist; staff development officer | | 
2135 | Advertising and marketing professionals | Marketing specialists | marketing specialist; advertising specialist; market researcher; brand manager | | marketingowiec
2136 | Public relations professionals | PR specialists | public relations officer; PR specialist; press officer; spokesperson | | rzecznik prasowy
2137 | Technical and medical sales professionals | Technical sales professionals | sales engineer; medical representative; technical sales representative | | przedstawiciel medyczny
2138 | ICT sales professionals | ICT sales | ICT sales specialist; software sales representative | | 
2139 | Administration professionals not elsewhere classified | Other administration professionals | project coordinator; quality manager; compliance officer | | 
2140 | Social science and language professionals | Social scientists
2141 | Philosophers | Philosophers | philosopher; ethicist | | filozof
2142 | Geographers | Geographers | geographer; regional scientist | | geograf
2144 | Sociologists and anthropologists | Sociologists | sociologist; anthropologist; ethnographer | | socjolog
2145 | Historians and political scientists | Historians | historian; political scientist | | historyk; politolog
2146 | Archaeologists | Archaeologists | archaeologist; prehistorian | | archeolog
2147 | Translators, interpreters and linguists | Translators | translator; interpreter; linguist; sworn translator | | tłumacz; tłumaczka
2149 | Social science professionals not elsewhere classified | Other social scientists | criminologist; survey methodologist | | 
2300 | Cultural and communication professionals | Cultural professionals
2320 | Authors, journalists, librarians and artists | Writers and artists
2321 | Authors and writers | Writers | writer; author; novelist; poet; screenwriter; copywriter | | pisarz; poeta
2322 | Journalists | Journalists | journalist; reporter; correspondent; news editor | | dziennikarz; dziennikarka
2323 | Editors | Editors | editor; publishing editor; copy editor | | redaktor
2324 | Archivists and curators | Archivists | archivist; curator; museum curator | | archiwista; kustosz
2325 | Librarians | Librarians | librarian; information specialist | | bibliotekarz; bibliotekarka
2326 | Visual artists | Visual artists | artist; painter artist; sculptor; visual artist; ceramic artist | | artysta; rzeźbiarz
2327 | Musicians, singers and composers | Musicians | musician; singer; composer; conductor; organist; pianist; violinist | | muzyk; śpiewak
2328 | Dancers and choreographers | Dancers | dancer; choreographer; ballet dancer | | tancerz; tancerka
2330 | Performing and media professionals | Performing artists
2331 | Actors | Actors | actor; actress | | aktor; aktorka
2332 | Film, stage and related directors and producers | Directors and producers | film director; theatre director; producer; stage manager | | reżyser
2333 | Announcers on radio and television | Announcers | announcer; presenter; newsreader; radio host | | prezenter; spiker
2339 | Creative and performing artists not elsewhere classified | Other artists | clown; magician; circus artist; acrobat; puppeteer | | akrobata; iluzjonista
3000 | Technicians and associate professionals | Technicians
3100 | Science, engineering and ICT associate professionals | Science and engineering technicians
3110 | Physical and engineering science technicians | Engineering technicians
3111 | Chemical and physical science technicians | Laboratory technicians | laboratory technician; lab assistant; chemistry technician | | laborant
3112 | Civil engineering technicians | Civil engineering technicians | civil engineering technician; building technician; construction technician | | technik budownictwa
3113 | Electrical engineering technicians | Electrical technicians | electrical technician; electrical engineering technician | | technik elektryk
3114 | Electronics engineering technicians | Electronics technicians | electronics technician; electronic engineering technician | | technik elektronik
3115 | Mechanical engineering technicians | Mechanical technicians | mechanical technician; mechanical engineering technician | | technik mechanik
3116 | Chemical engineering technicians | Chemical technicians | chemical technician; process technician | | technik chemik
3117 | Mining and metallurgical technicians | Mining technicians | mining technician; metallurgical technician | | technik górnictwa
3118 | Draughtspersons | Draughtspersons | draughtsman; draftsman; CAD technician; technical drawer | | kreślarz
3119 | Engineering technicians not elsewhere classified | Other engineering technicians | quality inspector; safety technician; energy auditor | | 
3120 | ICT, broadcasting and medical equipment technicians | ICT technicians
3121 | ICT operations technicians | ICT operations technicians | computer operator; ICT operations technician; data centre technician | | 
3122 | ICT user support technicians | Help desk technicians | help desk technician; IT support technician; computer technician | | informatyk | Answer users' questions about computers and software and solve their problems.
3123 | Computer network and systems technicians | Network technicians | network technician; systems technician | | 
3124 | Web technicians | Web technicians | web technician; webmaster; site administrator | | 
3126 | Broadcasting and audio-visual technicians | Broadcast technicians | sound technician; camera operator; broadcasting technician; lighting technician | | operator kamery; akustyk
3128 | Medical equipment technicians | Medical equipment technicians | medical equipment technician; biomedical technician | | 
3129 | Telecommunications technicians | Telecom technicians | telecommunications technician; telecom technician | | technik telekomunikacji
3130 | Process control technicians | Process control technicians
3131 | Power production plant operators | Power plant operators | power plant operator; power station operator; nuclear plant operator | | 
3132 | Chemical processing plant controllers | Chemical plant controllers | chemical plant controller; refinery operator; process controller | | 
3140 | Ship and aircraft controllers and technicians | Ship and aircraft officers
3142 | Ships' engineers and deck officers | Ship officers | ship captain; ship engineer; marine engineer; deck officer; navigator | ship master | kapitan statku; oficer pokładowy
3143 | Aircraft pilots | Pilots | pilot; airline pilot; aircraft pilot; co-pilot; helicopter pilot | | pilot samolotu
3149 | Air traffic controllers and aircraft technicians | Air traffic controllers | air traffic controller; flight dispatcher; aircraft technician | | kontroler ruchu lotniczego
3150 | Health associate professionals | Health associate professionals
3151 | Medical imaging technicians | Radiographers | radiographer; X-ray technician; sonographer; medical imaging technician | | technik radiolog
3152 | Medical laboratory technicians | Medical lab technicians | medical laboratory technician; biomedical scientist; phlebotomist | | diagnosta laboratoryjny
3153 | Pharmaceutical technicians | Pharmacy technicians | pharmacy technician; pharmaceutical technician; pharmacy assistant | | technik farmaceutyczny
3154 | Dental assistants and hygienists | Dental assistants | dental assistant; dental hygienist; dental technician | | asystentka stomatologiczna; higienistka
3155 | Masseurs and physiotherapy technicians | Masseurs | massage therapist; masseur; physiotherapy assistant | | masażysta
3156 | Opticians | Opticians | optician; dispensing optician | | optyk
3157 | Ambulance workers | Ambulance workers | ambulance worker; ambulance driver; first aider | | sanitariusz
3159 | Health associate professionals not elsewhere classified | Other health associates | medical assistant; health inspector; sanitary inspector | | 
3160 | Finance and sales associate professionals | Finance associates
3161 | Securities and finance dealers and brokers | Stockbrokers | stockbroker; securities dealer; trader; broker | | makler
3162 | Credit and loans officers | Loan officers | loan officer; credit officer; mortgage adviser | | doradca kredytowy
3163 | Insurance representatives | Insurance agents | insurance agent; insurance broker; insurance representative | | agent ubezpieczeniowy
3169 | Valuers and loss assessors | Valuers | valuer; appraiser; loss adjuster; assessor | | rzeczoznawca
3170 | Real estate agents and property managers | Estate agents
3171 | Real estate agents | Real estate agents | real estate agent; estate agent; realtor | | pośrednik nieruchomości
3172 | Property managers | Property managers | property manager; building manager; housing manager | | zarządca nieruchomości
3180 | Agricultural and veterinary technicians | Agricultural technicians
3181 | Agricultural technicians | Agricultural technicians | agricultural technician; farm adviser; agronomy technician | | technik rolnik
3182 | Forestry technicians | Forestry technicians | forestry technician; forest ranger | | technik leśnik
3183 | Veterinary technicians and assistants | Veterinary technicians | veterinary technician; veterinary nurse; veterinary assistant | | technik weterynarii
3190 | Inspectors and safety technicians | Inspectors
3191 | Fire inspectors | Fire inspectors | fire inspector; fire safety officer | | 
3192 | Occupational health and safety inspectors | Safety inspectors | health and safety officer; safety inspector; occupational safety specialist | | specjalista BHP
3193 | Environmental and quality technicians | Environmental technicians | environmental technician; quality controller; water quality technician | | 
3200 | Legal, social, cultural and related associate professionals | Legal and cultural associates
3210 | Legal, social and religious associate professionals | Legal and social associates
3211 | Police inspectors and detectives | Detectives | detective; police inspector; investigator; private detective | | detektyw; komisarz
3212 | Social work associate professionals | Social work associates | social work assistant; community worker; family assistant | | asystent rodziny
3213 | Religious associate professionals | Religious associates | monk; nun; deacon; catechist; missionary | | zakonnica; zakonnik; katecheta
3214 | Legal secretaries and paralegals | Paralegals | paralegal; legal secretary; legal assistant | | aplikant
3220 | Sports and fitness workers | Sports workers
3221 | Athletes and sports players | Athletes | athlete; footballer; sportsman; cyclist; jockey | | sportowiec; piłkarz
3222 | Sports coaches and officials | Coaches | coach; sports coach; referee; umpire | | trener; sędzia sportowy
3223 | Fitness and recreation instructors | Fitness instructors | fitness instructor; personal trainer; ski instructor; swimming instructor | | instruktor fitness
3230 | Artistic, cultural and culinary associate professionals | Artistic associates
3231 | Photographers | Photographers | photographer; photojournalist | | fotograf
3232 | Interior designers and decorators | Interior designers | interior designer; window dresser; set decorator | | dekorator wnętrz
3233 | Gallery, museum and library technicians | Museum technicians | museum technician; gallery technician; conservator; restorer | | konserwator zabytków
3234 | Chefs | Chefs | chef; head chef; sous chef; pastry chef | | szef kuchni | Plan menus, run the kitchen of a restaurant or hotel and prepare dishes themselves.
3239 | Artistic and cultural associates not elsewhere classified | Other artistic associates | tattoo artist; make-up artist; stage designer | | 
3240 | Government regulatory associate professionals | Government inspectors
3241 | Customs and border inspectors | Customs officers | customs officer; border guard; customs inspector | | celnik; strażnik graniczny
3242 | Tax and excise officials | Tax officials | tax inspector; tax officer; excise officer | | urzędnik skarbowy
3243 | Social benefits officials | Benefits officials | benefits officer; pension officer; social insurance officer | | 
3244 | Licensing and inspection officials | Government inspectors | building inspector; labour inspector; food inspector; licensing officer | | inspektor pracy; inspektor budowlany
3300 | Administrative associate professionals | Administrative associates
3310 | Office supervisors | Office supervisors
3311 | Administrative office supervisors | Office supervisors | office supervisor; office manager; chief clerk | | kierownik biura
3312 | Records supervisors | Records supervisors | records supervisor; registry supervisor | | 
3320 | Administrative and executive secretaries | Executive secretaries
3321 | Executive secretaries and personal assistants | Executive secretaries | executive secretary; personal assistant; executive assistant | | asystentka zarządu
3322 | Medical secretaries | Medical secretaries | medical secretary; medical receptionist | | rejestratorka medyczna
3330 | Business services agents | Business services agents
3331 | Travel consultants | Travel consultants | travel consultant; tour operator; travel agent | | 
3332 | Employment agents | Employment agents | employment agent; job broker; labour contractor | | pośrednik pracy
3333 | Conference and event planners | Event planners | event planner; conference organiser; wedding planner | | 
3334 | Purchasing agents | Buyers | buyer; purchasing agent; procurement officer | | zaopatrzeniowiec
3400 | Sales and trade agents and brokers | Trade agents
3410 | Trade brokers and auctioneers | Trade brokers
3411 | Trade brokers | Trade brokers | trade broker; commodity broker; shipbroker | | 
3412 | Auctioneers | Auctioneers | auctioneer | | licytator
3420 | Commercial sales representatives | Sales representatives
3421 | Sales representatives | Sales representatives | sales representative; sales agent; commercial traveller; account manager | | przedstawiciel handlowy
3422 | Advertising agents | Advertising agents | advertising agent; media buyer; advertising sales agent | | 
4000 | Clerical support workers | Clerks
4100 | General and keyboard clerks | General clerks
4130 | Office clerks | Office clerks
4131 | General office clerks | Office clerks | clerk; office clerk; administrative assistant; office worker; administrative clerk | | urzędnik; urzędniczka; pracownik biurowy | Record, prepare, sort and file information and do the general work of an office.
4132 | Secretaries | Secretaries | secretary; school secretary; office secretary | | sekretarka
4133 | Typists and word processing operators | Typists | typist; word processor operator; stenographer | | maszynistka
4134 | Data entry clerks | Data entry clerks | data entry clerk; data entry operator | | 
4135 | Filing and copying clerks | Filing clerks | filing clerk; copying clerk; registry clerk | | 
4200 | Customer services clerks | Customer services clerks
4210 | Tellers and money collectors | Tellers
4211 | Bank tellers and cashiers | Bank tellers | bank teller; bank clerk; post office clerk; bureau de change clerk | | kasjer bankowy
4212 | Debt collectors and pawnbrokers | Debt collectors | debt collector; bill collector; pawnbroker | | windykator
4220 | Client information workers | Client information workers
4221 | Travel agency clerks | Travel agency clerks | travel clerk; ticket agent; booking clerk | | kasjer biletowy
4222 | Receptionists | Receptionists | receptionist; hotel receptionist; front desk clerk | | recepcjonistka
4229 | Call centre and enquiry clerks | Call centre clerks | call centre agent; telephone operator; telemarketer; information clerk | | konsultant telefoniczny
4230 | Survey and market research interviewers | Interviewers
4231 | Survey interviewers | Survey interviewers | interviewer; survey interviewer; census enumerator; pollster | | ankieter; ankieterka
4232 | Market research interviewers | Market research interviewers | market research interviewer; mystery shopper | | 
4300 | Numerical and material recording clerks | Recording clerks
4310 | Numerical clerks | Numerical clerks
4311 | Bookkeeping clerks | Bookkeepers | bookkeeper; bookkeeping clerk; accounts clerk; accounting clerk | | rachmistrz; referent księgowy
4312 | Payroll clerks | Payroll clerks | payroll clerk; wages clerk | | płacowa
4320 | Material recording and transport clerks | Material clerks
4321 | Stock clerks | Stock clerks | storekeeper; stock clerk; warehouse clerk; stores clerk | | magazynier
4322 | Transport clerks | Transport clerks | dispatcher; transport clerk; freight clerk; traffic clerk | | dyspozytor; spedytor
4330 | Production and logistics clerks | Logistics clerks
4331 | Production clerks | Production clerks | production clerk; production planning clerk | | 
4332 | Purchasing clerks | Purchasing clerks | purchasing clerk; order clerk | | 
4334 | Shipping clerks | Shipping clerks | shipping clerk; dock clerk; customs clerk | | 
4335 | Statistical and insurance clerks | Statistical clerks | statistical clerk; insurance clerk; claims clerk | | 
4339 | Recording clerks not elsewhere classified | Other recording clerks | checker; tally clerk; weighbridge clerk | | 
4400 | Other clerical support workers | Other clerks
4410 | Library and archive clerks | Library clerks
4411 | Library assistants | Library assistants | library assistant; library clerk | | 
4412 | Archive clerks | Archive clerks | archive clerk; documentation clerk | | 
4420 | Mail carriers and sorting clerks | Mail carriers
4421 | Mail carriers | Postmen | postman; postwoman; mail carrier; letter carrier | | listonosz
4422 | Mail sorting clerks | Mail sorters | mail sorter; sorting clerk; post room clerk | | 
4500 | Coding, proofreading and related clerks | Coding clerks
4510 | Coding and proofreading clerks | Coding clerks
4511 | Coding clerks | Coding clerks | coding clerk; coder | | koder
4512 | Proofreaders | Proofreaders | proofreader; copy reader | | korektor
4513 | Scribes and related workers | Scribes | scribe; letter writer | | 
4600 | Personnel and administrative clerks | Administrative clerks
4610 | Personnel and public administration clerks | Personnel clerks
4611 | Personnel clerks | Personnel clerks | personnel clerk; HR assistant; human resources clerk | | kadrowa
4612 | Public administration clerks | Public administration clerks | municipal clerk; court clerk; government clerk; registry office clerk | | referent
5000 | Service and craft workers | Service and craft workers
5100 | Personal and protective service workers | Personal and protective services
5110 | Travel attendants and guides | Travel attendants
5111 | Flight attendants and stewards | Flight attendants | flight attendant; steward; stewardess; cabin crew | | stewardesa
5112 | Transport conductors | Conductors | conductor train; ticket inspector; bus conductor | | konduktor
5113 | Tour guides | Tour guides | tour guide; travel guide; mountain guide | | przewodnik
5120 | Personal care workers | Personal care workers
5121 | Child care workers | Child care workers | child care worker; nursery assistant; childminder | | opiekunka dziecięca
5122 | Care workers in institutions | Institutional carers | care worker; care assistant; orderly | | opiekun
5130 | Other personal services workers | Other personal services
5131 | Undertakers and funeral workers | Undertakers | undertaker; funeral director; embalmer; gravedigger | | grabarz; przedsiębiorca pogrzebowy
5132 | Animal care and pet service workers | Pet service workers | dog groomer; pet groomer; dog walker; kennel worker | | 
5133 | Astrologers and fortune tellers | Fortune tellers | astrologer; fortune teller | | wróżka
5160 | Protective service workers | Protective service workers
5161 | Firefighters | Firefighters | firefighter; fireman; fire officer | | strażak
5162 | Police officers | Police officers | police officer; policeman; policewoman; constable; police | | policjant; policjantka | Keep public order, enforce the law and prevent and investigate crime.
5163 | Prison guards | Prison guards | prison guard; prison officer; warder | | strażnik więzienny
5164 | Security guards | Security guards | security guard; guard; security officer; bodyguard; doorman | | ochroniarz; pracownik ochrony | Guard property against theft and damage and control who enters a building or site.
5165 | Watchmen and car park attendants | Watchmen | watchman; night watchman; car park attendant; caretaker | | stróż; dozorca
5200 | Craft and related trades workers | Craft workers
5210 | Building frame workers | Building frame workers
5211 | Bricklayers and stonemasons | Bricklayers | bricklayer; mason; stonemason | | murarz; kamieniarz
5212 | Carpenters and joiners | Carpenters | carpenter; joiner; formwork carpenter; shipwright | | cieśla; stolarz budowlany | Cut, shape and fit wooden structures and fittings on building sites and in workshops.
5213 | Concrete workers and steel fixers | Concrete workers | builder; concrete worker; steel fixer; construction worker | | betoniarz; zbrojarz
5214 | Scaffolders | Scaffolders | scaffolder; rigger scaffolding | | rusztowaniowiec
5215 | Demolition workers | Demolition workers | demolition worker; blaster | | 
5220 | Building finishers | Building finishers
5221 | Roofers | Roofers | roofer; roof tiler; thatcher | | dekarz
5222 | Floor layers and tile setters | Floor layers | floor layer; tiler; parquet layer | | glazurnik; posadzkarz
5223 | Plasterers | Plasterers | plasterer; drywall installer | | tynkarz
5224 | Insulation workers | Insulation workers | insulation worker; insulator | | izolator
5225 | Glaziers | Glaziers | glazier; window fitter | | szklarz
5226 | Plumbers and pipe fitters | Plumbers | plumber; pipe fitter; gas fitter; heating installer | | hydraulik | Install and repair water, gas, heating and drainage pipes and fittings.
5227 | Painters and decorators | Painters | painter; house painter; decorator; wallpaperer; car painter | | malarz; lakiernik
5228 | Chimney sweeps | Chimney sweeps | chimney sweep | | kominiarz
5230 | Metal workers | Metal workers
5231 | Welders | Welders | welder; flame cutter; solderer | | spawacz | Join metal parts by welding, brazing or soldering, by hand or with machines.
5232 | Sheet metal workers | Sheet metal workers | sheet metal worker; tinsmith; coppersmith | | blacharz
5233 | Structural metal workers | Structural metal workers | structural metal worker; steel erector; rigger | | monter konstrukcji
5234 | Blacksmiths and forge workers | Blacksmiths | blacksmith; forge worker; farrier | | kowal
5235 | Toolmakers | Toolmakers | toolmaker; die maker; pattern maker | | narzędziowiec
5236 | Machine tool setters and operators | Machinists | machinist; turner; lathe operator; CNC operator; milling operator | | tokarz; frezer
5237 | Metal polishers and grinders | Metal polishers | metal polisher; grinder; tool sharpener | | szlifierz
5240 | Machinery mechanics and repairers | Mechanics
5241 | Motor vehicle mechanics | Car mechanics | mechanic; car mechanic; motor mechanic; auto mechanic; garage mechanic | | mechanik samochodowy | Repair and service the engines and other parts of cars, vans and lorries.
5242 | Aircraft engine mechanics | Aircraft mechanics | aircraft mechanic; aircraft engine mechanic | | mechanik lotniczy
5243 | Agricultural machinery mechanics | Agricultural mechanics | agricultural mechanic; tractor mechanic | | mechanik maszyn rolniczych
5244 | Bicycle repairers | Bicycle repairers | bicycle repairer; bike mechanic | | 
5245 | Industrial machinery mechanics | Industrial mechanics | industrial mechanic; maintenance fitter; millwright; fitter | | ślusarz; mechanik maszyn
5246 | Locksmiths | Locksmiths | locksmith; key cutter | | 
5247 | Watchmakers and precision instrument makers | Watchmakers | watchmaker; clockmaker; precision instrument maker | | zegarmistrz
5248 | Ship and boat mechanics | Marine mechanics | marine mechanic; boat mechanic | | 
5249 | Mechanics not elsewhere classified | Other mechanics | lift mechanic; elevator mechanic; refrigeration mechanic | | mechanik
5250 | Electrical and electronics trades workers | Electrical workers
5251 | Building electricians | Electricians | electrician; building electrician; electrical installer | | elektryk | Install and repair electrical wiring, fixtures and equipment in buildings.
5252 | Electrical fitters | Electrical fitters | electrical fitter; electric motor repairer; electrical mechanic | | elektromonter
5253 | Electronics servicers | Electronics servicers | electronics repairer; TV repairer; computer repairer; electronics servicer | | elektronik; serwisant
5254 | Electric line installers | Line installers | line installer; lineman; cable jointer | | monter linii
5255 | Telecommunications installers | Telecom installers | telecommunications installer; telephone installer; satellite installer | | 
5256 | Solar and heat pump installers | Solar installers | solar panel installer; heat pump installer | | instalator fotowoltaiki
5260 | Handicraft and printing workers | Handicraft workers
5261 | Jewellers and goldsmiths | Jewellers | jeweller; goldsmith; silversmith | | jubiler; złotnik
5262 | Potters and glass makers | Potters | potter; glass maker; glass blower | | garncarz
5263 | Printers | Printers | printer; printing press operator; typesetter | | drukarz
5264 | Bookbinders | Bookbinders | bookbinder | | introligator
5265 | Sign writers and engravers | Sign writers | sign writer; engraver; decorative painter | | grawer
5266 | Musical instrument makers | Instrument makers | instrument maker; piano tuner; violin maker | | lutnik; stroiciel
5267 | Basket makers and weavers | Basket makers | basket maker; handloom weaver; rug maker | | wikliniarz
5270 | Food processing trades workers | Food processing trades
5271 | Butchers and fishmongers | Butchers | butcher; meat cutter; slaughterer; fishmonger | | rzeźnik; masarz | Slaughter animals, cut, trim and prepare meat and fish for sale.
5272 | Bakers and confectioners | Bakers | baker; confectioner; pastry cook | | piekarz; cukiernik | Make bread, cakes, pastries and sweets, by hand or with machines.
5273 | Chocolate and sugar confectionery makers | Chocolate makers | chocolatier; sweet maker | | 
5274 | Dairy products makers | Dairy workers | dairy worker; cheese maker; butter maker | | mleczarz; serowar
5275 | Fruit and vegetable preservers | Food preservers | food preserver; canner; jam maker | | przetwórca
5276 | Food and beverage tasters and graders | Tasters | taster; wine taster; food grader | | 
5277 | Tobacco preparers | Tobacco workers | tobacco worker; cigar maker | | 
5278 | Fish processors | Fish processors | fish processor; fish filleter; fish smoker | | 
5279 | Food processing workers not elsewhere classified | Other food processing | brewer; distiller; miller | | piwowar; młynarz
5280 | Wood, garment and leather trades workers | Wood and garment trades
5281 | Cabinet makers | Cabinet makers | cabinet maker; furniture maker; woodworker | | stolarz; meblarz
5282 | Wood carvers and coopers | Wood carvers | wood carver; cooper; wheelwright | | snycerz; bednarz
5283 | Tailors and dressmakers | Tailors | tailor; dressmaker; seamstress; sewer | | krawiec; krawcowa; szwaczka
5284 | Upholsterers | Upholsterers | upholsterer; mattress maker | | tapicer
5285 | Shoemakers | Shoemakers | shoemaker; cobbler; shoe repairer | | szewc
5286 | Leather workers and saddlers | Leather workers | leather worker; saddler; tanner | | rymarz; garbarz
5287 | Pattern cutters | Pattern cutters | pattern cutter; garment cutter | | krojczy
5288 | Milliners and furriers | Milliners | milliner; hatter; furrier | | kapelusznik; kuśnierz
5289 | Embroiderers and sewers by hand | Embroiderers | embroiderer; lace maker | | hafciarka
5290 | Personal service and catering trades | Personal and catering services
5291 | Hairdressers and barbers | Hairdressers | hairdresser; barber; hair stylist | | fryzjer; fryzjerka | Cut, colour and style hair and trim beards in salons and barber shops.
5292 | Beauticians | Beauticians | beautician; cosmetician; manicurist; nail technician | | kosmetyczka
5293 | Cooks | Cooks | cook; kitchen cook; canteen cook; short order cook | | kucharz; kucharka | Prepare and cook meals in restaurants, canteens, hospitals and private homes.
5294 | Cooks' assistants and sandwich makers | Food preparers | food preparer; sandwich maker; pizza maker | | pizzaiolo
5295 | Sauna and spa attendants | Spa attendants | spa attendant; sauna attendant; bath attendant | | 
5296 | Building caretakers and housekeeping supervisors | Housekeepers | housekeeping supervisor; head housekeeper; concierge | | gospodarz domu
5297 | Bar and cafe staff | Bar staff | bartender; barman; barmaid; barista | | barman; barmanka
5299 | Waiters | Waiters | waiter; waitress; wine waiter; head waiter | | kelner; kelnerka | Serve food and drinks to guests in restaurants, cafes, hotels and at events.
5300 | Cleaners and helpers | Cleaners
5310 | Domestic cleaners and helpers | Domestic cleaners
5311 | Domestic cleaners | Domestic cleaners | domestic cleaner; housekeeper; maid; cleaner | | sprzątaczka; pomoc domowa | Clean private homes and do the laundry, ironing and other housework.
5312 | Nannies and babysitters | Nannies | nanny; au pair; babysitter | | niania; opiekunka do dziecka
5313 | Home care workers | Home carers | home care worker; carer; personal care assistant | | opiekunka osób starszych
5320 | Office, hotel and other establishment cleaners | Office cleaners
5321 | Office cleaners | Office cleaners | office cleaner; cleaning lady; janitor | | 
5322 | Hotel cleaners | Hotel cleaners | chambermaid; room attendant; hotel cleaner | | pokojówka
5323 | Hospital and school cleaners | Hospital cleaners | hospital cleaner; school cleaner; hospital porter | | salowa
5330 | Other cleaning workers | Other cleaners
5331 | Vehicle cleaners | Vehicle cleaners | car washer; vehicle cleaner; car valet | | 
5332 | Window cleaners | Window cleaners | window cleaner; facade cleaner | | 
6000 | Agricultural workers and machine operators | Agriculture and operators
6100 | Skilled agricultural, forestry and fishery workers | Skilled agricultural workers
6150 | Farmers and growers | Farmers
6151 | Field crop farmers | Crop farmers | farmer; crop farmer; grain farmer; arable farmer | | rolnik | Grow wheat, maize, potatoes, sugar beet and other field crops for sale.
6152 | Vegetable and fruit growers and gardeners | Gardeners | gardener; market gardener; vegetable grower; fruit grower; horticulturist | | ogrodnik; sadownik
6153 | Livestock farmers | Livestock farmers | livestock farmer; dairy farmer; cattle breeder; pig farmer; poultry farmer; shepherd | | hodowca
6154 | Mixed crop and animal farmers | Mixed farmers | mixed farmer; smallholder; farm owner | | gospodarz; rolnik indywidualny
6159 | Farmers not elsewhere classified | Other farmers | beekeeper; mushroom grower; vineyard owner; horse breeder | | pszczelarz; winiarz
6160 | Forestry, fishery and hunting workers | Forestry and fishery workers
6161 | Forestry workers | Forestry workers | forestry worker; lumberjack; tree feller; tree surgeon | | drwal; robotnik leśny
6162 | Fishermen | Fishermen | fisherman; deep sea fisherman; fish farmer | | rybak
6163 | Hunters and trappers | Hunters | hunter; trapper; gamekeeper | | myśliwy; łowczy
6300 | Agricultural and construction labourers | Labourers
6310 | Labourers in agriculture and construction | Labourers
6311 | Farm labourers | Farm labourers | farm labourer; farm worker; farmhand; seasonal worker; fruit picker | | robotnik rolny
6313 | Construction labourers | Construction labourers | labourer; construction labourer; building labourer; road worker; hod carrier | | robotnik budowlany; pomocnik murarza
6314 | Tractor and farm machine operators | Tractor drivers | tractor driver; combine harvester operator; farm machine operator | | traktorzysta; kombajnista
6400 | Plant and machine operators and assemblers | Plant and machine operators
6410 | Stationary plant operators | Plant operators
6411 | Mining and quarry plant operators | Miners | miner; coal miner; quarry worker; shotfirer | | górnik | Extract coal, ore and stone from mines and quarries with hand tools and machines.
6412 | Metal processing plant operators | Metal plant operators | steelworker; furnace operator; foundry worker; metal caster | | hutnik; odlewnik
6413 | Chemical products machine operators | Chemical machine operators | chemical operator; pharmaceutical machine operator | | 
6414 | Rubber and plastic products machine operators | Plastics machine operators | plastics operator; injection moulder; rubber worker | | 
6415 | Textile machine operators | Textile operators | textile operator; weaver; spinner; knitter; sewing machine operator | | tkacz; prządka
6416 | Food products machine operators | Food machine operators | food machine operator; bottling operator; meat processing operator | | 
6420 | Other machine operators | Other machine operators
6421 | Wood processing machine operators | Wood machine operators | sawmill operator; sawyer; wood machinist | | tracz
6422 | Packing and labelling machine operators | Packing machine operators | packer; packing machine operator; labeller | | pakowacz
6430 | Assemblers | Assemblers
6431 | Mechanical assemblers | Mechanical assemblers | assembler; mechanical assembler; assembly line worker; production worker | | monter
6432 | Electrical and electronic assemblers | Electronic assemblers | electronic assembler; electrical assembler; circuit board assembler | | 
6440 | Railway engine drivers and related workers | Railway workers
6441 | Locomotive engine and tram drivers | Train drivers | train driver; engine driver; locomotive driver; tram driver | | maszynista; motorniczy
6442 | Railway brake and signal operators | Railway operators | signalman; shunter; brakeman; railway worker | | dróżnik; manewrowy
6450 | Motor vehicle drivers | Drivers
6451 | Car, taxi and van drivers | Car and taxi drivers | driver; taxi driver; car driver; chauffeur; van driver; delivery driver | | kierowca; taksówkarz | Drive cars, taxis and vans to carry passengers, mail or goods.
6452 | Bus drivers | Bus drivers | bus driver; coach driver | | kierowca autobusu
6453 | Heavy truck and lorry drivers | Truck drivers | truck driver; lorry driver; HGV driver; tanker driver | | kierowca ciężarówki
6460 | Mobile plant operators | Mobile plant operators
6461 | Crane operators | Crane operators | crane operator; crane driver; hoist operator | | operator dźwigu; dźwigowy
6462 | Forklift truck operators | Forklift operators | forklift operator; forklift driver | | wózkowy; operator wózka widłowego
6463 | Earthmoving plant operators | Earthmoving operators | excavator operator; bulldozer operator; digger driver | | operator koparki
6470 | Ships' deck crews | Deck crews
6471 | Deckhands | Deckhands | deckhand; ordinary seaman; boatswain | | marynarz pokładowy
6472 | Boatmen and ferrymen | Boatmen | boatman; ferryman; barge operator | | flisak
7000 | Sales and elementary service workers | Sales and elementary workers
7100 | Sales workers | Sales workers
7110 | Shop salespersons | Shop salespersons
7111 | Shop sales assistants | Shop assistants | salesperson; shop assistant; sales assistant; salesman; saleswoman; shop clerk | | sprzedawca; sprzedawczyni; ekspedientka | Sell goods in shops and department stores and advise customers.
7112 | Cashiers | Cashiers | cashier; checkout operator; till operator | | kasjer; kasjerka
7113 | Shopkeepers | Shopkeepers | shopkeeper; stallholder; kiosk owner | | sklepikarz
7114 | Petrol station attendants | Petrol station attendants | petrol station attendant; gas station attendant | | 
7115 | Sales demonstrators | Demonstrators | sales demonstrator; promoter; merchandiser | | hostessa
7120 | Street and door-to-door salespersons | Street vendors
7121 | Street and market vendors | Street vendors | street vendor; market trader; hawker; peddler | | handlarz; straganiarz
7122 | Door-to-door and telephone salespersons | Door-to-door sellers | door-to-door salesman; telesales operator | | akwizytor
7123 | Food service counter attendants | Counter attendants | counter attendant; fast food worker; food server | | 
7300 | Elementary service workers | Elementary workers
7310 | Kitchen helpers | Kitchen helpers | kitchen helper; dishwasher; kitchen porter; kitchen assistant | | pomoc kuchenna; zmywak
7320 | Refuse workers and street sweepers | Refuse workers | refuse collector; garbage collector; street sweeper; recycling worker | | śmieciarz; zamiatacz
7330 | Messengers and couriers | Couriers | courier; messenger; delivery man; bike courier | | kurier; goniec
7340 | Porters and loaders | Porters | porter; loader; warehouse worker; removal worker; docker | | tragarz; ładowacz
7350 | Odd-job and maintenance workers | Handymen | handyman; odd-job man; maintenance worker | | złota rączka; konserwator
7360 | Meter readers and vending machine collectors | Meter readers | meter reader; vending machine collector | | inkasent
7390 | Elementary workers not elsewhere classified | Other elementary workers | helper; unskilled worker; general labourer; manual worker | | pomocnik; robotnik
8000 | Armed forces occupations | Armed forces
8100 | Commissioned armed forces officers | Officers
8110 | Commissioned officers | Commissioned officers
8112 | Generals and admirals | Generals | general; admiral; brigadier | | generał; admirał
8113 | Senior officers | Senior officers | colonel; lieutenant colonel; major | | pułkownik; major
8114 | Junior officers | Junior officers | captain; lieutenant; second lieutenant; army officer; officer | | porucznik; kapitan; oficer
8116 | Naval officers | Naval officers | naval officer; navy officer | | oficer marynarki
8118 | Air force officers | Air force officers | air force officer; military pilot; fighter pilot | | pilot wojskowy
8400 | Non-commissioned officers and other ranks | Other ranks
8410 | Non-commissioned officers and soldiers | Soldiers
8411 | Non-commissioned officers | NCOs | sergeant; corporal; warrant officer; non-commissioned officer | | sierżant; kapral; chorąży
8412 | Soldiers | Soldiers | soldier; private soldier; infantryman; rifleman; professional soldier; army | | żołnierz; szeregowy | Serve in the army in the ranks below non-commissioned officers.
8413 | Sailors | Sailors | sailor; seaman; navy rating | | marynarz
8414 | Military police | Military police | military policeman; military police | | żandarm
8415 | Military engineers and sappers | Sappers | sapper; combat engineer | | saper
8416 | Military medics | Military medics | military medic; army medic; combat medic | | sanitariusz wojskowy
8417 | Military signallers | Signallers | signaller; military radio operator | | łącznościowiec
8418 | Military musicians | Military musicians | military musician; bandsman | | 
8419 | Armed forces occupations not elsewhere classified | Other armed forces | paratrooper; tank crewman; gunner; marine | | spadochroniarz; czołgista
8600 | Armed forces reservists and cadets | Reservists | reservist; cadet; military student; territorial soldier | | rezerwista; kadet; podchorąży
9000 | Special codes | Special codes
9100 | Occupations that cannot be classified | Not classifiable | unclassifiable; vague answer; unknown occupation; illegible | | nieczytelne | The answer is too vague or unreadable to be given a category.
9800 | Missing data | Missing data | missing; no answer; refused; don't know | | brak danych; odmowa | Use when the respondent gave no answer about the occupation.
9900 | Not applicable | Not applicable | not applicable; never worked; no occupation | | nie dotyczy | Use when the question did not apply to the respondent.
"""

# A few categories also get further, finer titles, to make the demo a realistic size.
# Each line: parent code | first free code digit | title; title; ...  The titles become leaves
# numbered from the given code on.
EXTRA = r"""
1240 | 1243 | Theologians; Religious education teachers; Chaplains; Marriage and family therapists; Youth workers; Probation workers
1250 | 1251 | Career advisers; Mediators; Ombudsman assistants; Consumer advisers; Debt advisers; Welfare rights advisers; Housing officers; Refugee advisers
1260 | 1261 | Archival researchers; Genealogists; Heritage officers; Records managers; Information brokers; Knowledge managers; Documentation specialists; Indexers
1270 | 1271 | Medical physicists; Clinical scientists; Epidemiologists; Public health specialists; Health economists; Medical statisticians; Biomedical researchers; Clinical research associates
2150 | 2151 | Civil service administrators; Diplomats; Consuls; Embassy attaches; Trade commissioners; Regional development officers; Grant managers; Election officers
2160 | 2161 | Advertising copywriters; Content writers; Technical writers; Speech writers; Bloggers; Social media managers; Community managers; Communication officers
2340 | 2341 | Fashion models; Photographic models; Voice actors; Stunt performers; Radio producers; Film editors; Sound designers; Lighting designers
3250 | 3251 | Wedding photographers; Florists; Floral designers; Window decorators; Gallery assistants; Picture framers; Antique dealers; Art handlers
3260 | 3261 | Library technicians; Records technicians; Conservation technicians; Planetarium technicians; Theatre technicians; Stage hands; Prop makers; Costume makers
3350 | 3351 | Legal clerks; Court reporters; Translators assistants; Patent clerks; Contract administrators; Tender officers; Claims handlers; Loss prevention officers
4140 | 4141 | Keyboard operators; Stenotypists; Transcribers; Subtitlers; Caption writers; Telex operators; Mail merge operators; Document scanners
4240 | 4241 | Hotel night auditors; Concierge clerks; Hospital admissions clerks; Ticket office clerks; Car rental clerks; Lottery sellers; Betting shop clerks; Casino cashiers
5140 | 5141 | Cleaning supervisors; School caretakers; Church wardens; Hostel wardens; Residence hall attendants; Lift attendants; Cloakroom attendants; Toilet attendants
5150 | 5151 | Catering supervisors; Canteen assistants; School meals staff; Banquet staff; Room service attendants; Buffet attendants; Caterers; Sommeliers
5350 | 5351 | Laundry workers; Dry cleaners; Ironers; Carpet cleaners; Pest controllers; Graffiti removers; Disinfectors; Pool cleaners
6170 | 6171 | Zoo keepers; Animal attendants; Grooms; Stable hands; Dog trainers; Horse trainers; Poultry workers; Shearers
6480 | 6481 | Mining machine operators; Tunnelling machine operators; Drilling rig operators; Road roller operators; Paving machine operators; Snowplough drivers; Street cleaning machine operators; Lift truck operators
7130 | 7131 | Rental salespersons; Car salespersons; Real estate sales assistants; Ticket sellers; Newspaper sellers; Flower sellers; Ice cream sellers; Vending machine sellers
7370 | 7371 | Car park attendants; Ushers; Ticket collectors; Cinema attendants; Museum attendants; Fairground workers; Amusement park attendants; Beach attendants
7380 | 7381 | Hand packers; Shelf fillers; Trolley collectors; Supermarket helpers; Warehouse pickers; Sorters; Recyclable sorters; Bottle collectors
"""

# Titles that a coder may type and the category each should find; written to KEYWORDS.txt.
KEYWORDS = [
    ("teacher", "1221"), ("primary teacher", "1222"), ("kindergarten teacher", "1223"),
    ("nurse", "1173"), ("midwife", "1174"), ("doctor", "1161"), ("surgeon", "1162"),
    ("dentist", "1163"), ("pharmacist", "1165"), ("lawyer", "1191"), ("judge", "1192"),
    ("architect", "1141"), ("civil engineer", "1121"), ("engineer", "1123"),
    ("programmer", "1133"), ("software developer", "1133"), ("accountant", "2121"),
    ("journalist", "2322"), ("librarian", "2325"), ("musician", "2327"),
    ("priest", "1241"), ("social worker", "1249"), ("psychologist", "1242"),
    ("manager", "0311"), ("shop manager", "0343"), ("hotel manager", "0341"),
    ("managing director", "0291"), ("business owner", "0293"), ("mayor", "0172"),
    ("clerk", "4131"), ("office clerk", "4131"), ("secretary", "4132"),
    ("receptionist", "4222"), ("bookkeeper", "4311"), ("storekeeper", "4321"),
    ("postman", "4421"), ("bank teller", "4211"), ("interviewer", "4231"),
    ("police officer", "5162"), ("firefighter", "5161"), ("security guard", "5164"),
    ("carpenter", "5212"), ("bricklayer", "5211"), ("plumber", "5226"),
    ("painter", "5227"), ("welder", "5231"), ("mechanic", "5241"),
    ("car mechanic", "5241"), ("electrician", "5251"), ("butcher", "5271"),
    ("baker", "5272"), ("tailor", "5283"), ("hairdresser", "5291"),
    ("cook", "5293"), ("chef", "3234"), ("waiter", "5299"), ("waitress", "5299"),
    ("cleaner", "5311"), ("farmer", "6151"), ("gardener", "6152"),
    ("farm worker", "6311"), ("labourer", "6313"), ("miner", "6411"),
    ("driver", "6451"), ("taxi driver", "6451"), ("bus driver", "6452"),
    ("truck driver", "6453"), ("train driver", "6441"), ("forklift driver", "6462"),
    ("salesperson", "7111"), ("shop assistant", "7111"), ("cashier", "7112"),
    ("soldier", "8412"), ("sergeant", "8411"), ("pilot", "3143"),
    ("kierowca", "6451"), ("pielęgniarka", "1173"), ("nauczyciel", "1221"),
    ("księgowa", "2121"), ("żołnierz", "8412"), ("ślusarz", "5245"),
]

# Last words of titles that do not name the occupation ("director general").
NOT_HEADS = {"general", "train", "bus", "navy", "military", "scaffolding", "furniture",
             "flour", "roof", "canteen"}

TEMPLATES = [
    "Includes {list}.",
    "Job titles: {list}.",
    "Occupations such as {list}.",
    "Typical titles are {list}.",
]


def parse_tree():
    cats = []
    for raw in TREE.strip().splitlines():
        parts = [p.strip() for p in raw.split("|")]
        parts += [""] * (7 - len(parts))
        code, name, short, kws, hidden, polish, note = parts[:7]
        split = lambda s: [w.strip() for w in s.split(";") if w.strip()]
        cats.append(dict(code=code, name=name, short=short, kws=split(kws),
                         hidden=split(hidden), polish=split(polish), note=note))
    for raw in EXTRA.strip().splitlines():
        parent, first, titles = [p.strip() for p in raw.split("|")]
        titles = [t.strip() for t in titles.split(";")]
        group = next((c for c in cats if c["code"] == parent), None)
        if group is None:
            cats.append(dict(code=parent, name=group_name(parent, titles), short="",
                             kws=[], hidden=[], polish=[], note=""))
        for i, title in enumerate(titles):
            code = "%04d" % (int(first) + i)
            words = title.lower()
            singular = words[:-1] if words.endswith("s") and not words.endswith("ss") else words
            cats.append(dict(code=code, name=title, short="", kws=[singular], hidden=[],
                             polish=[], note=""))
    cats.sort(key=lambda c: c["code"])
    return cats


def group_name(code, titles):
    names = {
        "1250": "Advisers and mediators",
        "1260": "Information and records professionals",
        "1270": "Medical science professionals",
        "2150": "Public administration and diplomacy professionals",
        "2160": "Communication and content professionals",
        "2340": "Media and performance specialists",
        "3250": "Decorative and art trade associates",
        "3260": "Cultural and stage technicians",
        "3350": "Legal and contract administration associates",
        "4140": "Keyboard and transcription operators",
        "4240": "Counter and admissions clerks",
        "5140": "Building and facility attendants",
        "5150": "Catering service workers",
        "5350": "Laundry, pest control and specialised cleaners",
        "6170": "Animal keepers and handlers",
        "6480": "Other mobile machine operators",
        "7130": "Other salespersons",
        "7370": "Attendants and ushers",
        "7380": "Packers, fillers and sorters",
    }
    return names[code]


def subordinate(a, b):
    i = 0
    while i < len(a) and i < len(b) and a[i] == b[i]:
        i += 1
    return all(c == "0" for c in a[i:])


def scale_codes():
    """The basic codes, read from the program's own table so the two cannot drift apart."""
    path = os.path.join(HERE, "..", "..", "..", "src", "core", "classification",
                        "scale_values.inc")
    codes = []
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith('{"'):
                codes.append(line[2:6])
    return codes


def wrap(first_prefix, text, width=78):
    lines = textwrap.wrap(text, width=width - len(first_prefix), break_long_words=False,
                          break_on_hyphens=False)
    out = [first_prefix + lines[0]]
    out += ["    " + l for l in lines[1:]]
    return out


def bracket_list(words):
    marked = ["[%s]" % w for w in words]
    if len(marked) == 1:
        return marked[0]
    return ", ".join(marked[:-1]) + " and " + marked[-1]


def description(cat, n):
    kws = cat["kws"]
    text = []
    if cat["note"]:
        text.append(cat["note"])
    text.append(TEMPLATES[n % len(TEMPLATES)].format(list=bracket_list(kws)))
    # Single words of multi-word titles, so that two typed words can meet in one category.
    singles = {w.lower() for w in kws if " " not in w}
    heads = []
    for w in kws:
        if " " in w:
            words = w.lower().split()
            head = words[words.index("of") - 1] if "of" in words else words[-1]
            if head not in singles and head not in heads and head not in NOT_HEADS:
                heads.append(head)
    hidden = cat["hidden"] + heads
    if hidden:
        text.append("{Also: %s.}" % ", ".join("[%s]" % w for w in hidden))
    if cat["polish"]:
        polish = ", ".join("[%s]" % w for w in cat["polish"])
        if n % 3 == 0:
            text.append("Polish: %s." % polish)
        else:
            text.append("{%s}" % polish)
    return " ".join(text)


def build():
    cats = parse_tree()
    codes = [c["code"] for c in cats]
    assert len(codes) == len(set(codes)), "repeated code"
    assert all(len(c) == 4 and c.isdigit() for c in codes), "bad code"
    missing = set(scale_codes()) - set(codes)
    assert not missing, "basic codes missing: %s" % sorted(missing)

    lines = list(PREAMBLE)
    keys = 0
    for i, cat in enumerate(cats):
        code = cat["code"]
        lowest = i + 1 == len(cats) or not subordinate(code, cats[i + 1]["code"])
        if not lowest:
            assert not cat["kws"], "key words on a group: " + code
        else:
            assert cat["kws"], "no key words: " + code
        marker = "#CM " if code == MISSING else "#CN " if code == NOT_APPLICABLE else "#C "
        lines.append(marker + code)
        name_lines = wrap("#N ", cat["name"], 60) if len(cat["name"]) > 52 else ["#N " + cat["name"]]
        lines += name_lines
        short = cat["short"] or cat["name"]
        lines.append(("#S=" if i % 2 else "#S ") + short)
        if lowest:
            lines += wrap("#D ", description(cat, i), 100)
            keys += len(cat["kws"])
    return cats, lines


def write_keywords(cats):
    by_code = {c["code"]: c for c in cats}
    out = [
        "# Job titles of the demo data and the code each should get when the coder types the",
        "# title (one or two words) into the key-word box. Windows-1250, tab between code and",
        "# title. Generated by tools/make_demo_clf.py together with demo.clf.",
    ]
    for title, code in KEYWORDS:
        assert code in by_code, code
        out.append("%s\t%s" % (code, title))
    data = "\r\n".join(out) + "\r\n"
    with open(os.path.join(HERE, "..", "KEYWORDS.txt"), "wb") as f:
        f.write(data.encode("cp1250"))


def main():
    cats, lines = build()
    data = "\r\n".join(lines) + "\r\n"
    with open(OUT, "wb") as f:
        f.write(data.encode("cp1250"))
    write_keywords(cats)
    print("%d categories, %d lines written to %s" % (len(cats), len(lines), os.path.normpath(OUT)))


if __name__ == "__main__":
    sys.exit(main())
