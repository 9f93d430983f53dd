#include "core/text/interface_texts.h"

#include <cstdio>

namespace tarnwick {

namespace {

const char* const kTexts[kUiTextSlots] = {
    /*   0 */ "TARNWICK 2009: kodowanie wed\xB3ug klasyfikacji ",
    /*   1 */ "Tarnwick: Coding occupations to Varden Classification of Occupations VKT-2009",
    /*   2 */ "Wr\xF3\xE6 do &kodowania",
    /*   3 */ "Return to &coding session",
    /*   4 */ "&Notatnik",
    /*   5 */ "&Notepad",
    /*   6 */ "&Raport",
    /*   7 */ "&Report",
    /*   8 */ "Otw\xF3rz &projekt",
    /*   9 */ "Open &project",
    /*  10 */ "&Opcje",
    /*  11 */ "&Options",
    /*  12 */ "&Znajd\x9F niezakodowane",
    /*  13 */ "&Find non-coded",
    /*  14 */ "&Zapisz wyniki",
    /*  15 */ "&Save results",
    /*  16 */ "&Informacja",
    /*  17 */ "&Info",
    /*  18 */
    "Zako\xF1"
    "cz &sesj\xEA",
    /*  19 */ "&Quit session",
    /*  20 */ "",
    /*  21 */ "",
    /*  22 */ "NAWIGACJA W PLIKU",
    /*  23 */ "FILE NAVIGATION",
    /*  24 */ "wed\xB3ug rekord\xF3w danych",
    /*  25 */ "by data records",
    /*  26 */ "wed\xB3ug zawod\xF3w",
    /*  27 */ "by occupations",
    /*  28 */ "Przypisana kategoria ",
    /*  29 */ "Assigned category of ",
    /*  30 */
    "Czynno\x9C"
    "ci kodowania",
    /*  31 */ "Coding actions",
    /*  32 */ "NIE DOTYCZY",
    /*  33 */ "NOT APPLICABLE",
    /*  34 */ "BRAK DANYCH",
    /*  35 */ "MISSING",
    /*  36 */ "POWT\xD3RZ",
    /*  37 */ "REPEAT",
    /*  38 */ "ANULUJ",
    /*  39 */ "CANCEL",
    /*  40 */ "KODUJ",
    /*  41 */ "CODE",
    /*  42 */ "S\xA3OWA KLUCZOWE",
    /*  43 */ "KEY WORDS",
    /*  44 */ "1.",
    /*  45 */ "1st",
    /*  46 */ "2.",
    /*  47 */ "2nd",
    /*  48 */ "",
    /*  49 */ "",
    /*  50 */ "Kategorie wst\xEApnie wybrane",
    /*  51 */ "Pre-selected categories",
    /*  52 */ "Pe\xB3na klasyfikacja ",
    /*  53 */ "Full classification ",
    /*  54 */ "",
    /*  55 */ "",
    /*  56 */ "",
    /*  57 */ "",
    /*  58 */ "",
    /*  59 */ "",
    /*  60 */ "NOTATNIK",
    /*  61 */ "NOTEPAD",
    /*  62 */
    "Uwagi zapisane w tym polu mog\xB9 zosta\xE6 zachowane przy ko\xF1"
    "czeniu sesji kodowania.",
    /*  63 */ "Comments written in this field may be saved at terminating the coding session.",
    /*  64 */
    "Zostan\xB9 one automatycznie wczytane na pocz\xB9tku nast\xEApnej sesji kodowania tych samych "
    "danych.",
    /*  65 */
    "They will be automatically read-in at the beginning of next coding session with the same "
    "data.",
    /*  66 */
    "KOMUNIKATY O B\xA3\xCA"
    "DACH",
    /*  67 */ "ERROR MESSAGES",
    /*  68 */ "OPCJE KODOWANIA",
    /*  69 */ "CODING OPTIONS",
    /*  70 */ "Dost\xEApno\x9C\xE6 przypadk\xF3w bez zawodu",
    /*  71 */ "Accessibility of cases with no occupation",
    /*  72 */ "Domy\x9Clnie program nie wy\x9Cwietla przypadk\xF3w, ",
    /*  73 */ "By default the program does not display cases, ",
    /*  74 */ "kt\xF3re wskutek zadeklarowanego filtrowania s\xB9 traktowane",
    /*  75 */ "which due to the declared filtering action are treated",
    /*  76 */
    "jako nie maj\xB9"
    "ce zawodu do zakodowania (kod: nie dotyczy)",
    /*  77 */ "as having no occupation to code (code: not applicable)",
    /*  78 */ "Zmiana opcji pozwala wy\x9Cwietla\xE6 przypadki 'nie dotyczy'",
    /*  79 */ "Option change allows for displaying 'not applicable' cases",
    /*  80 */ "nie wy\x9Cwietlaj przypadk\xF3w 'nie dotyczy' (domy\x9Clnie)",
    /*  81 */ "do not display 'not applicable' cases (default)",
    /*  82 */
    "udost\xEApnij tak\xBF"
    "e przypadki 'nie dotyczy'",
    /*  83 */ "provide access also to 'not applicable' cases",
    /*  84 */ "Automatyczna nawigacja po zakodowaniu zawodu",
    /*  85 */ "Automatic navigation following an occupation coding",
    /*  86 */ "Po zakodowaniu zawodu program wy\x9Cwietla automatycznie (domy\x9Clnie)",
    /*  87 */ "After an occupation coding the program displays automatically (by default)",
    /*  88 */ "informacje o nast\xEApnym zawodzie w tym samym rekordzie lub,",
    /*  89 */ "information collected on the next occupation in the same record or,",
    /*  90 */
    "po zakodowaniu ostatniego zawodu w rekordzie, pierwszy zaw\xF3"
    "d",
    /*  91 */ "after coding last occupation in record, the first occupation",
    /*  92 */ "w nast\xEApnym rekordzie.",
    /*  93 */ "in the next record.",
    /*  94 */ "Zmiana opcji pozwala zmieni\xE6 kolejno\x9C\xE6 nawigacji:",
    /*  95 */ "Option change allows for changing navigation order:",
    /*  96 */
    "wy\x9Cwietl nast\xEApny zaw\xF3"
    "d w tym samym rekordzie (domy\x9Clnie)",
    /*  97 */ "display next occupation within the same record (on default)",
    /*  98 */
    "wy\x9Cwietl ten sam zaw\xF3"
    "d w nast\xEApnym rekordzie",
    /*  99 */ "display the same occupation in the next record",
    /* 100 */ "pozosta\xF1 w tym samym polu kodowania",
    /* 101 */ "stay in the same coding field",
    /* 102 */ "",
    /* 103 */ "",
    /* 104 */ "",
    /* 105 */ "",
    /* 106 */ "RAPORT Z SESJI KODOWANIA",
    /* 107 */ "CODING SESSION REPORT",
    /* 108 */ ">>> RAPORT Z PRZEBIEGU SESJI KODOWANIA <<<",
    /* 109 */ ">>> REPORT FROM A SESSION OF CODING OCCUPATIONS <<<",
    /* 110 */
    "Sesja kodowania zawod\xF3w zosta\xB3"
    "a rozpocz\xEAta.",
    /* 111 */ "Session of coding occupations was started.",
    /* 112 */
    "Sesja kodowania zawod\xF3w zosta\xB3"
    "a zako\xF1"
    "czona.",
    /* 113 */ "Session of coding occupations was terminated.",
    /* 114 */
    "Sesja trwa\xB3"
    "a",
    /* 115 */ "Session lasted",
    /* 116 */
    "Ko\xF1"
    "cowy plik danych zapisano jako:",
    /* 117 */ "Final output data file was written as:",
    /* 118 */ "Parametry kodowania poprawnie wczytano z pliku:",
    /* 119 */ "Coding parameters successfully read-in from file:",
    /* 120 */ "Dane do kodowania poprawnie wczytano z pliku:",
    /* 121 */ "Coding data successfully read-in from file:",
    /* 122 */ "Zawody zakodowane dotychczas wczytano z pliku:",
    /* 123 */ "Occupations coded so far read-in from file:",
    /* 124 */
    "\xA3\xB9"
    "cznie",
    /* 125 */ "The total of",
    /* 126 */ "respondent\xF3w ma zawody do zakodowania. ",
    /* 127 */ "respondents have occupations for coding. ",
    /* 128 */ ". Wszystkie zawody zosta\xB3y zakodowane.",
    /* 129 */ ". All occupations have been coded.",
    /* 130 */ ", z czego",
    /* 131 */ ", of which",
    /* 132 */ "zawod\xF3w nie jest jeszcze zakodowanych.",
    /* 133 */ "occupations are not yet coded.",
    /* 134 */ "Zbi\xF3r danych zawiera",
    /* 135 */ "Data set contains",
    /* 136 */ "zawod\xF3w do zakodowania",
    /* 137 */ "occupations for coding",
    /* 138 */ "Zawarto\x9C\xE6 notatnika wczytano z pliku:",
    /* 139 */ "Notepad content read-in from file:",
    /* 140 */ "Plik roboczy zakodowanych zawod\xF3w zapisano jako:",
    /* 141 */ "Working file of occupations coded was saved as:",
    /* 142 */ "Wszystkie zawody w pliku danych zosta\xB3y zakodowane",
    /* 143 */ "All occupations in data file have been coded",
    /* 144 */ "Skrypt SPSS zapisano w pliku:",
    /* 145 */ "SPSS script was written into file:",
    /* 146 */ "",
    /* 147 */ "",
    /* 148 */ "",
    /* 149 */ "",
    /* 150 */ "",
    /* 151 */ "",
    /* 152 */ "",
    /* 153 */ "",
    /* 154 */ "",
    /* 155 */ "",
    /* 156 */ "",
    /* 157 */ "",
    /* 158 */ "",
    /* 159 */ "",
};

}  // namespace

const char* UiTextSlot(int slot) { return slot >= 0 && slot < kUiTextSlots ? kTexts[slot] : ""; }

namespace msg {

namespace {

// 1234567 -> "1,234,567".
std::string DigitGroups(long long n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
    if (n < 0) digits.insert(0, 1, '-');
    return digits;
}

std::string TwoDigits(int n) {
    std::string t = std::to_string(n);
    if (t.size() < 2) t.insert(0, 1, '0');
    return t;
}

}  // namespace

std::string SavedCodes(int codes, std::string_view fileName, int hour, int minute) {
    std::string t = "Saved ";
    t += DigitGroups(codes);
    t += codes == 1 ? " code to " : " codes to ";
    t += fileName;
    t += " at ";
    t += TwoDigits(hour);
    t += ':';
    t += TwoDigits(minute);
    return t;
}

std::string FileTooLarge(size_t limitBytes) {
    std::string t = "is larger than the ";
    t += DigitGroups(static_cast<long long>(limitBytes >> 20));
    t += " MB that the program reads at most (half of this computer's memory)";
    return t;
}

std::string CodingPace(int percent, long long perHour) {
    std::string t = std::to_string(percent);
    t += " % coded";
    if (perHour < 0) return t;
    t += " \xB7 ";
    t += DigitGroups(perHour);
    t += " codes/hour";
    return t;
}

std::string LearntModelBuilt(size_t documents, size_t bytes, double seconds) {
    char figures[64];
    std::snprintf(figures, sizeof figures, " (%.1f MB, built in %.1f s)",
                  static_cast<double>(bytes) / (1 << 20), seconds);
    return "Suggestions learnt from " + DigitGroups(static_cast<long long>(documents)) +
           " answers and key words" + figures;
}

}  // namespace msg

}  // namespace tarnwick
