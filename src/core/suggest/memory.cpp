#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <string_view>
#include <tuple>

#include "core/suggest/analysis.h"
#include "core/suggest/suggest.h"
#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

// Windows-1250 lower case of each byte.
const std::array<char, 256>& LowerTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c) t[static_cast<size_t>(c)] = static_cast<char>(c);
        for (int c = 0; c < 256; ++c) {
            const unsigned char u = UpperCase1250(static_cast<unsigned char>(c));
            if (u != c) t[u] = static_cast<char>(c);
        }
        return t;
    }();
    return table;
}

// Letters and digits stay; everything else separates words.
bool IsWordByte(unsigned char c) { return suggest::FoldByte(c) != 0; }

// Each byte as it stands in a normalised answer: lower case, or 0 for a separator.
const std::array<char, 256>& NormalTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        const auto& lower = LowerTable();
        for (int c = 0; c < 256; ++c) {
            if (IsWordByte(static_cast<unsigned char>(c))) t[static_cast<size_t>(c)] = lower[c];
        }
        return t;
    }();
    return table;
}

// Appends the normalised field to `out`; returns false when it is empty.
bool AppendNormalisedField(std::string& out, std::string_view text) {
    // Fixed-width fields are mostly padding: skip the trailing blanks at once.
    size_t size = text.size();
    while (size >= 8 && text.substr(size - 8, 8) == "        ") size -= 8;
    while (size > 0 && text[size - 1] == ' ') --size;
    text = text.substr(0, size);
    const auto& normal = NormalTable();
    const size_t start = out.size();
    out.resize(start + text.size());  // never longer than the text
    char* const begin = out.data() + start;
    char* w = begin;
    bool blank = false;
    for (char ch : text) {
        const char c = normal[static_cast<unsigned char>(ch)];
        if (c != 0) {
            if (blank && w != begin) *w++ = ' ';
            blank = false;
            *w++ = c;
        } else {
            blank = true;
        }
    }
    out.resize(start + static_cast<size_t>(w - begin));
    return w != begin;
}

// The words learnt from: the job title's and the next field's (often the duties). Later fields
// hold answer labels and the like, which make answers distinct but say little of the job; they
// still count for the identical answer.
constexpr size_t kLearntFields = 2;

// Calls f(field number, text) for the fields learnt from of a normalised answer.
template <class F>
void ForEachLearntField(std::string_view normalised, F f) {
    size_t from = 0;
    for (size_t field = 0; field < kLearntFields && from <= normalised.size(); ++field) {
        size_t bar = normalised.find(kAnswerFieldSeparator, from);
        if (bar == std::string_view::npos) bar = normalised.size();
        f(field, normalised.substr(from, bar - from));
        from = bar + kAnswerFieldSeparator.size();
    }
}

// Calls f(folded word, weight) for the words learnt from.
template <class F>
void ForEachLearntWord(std::string_view normalised, std::string& scratch, F f) {
    ForEachLearntField(normalised, [&](size_t field, std::string_view text) {
        const float weight = field == 0 ? 1.0f : suggest::kOtherFieldWeight;
        suggest::ForEachFoldedWord(text, scratch, [&](std::string_view w) { f(w, weight); });
    });
}

// Whether an answer stands as normalising leaves it: fields joined by the separator, each of words
// of lower-case letters and digits with one blank between them; the last field not empty.
bool IsNormalisedAnswer(std::string_view answer) {
    const auto& normal = NormalTable();
    bool start = true;   // at a field's start
    bool blank = false;  // just after a blank between words
    for (size_t i = 0; i < answer.size(); ++i) {
        const char ch = answer[i];
        if (!blank && answer.substr(i, kAnswerFieldSeparator.size()) == kAnswerFieldSeparator) {
            i += kAnswerFieldSeparator.size() - 1;
            start = true;  // the field may be empty
        } else if (ch == ' ') {
            if (start || blank) return false;
            blank = true;
        } else if (ch == 0 || normal[static_cast<unsigned char>(ch)] != ch) {
            return false;
        } else {
            start = blank = false;
        }
    }
    return !start && !blank;
}

// SplitMix64's finaliser: every bit of the result depends on every bit of `h`.
uint64_t Mixed(uint64_t h) {
    h ^= h >> 30;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 27;
    h *= 0x94d049bb133111ebull;
    return h ^ (h >> 31);
}

// A normalised answer's hash: its place in the answer index and its sample key.
uint64_t AnswerHash(std::string_view answer) {
    return Mixed(std::hash<std::string_view>()(answer));
}

// A well-mixed 64-bit number of an answer and a code. The standard string hash reads eight
// bytes a step, and a large project's answers are long; the number never leaves the process.
uint64_t PairHash(std::string_view answer, std::string_view code) {
    const std::hash<std::string_view> hash;
    return Mixed(Mixed(hash(answer)) + hash(code));
}

void SortCodes(std::vector<CodingMemory::CodeCount>& codes) {
    std::sort(codes.begin(), codes.end(), [](const auto& a, const auto& b) {
        return a.count != b.count ? a.count > b.count : a.code < b.code;
    });
}

constexpr std::string_view kHeading = "Tarnwick coding memory 1";

}  // namespace

std::string NormaliseAnswer(const std::vector<std::string>& texts) {
    std::string out;
    size_t size = 0;
    for (const std::string& t : texts) size += t.size() + kAnswerFieldSeparator.size();
    out.reserve(size);
    size_t kept = 0;  // the length up to the last field that is not empty
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) out += kAnswerFieldSeparator;
        if (AppendNormalisedField(out, texts[i])) kept = out.size();
    }
    out.resize(kept);
    return out;
}

std::string NormaliseCaseAnswer(const TDokumZaw& d, std::string_view record) {
    return CaseAnswerNormaliser()(d, record);
}

std::string_view CaseAnswerNormaliser::View(const TDokumZaw& d, std::string_view record) {
    auto field =
        std::find_if(fields_.begin(), fields_.end(), [&](const auto& f) { return f.first == &d; });
    if (field == fields_.end()) field = fields_.insert(fields_.end(), {&d, LabelTexts{}});
    LabelTexts& labelTexts = field->second;
    std::string& out = scratch_;
    out.clear();
    out.reserve(record.size());
    size_t kept = 0;
    for (int n = 1; n <= kInfoFields; ++n) {
        if (n > 1) out += kAnswerFieldSeparator;
        if (d.InfoPos[n] <= 0) continue;
        const LabelList& labels = d.InfoLabels[n];
        if (textOnly_ && !labels.Empty()) continue;
        const std::string_view v = CutField(record, d.InfoPos[n], d.InfoWidth[n]);
        bool any;
        if (labels.Empty()) {
            any = AppendNormalisedField(out, v);
        } else {
            const std::string& text = labelTexts[static_cast<size_t>(n)].Find(v, [&] {
                std::string normalised;
                const std::string code = NormaliseCode(v, d.InfoWidth[n]);
                const int i = labels.Find(code);
                AppendNormalisedField(normalised, i >= 0 ? std::string_view(labels[i].Text) : code);
                return normalised;
            });
            out += text;
            any = !text.empty();
        }
        if (any) kept = out.size();
    }
    out.resize(kept);
    return out;
}

std::vector<std::string> CaseInfoTexts(const TDokumZaw& d, std::string_view record) {
    std::vector<std::string> texts;
    texts.reserve(kInfoFields);
    for (int n = 1; n <= kInfoFields; ++n) texts.push_back(InfoText(d, record, n));
    return texts;
}

std::vector<std::string> AnswerTerms(std::string_view text) {
    std::vector<std::string> terms;
    for (auto& w : suggest::Words(text)) terms.push_back(std::move(w.term));
    return terms;
}

uint32_t CodingMemory::Add(std::string_view normalised, const std::string& code, int64_t delta) {
    if (normalised.empty() || code.empty() || delta == 0) return 0;
    // One hash of the text finds it in the index and gives a new answer its sample key.
    const uint64_t hash = AnswerHash(normalised);
    uint32_t slot = suggest::AnswerIndex::kNone;
    bool added = false;
    if (delta < 0) {
        slot = index_.Find(normalised, hash, SlotText());
        if (slot == suggest::AnswerIndex::kNone) return 0;
    } else {
        // One look-up for a new answer as for a known one: a large project's are mostly new.
        const auto next =
            freeSlots_.empty() ? static_cast<uint32_t>(answers_.size()) : freeSlots_.back();
        slot = index_.Insert(normalised, hash, next, SlotText(), added);
    }
    if (added) {
        if (slot == answers_.size()) {
            answers_.emplace_back();
            slotWeight_.push_back(0);
            slotCode_.push_back(0);
            slotKey_.push_back(0);
        } else {
            freeSlots_.pop_back();
        }
        Answer& a = answers_[slot];
        a.text = index_.Keep(normalised);
        // The sample key: from the text, so that a long list's sample is the same answers
        // however the memory came about.
        const uint32_t mark = static_cast<uint32_t>(hash >> 33) << 1;
        slotKey_[slot] = mark >> 1;
        float& termWeight = slotWeight_[slot];
        termWeight = 0;
        std::string scratch;
        // Gathered apart and then copied once: growing each answer's list costs allocations.
        thread_local std::vector<uint32_t> terms;
        terms.clear();
        ForEachLearntWord(a.text, scratch, [&](std::string_view word, float weight) {
            // Each written word is stemmed and looked up once per memory.
            auto it = wordIds_.find(scratch);
            if (it == wordIds_.end()) {
                auto [term, fresh] = termIds_.try_emplace(suggest::Stem(word),
                                                          static_cast<uint32_t>(postings_.size()));
                if (fresh) {
                    postings_.emplace_back();
                    keyedUpTo_.push_back(0);
                }
                it = wordIds_.emplace(scratch, term->second).first;
            }
            const uint32_t id = it->second;
            auto& list = postings_[id];
            const uint32_t titled = weight >= 1.0f ? 1 : 0;
            if (!list.empty() && list.back().slot == slot) {
                list.back().mark |= titled;
                return;
            }
            if (std::find(terms.begin(), terms.end(), id) != terms.end()) return;
            terms.push_back(id);
            if (list.empty()) ++vocabulary_;
            list.push_back({slot, mark | titled});
        });
        a.terms.assign(terms.begin(), terms.end());
        for (uint32_t& id : a.terms) {
            for (auto it = postings_[id].rbegin(); it != postings_[id].rend(); ++it) {
                if (it->slot == slot) {
                    termWeight += it->Weight();
                    a.units += it->Titled() ? 3 : 1;
                    if (it->Titled()) id |= kTitleTerm;
                    break;
                }
            }
        }
        for (uint32_t id : a.terms) KeepKeyed(id & ~kTitleTerm);
    }
    Answer& a = answers_[slot];
    auto it = std::find_if(a.codes.begin(), a.codes.end(),
                           [&](const CodeCount& c) { return c.code == code; });
    if (it == a.codes.end()) {
        if (delta < 0) return 0;
        auto [named, added] = codeIds_.try_emplace(code, static_cast<uint32_t>(codeNames_.size()));
        if (added) {
            codeNames_.push_back(code);
            codeUnits_.push_back(0);
            codeTimes_.push_back(0);
        }
        a.codes.push_back({code, 0, named->second});
        it = a.codes.end() - 1;
    }
    const uint32_t before = it->count;
    const int64_t now = std::max<int64_t>(0, static_cast<int64_t>(before) + delta);
    const int64_t limit = UINT32_MAX - (a.total - it->count);
    const auto count = static_cast<uint32_t>(std::min(now, limit));
    // Unsigned arithmetic wraps alike both ways, so that unlearning subtracts exactly.
    contentHash_ += (static_cast<uint64_t>(count) - before) * PairHash(a.text, code);
    a.total = a.total - it->count + count;
    codeTimes_[it->id] = codeTimes_[it->id] - before + count;
    it->count = count;
    if (count == 0) a.codes.erase(it);
    // The most frequent code's count stands in the Bayes figures for the answer.
    const uint64_t was = slotCode_[slot];
    if (was != 0) codeUnits_[was >> 32] -= static_cast<int64_t>(was & UINT32_MAX) * a.units;
    SortCodes(a.codes);
    slotCode_[slot] = 0;
    if (!a.codes.empty()) {
        slotCode_[slot] = static_cast<uint64_t>(a.codes[0].id) << 32 | a.codes[0].count;
        codeUnits_[a.codes[0].id] += static_cast<int64_t>(a.codes[0].count) * a.units;
        return before;
    }
    // Nothing left: the answer goes, with its words. A term no answer holds any more keeps its
    // id and an empty list, which ranks and formats as if it had never been.
    for (uint32_t term : a.terms) {
        const uint32_t id = term & ~kTitleTerm;
        auto& list = postings_[id];
        uint32_t& ordered = keyedUpTo_[id];
        auto isSlot = [&](const Posting& p) { return p.slot == slot; };
        // In the ordered part, among the postings of the answer's key; it keeps its order.
        const auto orderedEnd = list.begin() + ordered;
        const auto from = std::partition_point(
            list.begin(), orderedEnd, [&](const Posting& p) { return p.Key() < slotKey_[slot]; });
        auto at = std::find_if(from, orderedEnd, [&](const Posting& p) {
            return p.Key() != slotKey_[slot] || p.slot == slot;
        });
        bool removed = true;
        if (at != orderedEnd && at->slot == slot) {
            list.erase(at);
            --ordered;
        } else if (auto tail = std::find_if(orderedEnd, list.end(), isSlot); tail != list.end()) {
            *tail = list.back();
            list.pop_back();
        } else {
            removed = false;
        }
        if (removed && list.empty()) --vocabulary_;
    }
    index_.Erase(hash, slot);
    a = Answer{};
    slotWeight_[slot] = 0;
    freeSlots_.push_back(slot);
    return before;
}

std::string CodingMemory::ShownPart(std::string_view normalised) {
    std::string shown;
    ForEachLearntField(normalised, [&](size_t, std::string_view text) {
        if (text.empty()) return;
        if (!shown.empty()) shown += kAnswerFieldSeparator;
        shown += text;
    });
    return shown;
}

void CodingMemory::Learn(const std::vector<std::string>& texts, const std::string& code,
                         uint32_t times) {
    Add(NormaliseAnswer(texts), std::string(Trim(code)), times);
}

void CodingMemory::Unlearn(const std::vector<std::string>& texts, const std::string& code,
                           uint32_t times) {
    Add(NormaliseAnswer(texts), std::string(Trim(code)), -static_cast<int64_t>(times));
}

const std::vector<CodingMemory::Posting>* CodingMemory::PostingsOf(const std::string& term) const {
    const uint32_t id = TermIdOf(term);
    return id == UINT32_MAX ? nullptr : &postings_[id];
}

void CodingMemory::KeepKeyed(uint32_t id) {
    std::vector<Posting>& list = postings_[id];
    if (list.size() <= kKeyedList) return;
    uint32_t& ordered = keyedUpTo_[id];
    // The tail is read whole by every ranking; ordering it costs a merge of the list, so it waits
    // until it is an eighth of the list.
    const size_t tail = list.size() - ordered;
    if (ordered > 0 && tail <= std::max<size_t>(1024, list.size() / 8)) return;
    auto byKey = [](const Posting& a, const Posting& b) { return a.mark < b.mark; };
    const auto middle = list.begin() + ordered;
    std::sort(middle, list.end(), byKey);
    std::inplace_merge(list.begin(), middle, list.end(), byKey);
    ordered = static_cast<uint32_t>(list.size());
}

uint32_t CodingMemory::TermIdOf(const std::string& term) const {
    auto it = termIds_.find(term);
    if (it == termIds_.end() || postings_[it->second].empty()) return UINT32_MAX;
    return it->second;
}

std::vector<CodingMemory::CodeCount> CodingMemory::CodesOf(
    const std::vector<std::string>& texts) const {
    const std::string normalised = NormaliseAnswer(texts);
    const uint32_t slot = index_.Find(normalised, AnswerHash(normalised), SlotText());
    if (slot == suggest::AnswerIndex::kNone) return {};
    return answers_[slot].codes;
}

void CodingMemory::Merge(const CodingMemory& other) {
    for (const Answer& a : other.answers_) {
        for (const CodeCount& c : a.codes) Add(a.text, c.code, c.count);
    }
}

bool CodingMemory::operator==(const CodingMemory& other) const {
    if (index_.Size() != other.index_.Size()) return false;
    for (const Answer& mine : answers_) {
        if (mine.codes.empty()) continue;
        const uint32_t slot = other.index_.Find(mine.text, AnswerHash(mine.text), other.SlotText());
        if (slot == suggest::AnswerIndex::kNone) return false;
        const auto& a = mine.codes;
        const auto& b = other.answers_[slot].codes;
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (a[i].code != b[i].code || a[i].count != b[i].count) return false;
        }
    }
    return true;
}

std::string CodingMemory::Format() const {
    std::vector<uint32_t> slots;
    slots.reserve(index_.Size());
    for (size_t slot = 0; slot < answers_.size(); ++slot) {
        if (!answers_[slot].codes.empty()) slots.push_back(static_cast<uint32_t>(slot));
    }
    std::sort(slots.begin(), slots.end(),
              [&](uint32_t a, uint32_t b) { return answers_[a].text < answers_[b].text; });
    std::string out(kHeading);
    out += "\r\n";
    for (const uint32_t slot : slots) {
        const std::string_view text = answers_[slot].text;
        std::vector<CodeCount> codes = answers_[slot].codes;
        std::sort(codes.begin(), codes.end(),
                  [](const auto& a, const auto& b) { return a.code < b.code; });
        for (const CodeCount& c : codes) {
            out += std::to_string(c.count);
            out += '\t';
            out += c.code;
            out += '\t';
            out += text;
            out += "\r\n";
        }
    }
    return out;
}

std::optional<CodingMemory> CodingMemory::Parse(std::string_view text, std::string* error,
                                                const WorkProgress& progress) {
    auto fail = [&](size_t line, const std::string& why) -> std::optional<CodingMemory> {
        if (error != nullptr) *error = msg::MemoryFileFault(line, why);
        return std::nullopt;
    };
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty() || lines[0] != kHeading) {
        return fail(1, msg::kMemoryNoHeading);
    }
    CodingMemory memory;
    ProgressMeter meter(progress, lines.size());
    for (size_t i = 1; i < lines.size(); ++i) {
        meter.Advance(i);
        // Room for the rest at once, but only once the file has shown itself a memory: a damaged
        // one of many short lines must not take a great deal of memory before it is refused.
        if (i == 1000) memory.Reserve(lines.size() - i);
        const std::string_view line = lines[i];
        if (line.empty()) continue;
        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos) return fail(i + 1, msg::kMemoryNoTabs);
        uint32_t count = 0;
        const auto [end, ec] = std::from_chars(line.data(), line.data() + tab1, count);
        if (ec != std::errc() || end != line.data() + tab1 || count == 0) {
            return fail(i + 1, msg::kMemoryBadCount);
        }
        const std::string_view code = line.substr(tab1 + 1, tab2 - tab1 - 1);
        if (code.empty() || code != Trim(code)) return fail(i + 1, msg::kMemoryBadCode);
        const std::string_view answer = line.substr(tab2 + 1);
        if (!IsNormalisedAnswer(answer)) return fail(i + 1, msg::kMemoryBadAnswer);
        // Added first and refused after: one look-up per line; a refused memory is dropped.
        if (memory.Add(answer, std::string(code), count) != 0) {
            return fail(i + 1, msg::kMemoryRepeated);
        }
    }
    meter.Finish();
    return memory;
}

}  // namespace tarnwick

namespace tarnwick {

ModelSource CodingMemory::ModelSnapshot(size_t most) const {
    ModelSource source;
    source.hash = contentHash_;
    for (size_t id = 0; id < codeNames_.size(); ++id) {
        if (codeTimes_[id] > 0) {
            source.coded[codeNames_[id]] =
                static_cast<uint32_t>(std::min<uint64_t>(codeTimes_[id], UINT32_MAX));
        }
    }
    // Taken on the window's thread from a memory of millions of answers: the answers chosen are
    // found by counting, and only they are copied.
    auto timesOf = [&](size_t slot) { return static_cast<uint32_t>(slotCode_[slot]); };
    std::vector<uint32_t> chosen;
    if (index_.Size() <= most) {
        for (size_t slot = 0; slot < answers_.size(); ++slot) {
            if (slotCode_[slot] != 0) chosen.push_back(static_cast<uint32_t>(slot));
        }
    } else {
        // The least times that still all go in, capped: more often than 64 counts as 64 here.
        constexpr uint32_t kCap = 64;
        std::array<size_t, kCap + 1> byTimes{};
        for (size_t slot = 0; slot < answers_.size(); ++slot) {
            if (slotCode_[slot] != 0) ++byTimes[std::min(timesOf(slot), kCap)];
        }
        uint32_t least = kCap;  // answers given more often than `least` all go in
        size_t above = 0;
        while (least > 1 && above + byTimes[least] < most) above += byTimes[least--];
        // Of those given `least` times (or, at the cap, at least that often), the lowest keys:
        // counted by the keys' top bits first, so that only the answers of one count of keys are
        // ordered.
        auto atEdge = [&](size_t slot) {
            return slotCode_[slot] != 0 && std::min(timesOf(slot), kCap) == least;
        };
        for (size_t slot = 0; slot < answers_.size(); ++slot) {
            if (slotCode_[slot] != 0 && std::min(timesOf(slot), kCap) > least) {
                chosen.push_back(static_cast<uint32_t>(slot));
            }
        }
        size_t room = most - chosen.size();
        constexpr int kShift = 15;  // keys are below 2^31: 2^16 counts
        std::vector<uint32_t> byKey(size_t{1} << (31 - kShift), 0);
        if (least < kCap) {
            for (size_t slot = 0; slot < answers_.size(); ++slot) {
                if (atEdge(slot)) ++byKey[slotKey_[slot] >> kShift];
            }
        }
        // Without the cap all answers at the edge are given alike: the keys alone order them.
        uint32_t keyBar = 0;  // answers at the edge with a key below keyBar << kShift all go in
        if (least < kCap) {
            while (keyBar < byKey.size() && byKey[keyBar] <= room) room -= byKey[keyBar++];
        }
        std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> edge;  // times, key, slot
        for (size_t slot = 0; slot < answers_.size(); ++slot) {
            if (!atEdge(slot)) continue;
            const uint32_t high = slotKey_[slot] >> kShift;
            if (least < kCap && high < keyBar) {
                chosen.push_back(static_cast<uint32_t>(slot));
            } else if (least == kCap || high == keyBar) {
                edge.emplace_back(timesOf(slot), slotKey_[slot], static_cast<uint32_t>(slot));
            }
        }
        auto before = [&](const auto& a, const auto& b) {
            return ModelSource::Before(std::get<0>(a), std::get<1>(a),
                                       answers_[std::get<2>(a)].text, std::get<0>(b),
                                       std::get<1>(b), answers_[std::get<2>(b)].text);
        };
        if (edge.size() > room) {
            std::nth_element(edge.begin(), edge.begin() + static_cast<std::ptrdiff_t>(room),
                             edge.end(), before);
            edge.resize(room);
        }
        for (const auto& e : edge) chosen.push_back(std::get<2>(e));
    }
    source.answers.reserve(chosen.size());
    for (uint32_t slot : chosen) {
        const Answer& a = answers_[slot];
        source.answers.push_back(
            {std::string(a.text), a.codes[0].code, a.codes[0].count, slotKey_[slot]});
    }
    return source;
}

void CodingMemory::KeepModel(std::shared_ptr<const LearntModel> model) {
    if (model == nullptr) return;
    models_.erase(std::remove_if(models_.begin(), models_.end(),
                                 [&](const auto& m) { return m->source == model->source; }),
                  models_.end());
    models_.push_back(std::move(model));
    if (models_.size() > 2) models_.erase(models_.begin());
}

const LearntModel* CodingMemory::Model() const {
    for (const auto& m : models_) {
        if (m->source == contentHash_) return m.get();
    }
    return nullptr;
}

}  // namespace tarnwick
