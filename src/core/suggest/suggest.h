#pragma once
// Ranked suggestions for one case and the coding memory behind them. The engine ranks the
// lowest-level categories of a classification against the texts of a case's information fields;
// the memory remembers the codes given to identical answers and learns from the words of every
// coded answer, so that a project's own decisions move similar answers too.
//
// Everything here is Windows-1250 bytes and pure: the memory file is read and written by
// project/memory_file.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/classification/model.h"
#include "core/io/progress.h"
#include "core/params/model.h"
#include "core/suggest/analysis.h"
#include "core/suggest/answer_index.h"
#include "core/suggest/learnt_model.h"

namespace tarnwick {

class SuggestionEngine;

struct Suggestion {
    std::string code;    // the category's Code as in the classification (TKat::Code)
    int score = 0;       // 0..100
    std::string reason;  // a few words: the words that matched, or "coded 12 times as this before"
};

// What joins the fields of a normalised answer; the memory file holds it too.
inline constexpr std::string_view kAnswerFieldSeparator = " | ";

// The normalised answer: the texts case-folded, blanks and punctuation collapsed, the fields
// joined by kAnswerFieldSeparator (an empty field stays as an empty place, trailing empty fields
// are dropped).
std::string NormaliseAnswer(const std::vector<std::string>& texts);

// The texts of information fields 1..13 of occupation field `d` in `record`, as the coding page
// shows them (answer labels in place of their codes); an undeclared field gives an empty text.
// What the engine ranks and the memory learns for a case.
std::vector<std::string> CaseInfoTexts(const TDokumZaw& d, std::string_view record);

// NormaliseAnswer(CaseInfoTexts(d, record)), without the copies: learning a large project
// normalises every case.
std::string NormaliseCaseAnswer(const TDokumZaw& d, std::string_view record);

// NormaliseCaseAnswer for many cases of one project: remembers the normalised text of each
// answer label it meets, since every case of a large project reads the same few labels. Valid
// while the fields it was given live unchanged.
class CaseAnswerNormaliser {
  public:
    // `textFieldsOnly` leaves out the fields answered from a list of labels.
    explicit CaseAnswerNormaliser(bool textFieldsOnly = false) : textOnly_(textFieldsOnly) {}
    std::string operator()(const TDokumZaw& d, std::string_view record) {
        return std::string(View(d, record));
    }
    // The same, valid until the next call.
    std::string_view View(const TDokumZaw& d, std::string_view record);

  private:
    // One information field's texts as written -> the normalised label (or code). Short texts,
    // the usual codes, are packed in a number and looked up in a short list. The text found
    // stays valid until the next Find.
    class Labels {
      public:
        template <class Make>
        const std::string& Find(std::string_view raw, Make make) {
            if (raw.size() < 8) {
                uint64_t key = raw.size();
                for (char c : raw) key = key << 8 | static_cast<unsigned char>(c);
                for (const auto& [k, text] : packed_) {
                    if (k == key) return text;
                }
                if (packed_.size() < 64) return packed_.emplace_back(key, make()).second;
            }
            auto [it, added] = other_.try_emplace(std::string(raw));
            if (added) it->second = make();
            return it->second;
        }

      private:
        std::vector<std::pair<uint64_t, std::string>> packed_;
        std::unordered_map<std::string, std::string> other_;
    };
    using LabelTexts = std::array<Labels, kInfoFields + 1>;
    std::vector<std::pair<const TDokumZaw*, LabelTexts>> fields_;
    bool textOnly_ = false;
    std::string scratch_;  // the answer as it is put together, which View returns
};

// The terms a text is searched by: its words folded to unaccented lower case, stemmed, without
// the commonest small words. Shared by the engine and the memory so that both count alike.
std::vector<std::string> AnswerTerms(std::string_view text);

// What a learnt model is made from: the memory's answers, each with its most frequent code, and
// how often each code was given. Taken on the memory's thread, so that the model can be built on
// another while the memory goes on serving.
struct ModelSource {
    struct Answer {
        std::string text;    // normalised
        std::string code;    // its most frequent
        uint32_t times = 0;  // given that code
        uint32_t key = 0;    // the answer's sample key: of answers given as often, the lower first
    };
    // The order in which a large memory's answers go into the model: the most often given first,
    // then by sample key, then by text.
    static bool Before(uint32_t timesA, uint32_t keyA, std::string_view textA, uint32_t timesB,
                       uint32_t keyB, std::string_view textB) {
        if (timesA != timesB) return timesA > timesB;
        return keyA != keyB ? keyA < keyB : textA < textB;
    }
    uint64_t hash = 0;  // the memory's content hash
    std::vector<Answer> answers;
    std::unordered_map<std::string, uint32_t> coded;  // code -> coded answers
};

// Identical answers -> codes with counts, plus the words of coded answers counted per code.
class CodingMemory {
  public:
    struct CodeCount {
        std::string code;
        uint32_t count = 0;
        uint32_t id = 0;  // the memory's own number for the code
    };

    // A word's list of answers longer than this is kept in the order of the answers' sample keys
    // but for a short tail of the latest, so that a sample of it is read from its start.
    static constexpr size_t kKeyedList = 4096;

    CodingMemory() = default;
    // Not copied: each answer points at its text in the index's blocks, which a copy would not
    // take along (Merge into an empty memory makes an equal one). Moved, the texts stay put.
    CodingMemory(const CodingMemory&) = delete;
    CodingMemory& operator=(const CodingMemory&) = delete;
    CodingMemory(CodingMemory&&) = default;
    CodingMemory& operator=(CodingMemory&&) = default;

    // One more answer with these texts coded as `code` (`times` more).
    void Learn(const std::vector<std::string>& texts, const std::string& code, uint32_t times = 1);
    // The exact inverse of Learn: the memory afterwards equals one that never learnt it. Does
    // nothing when the memory does not hold that answer with that code.
    void Unlearn(const std::vector<std::string>& texts, const std::string& code,
                 uint32_t times = 1);

    // Learn for an answer already normalised (NormaliseAnswer, NormaliseCaseAnswer).
    void LearnNormalised(std::string_view normalised, const std::string& code, uint32_t times = 1) {
        Add(normalised, code, times);
    }

    // Room for this many distinct answers more, so that learning a large project does not
    // rehash as it goes.
    void Reserve(size_t more) {
        index_.Reserve(index_.Size() + more);
        answers_.reserve(answers_.size() + more);
        slotWeight_.reserve(slotWeight_.size() + more);
        slotCode_.reserve(slotCode_.size() + more);
        slotKey_.reserve(slotKey_.size() + more);
    }

    // Distinct normalised answers remembered.
    size_t AnswerCount() const { return index_.Size(); }
    // The codes given to this answer before, the most frequent first (ties: the smaller code).
    std::vector<CodeCount> CodesOf(const std::vector<std::string>& texts) const;

    // The memory file's text (see README, "Coding memory"): a heading line, then one line per
    // answer and code, sorted, so that equal memories give equal files.
    std::string Format() const;
    // Reads a memory file's text; on a fault returns nothing and `error` (when given) says which
    // line and why. Throws WorkCancelled.
    static std::optional<CodingMemory> Parse(std::string_view text, std::string* error,
                                             const WorkProgress& progress = {});

    // Learns everything `other` holds.
    void Merge(const CodingMemory& other);

    bool operator==(const CodingMemory& other) const;

    // A number of what the memory holds, the same for equal contents however they came about
    // (an undo gives back the number of before).
    uint64_t ContentHash() const { return contentHash_; }
    // At most `most` answers: the most often given, ties by their sample keys, then texts.
    ModelSource ModelSnapshot(size_t most = SIZE_MAX) const;
    // Keeps a model built from ModelSnapshot (the last two: an undo finds the one before);
    // Model() is the one built from the memory as it stands now, or nothing.
    void KeepModel(std::shared_ptr<const LearntModel> model);
    const LearntModel* Model() const;

  private:
    friend class SuggestionEngine;
    friend class SuggestionIndex;
    struct Posting {
        uint32_t slot;
        // The answer's sample key (a hash of its text, so the same whatever the slot) above a
        // bit set for a word of the job title.
        uint32_t mark;
        bool Titled() const { return (mark & 1) != 0; }
        // The job title's words weigh 1, the next field's less.
        static float WeightOf(bool titled) { return titled ? 1.0f : suggest::kOtherFieldWeight; }
        float Weight() const { return WeightOf(Titled()); }
        uint32_t Key() const { return mark >> 1; }
    };
    // In Answer::terms, a term id with kTitleTerm set is a word of the job title.
    static constexpr uint32_t kTitleTerm = 0x80000000u;
    // Calls f(posting) for the postings of term `id` whose key is below `bar` (all for
    // UINT32_MAX), reading a long list's ordered part only up to the bar.
    template <class F>
    void ForEachBelow(uint32_t id, uint32_t bar, F f) const {
        const std::vector<Posting>& list = postings_[id];
        const size_t ordered = keyedUpTo_[id];
        size_t i = 0;
        if (bar != UINT32_MAX) {
            for (; i < ordered && list[i].Key() < bar; ++i) f(list[i]);
            i = ordered;
        }
        for (; i < list.size(); ++i) {
            if (list[i].Key() < bar) f(list[i]);
        }
    }
    // Puts a long list's tail in key order once it has grown long enough to cost a ranking.
    void KeepKeyed(uint32_t id);
    struct Answer {
        std::string_view text;  // normalised, kept by index_
        std::vector<CodeCount> codes;
        std::vector<uint32_t> terms;  // term ids of the words learnt from, with kTitleTerm
        uint32_t units = 0;  // its words: 3 for each of the job title, 1 for each of the next field
        uint32_t total = 0;  // sum of the counts
    };
    // What the answer index reads a slot's text with.
    auto SlotText() const {
        return [this](uint32_t slot) { return answers_[slot].text; };
    }
    // Returns the code's count for the answer before.
    uint32_t Add(std::string_view normalised, const std::string& code, int64_t delta);
    // What a learnt answer is shown as when it moves a code: the fields learnt from, the job
    // title and the next one, without the answer labels after them.
    static std::string ShownPart(std::string_view normalised);
    const std::vector<Posting>* PostingsOf(const std::string& term) const;
    // The term's id, or UINT32_MAX when no answer holds it.
    uint32_t TermIdOf(const std::string& term) const;

    std::vector<Answer> answers_;  // slots; a free slot has no codes
    // The sum of each slot's word weights, apart so that ranking reads it for many slots.
    std::vector<float> slotWeight_;
    // Each slot's most frequent code and its count (code id << 32 | count), 0 for a free slot:
    // what the naive Bayes estimate counts an answer as, read for many slots.
    std::vector<uint64_t> slotCode_;
    std::vector<uint32_t> slotKey_;  // each slot's sample key (see Posting)
    std::vector<uint32_t> freeSlots_;
    suggest::AnswerIndex index_;                         // normalised answer -> slot
    std::unordered_map<std::string, uint32_t> termIds_;  // stem -> term id
    std::unordered_map<std::string, uint32_t> wordIds_;  // written word -> term id
    std::vector<std::vector<Posting>> postings_;         // by term id: the answers holding it
    std::vector<uint32_t> keyedUpTo_;  // by term id: its postings before this are in key order
    // For the ranking's naive Bayes estimate: how many terms some answer holds, and by code the
    // units of the words of the answers it is the most frequent code of, each answer counted as
    // often as it was given that code.
    size_t vocabulary_ = 0;
    std::unordered_map<std::string, uint32_t> codeIds_;
    std::vector<std::string> codeNames_;  // by code id
    std::vector<int64_t> codeUnits_;      // by code id
    std::vector<uint64_t> codeTimes_;     // by code id: times given
    uint64_t contentHash_ = 0;            // sum over answers and codes of count x their hash
    std::vector<std::shared_ptr<const LearntModel>> models_;  // newest last
};

// What a ranking knows of its first suggestion beyond the list: how far ahead of the rest it
// stands and what speaks for it. How far a first suggestion can be trusted is learnt from these
// (confidence.h); the scores are the ranking's own, uncapped, as it orders by them.
struct RankFeatures {
    bool ranked = false;        // the list has a first suggestion; nothing below counts without one
    float score = 0;            // the words' score of the first code (also when an identical answer
                                // put it first)
    float margin = 0;           // that score less the best other category's; below 0 when an
                                // identical answer's code is not the words' favourite
    float phrase = 0;           // its best phrase's match, 0..1
    float learnt = 0;           // the vote of like answers of the memory for it
    float bayes = 0;            // the memory's naive Bayes probability of it, 0..1
    float matchedShare = 0;     // the share of the answer's weight found in its words, 0..1
    uint32_t matchedTerms = 0;  // the answer's terms found in its words
    uint32_t terms = 0;         // the answer's terms
    bool classificationAgrees = false;  // the classification's words alone rank it first too
    uint32_t identicalCount = 0;        // times the memory holds this exact answer (0: never)
    float identicalShare = 0;           // the share of those coded as the first code
};

// Rank's list and what it knows of its first suggestion.
struct DetailedRanking {
    std::vector<Suggestion> suggestions;
    RankFeatures features;
};

class SuggestionIndex;

class SuggestionEngine {
  public:
    // Builds the index of the classification's lowest-level categories (never the missing-data
    // or not-applicable ones). Reports progress; throws WorkCancelled when stopped.
    explicit SuggestionEngine(const Classification& clf, const WorkProgress& progress = {});
    ~SuggestionEngine();
    SuggestionEngine(SuggestionEngine&&) noexcept;
    SuggestionEngine& operator=(SuggestionEngine&&) noexcept;

    // texts: the case's information-field texts in field order (the first is the job title and
    // weighs most); up to `top` lowest-level categories, never the missing-data/not-applicable
    // ones, best first. An answer coded before ranks its earlier codes first.
    std::vector<Suggestion> Rank(const std::vector<std::string>& texts, const CodingMemory& memory,
                                 size_t top = 10) const;

    // Rank's list, the same, with the features of its first suggestion; costs a few passes over
    // the categories more. Without the model (`withModel` false) where the memory is taken apart
    // answer by answer to learn how far rankings can be trusted: a model trained on the answer
    // left out would vouch for it.
    DetailedRanking RankDetailed(const std::vector<std::string>& texts, const CodingMemory& memory,
                                 size_t top = 10, bool withModel = true) const;

    // Categories the engine ranks.
    size_t CategoryCount() const;

    // The learnt model of a memory snapshot, or nothing when the memory holds fewer than
    // kModelAnswers answers (a model of a few answers ranks worse than the words alone). Of a
    // larger memory it learns the kModelMostAnswers most often given (ties as ModelSnapshot
    // takes them): a linear model has learnt what it can long before, and each answer costs time
    // and memory. Any thread; reports progress, throws WorkCancelled.
    static constexpr size_t kModelAnswers = 200;
    static constexpr size_t kModelMostAnswers = 50000;
    std::shared_ptr<const LearntModel> BuildModel(const ModelSource& source,
                                                  const WorkProgress& progress = {}) const;
    // Builds the memory's model now when it has none for its contents and holds enough answers:
    // for the console, which ranks only after learning.
    void RefreshModel(CodingMemory& memory, const WorkProgress& progress = {}) const;

  private:
    std::vector<Suggestion> Ranked(const std::vector<std::string>& texts,
                                   const CodingMemory& memory, size_t top, RankFeatures* features,
                                   bool withModel) const;
    std::unique_ptr<SuggestionIndex> index_;
};

}  // namespace tarnwick
