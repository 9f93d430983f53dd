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

// The civil date of a day since 1970-01-01: DaysFromCivil's inverse.
void CivilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

bool Digits(std::string_view text, size_t from, size_t count, int& value) {
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
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

DateTime MomentAt(long long seconds) {
    long long days = seconds / 86400;
    long long rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    DateTime m;
    CivilFromDays(days, m.year, m.month, m.day);
    m.hour = static_cast<int>(rest / 3600);
    m.minute = static_cast<int>(rest % 3600 / 60);
    m.second = static_cast<int>(rest % 60);
    return m;
}

std::string IsoDateTimeText(const DateTime& m) {
    std::string year = std::to_string(m.year);
    if (year.size() < 4) year.insert(0, 4 - year.size(), '0');
    return year + "-" + TwoDigits(m.month) + "-" + TwoDigits(m.day) + "T" + TwoDigits(m.hour) +
           ":" + TwoDigits(m.minute) + ":" + TwoDigits(m.second);
}

std::optional<DateTime> ParseIsoDateTime(std::string_view text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    DateTime m;
    if (!Digits(text, 0, 4, m.year) || !Digits(text, 5, 2, m.month) || !Digits(text, 8, 2, m.day) ||
        !Digits(text, 11, 2, m.hour) || !Digits(text, 14, 2, m.minute) ||
        !Digits(text, 17, 2, m.second)) {
        return std::nullopt;
    }
    // A date that does not exist (February 30) would come back as another one.
    if (m.month < 1 || m.month > 12 || m.day < 1 || m.hour > 23 || m.minute > 59 || m.second > 59 ||
        MomentAt(SecondsSinceEpoch(m)) != m) {
        return std::nullopt;
    }
    return m;
}

DateTime LocalNow() { return LocalTimeAt(std::time(nullptr)); }

DateTime LocalTimeAt(long long unixSeconds) {
    const auto t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace tarnwick
