#include "core/text/datetime.h"

#include <ctime>

namespace tarnwick {

namespace {

const char* const kPolishMonths[12] = {"stycznia",
                                       "lutego",
                                       "marca",
                                       "kwietnia",
                                       "maja",
                                       "czerwca",
                                       "lipca",
                                       "sierpnia",
                                       "wrze\x9Cnia" /* września */,
                                       "pa\x9F"
                                       "dziernika" /* października */,
                                       "listopada",
                                       "grudnia"};

const char* const kEnglishMonths[12] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};

std::string TwoDigits(int n) {
    std::string s = std::to_string(n);
    if (s.size() < 2) s.insert(0, 1, '0');
    return s;
}

// Days since 1970-01-01 in the proleptic Gregorian calendar.
long long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

std::string MonthName(int language, int month) {
    if (month < 1 || month > 12) return {};
    if (language == kPolish) return kPolishMonths[month - 1];
    if (language == kEnglish) return kEnglishMonths[month - 1];
    return {};
}

std::string DateTimeText(int language, const DateTime& m) {
    const std::string time =
        TwoDigits(m.hour) + ":" + TwoDigits(m.minute) + ":" + TwoDigits(m.second);
    if (language == kPolish) {
        return std::to_string(m.day) + " " + MonthName(kPolish, m.month) + " " +
               std::to_string(m.year) + " godz." + time;
    }
    return MonthName(kEnglish, m.month) + " " + std::to_string(m.day) + ", " +
           std::to_string(m.year) + " at " + time;
}

long long SecondsSinceEpoch(const DateTime& m) {
    return DaysFromCivil(m.year, m.month, m.day) * 86400LL + m.hour * 3600LL + m.minute * 60LL +
           m.second;
}

DateTime LocalNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace tarnwick
