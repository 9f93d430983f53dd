#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// A moment as the program shows it: milliseconds are never kept.
struct DateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    auto operator<=>(const DateTime&) const = default;
};

inline constexpr int kPolish = 1;
inline constexpr int kEnglish = 2;

// Month name in Polish (genitive, Windows-1250) or English; empty for a month outside 1..12.
std::string MonthName(int language, int month);

// "December 7, 2026 at 00:37:40" (English) or "7 grudnia 2026 godz.00:37:40" (Polish).
std::string DateTimeText(int language, const DateTime& moment);

// Seconds since an arbitrary fixed epoch; lets two moments be subtracted.
long long SecondsSinceEpoch(const DateTime& moment);

// The moment `seconds` after that epoch: SecondsSinceEpoch's inverse.
DateTime MomentAt(long long seconds);

// "2026-12-07T00:37:40", and back; nullopt for a text of another form or an impossible date.
std::string IsoDateTimeText(const DateTime& moment);
std::optional<DateTime> ParseIsoDateTime(std::string_view text);

// The present local time, and the local time of a moment counted in seconds since 1970 UTC.
DateTime LocalNow();
DateTime LocalTimeAt(long long unixSeconds);

}  // namespace tarnwick
