#include "core/data/review_sample.h"

#include <charconv>
#include <cmath>

#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, std::string_view value) {
    if (value.empty()) {
        out += '%';
        return;
    }
    for (char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == '%' || b == 0x7F) {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += c;
        }
    }
}

// A number from 1, as the file counts records and fields.
bool ReadPlace(std::string_view text, int& place) {
    int n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1) return false;
    place = n - 1;
    return true;
}

const char* OutcomeWord(ReviewOutcome o) {
    switch (o) {
        case ReviewOutcome::Confirmed:
            return "confirmed";
        case ReviewOutcome::Recoded:
            return "recoded";
        case ReviewOutcome::Dropped:
            return "dropped";
        case ReviewOutcome::Pending:
            break;
    }
    return "pending";
}

bool ReadOutcome(std::string_view word, ReviewOutcome& o) {
    for (ReviewOutcome each : {ReviewOutcome::Pending, ReviewOutcome::Confirmed,
                               ReviewOutcome::Recoded, ReviewOutcome::Dropped}) {
        if (word == OutcomeWord(each)) {
            o = each;
            return true;
        }
    }
    return false;
}

// One case's line, or the reason it is none.
const char* ReadCase(std::string_view line, ReviewCase& c) {
    std::string_view values[7];
    size_t n = 0;
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        if (n == 7) return msg::kReviewBadColumns;
        values[n++] = line.substr(start, tab == std::string_view::npos ? tab : tab - start);
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    if (n != 7) return msg::kReviewBadColumns;
    if (!ReadPlace(values[0], c.record) || !ReadPlace(values[2], c.field)) {
        return msg::kReviewBadPlace;
    }
    if (!UnescapeWord(values[1], c.respondentId) || !UnescapeWord(values[3], c.code) ||
        !UnescapeWord(values[6], c.newCode)) {
        return msg::kReviewBadEscape;
    }
    if (c.code.empty()) return msg::kReviewNoCode;
    double confidence = -1;
    const std::string_view number = values[4];
    const auto [end, ec] =
        std::from_chars(number.data(), number.data() + number.size(), confidence);
    if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(confidence) ||
        confidence < 0 || confidence > 1) {
        return msg::kReviewBadConfidence;
    }
    c.confidence = confidence;
    if (!ReadOutcome(values[5], c.outcome)) return msg::kReviewBadOutcome;
    if (c.outcome != ReviewOutcome::Recoded && !c.newCode.empty()) return msg::kReviewStrayCode;
    return nullptr;
}

}  // namespace

std::string FormatReviewSample(const std::vector<ReviewCase>& cases,
                               const std::vector<std::string>& unreadable) {
    std::string out;
    AppendCrLf(out, kReviewSampleHeading);
    std::string line;
    for (const ReviewCase& c : cases) {
        line = std::to_string(c.record + 1);
        line += '\t';
        AppendEscaped(line, c.respondentId);
        line += '\t';
        line += std::to_string(c.field + 1);
        line += '\t';
        AppendEscaped(line, c.code);
        line += '\t';
        char number[32];
        // to_chars knows no locale: the file reads the same wherever it was written.
        const double confidence = std::isfinite(c.confidence) ? c.confidence : 0;
        const auto written =
            std::to_chars(number, number + sizeof number, confidence, std::chars_format::fixed, 4);
        line.append(number, written.ptr);
        line += '\t';
        line += OutcomeWord(c.outcome);
        line += '\t';
        AppendEscaped(line, c.outcome == ReviewOutcome::Recoded ? c.newCode : std::string());
        AppendCrLf(out, line);
    }
    for (const std::string& kept : unreadable) AppendCrLf(out, kept);
    return out;
}

ReviewSampleReading ReadReviewSampleText(std::string_view text) {
    ReviewSampleReading reading;
    LineCursor cursor(text);
    std::string_view line;
    if (!cursor.Next(line) || line != kReviewSampleHeading) {
        reading.faults.push_back(msg::ReviewSampleFault(1, msg::kReviewNoHeading));
        return reading;
    }
    reading.recognised = true;
    for (size_t number = 2; cursor.Next(line); ++number) {
        if (line.empty()) continue;
        ReviewCase c;
        if (const char* why = ReadCase(line, c)) {
            reading.unreadable.emplace_back(line);
            reading.faults.push_back(msg::ReviewSampleFault(number, why));
            continue;
        }
        reading.cases.push_back(std::move(c));
    }
    return reading;
}

}  // namespace tarnwick
