// Confidence in the first suggestion: a logistic regression combines a ranking's features in one
// score, isotonic regression maps the score to the chance of being right, and the calibration
// cases' confidences give the threshold for a target error (docs/suggestions.md, "Confidence and
// automatic coding").

#include "core/suggest/confidence.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>

#include "core/text/strings.h"

namespace tarnwick {

namespace {

constexpr size_t kInputs = ConfidenceCalibration::kInputs;
using Inputs = std::array<double, kInputs>;

constexpr double kRidge = 1.0;    // the pull towards 0 of each standardised weight
constexpr int kNewtonSteps = 50;  // at most; it settles in far fewer
constexpr size_t kFolds = 5;      // parts for the calibration cases' own confidences
constexpr double kZ = 1.96;       // 95 %

// `v` held to [low, high]; a number that is none (from a caller's pairs) counts as `low`.
double Held(float v, double low, double high) {
    return std::isfinite(v) ? std::clamp(static_cast<double>(v), low, high) : low;
}

// The numbers a ranking is judged by. The scores are held to a sensible range so that one odd
// ranking cannot pull the fit.
Inputs InputsOf(const RankFeatures& f) {
    return {
        Held(f.score, 0.0, 2.0),
        Held(f.margin, -1.0, 2.0),
        f.identicalCount > 0 ? 1.0 : 0.0,
        Held(f.identicalShare, 0.0, 1.0),
        std::log1p(static_cast<double>(f.identicalCount)),
        Held(f.matchedShare, 0.0, 1.0),
        f.classificationAgrees ? 1.0 : 0.0,
        Held(f.bayes, 0.0, 1.0),
        Held(f.learnt, 0.0, 2.0),
    };
}

struct Row {
    Inputs x;
    double y;  // 1 right, 0 wrong
    double w;
};

double Logistic(double t) { return 1.0 / (1.0 + std::exp(-t)); }

// Solves a x = b for a symmetric positive definite a (Cholesky); a is overwritten.
template <size_t N>
std::array<double, N> Solve(std::array<std::array<double, N>, N>& a, std::array<double, N> b) {
    for (size_t j = 0; j < N; ++j) {
        double d = a[j][j];
        for (size_t k = 0; k < j; ++k) d -= a[j][k] * a[j][k];
        d = std::sqrt(std::max(d, 1e-12));
        a[j][j] = d;
        for (size_t i = j + 1; i < N; ++i) {
            double s = a[i][j];
            for (size_t k = 0; k < j; ++k) s -= a[i][k] * a[j][k];
            a[i][j] = s / d;
        }
    }
    for (size_t i = 0; i < N; ++i) {
        for (size_t k = 0; k < i; ++k) b[i] -= a[i][k] * b[k];
        b[i] /= a[i][i];
    }
    for (size_t i = N; i-- > 0;) {
        for (size_t k = i + 1; k < N; ++k) b[i] -= a[k][i] * b[k];
        b[i] /= a[i][i];
    }
    return b;
}

// The weights (the intercept last) of a logistic regression over the rows for which `use` is
// true, on standardised inputs and held towards 0 by kRidge, given back for the raw inputs. An
// input that does not vary gets no weight.
std::array<double, kInputs + 1> FitLogistic(const std::vector<Row>& rows,
                                            const std::vector<bool>& use) {
    constexpr size_t M = kInputs + 1;
    Inputs mean{}, scale{};
    double total = 0, right = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (!use[r]) continue;
        total += rows[r].w;
        right += rows[r].w * rows[r].y;
        for (size_t j = 0; j < kInputs; ++j) mean[j] += rows[r].w * rows[r].x[j];
    }
    std::array<double, M> raw{};
    if (total <= 0) return raw;
    for (double& m : mean) m /= total;
    for (size_t r = 0; r < rows.size(); ++r) {
        if (!use[r]) continue;
        for (size_t j = 0; j < kInputs; ++j) {
            const double d = rows[r].x[j] - mean[j];
            scale[j] += rows[r].w * d * d;
        }
    }
    for (double& s : scale) s = std::sqrt(s / total);
    auto standard = [&](const Inputs& x) {
        std::array<double, M> z{};
        for (size_t j = 0; j < kInputs; ++j) {
            z[j] = scale[j] > 1e-9 ? (x[j] - mean[j]) / scale[j] : 0.0;
        }
        z[kInputs] = 1.0;
        return z;
    };
    std::array<double, M> beta{};
    const double share = std::clamp((right + 0.5) / (total + 1.0), 1e-6, 1 - 1e-6);
    beta[kInputs] = std::log(share / (1 - share));
    for (int step = 0; step < kNewtonSteps; ++step) {
        std::array<double, M> gradient{};
        std::array<std::array<double, M>, M> hessian{};
        for (size_t j = 0; j < kInputs; ++j) {
            gradient[j] = -kRidge * beta[j];
            hessian[j][j] = kRidge;
        }
        hessian[kInputs][kInputs] = 1e-9;
        for (size_t r = 0; r < rows.size(); ++r) {
            if (!use[r]) continue;
            const auto z = standard(rows[r].x);
            double eta = 0;
            for (size_t j = 0; j < M; ++j) eta += beta[j] * z[j];
            const double p = Logistic(eta);
            const double g = rows[r].w * (rows[r].y - p);
            const double h = rows[r].w * p * (1 - p);
            for (size_t i = 0; i < M; ++i) {
                gradient[i] += g * z[i];
                for (size_t j = 0; j <= i; ++j) hessian[i][j] += h * z[i] * z[j];
            }
        }
        for (size_t i = 0; i < M; ++i) {
            for (size_t j = i + 1; j < M; ++j) hessian[i][j] = hessian[j][i];
        }
        const auto delta = Solve(hessian, gradient);
        double largest = 0;
        for (size_t j = 0; j < M; ++j) {
            beta[j] += delta[j];
            largest = std::max(largest, std::abs(delta[j]));
        }
        if (largest < 1e-10) break;
    }
    raw[kInputs] = beta[kInputs];
    for (size_t j = 0; j < kInputs; ++j) {
        if (scale[j] <= 1e-9) continue;
        raw[j] = beta[j] / scale[j];
        raw[kInputs] -= beta[j] * mean[j] / scale[j];
    }
    return raw;
}

double Dot(const std::array<double, kInputs + 1>& weights, const Inputs& x) {
    double s = weights[kInputs];
    for (size_t j = 0; j < kInputs; ++j) s += weights[j] * x[j];
    return s;
}

// Isotonic regression of being right on the score (pool adjacent violators), then each block's
// share of right cases counted with one right and one wrong case more, so that a block of a few
// cases all right says less than certainty; blocks that this puts out of order are pooled again.
// Knots: each block's mean score and value.
std::vector<std::pair<double, double>> Isotonic(std::vector<std::pair<double, const Row*>> scored) {
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    struct Block {
        double weight = 0, right = 0, score = 0;  // score: the weighted sum
        double Share() const { return right / weight; }
        double Value() const { return (right + 1) / (weight + 2); }
        void Take(const Block& b) { weight += b.weight, right += b.right, score += b.score; }
    };
    auto pool = [](std::vector<Block>& blocks, auto value) {
        while (blocks.size() >= 2 && value(blocks[blocks.size() - 2]) >= value(blocks.back())) {
            const Block last = blocks.back();
            blocks.pop_back();
            blocks.back().Take(last);
        }
    };
    std::vector<Block> raw;
    for (size_t i = 0; i < scored.size(); ++i) {
        const Row& r = *scored[i].second;
        const Block b{r.w, r.w * r.y, r.w * scored[i].first};
        // Equal scores cannot be told apart: one block.
        if (i > 0 && scored[i - 1].first == scored[i].first) {
            raw.back().Take(b);
        } else {
            raw.push_back(b);
        }
        pool(raw, [](const Block& x) { return x.Share(); });
    }
    std::vector<Block> blocks;
    for (const Block& b : raw) {
        blocks.push_back(b);
        pool(blocks, [](const Block& x) { return x.Value(); });
    }
    std::vector<std::pair<double, double>> knots;
    for (const Block& b : blocks) knots.emplace_back(b.score / b.weight, b.Value());
    return knots;
}

// The value of the knots' piecewise linear curve at `score`, flat beyond the ends.
double Interpolate(const std::vector<std::pair<double, double>>& knots, double score) {
    if (knots.empty()) return 0.0;
    if (score <= knots.front().first) return knots.front().second;
    if (score >= knots.back().first) return knots.back().second;
    auto hi = std::upper_bound(knots.begin(), knots.end(), score,
                               [](double s, const auto& k) { return s < k.first; });
    auto lo = hi - 1;
    const double t = (score - lo->first) / (hi->first - lo->first);
    return lo->second + t * (hi->second - lo->second);
}

// The Wilson interval of a share observed among n cases (n need not be whole).
ShareInterval WilsonAt(double share, double n) {
    if (n <= 0) return {0.0, 1.0};
    const double z2 = kZ * kZ;
    const double centre = share + z2 / (2 * n);
    const double half = kZ * std::sqrt(share * (1 - share) / n + z2 / (4 * n * n));
    return {std::clamp((centre - half) / (1 + z2 / n), 0.0, 1.0),
            std::clamp((centre + half) / (1 + z2 / n), 0.0, 1.0)};
}

double WilsonHigh(double share, double n) { return WilsonAt(share, n).high; }

// How many times over the `above` calibration cases at a threshold would have to stand, as more
// cases of the same kind, for the threshold to be promised: the share of errors stays `share`,
// and the estimate's `excess` over it, which the one right and one wrong case added to each
// block of the isotonic regression make, shrinks as 1 / times.
double TimesNeeded(size_t above, double share, double excess, double target) {
    const auto n = static_cast<double>(above);
    auto enough = [&](double times) {
        const double estimate = share + excess / times;
        return estimate <= target && times * n >= static_cast<double>(kMinCasesAbove) &&
               WilsonHigh(estimate, times * n) <= 2 * target;
    };
    if (enough(1)) return 1;
    double high = 2;
    while (!enough(high)) {
        if (high > 1e12) return INFINITY;
        high *= 2;
    }
    double low = high / 2;
    while (high - low > 1e-3 * low) {
        const double mid = (low + high) / 2;
        (enough(mid) ? high : low) = mid;
    }
    return high;
}

}  // namespace

ConfidenceCalibration ConfidenceCalibration::Fit(const std::vector<CalibrationPair>& pairs) {
    ConfidenceCalibration c;
    std::vector<Row> rows;
    rows.reserve(pairs.size());
    for (const CalibrationPair& p : pairs) {
        if (p.weight == 0 || !p.features.ranked) continue;
        rows.push_back({InputsOf(p.features), p.right ? 1.0 : 0.0, static_cast<double>(p.weight)});
    }
    for (const CalibrationPair& p : pairs) c.caseCount_ += p.weight;
    std::vector<double> confidence(rows.size(), 0.0);
    if (!rows.empty()) {
        c.fitted_ = true;
        c.weights_ = FitLogistic(rows, std::vector<bool>(rows.size(), true));
        // Each case's score, and its confidence, by a calibration that did not see it: in-sample,
        // the blocks of the isotonic regression end just above an error, and the errors above a
        // threshold would be too few. The map itself is fitted to those scores.
        std::vector<double> score(rows.size());
        if (rows.size() >= 2 * kFolds) {
            for (size_t fold = 0; fold < kFolds; ++fold) {
                std::vector<bool> use(rows.size());
                std::vector<std::pair<double, const Row*>> seen;
                for (size_t r = 0; r < rows.size(); ++r) use[r] = r % kFolds != fold;
                const auto weights = FitLogistic(rows, use);
                for (size_t r = 0; r < rows.size(); ++r) {
                    if (use[r]) seen.emplace_back(Dot(weights, rows[r].x), &rows[r]);
                }
                auto knots = Isotonic(seen);
                for (size_t r = fold; r < rows.size(); r += kFolds) {
                    score[r] = Dot(weights, rows[r].x);
                    confidence[r] = Interpolate(knots, score[r]);
                }
                c.folds_.push_back({weights, std::move(knots)});
            }
        } else {
            for (size_t r = 0; r < rows.size(); ++r) score[r] = Dot(c.weights_, rows[r].x);
        }
        std::vector<std::pair<double, const Row*>> scored;
        scored.reserve(rows.size());
        for (size_t r = 0; r < rows.size(); ++r) scored.emplace_back(score[r], &rows[r]);
        c.knots_ = Isotonic(scored);
        if (rows.size() < 2 * kFolds) {
            for (size_t r = 0; r < rows.size(); ++r)
                confidence[r] = Interpolate(c.knots_, score[r]);
        }
    }
    size_t r = 0;
    for (const CalibrationPair& p : pairs) {
        if (p.weight == 0) continue;
        c.cases_.push_back({p.features.ranked ? confidence[r++] : 0.0, p.right, p.weight});
    }
    std::stable_sort(c.cases_.begin(), c.cases_.end(),
                     [](const Case& a, const Case& b) { return a.confidence > b.confidence; });
    return c;
}

double ConfidenceCalibration::Score(const Inputs& x) const { return Dot(weights_, x); }

double ConfidenceCalibration::Confidence(const RankFeatures& features) const {
    if (!fitted_ || !features.ranked) return 0.0;
    const Inputs x = InputsOf(features);
    if (folds_.empty()) return Interpolate(knots_, Score(x));
    // A calibration case's confidence came from the one fold that did not see it; a new case is
    // seen by none, so it takes the mean of all of them: the threshold chosen on the former then
    // means the same for it.
    double sum = 0;
    for (const Fold& f : folds_) sum += Interpolate(f.knots, Dot(f.weights, x));
    return sum / static_cast<double>(folds_.size());
}

ShareInterval WilsonInterval(size_t errors, size_t cases) {
    if (cases == 0) return {0.0, 1.0};
    errors = std::min(errors, cases);
    ShareInterval out = WilsonAt(static_cast<double>(errors) / static_cast<double>(cases),
                                 static_cast<double>(cases));
    if (errors == 0) out.low = 0.0;
    if (errors == cases) out.high = 1.0;
    return out;
}

ThresholdChoice ChooseThreshold(const ConfidenceCalibration& calibration, double target) {
    ThresholdChoice choice;
    choice.target = target;
    choice.cases = calibration.CaseCount();
    choice.threshold = 2.0;
    if (!(target > 0.0 && target < 1.0)) return choice;  // BadTarget; also catches NaN

    struct Point {
        double threshold;
        size_t above, errors;
        double estimated;
    };
    std::optional<Point> promised, nearest, guess;
    double fewestTimes = INFINITY;  // of the calibration cases, for the nearest
    double fewestGuess = INFINITY;  // for the guess
    size_t above = 0, errors = 0;
    double missing = 0;  // the sum of 1 - confidence
    const auto& cases = calibration.Cases();
    for (size_t i = 0; i < cases.size(); ++i) {
        above += cases[i].weight;
        errors += cases[i].right ? 0 : cases[i].weight;
        missing += cases[i].weight * (1.0 - cases[i].confidence);
        // A threshold takes every case of its confidence.
        if (i + 1 < cases.size() && cases[i + 1].confidence == cases[i].confidence) continue;
        const Point p{cases[i].confidence, above, errors, missing / static_cast<double>(above)};
        const double observed = static_cast<double>(errors) / static_cast<double>(above);
        if (observed <= target && p.estimated <= target && above >= kMinCasesAbove &&
            WilsonInterval(errors, above).high <= 2 * target) {
            promised = p;
        }
        if (observed <= target) {
            const double times =
                TimesNeeded(above, observed, std::max(0.0, p.estimated - observed), target);
            if (times < fewestTimes) {
                fewestTimes = times;
                nearest = p;
            }
        } else if (p.estimated < target) {
            // The errors seen exceed the target, but a few errors among the most confident
            // cases may be chance: the estimate tells how many cases would bear it out.
            const double times = TimesNeeded(above, p.estimated, 0.0, target);
            if (times < fewestGuess) {
                fewestGuess = times;
                guess = p;
            }
        }
    }
    auto describe = [&](const Point& p) {
        choice.casesAbove = p.above;
        choice.errorsAbove = p.errors;
        choice.estimatedError = p.estimated;
        choice.interval = WilsonInterval(p.errors, p.above);
        choice.coverage = static_cast<double>(p.above) / static_cast<double>(choice.cases);
    };
    if (promised) {
        choice.outcome = ThresholdOutcome::Promised;
        choice.threshold = promised->threshold;
        describe(*promised);
        return choice;
    }
    // Only a finite number of times sets either.
    if (nearest || guess) {
        choice.outcome = ThresholdOutcome::TooFewCases;
        const auto n = static_cast<double>(choice.cases);
        const bool seen = nearest.has_value();
        const double times = seen ? fewestTimes : fewestGuess;
        const double more = std::ceil(n * std::max(1.0, times) - n);
        choice.moreCases = more >= 1e15 ? static_cast<size_t>(1e15)
                                        : std::max<size_t>(1, static_cast<size_t>(more));
        describe(seen ? *nearest : *guess);
        return choice;
    }
    if (choice.cases < kMinCasesAbove) {
        // Too few to tell anything: at least enough to stand above a threshold.
        choice.outcome = ThresholdOutcome::TooFewCases;
        choice.moreCases = kMinCasesAbove - choice.cases;
        return choice;
    }
    choice.outcome = ThresholdOutcome::Unreachable;
    return choice;
}

std::vector<CalibrationPair> LeaveOneOut(const SuggestionEngine& engine, CodingMemory& memory,
                                         const std::vector<CodedCase>& coded,
                                         const WorkProgress& progress) {
    // Cases of one normalised answer and code, in the order of their first case.
    struct Group {
        size_t first;
        std::string code;
        uint32_t count;
    };
    std::vector<Group> groups;
    {
        std::unordered_map<std::string, size_t> seen;
        for (size_t i = 0; i < coded.size(); ++i) {
            std::string code(Trim(coded[i].code));
            std::string key = NormaliseAnswer(coded[i].texts);
            if (code.empty() || key.empty()) continue;  // not coded, or nothing to rank
            key += '\n';                                // never in a normalised answer
            key += code;
            auto [it, added] = seen.try_emplace(std::move(key), groups.size());
            if (added) {
                groups.push_back({i, std::move(code), 0});
            }
            Group& g = groups[it->second];
            if (g.count < UINT32_MAX) ++g.count;
        }
    }
    std::vector<CalibrationPair> pairs;
    pairs.reserve(groups.size());
    ProgressMeter meter(progress, groups.size());
    for (size_t i = 0; i < groups.size(); ++i) {
        // Only here, with the memory whole, may the work stop.
        meter.Advance(i);
        const Group& g = groups[i];
        const std::vector<std::string>& texts = coded[g.first].texts;
        uint32_t held = 0;
        for (const auto& c : memory.CodesOf(texts)) {
            if (c.code == g.code) held = c.count;
        }
        auto add = [&](const DetailedRanking& r, uint32_t weight) {
            const bool right = !r.suggestions.empty() && r.suggestions[0].code == g.code;
            pairs.push_back({r.features, right, weight});
        };
        const uint32_t inMemory = std::min(held, g.count);
        if (inMemory > 0) {
            memory.Unlearn(texts, g.code);
            DetailedRanking ranked;
            try {
                ranked = engine.RankDetailed(texts, memory, 1, false);
            } catch (...) {
                memory.Learn(texts, g.code);
                throw;
            }
            memory.Learn(texts, g.code);
            add(ranked, inMemory);
        }
        // Cases the memory does not hold are left out of it already.
        if (g.count > inMemory)
            add(engine.RankDetailed(texts, memory, 1, false), g.count - inMemory);
    }
    meter.Finish();
    return pairs;
}

AutoCodingPlan PlanAutoCoding(const SuggestionEngine& engine, const CodingMemory& memory,
                              const ConfidenceCalibration& calibration,
                              const std::vector<CandidateCase>& cases, double target,
                              const WorkProgress& progress) {
    AutoCodingPlan plan;
    plan.threshold = ChooseThreshold(calibration, target);
    std::vector<PlannedAnswer> answers;
    {
        std::unordered_map<std::string, size_t> seen;
        for (size_t i = 0; i < cases.size(); ++i) {
            if (!cases[i].toBeCoded || cases[i].coded) continue;
            std::string answer = NormaliseAnswer(cases[i].texts);
            if (answer.empty()) continue;
            ++plan.casesConsidered;
            auto [it, added] = seen.try_emplace(answer, answers.size());
            if (added) answers.push_back({std::move(answer), {}, {}, 0.0, false});
            answers[it->second].cases.push_back(i);
        }
    }
    if (!plan.threshold.Promised()) return plan;
    ProgressMeter meter(progress, answers.size());
    for (size_t a = 0; a < answers.size(); ++a) {
        meter.Advance(a);
        PlannedAnswer& answer = answers[a];
        const DetailedRanking ranked =
            engine.RankDetailed(cases[answer.cases[0]].texts, memory, 1, false);
        if (ranked.suggestions.empty()) continue;
        answer.code = ranked.suggestions[0].code;
        answer.confidence = calibration.Confidence(ranked.features);
        answer.chosen = ReachesThreshold(answer.confidence, plan.threshold.threshold);
        if (!answer.chosen) continue;
        plan.casesChosen += answer.cases.size();
        plan.expectedErrors += static_cast<double>(answer.cases.size()) * (1 - answer.confidence);
    }
    meter.Finish();
    // The cases to code need not be like the calibration cases: more of them may stand just
    // above the threshold. Their own estimate must keep the target too, so the threshold rises
    // over their confidences, the least confident answers going back to the coders, until it
    // does.
    if (plan.casesChosen > 0 &&
        plan.expectedErrors > target * static_cast<double>(plan.casesChosen)) {
        std::vector<PlannedAnswer*> chosen;
        for (PlannedAnswer& a : answers) {
            if (a.chosen) chosen.push_back(&a);
        }
        std::stable_sort(chosen.begin(), chosen.end(),
                         [](const PlannedAnswer* a, const PlannedAnswer* b) {
                             return a->confidence > b->confidence;
                         });
        size_t cases = 0;
        double errors = 0;
        size_t keep = 0;  // the answers taken: a prefix that ends at a change of confidence
        size_t keptCases = 0;
        double keptErrors = 0;
        for (size_t i = 0; i < chosen.size(); ++i) {
            const auto n = static_cast<double>(chosen[i]->cases.size());
            cases += chosen[i]->cases.size();
            errors += n * (1 - chosen[i]->confidence);
            if (i + 1 < chosen.size() && chosen[i + 1]->confidence == chosen[i]->confidence) {
                continue;
            }
            if (errors <= target * static_cast<double>(cases)) {
                keep = i + 1;
                keptCases = cases;
                keptErrors = errors;
            }
        }
        for (size_t i = keep; i < chosen.size(); ++i) chosen[i]->chosen = false;
        plan.casesChosen = keptCases;
        plan.expectedErrors = keptErrors;
        // Nothing left: the threshold stands above every answer to code.
        plan.threshold.threshold =
            keep > 0 ? chosen[keep - 1]->confidence : std::nextafter(chosen[0]->confidence, 2.0);
    }
    // The chosen cases err by chance around the rate too: the calibration cases' interval, for
    // as many cases as the two together allow, and around the chosen cases' own estimate.
    const auto n = static_cast<double>(plan.threshold.casesAbove);
    const auto m = static_cast<double>(plan.casesChosen);
    if (m > 0) {
        const double share = static_cast<double>(plan.threshold.errorsAbove) / n;
        const double effective = n * m / (n + m);
        plan.errorInterval = WilsonAt(share, effective);
        if (plan.threshold.errorsAbove == 0) plan.errorInterval.low = 0.0;
        const ShareInterval own = WilsonAt(plan.expectedErrors / m, effective);
        plan.errorInterval.low = std::min(plan.errorInterval.low, own.low);
        plan.errorInterval.high = std::max(plan.errorInterval.high, own.high);
    }
    plan.answers = std::move(answers);
    return plan;
}

}  // namespace tarnwick
