#pragma once
// A linear model of which category an answer's words go with, learnt from the coding memory's
// answers and the classification's key words: one linear SVM per category against the rest
// (liblinear), over the words' stems and their letter 2- to 5-grams. Where the memory's answers
// are only like an answer, not the same, the model generalises from all of them at once, which
// the nearest answers' vote does not.
//
// The model is a pure function of what it was trained on: the documents are sorted first and the
// solver's random order is seeded, so the same memory gives the same model, and a memory that an
// undo restored ranks as it did (CodingMemory keeps the model with the memory's content hash).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "core/io/progress.h"

namespace tarnwick {

// A feature: its hashed number (below LearntModel::kFeatures) and its value.
using ModelFeature = std::pair<uint32_t, float>;

struct ModelDocument {
    std::vector<ModelFeature> features;  // raw values; Train weighs them by rarity
    uint32_t label = 0;
    bool operator<(const ModelDocument& other) const {
        return label != other.label ? label < other.label : features < other.features;
    }
};

class LearntModel {
  public:
    static constexpr uint32_t kFeatureBits = 18;
    static constexpr uint32_t kFeatures = 1u << kFeatureBits;

    // One model for labels 0..labels-1 from the documents. Reports progress by label; throws
    // WorkCancelled when stopped.
    static std::shared_ptr<LearntModel> Train(std::vector<ModelDocument> documents, uint32_t labels,
                                              const WorkProgress& progress = {});

    // The decision value of every label for raw features (as a document's): `out` gets one per
    // label, above 0 where the model takes the answer for that label.
    void Score(std::vector<ModelFeature> features, std::vector<float>& out) const;

    uint32_t Labels() const { return static_cast<uint32_t>(bias_.size()); }
    size_t Documents() const { return documents_; }
    size_t Weights() const { return weights_.size(); }
    // What it holds in memory.
    size_t Bytes() const;

    // Set by whoever trains it: the memory's content hash it was learnt from, the memory's coded
    // answers behind each label (the reason shows them), and how long training took.
    uint64_t source = 0;
    std::vector<uint32_t> answersOf;
    double seconds = 0;

  private:
    // Rarity and the L2 norm, as in training.
    void Weigh(std::vector<ModelFeature>& features) const;

    size_t documents_ = 0;
    std::vector<float> idf_;                           // by feature
    std::vector<float> bias_;                          // by label
    std::vector<uint32_t> offsets_;                    // by feature, into weights_
    std::vector<std::pair<uint32_t, float>> weights_;  // label, weight
};

}  // namespace tarnwick
