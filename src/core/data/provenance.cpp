#include "core/data/provenance.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/text/datetime.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

constexpr std::string_view kUnknownValue = "-";

constexpr std::string_view kSourceWords[kCodeSources] = {"unknown",   "coder",     "automatic",
                                                         "identical", "recovered", "supervisor"};

// The words of the lines, by CodeLine; a suggestion's number follows its word.
constexpr std::string_view kLineWords[] = {"-",      "suggestion-", "preselected",   "full-list",
                                           "repeat", "missing",     "not-applicable"};

// Damaged lines named one by one in the report before the rest are only counted.
constexpr size_t kNamedFaults = 10;

void AppendNumber(std::string& out, double value) {
    if (value < 0) {
        out += kUnknownValue;
        return;
    }
    // The shortest text that reads back as the same double: an undo or a recovery gives back
    // exactly the provenance that was kept.
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, ec == std::errc() ? end : buffer);
}

bool ParseNumber(std::string_view word, double& value) {
    if (word == kUnknownValue) {
        value = -1;
        return true;
    }
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() && std::isfinite(value) &&
           value >= 0;
}

bool ParseCount(std::string_view word, int& value) {
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() && !word.empty() && value >= 0;
}

}  // namespace

void AppendProvenanceWords(std::string& out, const Provenance& p) {
    const auto source = static_cast<size_t>(p.origin.source);
    out += ' ';
    out += kSourceWords[source < kCodeSources ? source : 0];
    out += ' ';
    if (p.when > 0) {
        out += IsoDateTimeText(MomentAt(p.when));
    } else {
        out += kUnknownValue;
    }
    out += ' ';
    AppendEscapedWord(out, p.coder);
    out += ' ';
    const auto line = static_cast<size_t>(p.origin.line);
    out += kLineWords[line < std::size(kLineWords) ? line : 0];
    if (p.origin.line == CodeLine::Suggestion) out += std::to_string(p.origin.suggestion);
    out += ' ';
    if (p.secondsOnScreen >= 0) {
        out += std::to_string(p.secondsOnScreen);
    } else {
        out += kUnknownValue;
    }
    out += ' ';
    AppendNumber(out, p.origin.confidence);
    out += ' ';
    AppendNumber(out, p.origin.threshold);
}

bool ParseProvenanceWords(const std::vector<std::string_view>& words, size_t first, Provenance& p) {
    if (words.size() < first + kProvenanceWords) return false;
    const std::string_view* w = words.data() + first;
    p = Provenance{};
    bool known = false;
    for (int i = 0; i < kCodeSources; ++i) {
        if (w[0] == kSourceWords[i]) {
            p.origin.source = static_cast<CodeSource>(i);
            known = true;
        }
    }
    if (!known) return false;
    if (w[1] != kUnknownValue) {
        const std::optional<DateTime> when = ParseIsoDateTime(w[1]);
        if (!when) return false;
        p.when = SecondsSinceEpoch(*when);
    }
    if (!UnescapeWord(w[2], p.coder)) return false;
    known = false;
    for (size_t i = 0; i < std::size(kLineWords); ++i) {
        const std::string_view word = kLineWords[i];
        if (static_cast<CodeLine>(i) == CodeLine::Suggestion) {
            if (w[3].starts_with(word) &&
                ParseCount(w[3].substr(word.size()), p.origin.suggestion) &&
                p.origin.suggestion > 0) {
                p.origin.line = CodeLine::Suggestion;
                known = true;
            }
        } else if (w[3] == word) {
            p.origin.line = static_cast<CodeLine>(i);
            known = true;
        }
    }
    if (!known) return false;
    if (w[4] != kUnknownValue && !ParseCount(w[4], p.secondsOnScreen)) return false;
    return ParseNumber(w[5], p.origin.confidence) && ParseNumber(w[6], p.origin.threshold);
}

void WriteProvenanceFile(ByteSink& out, const CaseModel& cases, const ProvenanceBook& book) {
    ChunkedText chunks(out);
    std::string& text = chunks.text;
    AppendCrLf(text, kProvenanceHeader);
    // In the order of the cases, so that two saves of the same codes give the same bytes.
    const auto& rs = cases.Respondents;
    for (size_t r = 0; r < rs.size(); ++r) {
        const TOsoba& o = rs[r];
        for (size_t f = 0; f < o.Occupations.size(); ++f) {
            const Provenance* p = book.Find(static_cast<int>(r), static_cast<int>(f));
            if (!p) continue;
            text += std::to_string(r);
            text += ' ';
            AppendEscapedWord(text, o.RespondentId);
            text += ' ';
            text += std::to_string(f);
            text += ' ';
            AppendEscapedWord(text, o.Occupations[f].Code);
            AppendProvenanceWords(text, *p);
            text += "\r\n";
            chunks.Pass();
        }
    }
    chunks.Flush();
}

ProvenanceReading ReadProvenanceText(std::string_view text) {
    ProvenanceReading reading;
    LineCursor cursor(text);
    std::string_view line;
    if (!cursor.Next(line)) return reading;
    size_t number = 1;
    size_t damaged = 0;
    const auto fault = [&](size_t at) {
        if (++damaged <= kNamedFaults) {
            reading.Faults.push_back("Provenance file: line " + std::to_string(at) +
                                     " is damaged and was skipped.");
        }
    };
    constexpr std::string_view kVersionless = "Tarnwick provenance ";
    if (line != kProvenanceHeader) {
        if (line.starts_with(kVersionless)) {
            // Written by another version of the program: its lines may mean something else.
            reading.Faults.push_back("Provenance file: version " +
                                     std::string(line.substr(kVersionless.size(), 20)) +
                                     " is not known to this program; the file was not read.");
            return reading;
        }
        // Perhaps only the first line was damaged: the lines after it are still tried.
        fault(1);
    }
    std::vector<std::string_view> words;
    while (cursor.Next(line)) {
        ++number;
        ProvenanceEntry e;
        e.Line = number;
        if (!SplitWords(line, words) || words.size() != 4 + kProvenanceWords ||
            !ParseCount(words[0], e.Record) || !UnescapeWord(words[1], e.RespondentId) ||
            !ParseCount(words[2], e.Field) || !UnescapeWord(words[3], e.Code) ||
            !ParseProvenanceWords(words, 4, e.Origin) ||
            e.Origin.origin.source == CodeSource::Unknown) {
            fault(number);
            continue;
        }
        reading.Entries.push_back(std::move(e));
    }
    if (damaged > kNamedFaults) {
        reading.Faults.push_back("Provenance file: " + std::to_string(damaged - kNamedFaults) +
                                 " more damaged lines were skipped.");
    }
    return reading;
}

void TakeProvenance(const std::vector<ProvenanceEntry>& entries, const CaseModel& cases,
                    ProvenanceBook& book, std::vector<std::string>& faults) {
    const auto& rs = cases.Respondents;
    // Made only when an entry's record number no longer holds its respondent.
    std::unordered_map<std::string_view, int> firstWithId;
    size_t dropped = 0;
    size_t firstDropped = 0;
    for (const ProvenanceEntry& e : entries) {
        int record = e.Record;
        if (static_cast<size_t>(record) >= rs.size() ||
            rs[static_cast<size_t>(record)].RespondentId != e.RespondentId) {
            if (firstWithId.empty()) {
                for (size_t r = rs.size(); r-- > 0;) {
                    firstWithId[rs[r].RespondentId] = static_cast<int>(r);
                }
            }
            const auto it = firstWithId.find(e.RespondentId);
            record = it == firstWithId.end() ? -1 : it->second;
        }
        const TZawod* z = nullptr;
        if (record >= 0) {
            const auto& zs = rs[static_cast<size_t>(record)].Occupations;
            if (static_cast<size_t>(e.Field) < zs.size()) z = &zs[static_cast<size_t>(e.Field)];
        }
        if (!z || z->Code.empty() || z->Code != e.Code) {
            if (dropped++ == 0) firstDropped = e.Line;
            continue;
        }
        book.Set(record, e.Field, e.Origin);
    }
    if (dropped > 0) {
        faults.push_back("Provenance file: " + std::to_string(dropped) +
                         (dropped == 1 ? " entry no longer fits" : " entries no longer fit") +
                         " the cases (another respondent, field or code; the first in line " +
                         std::to_string(firstDropped) + ") and " + (dropped == 1 ? "was" : "were") +
                         " dropped.");
    }
}

}  // namespace tarnwick
