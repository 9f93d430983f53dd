#include "core/project/review.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/coding/pages.h"
#include "core/coding/suggestions.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/autocoding.h"
#include "core/project/autocoding_offer.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

// SplitMix64: small, fast and the same everywhere, unlike the distributions of <random>, whose
// results the standard leaves to each library.
class Draws {
  public:
    explicit Draws(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in 0..n-1, n > 0: the draws that would favour the low numbers are thrown away.
    uint64_t Below(uint64_t n) {
        const uint64_t limit = UINT64_MAX - UINT64_MAX % n;
        uint64_t x = Next();
        while (x >= limit) x = Next();
        return x % n;
    }

  private:
    uint64_t state_;
};

using Bands = std::array<size_t, kReviewBands>;

// How many of each band to draw: in proportion, the largest remainders rounding up (ties: the
// less confident band), then one for every band with cases while there are enough to go round.
Bands Allocate(const Bands& counts, size_t total, size_t n) {
    Bands take{};
    std::array<uint64_t, kReviewBands> remainder{};
    size_t given = 0;
    for (size_t b = 0; b < kReviewBands; ++b) {
        take[b] = n * counts[b] / total;
        remainder[b] = n * counts[b] % total;
        given += take[b];
    }
    while (given < n) {
        size_t best = kReviewBands;
        for (size_t b = 0; b < kReviewBands; ++b) {
            if (take[b] < counts[b] && (best == kReviewBands || remainder[b] > remainder[best])) {
                best = b;
            }
        }
        ++take[best];
        remainder[best] = 0;
        ++given;
    }
    const auto filled = static_cast<size_t>(
        std::count_if(counts.begin(), counts.end(), [](size_t c) { return c > 0; }));
    if (n < filled) return take;
    for (size_t b = 0; b < kReviewBands; ++b) {
        if (counts[b] == 0 || take[b] > 0) continue;
        const auto largest =
            static_cast<size_t>(std::max_element(take.begin(), take.end()) - take.begin());
        --take[largest];
        ++take[b];
    }
    return take;
}

TZawod* CaseAt(Session& s, int record, int field) {
    auto& rs = s.Cases.Respondents;
    if (record < 0 || static_cast<size_t>(record) >= rs.size()) return nullptr;
    auto& zs = rs[static_cast<size_t>(record)].Occupations;
    if (field < 0 || static_cast<size_t>(field) >= zs.size()) return nullptr;
    return &zs[static_cast<size_t>(field)];
}

// Finds the case of a sample line in these data (by its identifier when the record no longer
// holds it); true when it still holds its automatic code.
bool Locate(Session& s, ReviewCase& c) {
    const auto& rs = s.Cases.Respondents;
    if (c.record < 0 || static_cast<size_t>(c.record) >= rs.size() ||
        rs[static_cast<size_t>(c.record)].RespondentId != c.respondentId) {
        const auto it = std::find_if(rs.begin(), rs.end(), [&](const TOsoba& o) {
            return o.RespondentId == c.respondentId;
        });
        if (it == rs.end()) return false;
        c.record = static_cast<int>(it - rs.begin());
    }
    const TZawod* z = CaseAt(s, c.record, c.field);
    return z && z->Code == c.code;
}

void SaveSample(const Session& s) {
    WriteFileAtomic(s.Review.Path, FormatReviewSample(s.Review.Cases, s.Review.Unreadable));
}

void Show(Session& s, const ReviewCase& c) {
    s.CurrentRecord = c.record;
    s.CurrentField = c.field;
    ShowCurrentCase(s);
}

void Finish(Session& s) {
    const std::string line = ReviewResultLine(SummariseReview(s.Review.Cases));
    LeaveReview(s);
    s.AppendReportLine(line);
    s.platform.ShowMessage(line, Severity::Information);
}

// Shows the first pending case that still holds its automatic code; those that do not are
// dropped. Without one, the review is over.
void ShowNextPending(Session& s) {
    ReviewWalk& w = s.Review;
    bool changed = false;
    for (size_t i = 0; i < w.Cases.size(); ++i) {
        ReviewCase& c = w.Cases[i];
        if (c.outcome != ReviewOutcome::Pending) continue;
        const int record = c.record;
        if (!Locate(s, c)) {
            c.outcome = ReviewOutcome::Dropped;
            changed = true;
            continue;
        }
        changed = changed || c.record != record;
        w.Current = i;
        if (changed) SaveSample(s);
        Show(s, c);
        return;
    }
    if (changed) SaveSample(s);
    Finish(s);
}

void Record(Session& s, ReviewOutcome outcome, std::string newCode) {
    ReviewWalk& w = s.Review;
    ReviewCase& c = w.Cases[w.Current];
    c.outcome = outcome;
    c.newCode = std::move(newCode);
    w.Verdicts.push_back({w.Current, outcome == ReviewOutcome::Recoded ? s.UndoList.size() : 0});
    try {
        SaveSample(s);
    } catch (...) {
        // Not on disk, so not given: the case stays under review (a recode's code stays).
        c.outcome = ReviewOutcome::Pending;
        c.newCode.clear();
        w.Verdicts.pop_back();
        throw;
    }
    ShowNextPending(s);
}

std::string FaultList(const std::vector<std::string>& faults) {
    constexpr size_t kShown = 10;
    std::string text = msg::kReviewDamaged;
    for (size_t i = 0; i < faults.size() && i < kShown; ++i) text += "\n" + faults[i];
    if (faults.size() > kShown) {
        text += "\n... " + std::to_string(faults.size() - kShown) + " more";
    }
    return text;
}

}  // namespace

std::vector<ReviewCase> DrawReviewSample(const std::vector<ReviewCase>& automatic, size_t size,
                                         uint64_t seed) {
    const size_t total = automatic.size();
    std::vector<ReviewCase> drawn;
    if (size >= total) {
        drawn = automatic;
    } else if (size > 0) {
        double low = 1, high = 0;
        for (const ReviewCase& c : automatic) {
            if (!std::isfinite(c.confidence)) continue;
            low = std::min(low, c.confidence);
            high = std::max(high, c.confidence);
        }
        std::array<std::vector<size_t>, kReviewBands> members;
        for (size_t i = 0; i < total; ++i) {
            const double c = automatic[i].confidence;
            size_t band = 0;
            if (high > low && std::isfinite(c)) {
                band = static_cast<size_t>((c - low) / (high - low) * kReviewBands);
                band = std::min(band, kReviewBands - 1);
            }
            members[band].push_back(i);
        }
        Bands counts{};
        for (size_t b = 0; b < kReviewBands; ++b) counts[b] = members[b].size();
        const Bands take = Allocate(counts, total, size);
        Draws draws(seed);
        std::vector<size_t> chosen;
        for (size_t b = 0; b < kReviewBands; ++b) {
            std::vector<size_t>& m = members[b];
            // The first take[b] places of a shuffle begun from the front.
            for (size_t k = 0; k < take[b]; ++k) {
                std::swap(m[k], m[k + draws.Below(m.size() - k)]);
                chosen.push_back(m[k]);
            }
        }
        std::sort(chosen.begin(), chosen.end());
        for (size_t i : chosen) drawn.push_back(automatic[i]);
    }
    for (ReviewCase& c : drawn) {
        c.outcome = ReviewOutcome::Pending;
        c.newCode.clear();
    }
    return drawn;
}

std::vector<ReviewCase> AutomaticallyCodedCases(const Session& s,
                                                const ProjectAutoCodingPlan& plan) {
    std::vector<ReviewCase> cases;
    const auto& rs = s.Cases.Respondents;
    for (const PlannedAnswer& answer : plan.plan.answers) {
        if (!answer.chosen) continue;
        for (size_t i : answer.cases) {
            if (i >= plan.places.size()) continue;
            const auto [record, field] = plan.places[i];
            if (record < 0 || static_cast<size_t>(record) >= rs.size()) continue;
            const TOsoba& o = rs[static_cast<size_t>(record)];
            if (field < 0 || static_cast<size_t>(field) >= o.Occupations.size()) continue;
            const TZawod& z = o.Occupations[static_cast<size_t>(field)];
            if (!z.ToCode || z.Code != answer.code) continue;
            const Provenance* p = s.Provenance.Find(record, field);
            if (p && p->origin.source != CodeSource::Automatic) continue;
            ReviewCase c;
            c.record = record;
            c.field = field;
            c.respondentId = o.RespondentId;
            c.code = answer.code;
            c.confidence = answer.confidence;
            cases.push_back(std::move(c));
        }
    }
    std::sort(cases.begin(), cases.end(), [](const ReviewCase& a, const ReviewCase& b) {
        return std::pair(a.record, a.field) < std::pair(b.record, b.field);
    });
    return cases;
}

std::string ReviewSamplePath(const Session& s) { return s.DataFilePath(".zrv"); }

size_t DrawAndSaveReviewSample(Session& s, const ProjectAutoCodingPlan& plan, size_t size,
                               uint64_t seed) {
    if (s.ReadOnly) return 0;
    const std::vector<ReviewCase> automatic = AutomaticallyCodedCases(s, plan);
    const std::vector<ReviewCase> sample = DrawReviewSample(automatic, size, seed);
    if (sample.empty()) return 0;
    if (s.Review.Active) LeaveReview(s);
    const std::string path = ReviewSamplePath(s);
    std::string replaced;
    if (FileExists(path)) {
        try {
            const ReviewSampleReading old = LoadReviewSample(path);
            const ReviewResult found = SummariseReview(old.cases);
            if (found.Reviewed() > 0) replaced = msg::kReviewReplaced + ReviewResultLine(found);
        } catch (const IoError&) {
            // An unreadable old sample holds nothing to report.
        }
    }
    WriteFileAtomic(path, FormatReviewSample(sample));
    if (!replaced.empty()) s.AppendReportLine(replaced);
    s.AppendReportLine(msg::ReviewSampleDrawn(sample.size(), automatic.size(), path, seed));
    return sample.size();
}

ReviewSampleReading LoadReviewSample(const std::string& path) {
    return ReadReviewSampleText(ReadOwnFile(path));
}

ReviewResult SummariseReview(const std::vector<ReviewCase>& cases) {
    ReviewResult r;
    r.cases = cases.size();
    for (const ReviewCase& c : cases) {
        switch (c.outcome) {
            case ReviewOutcome::Pending:
                ++r.pending;
                break;
            case ReviewOutcome::Confirmed:
                ++r.confirmed;
                break;
            case ReviewOutcome::Recoded:
                ++r.recoded;
                break;
            case ReviewOutcome::Dropped:
                ++r.dropped;
                break;
        }
    }
    if (r.Reviewed() > 0) {
        r.error = static_cast<double>(r.recoded) / static_cast<double>(r.Reviewed());
    }
    r.interval = WilsonInterval(r.recoded, r.Reviewed());
    return r;
}

std::string ReviewResultLine(const ReviewResult& r) {
    return msg::ReviewResultText(r.Reviewed(), r.confirmed, r.recoded, AutoPercent(r.error),
                                 AutoRange(r.interval), r.pending, r.dropped);
}

bool StartReview(Session& s) {
    if (RefusedReadOnly(s)) return false;
    if (s.Review.Active) return true;
    const std::string path = ReviewSamplePath(s);
    if (!FileExists(path)) {
        s.platform.ShowMessage(msg::kNoReviewSample, Severity::Information);
        return false;
    }
    ReviewSampleReading reading = LoadReviewSample(path);
    if (!reading.faults.empty()) s.platform.ShowMessage(FaultList(reading.faults), Severity::Fault);
    if (!reading.recognised) return false;
    ReviewWalk w;
    w.Active = true;
    w.Path = path;
    w.Cases = std::move(reading.cases);
    w.Unreadable = std::move(reading.unreadable);
    const bool pending = std::any_of(w.Cases.begin(), w.Cases.end(), [](const ReviewCase& c) {
        return c.outcome == ReviewOutcome::Pending;
    });
    if (!pending) {
        s.platform.ShowMessage(ReviewResultLine(SummariseReview(w.Cases)), Severity::Information);
        return false;
    }
    w.AfterCodingBefore = s.AfterCoding;
    s.Review = std::move(w);
    s.AfterCoding = AfterCodingMode::Stay;
    ReturnToCoding(s);
    ShowNextPending(s);
    return s.Review.Active;
}

bool InReview(const Session& s) { return s.Review.Active; }

void ConfirmReviewCase(Session& s) {
    if (!s.Review.Active) return;
    const ReviewCase& c = s.Review.Cases[s.Review.Current];
    const TZawod* z = CaseAt(s, c.record, c.field);
    if (!z || z->Code != c.code) {
        FollowReview(s);
        return;
    }
    Record(s, ReviewOutcome::Confirmed, {});
}

void ReviewCodeSelected(Session& s) {
    if (!s.Review.Active) {
        CodeSelected(s);
        return;
    }
    const ReviewCase& c = s.Review.Cases[s.Review.Current];
    if (s.SelectedCategory >= 0 && s.SelectedCategory < s.Clf.Count() &&
        s.Clf.Category(s.SelectedCategory).Code == c.code) {
        ConfirmReviewCase(s);
        return;
    }
    CodeSelected(s);
    FollowReview(s);
}

void ReviewCodeLine(Session& s, CategoryTab list, int line) {
    bool selected = false;
    switch (list) {
        case CategoryTab::Suggestions:
            selected = SelectSuggestionLine(s, line);
            break;
        case CategoryTab::Full:
            selected = SelectFullListLine(s, line);
            break;
        case CategoryTab::Preselected:
            selected = SelectPreselectedLine(s, line);
            break;
    }
    if (selected) ReviewCodeSelected(s);
}

void FollowReview(Session& s) {
    if (!s.Review.Active) return;
    ReviewCase& c = s.Review.Cases[s.Review.Current];
    const TZawod* z = CaseAt(s, c.record, c.field);
    if (!z) {
        ShowNextPending(s);  // drops it
    } else if (z->Code != c.code) {
        Record(s, ReviewOutcome::Recoded, z->Code);
    } else if (s.CurrentRecord != c.record || s.CurrentField != c.field) {
        Show(s, c);
    }
}

bool TakeBackReviewVerdict(Session& s) {
    ReviewWalk& w = s.Review;
    if (!w.Active) return false;
    if (w.Verdicts.empty()) {
        s.platform.ShowMessage(msg::kReviewNoVerdict, Severity::Information);
        return false;
    }
    const ReviewWalk::Verdict v = w.Verdicts.back();
    ReviewCase& c = w.Cases[v.index];
    if (c.outcome == ReviewOutcome::Recoded) {
        // Only the recode itself may be undone, never a change that came after it.
        const bool last = s.UndoList.size() == v.undoDepth && !s.UndoList.empty() &&
                          s.UndoList.back().Record == c.record &&
                          s.UndoList.back().Field == c.field;
        if (!last) {
            s.platform.ShowMessage(msg::kReviewVerdictBuried, Severity::Information);
            return false;
        }
        if (!Undo(s)) return false;
    }
    c.outcome = ReviewOutcome::Pending;
    c.newCode.clear();
    w.Verdicts.pop_back();
    SaveSample(s);
    ShowNextPending(s);
    return true;
}

void LeaveReview(Session& s) {
    if (!s.Review.Active) return;
    s.AfterCoding = s.Review.AfterCodingBefore;
    s.Review = ReviewWalk{};
}

std::string ReviewBannerText(const Session& s) {
    const ReviewWalk& w = s.Review;
    if (!w.Active || w.Current >= w.Cases.size()) return {};
    const ReviewCase& c = w.Cases[w.Current];
    const auto done = static_cast<size_t>(std::count_if(
        w.Cases.begin(), w.Cases.end(),
        [](const ReviewCase& each) { return each.outcome != ReviewOutcome::Pending; }));
    const std::string_view name = s.Clf.NameOf(c.code).value_or(std::string_view());
    return msg::ReviewBanner(done + 1, w.Cases.size(), c.code, name,
                             ConfidencePercent(c.confidence));
}

}  // namespace tarnwick
