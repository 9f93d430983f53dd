#include "core/suggest/learnt_model.h"

#include <linear.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

namespace tarnwick {

namespace {

// Weights this small move no decision value by a hundredth; dropped, the model is a few times
// smaller.
constexpr double kSmallestWeight = 1e-3;
constexpr double kCost = 1.0;       // the SVM's C
constexpr double kTolerance = 0.1;  // liblinear's default stopping tolerance
// A category's SVM learns from its own documents, the others that share a rare feature with
// them (those it could be taken for), and every kBackground-th document of the rest for its
// bias: the rest are far from its margin and would only cost time.
constexpr size_t kBackground = 16;
// A feature in more than this share of the documents is not rare.
constexpr double kRareShare = 0.01;

void Quiet(const char*) {}

// liblinear's solvers draw their order from rand(), and print through one global function: one
// training at a time, each seeded, keeps the result the same on every run.
std::mutex& TrainingLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

void LearntModel::Weigh(std::vector<ModelFeature>& features) const {
    std::sort(features.begin(), features.end());
    // A feature named twice counts once, at its largest value.
    size_t kept = 0;
    for (size_t i = 0; i < features.size(); ++i) {
        if (kept > 0 && features[kept - 1].first == features[i].first) {
            features[kept - 1].second = std::max(features[kept - 1].second, features[i].second);
        } else {
            features[kept++] = features[i];
        }
    }
    features.resize(kept);
    double norm = 0;
    for (auto& [id, value] : features) {
        value *= idf_.empty() ? 1.0f : idf_[id];
        norm += static_cast<double>(value) * value;
    }
    if (norm <= 0) return;
    const auto scale = static_cast<float>(1.0 / std::sqrt(norm));
    for (auto& f : features) f.second *= scale;
}

std::shared_ptr<LearntModel> LearntModel::Train(std::vector<ModelDocument> documents,
                                                uint32_t labels, const WorkProgress& progress) {
    auto result = std::make_shared<LearntModel>();
    std::sort(documents.begin(), documents.end());
    result->documents_ = documents.size();
    result->bias_.assign(labels, -1.0f);

    // Rarity over the documents: a feature every document has says nothing.
    std::vector<uint32_t> df(kFeatures, 0);
    for (auto& d : documents) {
        std::sort(d.features.begin(), d.features.end());
        d.features.erase(
            std::unique(d.features.begin(), d.features.end(),
                        [](const auto& a, const auto& b) { return a.first == b.first; }),
            d.features.end());
        for (const auto& f : d.features) ++df[f.first];
    }
    result->idf_.assign(kFeatures, 0.0f);
    const auto n = static_cast<double>(std::max<size_t>(documents.size(), 1));
    for (uint32_t f = 0; f < kFeatures; ++f) {
        if (df[f] > 0) result->idf_[f] = static_cast<float>(1.0 + std::log(n / df[f]));
    }

    // liblinear's rows: 1-based feature numbers, the bias as one more feature, -1 at the end.
    const int biasIndex = static_cast<int>(kFeatures) + 1;
    std::vector<feature_node> nodes;
    std::vector<size_t> starts;
    std::vector<uint32_t> perLabel(labels, 0);
    for (auto& d : documents) {
        result->Weigh(d.features);
        starts.push_back(nodes.size());
        for (const auto& [id, value] : d.features) {
            nodes.push_back({static_cast<int>(id) + 1, static_cast<double>(value)});
        }
        nodes.push_back({biasIndex, 1.0});
        nodes.push_back({-1, 0.0});
        if (d.label < labels) ++perLabel[d.label];
    }
    std::vector<feature_node*> rows;
    rows.reserve(starts.size());
    for (size_t s : starts) rows.push_back(&nodes[s]);
    // The documents of each rare feature.
    const auto rareLimit = std::max<uint32_t>(
        8, static_cast<uint32_t>(kRareShare * static_cast<double>(documents.size())));
    std::vector<uint32_t> rareStart(kFeatures + 1, 0);
    for (uint32_t f = 0; f < kFeatures; ++f) {
        rareStart[f + 1] = rareStart[f] + (df[f] <= rareLimit ? df[f] : 0);
    }
    std::vector<uint32_t> rareDocs(rareStart[kFeatures]);
    {
        std::vector<uint32_t> fill(rareStart.begin(), rareStart.end() - 1);
        for (size_t i = 0; i < documents.size(); ++i) {
            for (const auto& f : documents[i].features) {
                if (df[f.first] <= rareLimit) rareDocs[fill[f.first]++] = static_cast<uint32_t>(i);
            }
        }
    }
    std::vector<uint32_t> stamp(documents.size(), UINT32_MAX);
    std::vector<uint32_t> chosen;
    std::vector<feature_node*> subRows;
    std::vector<double> y;

    problem prob{};
    prob.n = biasIndex;
    prob.bias = 1.0;
    parameter param{};
    param.solver_type = L2R_L2LOSS_SVC_DUAL;
    param.C = kCost;
    param.eps = kTolerance;

    // By label, the weights kept: feature, weight.
    std::vector<std::vector<std::pair<uint32_t, float>>> kept(labels);
    std::vector<uint32_t> countOf(kFeatures + 1, 0);
    {
        std::lock_guard<std::mutex> lock(TrainingLock());
        set_print_string_function(Quiet);
        ProgressMeter meter(progress, labels);
        size_t first = 0;  // documents are sorted by label: label's run starts here
        for (uint32_t label = 0; label < labels; ++label) {
            meter.Advance(label);
            const size_t end = first + perLabel[label];
            // A label without documents, or with every document, stays at its bias.
            if (perLabel[label] == 0 || perLabel[label] == documents.size()) {
                first = end;
                continue;
            }
            chosen.clear();
            for (size_t i = first; i < end; ++i) {
                stamp[i] = label;
                chosen.push_back(static_cast<uint32_t>(i));
            }
            for (size_t i = first; i < end; ++i) {
                for (const auto& f : documents[i].features) {
                    if (df[f.first] > rareLimit) continue;
                    for (uint32_t k = rareStart[f.first]; k < rareStart[f.first + 1]; ++k) {
                        const uint32_t other = rareDocs[k];
                        if (stamp[other] == label) continue;
                        stamp[other] = label;
                        chosen.push_back(other);
                    }
                }
            }
            for (size_t i = 0; i < documents.size(); i += kBackground) {
                if (stamp[i] == label) continue;
                stamp[i] = label;
                chosen.push_back(static_cast<uint32_t>(i));
            }
            // In the documents' order, so that the solver meets them alike on every run.
            std::sort(chosen.begin(), chosen.end());
            subRows.clear();
            y.clear();
            for (uint32_t i : chosen) {
                subRows.push_back(rows[i]);
                y.push_back(i >= first && i < end ? 1.0 : -1.0);
            }
            prob.l = static_cast<int>(subRows.size());
            prob.x = subRows.data();
            prob.y = y.data();
            first = end;
            std::srand(1);
            model* m = train(&prob, &param);
            if (m == nullptr) continue;
            // Two classes: the weights speak for m->label[0].
            const double sign = m->label[0] == 1 ? 1.0 : -1.0;
            for (uint32_t f = 0; f < kFeatures; ++f) {
                const double w = sign * m->w[f];
                if (std::abs(w) < kSmallestWeight) continue;
                kept[label].emplace_back(f, static_cast<float>(w));
                ++countOf[f];
            }
            result->bias_[label] = static_cast<float>(sign * m->w[kFeatures]);
            free_and_destroy_model(&m);
        }
        meter.Finish();
    }

    // By feature, so that an answer's few features find their weights at once.
    result->offsets_.assign(kFeatures + 1, 0);
    for (uint32_t f = 0; f < kFeatures; ++f)
        result->offsets_[f + 1] = result->offsets_[f] + countOf[f];
    result->weights_.resize(result->offsets_[kFeatures]);
    std::vector<uint32_t> next(result->offsets_.begin(), result->offsets_.end() - 1);
    for (uint32_t label = 0; label < labels; ++label) {
        for (const auto& [f, w] : kept[label]) result->weights_[next[f]++] = {label, w};
    }
    return result;
}

void LearntModel::Score(std::vector<ModelFeature> features, std::vector<float>& out) const {
    out.assign(bias_.begin(), bias_.end());
    Weigh(features);
    for (const auto& [f, value] : features) {
        for (uint32_t k = offsets_[f]; k < offsets_[f + 1]; ++k) {
            out[weights_[k].first] += weights_[k].second * value;
        }
    }
}

size_t LearntModel::Bytes() const {
    return idf_.size() * sizeof(float) + bias_.size() * sizeof(float) +
           offsets_.size() * sizeof(uint32_t) + weights_.size() * sizeof(weights_[0]) +
           answersOf.size() * sizeof(uint32_t);
}

}  // namespace tarnwick
