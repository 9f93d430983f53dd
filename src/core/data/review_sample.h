#pragma once
// The review sample: automatically coded cases drawn for a person to check, and what the person
// found. It is kept beside the working file as `<data stem>.zrv`, so that a review can stop and
// go on in a later session.
//
// The file is text: the first line "Tarnwick review sample 1", then one line per case of seven
// tab-separated values: record and occupation field (each counted from 1), respondent
// identifier, the automatic code, its confidence (0..1), the outcome (pending, confirmed,
// recoded, dropped) and the code the reviewer gave instead (empty unless recoded). The
// identifier and the codes are escaped: a byte below a blank, '%' and 0x7F become %XX, and an
// empty value is a lone %. Lines end with CR LF.
//
// Pure: text in, model out; project/review.h reads and writes the file for a session.

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

enum class ReviewOutcome {
    Pending,
    Confirmed,  // the automatic code was right
    Recoded,    // the reviewer gave another code (or took it away)
    Dropped,    // the case no longer held its automatic code when its turn came
};

struct ReviewCase {
    int record = 0;  // from 0, as in the case model
    int field = 0;
    std::string respondentId;
    std::string code;  // given automatically
    double confidence = 0;
    ReviewOutcome outcome = ReviewOutcome::Pending;
    std::string newCode;  // Recoded: the reviewer's code
    friend bool operator==(const ReviewCase&, const ReviewCase&) = default;
};

inline constexpr std::string_view kReviewSampleHeading = "Tarnwick review sample 1";

// The file's text for these cases, then the `unreadable` lines as they were found, so that a
// damaged line read once is never lost by writing the file back.
std::string FormatReviewSample(const std::vector<ReviewCase>& cases,
                               const std::vector<std::string>& unreadable = {});

struct ReviewSampleReading {
    bool recognised = false;  // the heading was there; nothing is read without it
    std::vector<ReviewCase> cases;
    std::vector<std::string> unreadable;  // damaged lines as found
    std::vector<std::string> faults;      // "review sample, line 4: ..." for each of them
};

// Reads a review sample's text: a damaged line is left out with a fault naming it, and the
// lines before and after it stay. Empty lines count for nothing.
ReviewSampleReading ReadReviewSampleText(std::string_view text);

}  // namespace tarnwick
