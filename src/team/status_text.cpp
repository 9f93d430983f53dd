#include "team/status_text.h"

#include <cstdio>

namespace tarnwick::team {

namespace {

std::string Percent(long long part, long long whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %%", whole > 0 ? 100.0 * part / whole : 0.0);
    return text;
}

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A name as one line of the table: a control character (a line end a database may hold from an
// earlier version) shows as '?'.
std::string OneLine(std::string name) {
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    }
    return name;
}

}  // namespace

std::vector<std::string> StatusLines(const TeamStatus& s) {
    std::vector<std::string> lines;
    std::string total = "Cases to code: ";
    total += std::to_string(s.Cases) + ", coded " + std::to_string(s.Coded) + " (" +
             Percent(s.Coded, s.Cases) + "), held now " + std::to_string(s.Claimed);
    lines.push_back(std::move(total));
    lines.push_back("");
    lines.push_back("Coder                 Codes  Last hour  Per hour  Held");
    for (const CoderProgress& c : s.Coders) {
        char line[160];
        std::snprintf(line, sizeof line, "%-20.20s %6lld %10lld %9s %5lld",
                      OneLine(c.Coder).c_str(), c.Codes, c.LastHour, Fixed(c.PerHour, 1).c_str(),
                      c.Claimed);
        lines.emplace_back(line);
    }
    lines.push_back("");
    std::string twice = "Double coding: ";
    twice += std::to_string(s.DoubleDone) + " of " + std::to_string(s.DoubleCases) +
             " cases coded twice, " + std::to_string(s.Disagreements) + " disagreements, " +
             std::to_string(s.Settled) + " settled";
    lines.push_back(std::move(twice));
    lines.push_back("Level  Pairs  Agreement  Kappa");
    for (size_t level = 0; level < s.Levels.size(); ++level) {
        const LevelAgreement& a = s.Levels[level];
        char line[120];
        std::snprintf(
            line, sizeof line, "%5zu %6lld %10s %6s", level + 1, a.Pairs,
            a.Pairs > 0 ? Percent(static_cast<long long>(a.Share * 1000000 + 0.5), 1000000).c_str()
                        : "-",
            a.Kappa ? Fixed(*a.Kappa, 3).c_str() : "-");
        lines.emplace_back(line);
    }
    lines.push_back("");
    lines.push_back("Conflicts: " + std::to_string(s.Conflicts) +
                    (s.Conflicts == 1 ? " case" : " cases") +
                    " coded apart by coders who had not seen each other's code, " +
                    std::to_string(s.ConflictsSettled) + " settled");
    return lines;
}

std::vector<std::string> DisagreementLines(const std::vector<Disagreement>& list) {
    std::vector<std::string> lines;
    for (const Disagreement& d : list) {
        std::string line = std::to_string(d.Record + 1);
        line += ' ' + std::to_string(d.Field + 1) + ' ' + OneLine(d.RespondentId) + ": " +
                OneLine(d.Coder1) + ' ' + d.Code1 + ", " + OneLine(d.Coder2) + ' ' + d.Code2;
        if (d.Conflict) line += ", conflict";
        if (!d.Final.empty()) line += ", final " + d.Final;
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace tarnwick::team
