// Ranking. Every category of the lowest level is a set of short phrases (its name, short label
// and each key word) and a bag of words (those and its description). An answer scores a
// category by its best phrase (the share of the answer's weight the phrase covers, times the
// share of the phrase the answer covers) and by the bag (BM25); a word weighs by its
// rarity among the categories, the job title's words more than the other fields'. The coding
// memory's answers are phrases of the codes they were given: the codes of all answers alike
// enough combine in a p-norm, so that several learnt answers agreeing count more than one. The
// memory's words also feed a naive Bayes estimate over its codes, which settles the cases where
// the closest answers disagree. A word unknown to the classification is read as the known words
// one letter away (two for long words), or else as those with its longest known beginning; two
// written words that together make a known word ("book keeper") are read as that word too.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "core/classification/key_index.h"
#include "core/suggest/analysis.h"
#include "core/suggest/suggest.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

// The figures below were chosen on the ISCO-08 evaluation sets (README, "Suggestions").
constexpr float kDescriptionWeight = 0.3f;  // a description's word against a key word's
constexpr float kPhraseShare = 0.75f;       // best phrase against the bag
constexpr float kMemoryWeight = 1.5f;       // a learnt answer against a key word
constexpr float kMemoryNorm = 8.0f;         // p of the p-norm over the learnt answers
constexpr float kCorrectedTrust = 0.8f;     // a word one or two letters away
constexpr float kBeginningTrust = 0.6f;     // a word with the same beginning
constexpr size_t kTypoLength = 5;           // shortest stem corrected
constexpr size_t kTwoTyposLength = 10;      // shortest stem corrected by two letters
constexpr size_t kBeginningLength = 5;      // shortest beginning shared
constexpr size_t kPartLength = 4;           // shortest part of a word read as two
constexpr size_t kVoters = 256;             // learnt answers that vote, the closest
constexpr float kBayesWeight = 0.2f;        // the naive Bayes probability against the rest
constexpr uint32_t kLearntSupport = 2;      // coded answers that may outrank the title's key word
constexpr float kModelWeight = 0.5f;        // the learnt model's decision value against the rest
constexpr float kBayesSmoothing = 0.01f;    // added to every word's count for every code
constexpr float kBm25K1 = 1.2f;
constexpr float kBm25B = 0.75f;

uint32_t Trigram(char a, char b, char c) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(a)) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(c));
}

template <class F>
void ForEachTrigram(std::string_view term, F f) {
    const std::string padded = '^' + std::string(term) + '$';
    for (size_t i = 0; i + 3 <= padded.size(); ++i) {
        f(Trigram(padded[i], padded[i + 1], padded[i + 2]));
    }
}

// Postings of a memory's word read in full. A longer list (a large project's common words) is
// read through a sample of about kSampled of its answers, those whose sample key falls below
// the bar: the keys come from the answers' texts, so a sample is a pure function of what the
// memory holds, and the answers sampled from a longer list are sampled from every shorter one.
constexpr size_t kFullList = CodingMemory::kKeyedList;
constexpr size_t kSampled = 1024;

uint32_t SampleBar(size_t size) {
    if (size <= kFullList) return UINT32_MAX;
    return static_cast<uint32_t>((uint64_t{1} << 31) * kSampled / size);
}

// In the ranking's flags of a slot: the slot is among those considered.
constexpr uint8_t kConsidered = 2;

// A word held by more of the memory's answers than this says little and costs most: passed over
// (never in a small memory).
size_t CommonWord(const CodingMemory& memory) {
    return memory.AnswerCount() < 2000 ? SIZE_MAX : memory.AnswerCount() / 4;
}

// A term of the answer being ranked.
struct QueryTerm {
    std::string term;
    std::string shown;
    float weight;  // field weight times rarity
    float field;   // weight of the most telling field: at least kOtherFieldWeight in the first two
    std::vector<std::pair<uint32_t, float>> known;  // term id, trust
};

}  // namespace

class SuggestionIndex {
  public:
    struct Category {
        std::string code;
    };
    struct Phrase {
        uint32_t category;
        uint16_t length;  // terms
    };
    struct Term {
        std::string text;
        float idf = 0;
        std::vector<uint32_t> phrases;
        std::vector<std::pair<uint32_t, float>> bag;  // category, weighted frequency
    };

    std::vector<Category> categories;
    std::unordered_map<std::string, uint32_t> codeToCategory;
    std::vector<Phrase> phrases;
    std::vector<Term> terms;
    std::unordered_map<std::string, uint32_t> termIds;
    std::vector<float> bagLength;
    float averageBagLength = 1;
    float maxIdf = 1;
    // The words as written (folded), for typos: a typo often spoils the ending the stemmer
    // would have removed.
    std::vector<std::pair<std::string, uint32_t>> surfaces;  // word, term id
    std::unordered_map<std::string, uint32_t> surfaceIds;
    std::unordered_map<uint32_t, std::vector<uint32_t>> trigrams;  // -> surface ids
    std::vector<uint32_t> sortedTerms;  // term ids in the order of their text
    // The terms that end a phrase: the nouns a job is named by ("teacher", "worker").
    std::unordered_set<uint32_t> heads;

    // An answer's fields as ranked, with their weights: the first read as the job title and
    // what is said around it, which weighs as the tasks do; the tasks say most after the title,
    // the fields after them (industry, status, answer labels such as "Don't know") less and less.
    template <class Texts>
    std::vector<std::pair<std::string_view, float>> Fields(const Texts& texts) const {
        std::vector<std::pair<std::string_view, float>> fields;
        if (texts.empty()) return fields;
        const auto parts = suggest::SplitTitle(
            texts[0], [&](std::string_view w) { return surfaceIds.count(std::string(w)) != 0; },
            [&](std::string_view w) { return IsHead(w); });
        fields.emplace_back(parts.title, 1.0f);
        if (!parts.context.empty()) fields.emplace_back(parts.context, suggest::kOtherFieldWeight);
        for (size_t f = 1; f < texts.size(); ++f) {
            fields.emplace_back(texts[f], suggest::kOtherFieldWeight / static_cast<float>(f));
        }
        return fields;
    }

    // The learnt model's features of an answer's fields: the title's stems and their letter 2-
    // to 5-grams, the other fields' stems at their field's weight.
    void ModelFeatures(const std::vector<std::pair<std::string_view, float>>& fields,
                       std::vector<ModelFeature>& out) const {
        out.clear();
        auto hashed = [](char kind, std::string_view text) {
            using namespace key_index_detail;
            uint64_t h = FnvStep(kFnvOffset, kind);
            for (char c : text) h = FnvStep(h, c);
            return static_cast<uint32_t>((h ^ (h >> 32)) & (LearntModel::kFeatures - 1));
        };
        std::string scratch;
        std::string padded;
        std::string previous;
        for (const auto& field : fields) {
            const float weight = field.second;  // a lambda may not capture a structured binding
            const bool title = weight >= 1.0f;
            previous.clear();
            suggest::ForEachFoldedWord(field.first, scratch, [&](std::string_view w) {
                const std::string stem = suggest::Stem(w);
                out.emplace_back(hashed(title ? 't' : 'o', stem), weight);
                if (!title) return;
                if (!previous.empty()) out.emplace_back(hashed('b', previous + ' ' + stem), 1.0f);
                previous = stem;
                padded = '^';
                padded += w;
                padded += '$';
                for (size_t len = 2; len <= 5; ++len) {
                    for (size_t i = 0; i + len <= padded.size(); ++i) {
                        out.emplace_back(hashed('g', std::string_view(padded).substr(i, len)),
                                         1.0f);
                    }
                }
            });
        }
    }

    // Whether `folded` ends a phrase of the classification, as a job title does.
    bool IsHead(std::string_view folded) const {
        auto it = termIds.find(suggest::Stem(folded));
        return it != termIds.end() && heads.count(it->second) != 0;
    }

    uint32_t TermId(const std::string& t) {
        auto [it, added] = termIds.emplace(t, static_cast<uint32_t>(terms.size()));
        if (added) terms.push_back({t, 0, {}, {}});
        return it->second;
    }

    // Each phrase's category and text, once per category, for the learnt model.
    std::vector<std::pair<uint32_t, std::string>> phraseTexts;

    void AddPhrase(uint32_t cat, std::string_view text, std::unordered_map<uint32_t, float>& bag) {
        if (!text.empty() &&
            std::none_of(phraseTexts.rbegin(),
                         phraseTexts.rbegin() +
                             static_cast<std::ptrdiff_t>(std::min<size_t>(phraseTexts.size(), 64)),
                         [&](const auto& p) { return p.first == cat && p.second == text; })) {
            phraseTexts.emplace_back(cat, std::string(text));
        }
        std::vector<uint32_t> ids;
        uint32_t last = 0;
        for (const auto& w : suggest::Words(text)) {
            const uint32_t id = TermId(w.term);
            last = id;
            if (w.folded.size() >= kTypoLength) {
                surfaceIds.emplace(w.folded, static_cast<uint32_t>(surfaces.size()));
                if (surfaceIds.size() > surfaces.size()) surfaces.emplace_back(w.folded, id);
            }
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
            bag[id] += 1.0f;
        }
        if (ids.empty()) return;
        heads.insert(last);
        const auto p = static_cast<uint32_t>(phrases.size());
        phrases.push_back({cat, static_cast<uint16_t>(std::min<size_t>(ids.size(), 65535))});
        for (uint32_t id : ids) terms[id].phrases.push_back(p);
    }

    void Build(const Classification& clf, const WorkProgress& progress) {
        ProgressMeter meter(progress, static_cast<size_t>(clf.Count()));
        std::unordered_map<uint32_t, float> bag;
        for (int i = 0; i < clf.Count(); ++i) {
            meter.Advance(static_cast<size_t>(i));
            const TKat& kat = clf.Category(i);
            if (!kat.IsLowest || kat.IsMissingData || kat.IsNotApplicable) continue;
            const auto cat = static_cast<uint32_t>(categories.size());
            categories.push_back({kat.Code});
            codeToCategory.emplace(kat.Code, cat);
            bag.clear();
            AddPhrase(cat, kat.Name, bag);
            AddPhrase(cat, kat.ShortLabel, bag);
            for (const std::string& key : kat.KeyTexts) AddPhrase(cat, key, bag);
            for (const auto& w : suggest::Words(kat.Description)) {
                bag[TermId(w.term)] += kDescriptionWeight;
            }
            float length = 0;
            for (const auto& [id, tf] : bag) {
                terms[id].bag.emplace_back(cat, tf);
                length += tf;
            }
            bagLength.push_back(length);
        }
        meter.Finish();
        const auto n = static_cast<float>(std::max<size_t>(categories.size(), 1));
        float total = 0;
        for (float l : bagLength) total += l;
        averageBagLength = std::max(1.0f, total / n);
        maxIdf = std::log(1.0f + n);
        sortedTerms.resize(terms.size());
        for (size_t id = 0; id < terms.size(); ++id) {
            Term& t = terms[id];
            const auto df = static_cast<float>(std::max<size_t>(t.bag.size(), 1));
            t.idf = std::log(1.0f + n / df);
            sortedTerms[id] = static_cast<uint32_t>(id);
        }
        for (size_t sid = 0; sid < surfaces.size(); ++sid) {
            ForEachTrigram(surfaces[sid].first, [&](uint32_t g) {
                auto& list = trigrams[g];
                if (list.empty() || list.back() != sid) list.push_back(static_cast<uint32_t>(sid));
            });
        }
        std::sort(sortedTerms.begin(), sortedTerms.end(),
                  [&](uint32_t a, uint32_t b) { return terms[a].text < terms[b].text; });
    }

    // Known terms of the written words one letter away from `word` (two for long words), the
    // nearest only. A typo rarely hits the first letter, and allowing it there brings mostly
    // other words.
    std::vector<uint32_t> Corrections(const std::string& word) const {
        if (word.size() < kTypoLength) return {};
        const int limit = word.size() >= kTwoTyposLength ? 2 : 1;
        // Trigrams shared, by written word, in scratch kept between calls: a common trigram
        // names thousands of words, and a map node for each cost more than the rest of the
        // search. The words are visited in the order first met; what is kept is sorted.
        thread_local std::vector<uint32_t> sharedOf;
        thread_local std::vector<uint32_t> met;
        if (sharedOf.size() < surfaces.size()) sharedOf.resize(surfaces.size(), 0);
        met.clear();
        int grams = 0;
        ForEachTrigram(word, [&](uint32_t g) {
            ++grams;
            auto it = trigrams.find(g);
            if (it == trigrams.end()) return;
            for (uint32_t sid : it->second) {
                if (sharedOf[sid]++ == 0) met.push_back(sid);
            }
        });
        const int need = std::max(1, grams - 3 * limit);  // an edit spoils at most three
        int best = limit + 1;
        std::vector<uint32_t> found;
        for (uint32_t sid : met) {
            const auto count = static_cast<int>(sharedOf[sid]);
            sharedOf[sid] = 0;
            const std::string& known = surfaces[sid].first;
            if (count < need || known[0] != word[0]) continue;
            const int d = suggest::EditDistance(word, known, limit);
            if (d > best) continue;
            if (d < best) {
                best = d;
                found.clear();
            }
            const uint32_t id = surfaces[sid].second;
            if (std::find(found.begin(), found.end(), id) == found.end()) found.push_back(id);
        }
        std::sort(found.begin(), found.end());
        if (found.size() > 4) found.resize(4);
        return found;
    }

    // The words of a text, and after each word that makes a known word with the next ("book
    // keeper", "bull dozer"), that word as well.
    std::vector<suggest::Word> ReadWords(std::string_view text, const CodingMemory& memory) const {
        std::vector<suggest::Word> words = suggest::Words(text);
        std::vector<suggest::Word> out;
        out.reserve(words.size());
        for (size_t i = 0; i < words.size(); ++i) {
            if (i + 1 < words.size()) {
                std::string joined = words[i].folded + words[i + 1].folded;
                std::string stem = suggest::Stem(joined);
                if (termIds.count(stem) != 0 || memory.PostingsOf(stem) != nullptr) {
                    out.push_back({std::move(joined), std::move(stem)});
                }
            }
            if (words[i].folded.size() >= 2 * kPartLength && termIds.count(words[i].term) == 0 &&
                memory.PostingsOf(words[i].term) == nullptr) {
                // A typo correction goes first; it is looked for only where a split exists, as
                // the ranking looks for it again for a word left whole.
                auto parts = SplitInTwo(words[i].folded);
                if (parts && Corrections(words[i].folded).empty()) {
                    out.push_back(std::move(parts->first));
                    out.push_back(std::move(parts->second));
                    continue;
                }
            }
            out.push_back(std::move(words[i]));
        }
        return out;
    }

    // A word that the classification knows only as two ("meatcutter", "railtrack"): its two
    // parts, the split that leaves the shorter part longest.
    std::optional<std::pair<suggest::Word, suggest::Word>> SplitInTwo(
        const std::string& folded) const {
        size_t bestAt = 0;
        std::string left, right;
        for (size_t at = kPartLength; at + kPartLength <= folded.size(); ++at) {
            std::string l = suggest::Stem(std::string_view(folded).substr(0, at));
            std::string r = suggest::Stem(std::string_view(folded).substr(at));
            if (termIds.count(l) == 0 || termIds.count(r) == 0) continue;
            if (bestAt == 0 ||
                std::min(at, folded.size() - at) > std::min(bestAt, folded.size() - bestAt)) {
                bestAt = at;
                left = std::move(l);
                right = std::move(r);
            }
        }
        if (bestAt == 0) return std::nullopt;
        return std::pair{suggest::Word{folded.substr(0, bestAt), std::move(left)},
                         suggest::Word{folded.substr(bestAt), std::move(right)}};
    }

    // The memory's naive Bayes probability of each category for the query: each word the memory
    // holds a feature, weighing as its field, with no prior for the codes, over the codes the
    // memory holds; an answer given several codes counts as its most frequent one. Where the
    // closest learnt answers disagree, it says which code the answer's words go with most often. A
    // word's counts by code are summed from its answers here, so that learning pays nothing for
    // them.
    std::vector<float> BayesEstimate(const std::vector<QueryTerm>& query,
                                     const CodingMemory& memory) const {
        std::vector<float> bayes(categories.size(), 0.0f);
        if (memory.vocabulary_ == 0) return bayes;
        const size_t codes = memory.codeNames_.size();
        thread_local std::vector<float> evidence, units;
        thread_local std::vector<uint32_t> seen, counted;
        evidence.assign(codes, 0.0f);
        units.assign(codes, 0.0f);
        seen.clear();
        const float logSmoothing = std::log(kBayesSmoothing);
        float features = 0;
        for (const QueryTerm& q : query) {
            const uint32_t term = memory.TermIdOf(q.term);
            // A word most answers hold says little and costs most: not a feature.
            if (term == UINT32_MAX || memory.postings_[term].size() > CommonWord(memory)) continue;
            features += q.field;
            counted.clear();
            // A long list is counted from its sample, each answer of it standing for the rest.
            const uint32_t bar = SampleBar(memory.postings_[term].size());
            const float share = bar == UINT32_MAX ? 1.0f : static_cast<float>(1u << 31) / bar;
            memory.ForEachBelow(term, bar, [&](const CodingMemory::Posting& p) {
                // A job title's word counts 3 units, the next field's 1: see Answer::units.
                const float unit = p.Titled() ? 3.0f * share : share;
                const uint64_t code = memory.slotCode_[p.slot];
                const auto id = static_cast<uint32_t>(code >> 32);
                if (units[id] == 0) counted.push_back(id);
                units[id] += unit * static_cast<float>(code & UINT32_MAX);
            });
            for (uint32_t d : counted) {
                if (evidence[d] == 0) seen.push_back(d);
                evidence[d] +=
                    q.field * (std::log(kBayesSmoothing + units[d] / 3.0f) - logSmoothing);
                units[d] = 0;
            }
        }
        if (seen.empty()) return bayes;
        // log P(words | code) = evidence - features * log(size + spread), leaving out the
        // features * log(smoothing) that every code shares.
        const float spread = kBayesSmoothing * static_cast<float>(memory.vocabulary_);
        thread_local std::vector<float> logp;
        logp.assign(codes, 0.0f);
        float most = -INFINITY;
        for (size_t d = 0; d < codes; ++d) {
            if (memory.codeUnits_[d] <= 0) continue;
            logp[d] = evidence[d] -
                      features * std::log(static_cast<float>(memory.codeUnits_[d]) / 3.0f + spread);
            most = std::max(most, logp[d]);
        }
        float sum = 0;
        for (size_t d = 0; d < codes; ++d) {
            if (memory.codeUnits_[d] > 0) sum += std::exp(logp[d] - most);
        }
        for (uint32_t d : seen) {
            // A code this unlikely moves no ranking; the look-up costs more than the rest.
            const float p = std::exp(logp[d] - most) / sum;
            if (p < 1e-4f) continue;
            auto it = codeToCategory.find(memory.codeNames_[d]);
            if (it != codeToCategory.end()) bayes[it->second] = p;
        }
        return bayes;
    }

    // Known terms that share the longest beginning (of at least five letters, at most three
    // short of the term) with `term`: "biotechn" finds "biotechnolog".
    std::vector<uint32_t> SameBeginning(const std::string& term) const {
        std::vector<uint32_t> found;
        for (size_t len = term.size() - 1; len >= kBeginningLength && len + 3 >= term.size();
             --len) {
            const std::string_view prefix(term.data(), len);
            auto it = std::lower_bound(
                sortedTerms.begin(), sortedTerms.end(), prefix,
                [&](uint32_t id, std::string_view p) {
                    return std::string_view(terms[id].text).substr(0, p.size()) < p;
                });
            for (; it != sortedTerms.end() && found.size() < 8; ++it) {
                if (std::string_view(terms[*it].text).substr(0, len) != prefix) break;
                found.push_back(*it);
            }
            if (!found.empty()) break;
        }
        return found;
    }
};

SuggestionEngine::SuggestionEngine(const Classification& clf, const WorkProgress& progress)
    : index_(std::make_unique<SuggestionIndex>()) {
    index_->Build(clf, progress);
}
SuggestionEngine::~SuggestionEngine() = default;
SuggestionEngine::SuggestionEngine(SuggestionEngine&&) noexcept = default;
SuggestionEngine& SuggestionEngine::operator=(SuggestionEngine&&) noexcept = default;

size_t SuggestionEngine::CategoryCount() const { return index_->categories.size(); }

std::shared_ptr<const LearntModel> SuggestionEngine::BuildModel(
    const ModelSource& source, const WorkProgress& progress) const {
    const SuggestionIndex& ix = *index_;
    if (source.answers.size() < kModelAnswers || ix.categories.empty()) return nullptr;
    const auto started = std::chrono::steady_clock::now();
    std::vector<ModelDocument> documents;
    // The classification's phrases, so that the model knows every category and a learnt answer
    // is weighed against the key words.
    for (const auto& phrase : ix.phraseTexts) {
        ModelDocument d;
        d.label = phrase.first;
        ix.ModelFeatures({{phrase.second, 1.0f}}, d.features);
        if (!d.features.empty()) documents.push_back(std::move(d));
    }
    std::vector<const ModelSource::Answer*> learnt;
    for (const auto& a : source.answers) learnt.push_back(&a);
    if (learnt.size() > kModelMostAnswers) {
        std::nth_element(learnt.begin(), learnt.begin() + kModelMostAnswers, learnt.end(),
                         [](const auto* a, const auto* b) {
                             return ModelSource::Before(a->times, a->key, a->text, b->times, b->key,
                                                        b->text);
                         });
        learnt.resize(kModelMostAnswers);
    }
    std::vector<std::string_view> texts;
    for (const ModelSource::Answer* a : learnt) {
        const std::string& answer = a->text;
        auto it = ix.codeToCategory.find(a->code);
        if (it == ix.codeToCategory.end()) continue;
        texts.clear();
        for (size_t at = 0;;) {
            const size_t end = answer.find(kAnswerFieldSeparator, at);
            texts.push_back(std::string_view(answer).substr(at, end - at));
            if (end == std::string::npos) break;
            at = end + kAnswerFieldSeparator.size();
        }
        ModelDocument d;
        d.label = it->second;
        ix.ModelFeatures(ix.Fields(texts), d.features);
        if (!d.features.empty()) documents.push_back(std::move(d));
    }
    auto model = LearntModel::Train(std::move(documents),
                                    static_cast<uint32_t>(ix.categories.size()), progress);
    model->source = source.hash;
    model->answersOf.assign(ix.categories.size(), 0);
    for (const auto& [code, times] : source.coded) {
        if (auto it = ix.codeToCategory.find(code); it != ix.codeToCategory.end()) {
            model->answersOf[it->second] = times;
        }
    }
    model->seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return model;
}

void SuggestionEngine::RefreshModel(CodingMemory& memory, const WorkProgress& progress) const {
    if (memory.Model() != nullptr || memory.AnswerCount() < kModelAnswers) return;
    memory.KeepModel(BuildModel(memory.ModelSnapshot(kModelMostAnswers), progress));
}

std::vector<Suggestion> SuggestionEngine::Rank(const std::vector<std::string>& texts,
                                               const CodingMemory& memory, size_t top) const {
    return Ranked(texts, memory, top, nullptr, true);
}

DetailedRanking SuggestionEngine::RankDetailed(const std::vector<std::string>& texts,
                                               const CodingMemory& memory, size_t top,
                                               bool withModel) const {
    DetailedRanking out;
    out.suggestions = Ranked(texts, memory, top, &out.features, withModel);
    return out;
}

std::vector<Suggestion> SuggestionEngine::Ranked(const std::vector<std::string>& texts,
                                                 const CodingMemory& memory, size_t top,
                                                 RankFeatures* features, bool withModel) const {
    const SuggestionIndex& ix = *index_;
    std::vector<Suggestion> out;
    if (top == 0 || ix.categories.empty()) return out;
    const size_t n = ix.categories.size();
    std::vector<bool> taken(n, false);

    // An answer coded before: its codes first, the most frequent first.
    const auto before = memory.CodesOf(texts);
    uint32_t total = 0;
    for (const auto& c : before) total += c.count;
    for (const auto& c : before) {
        auto it = ix.codeToCategory.find(c.code);
        if (it == ix.codeToCategory.end() || taken[it->second]) continue;
        taken[it->second] = true;
        const int score = std::max(1, static_cast<int>(std::lround(100.0 * c.count / total)));
        out.push_back({c.code, score, msg::CodedBefore(c.count)});
        if (out.size() >= top) {
            if (features == nullptr) return out;
            break;  // the features need the words' scores below
        }
    }
    if (features != nullptr && !out.empty()) {
        features->ranked = true;
        features->identicalCount = total;
        for (const auto& c : before) {
            if (c.code == out[0].code) {
                features->identicalShare = static_cast<float>(c.count) / static_cast<float>(total);
            }
        }
    }

    // The query: each distinct term with the weight of the most telling field it stands in.
    const auto fields = ix.Fields(texts);
    std::vector<QueryTerm> query;
    for (const auto& [text, fieldWeight] : fields) {
        for (auto& w : ix.ReadWords(text, memory)) {
            auto it = std::find_if(query.begin(), query.end(),
                                   [&](const QueryTerm& q) { return q.term == w.term; });
            if (it != query.end()) {
                it->weight = std::max(it->weight, fieldWeight);
                it->field = it->weight;
            } else {
                query.push_back(
                    {std::move(w.term), std::move(w.folded), fieldWeight, fieldWeight, {}});
            }
        }
    }
    float querySum = 0;
    float scoredSum = 0;  // what a score is a share of
    for (QueryTerm& q : query) {
        auto id = ix.termIds.find(q.term);
        float idf = ix.maxIdf;
        if (id != ix.termIds.end()) {
            q.known.emplace_back(id->second, 1.0f);
            idf = ix.terms[id->second].idf;
        } else {
            std::vector<uint32_t> near = ix.Corrections(q.shown);
            float trust = kCorrectedTrust;
            if (near.empty() && q.term.size() > kBeginningLength) {
                near = ix.SameBeginning(q.term);
                trust = kBeginningTrust;
            }
            for (uint32_t c : near) {
                q.known.emplace_back(c, trust);
                idf = std::min(idf, ix.terms[c].idf);
            }
        }
        q.weight *= idf;
        querySum += q.weight;
        const bool laterFieldsOnly = q.field < suggest::kOtherFieldWeight;
        if (!laterFieldsOnly || !q.known.empty()) scoredSum += q.weight;
    }
    if (querySum <= 0) return out;  // the features stay at nothing found by the words
    // The title's terms, when the classification knows each of them as written: a category with
    // a key word of just these words names the job as the respondent did.
    size_t titleTerms = 0;
    bool titleKnown = true;
    for (const QueryTerm& q : query) {
        if (q.field < 1.0f) continue;
        ++titleTerms;
        titleKnown = titleKnown && q.known.size() == 1 && q.known[0].second == 1.0f;
    }
    if (!titleKnown) titleTerms = 0;
    // A word of the later fields (industry, status, answer labels such as "Don't know") that
    // the classification does not know can match nothing and says nothing of the job: it takes
    // nothing from a score. Every score grows alike, so the order stays.
    const float undiluted = scoredSum > 0 ? querySum / scoredSum : 1.0f;

    // The classification: phrases and bags.
    std::vector<float> best(n, 0.0f);        // best phrase, 0..1
    std::vector<float> bag(n, 0.0f);         // BM25, 0..1 of the query's weight
    std::vector<uint32_t> matched(n, 0);     // bit per query term (the first 32) for the reason
    std::vector<bool> exactTitle(n, false);  // a key word is the title
    {
        struct Hit {
            float weight = 0;
            uint32_t count = 0;
            uint32_t title = 0;  // title terms met as written
        };
        thread_local std::vector<Hit> hitOf;
        thread_local std::vector<uint32_t> hitPhrases;
        if (hitOf.size() < ix.phrases.size()) hitOf.resize(ix.phrases.size());
        hitPhrases.clear();
        for (size_t qi = 0; qi < query.size(); ++qi) {
            const QueryTerm& q = query[qi];
            for (const auto& [id, trust] : q.known) {
                const auto& term = ix.terms[id];
                for (uint32_t p : term.phrases) {
                    auto& h = hitOf[p];
                    if (h.count == 0) hitPhrases.push_back(p);
                    h.weight += q.weight * trust;
                    h.count += 1;
                    h.title += q.field >= 1.0f && trust == 1.0f ? 1 : 0;
                }
                for (const auto& [cat, tf] : term.bag) {
                    const float k =
                        kBm25K1 * (1 - kBm25B + kBm25B * ix.bagLength[cat] / ix.averageBagLength);
                    bag[cat] += q.weight * trust * tf / (tf + k);
                    if (qi < 32) matched[cat] |= 1u << qi;
                }
            }
        }
        for (uint32_t p : hitPhrases) {
            const Hit h = hitOf[p];
            hitOf[p] = Hit{};
            const auto& phrase = ix.phrases[p];
            const float covered = std::min(1.0f, static_cast<float>(h.count) / phrase.length);
            const float sim = h.weight / querySum * covered;
            best[phrase.category] = std::max(best[phrase.category], sim);
            if (titleTerms > 0 && h.title == titleTerms && h.count == titleTerms &&
                phrase.length == titleTerms) {
                exactTitle[phrase.category] = true;
            }
        }
    }

    // The memory: answers that share words with this one vote for their codes. The sums lie
    // in scratch arrays over the memory's slots, kept between calls.
    std::vector<float> learnt(n, 0.0f);
    std::vector<float> closest(n, 0.0f);
    std::vector<uint32_t> learntFrom(n, UINT32_MAX);
    // Times the category was given to learnt answers that share a word of the title.
    std::vector<uint32_t> support(n, 0);
    if (memory.AnswerCount() > 0) {
        thread_local std::vector<float> weightOf;
        thread_local std::vector<float> matchedOf;
        thread_local std::vector<uint32_t> touched;
        thread_local std::vector<uint8_t> titledOf;  // shares a word of the title
        const size_t slots = memory.answers_.size();
        if (weightOf.size() < slots) {
            weightOf.resize(slots, 0.0f);
            matchedOf.resize(slots, 0.0f);
            titledOf.resize(slots, 0);
        }
        touched.clear();
        const auto answers = static_cast<float>(memory.AnswerCount());
        const size_t common = CommonWord(memory);
        float sum = 0;
        // A long list is read through its sample (see SampleBar) for answers to consider; what
        // its word adds to each answer considered is then taken from that answer's own words, so
        // that every answer considered is weighed in full.
        struct LongList {
            const std::vector<CodingMemory::Posting>* list;
            uint32_t term;
            float weight;  // the query word's, times the reading's trust
            uint8_t titled;
        };
        std::vector<LongList> longLists;
        auto consider = [&](uint32_t slot) {
            if ((titledOf[slot] & kConsidered) != 0) return;
            titledOf[slot] |= kConsidered;
            touched.push_back(slot);
        };
        for (const QueryTerm& q : query) {
            // The word itself when the memory knows it, else the classification's readings.
            struct Reading {
                const std::vector<CodingMemory::Posting>* list;
                uint32_t term;
                float trust;
            };
            std::vector<Reading> lists;
            if (const uint32_t own = memory.TermIdOf(q.term); own != UINT32_MAX) {
                lists.push_back({&memory.postings_[own], own, 1.0f});
            } else {
                for (const auto& [id, trust] : q.known) {
                    const uint32_t term = memory.TermIdOf(ix.terms[id].text);
                    if (term != UINT32_MAX) lists.push_back({&memory.postings_[term], term, trust});
                }
            }
            // Rarity by the classification when it knows the word, else by the memory.
            float weight = q.weight;
            if (q.known.empty()) {
                const size_t df = lists.empty() ? 0 : lists[0].list->size();
                weight = q.field * std::log(1.0f + answers / (static_cast<float>(df) + 0.5f));
            }
            sum += weight;
            const uint8_t titled = q.field >= 1.0f ? 1 : 0;
            for (const Reading& r : lists) {
                if (r.list->size() > common) continue;
                if (r.list->size() > kFullList) {
                    longLists.push_back({r.list, r.term, weight * r.trust, titled});
                    continue;
                }
                for (const CodingMemory::Posting& p : *r.list) {
                    consider(p.slot);
                    weightOf[p.slot] += weight * r.trust * p.Weight();
                    matchedOf[p.slot] += p.Weight();
                    titledOf[p.slot] |= titled;
                }
            }
        }
        for (const LongList& l : longLists) {
            memory.ForEachBelow(l.term, SampleBar(l.list->size()),
                                [&](const CodingMemory::Posting& p) { consider(p.slot); });
        }
        if (!longLists.empty()) {
            for (uint32_t slot : touched) {
                for (const uint32_t held : memory.answers_[slot].terms) {
                    const uint32_t term = held & ~CodingMemory::kTitleTerm;
                    const float w =
                        CodingMemory::Posting::WeightOf((held & CodingMemory::kTitleTerm) != 0);
                    for (const LongList& l : longLists) {
                        if (l.term != term) continue;
                        weightOf[slot] += l.weight * w;
                        matchedOf[slot] += w;
                        titledOf[slot] |= l.titled;
                    }
                }
            }
        }
        float most = 0;
        for (uint32_t slot : touched) {
            const float covered =
                std::min(1.0f, matchedOf[slot] / std::max(memory.slotWeight_[slot], 1e-6f));
            weightOf[slot] = weightOf[slot] / std::max(sum, 1e-6f) * std::sqrt(covered);
            most = std::max(most, weightOf[slot]);
        }
        // Answers far less alike than the closest do not move a p-norm of this order.
        const float floor = most * 0.4f;
        std::vector<std::pair<float, uint32_t>> voters;
        for (uint32_t slot : touched) {
            const float sim = weightOf[slot];
            const bool titled = (titledOf[slot] & 1) != 0;
            weightOf[slot] = 0;
            matchedOf[slot] = 0;
            titledOf[slot] = 0;
            if (sim >= floor && sim > 0) voters.emplace_back(titled ? sim : -sim, slot);
        }
        // The closest answers vote; far more of them would change no ranking.
        if (voters.size() > kVoters) {
            std::nth_element(
                voters.begin(), voters.begin() + kVoters, voters.end(),
                [](const auto& a, const auto& b) { return std::abs(a.first) > std::abs(b.first); });
            voters.resize(kVoters);
        }
        for (const auto& [signedSim, slot] : voters) {
            const float sim = std::abs(signedSim);
            const auto& a = memory.answers_[slot];
            for (const auto& c : a.codes) {
                auto it = ix.codeToCategory.find(c.code);
                if (it == ix.codeToCategory.end()) continue;
                if (signedSim > 0) support[it->second] += c.count;
                const float v = sim * static_cast<float>(c.count) / static_cast<float>(a.total);
                learnt[it->second] += std::pow(v, kMemoryNorm);
                if (v > closest[it->second]) {
                    closest[it->second] = v;
                    learntFrom[it->second] = slot;
                }
            }
        }
        for (float& v : learnt) v = std::pow(v, 1.0f / kMemoryNorm);
    }

    const std::vector<float> bayes = ix.BayesEstimate(query, memory);

    // The learnt model's decision values, when the memory has a model of its contents.
    std::vector<float> decision;
    const LearntModel* model = withModel ? memory.Model() : nullptr;
    if (model != nullptr && model->Labels() == n) {
        thread_local std::vector<ModelFeature> modelFeatures;
        ix.ModelFeatures(fields, modelFeatures);
        model->Score(modelFeatures, decision);
    }
    auto modelPart = [&](uint32_t c) {
        return decision.empty() ? 0.0f : kModelWeight * decision[c];
    };

    // Not capped at 1: a capped score would tie strong candidates and leave them in code order.
    auto rawScoreOf = [&](uint32_t c) {
        return undiluted * (kPhraseShare * std::max(best[c], kMemoryWeight * learnt[c]) +
                            (1 - kPhraseShare) * std::min(1.0f, bag[c] / querySum)) +
               kBayesWeight * bayes[c] + modelPart(c);
    };
    // A category whose key word is the title is what the respondent wrote. What the memory
    // knows of other codes lifts them to just below it, not past it, unless at least
    // kLearntSupport coded answers sharing a word of the title speak for them: one coded answer
    // may be a coder's slip or a different job ("bus driver" for "truck driver"), and words
    // shared only in the context ("teaches pupils") say nothing of which job it is.
    float exactBest = -1, exactSecond = -1;  // the two best raw scores of such categories
    uint32_t exactFirst = UINT32_MAX;
    for (uint32_t c = 0; c < n; ++c) {
        if (!exactTitle[c]) continue;
        const float s = rawScoreOf(c);
        if (s > exactBest) {
            exactSecond = exactBest;
            exactBest = s;
            exactFirst = c;
        } else if (s > exactSecond) {
            exactSecond = s;
        }
    }
    std::vector<bool> held(n, false);  // the memory's lift was held below the title's category
    auto scoreOf = [&](uint32_t c) {
        const float raw = rawScoreOf(c);
        if (exactFirst == UINT32_MAX || support[c] >= kLearntSupport) return raw;
        const float bar = c == exactFirst ? exactSecond : exactBest;
        if (bar < 0 || raw < bar) return raw;
        const float words = undiluted * (kPhraseShare * best[c] +
                                         (1 - kPhraseShare) * std::min(1.0f, bag[c] / querySum));
        return std::max(words, std::nextafter(bar, 0.0f));
    };
    std::vector<std::pair<float, uint32_t>> ranked;
    for (uint32_t c = 0; c < n; ++c) {
        if (taken[c]) continue;
        const float s = scoreOf(c);
        held[c] = s < rawScoreOf(c);
        // A category the words found stays in the list even where the model speaks against it.
        if (s > 0 || best[c] > 0 || bag[c] > 0) ranked.emplace_back(s, c);
    }
    const size_t want = std::min(ranked.size(), top - std::min(top, out.size()));
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(want),
                      ranked.end(), [&](const auto& a, const auto& b) {
                          return a.first != b.first
                                     ? a.first > b.first
                                     : ix.categories[a.second].code < ix.categories[b.second].code;
                      });
    for (size_t i = 0; i < want; ++i) {
        const uint32_t c = ranked[i].second;
        Suggestion s;
        s.code = ix.categories[c].code;
        // 100 belongs to an answer coded before.
        s.score = std::clamp(static_cast<int>(std::lround(100.0f * ranked[i].first)), 1, 99);
        const float words = kPhraseShare * std::max(best[c], kMemoryWeight * learnt[c]);
        if (!held[c] && modelPart(c) > words && c < model->answersOf.size() &&
            model->answersOf[c] > 0) {
            s.reason = msg::LearntFrom(model->answersOf[c]);
        } else if (kMemoryWeight * learnt[c] > best[c] && learntFrom[c] != UINT32_MAX && !held[c]) {
            s.reason = msg::kSimilarCodedBefore;
            s.reason += CodingMemory::ShownPart(memory.answers_[learntFrom[c]].text);
        } else {
            for (size_t qi = 0; qi < query.size() && qi < 32; ++qi) {
                if ((matched[c] & (1u << qi)) == 0) continue;
                if (!s.reason.empty()) s.reason += ", ";
                s.reason += query[qi].shown;
            }
        }
        out.push_back(std::move(s));
    }
    if (features == nullptr || out.empty()) return out;

    RankFeatures& f = *features;
    f.ranked = true;
    const uint32_t first = ix.codeToCategory.at(out[0].code);
    f.score = scoreOf(first);
    float other = 0;
    // The classification's own favourite: the same reading of the words without the memory.
    auto wordsOf = [&](uint32_t c) {
        return kPhraseShare * best[c] + (1 - kPhraseShare) * std::min(1.0f, bag[c] / querySum);
    };
    uint32_t favourite = UINT32_MAX;
    float favouriteScore = 0;
    for (uint32_t c = 0; c < n; ++c) {
        if (c != first) other = std::max(other, scoreOf(c));
        const float w = wordsOf(c);
        // Ties go to the smaller code, as in the ranking.
        if (w > favouriteScore || (w == favouriteScore && w > 0 &&
                                   ix.categories[c].code < ix.categories[favourite].code)) {
            favouriteScore = w;
            favourite = c;
        }
    }
    f.margin = f.score - other;
    f.phrase = best[first];
    f.learnt = kMemoryWeight * learnt[first];
    f.bayes = bayes[first];
    f.classificationAgrees = favourite == first;
    f.terms = static_cast<uint32_t>(query.size());
    float matchedWeight = 0;
    for (size_t qi = 0; qi < query.size() && qi < 32; ++qi) {
        if ((matched[first] & (1u << qi)) == 0) continue;
        ++f.matchedTerms;
        matchedWeight += query[qi].weight;
    }
    f.matchedShare = std::min(1.0f, matchedWeight / std::max(scoredSum, 1e-6f));
    return out;
}

}  // namespace tarnwick
