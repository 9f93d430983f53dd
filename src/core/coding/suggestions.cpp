#include "core/coding/suggestions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "core/coding/actions.h"
#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

const TZawod* CaseAt(const Session& s, int record, int field) {
    const auto& rs = s.Cases.Respondents;
    if (record < 0 || record >= static_cast<int>(rs.size())) return nullptr;
    const auto& zs = rs[static_cast<size_t>(record)].Occupations;
    if (field < 0 || field >= static_cast<int>(zs.size())) return nullptr;
    return &zs[static_cast<size_t>(field)];
}

// " 87  2341 Primary school teachers  [teacher]": the score first, so that the eye runs down one
// column of numbers. How sure the first suggestion is stands before the reason, which the list
// often cuts off.
std::string SuggestionLine(const Session& s, const Suggestion& g, std::optional<int> sure = {}) {
    char score[8];
    std::snprintf(score, sizeof score, "%3d", g.score);
    std::string line = score;
    line += "  ";
    line += g.code;
    const int i = s.Clf.IndexOf(g.code);
    if (i >= 0) line += ' ' + s.Clf.Category(i).Name;
    if (sure) line += msg::ConfidenceNote(*sure);
    if (!g.reason.empty()) line += "  [" + g.reason + ']';
    return line;
}

}  // namespace

std::vector<std::string> CaseTexts(const Session& s, int record, int field) {
    if (!CaseAt(s, record, field) || field >= static_cast<int>(s.Params.DokumList.size())) {
        return {};
    }
    return CaseInfoTexts(s.Params.DokumList[static_cast<size_t>(field)],
                         s.Cases.Respondents[static_cast<size_t>(record)].Record);
}

bool IsLearntCode(const Session& s, const std::string& code) {
    return !code.empty() && code != s.Clf.MissingDataCode && code != s.Clf.NotApplicableCode;
}

void TeachMemory(Session& s, int record, int field, const std::string& oldCode,
                 const std::string& newCode) {
    if (oldCode == newCode || (!IsLearntCode(s, oldCode) && !IsLearntCode(s, newCode))) return;
    if (s.SuggestionsPending) {
        s.PendingMemory.push_back({record, field, oldCode, newCode});
        return;
    }
    const std::vector<std::string> texts = CaseTexts(s, record, field);
    if (IsLearntCode(s, oldCode)) s.Memory.Unlearn(texts, oldCode);
    if (IsLearntCode(s, newCode)) s.Memory.Learn(texts, newCode);
}

int BestPreselectedLine(const Session& s) {
    if (s.PreselectedEntries.empty()) return -1;
    // Deeper than the Suggestions list: a key word lists categories that may rank lower.
    constexpr size_t kDepth = 60;
    std::vector<Suggestion> ranked = s.Suggestions;
    if (s.Suggester && !s.SuggestionsPending && CaseAt(s, s.CurrentRecord, s.CurrentField)) {
        ranked = s.Suggester->Rank(CaseTexts(s, s.CurrentRecord, s.CurrentField), s.Memory, kDepth);
    }
    for (const Suggestion& g : ranked) {
        const int category = s.Clf.IndexOf(g.code);
        for (size_t line = 0; line < s.PreselectedEntries.size(); ++line) {
            if (s.PreselectedEntries[line].Index == category) return static_cast<int>(line);
        }
    }
    return -1;
}

void RefreshSuggestions(Session& s) {
    CodingView& v = s.View;
    const bool hadLines = !v.SuggestionLines.empty();
    s.Suggestions.clear();
    v.SuggestionLines.clear();
    v.SuggestionSelected = -1;
    v.SuggestionDescription.clear();
    const TZawod* z = CaseAt(s, s.CurrentRecord, s.CurrentField);
    if (s.Suggester && z) {
        const std::vector<std::string> texts = CaseTexts(s, s.CurrentRecord, s.CurrentField);
        // A case coded with a category is in the memory, which would vouch for its own code: how
        // sure the ranking is counts only where the code is still to be found.
        std::optional<int> sure;
        s.Suggestions = s.Suggester->Rank(texts, s.Memory);
        if (s.Calibration && !IsLearntCode(s, z->Code) && !s.Suggestions.empty()) {
            // The calibration learnt from rankings without the learnt model: its confidence
            // stands only where that ranking puts the same code first.
            const DetailedRanking ranking = s.Suggester->RankDetailed(texts, s.Memory, 1, false);
            if (ranking.features.ranked && !ranking.suggestions.empty() &&
                ranking.suggestions[0].code == s.Suggestions[0].code) {
                sure = ConfidencePercent(s.Calibration->Confidence(ranking.features));
            }
        }
        for (const Suggestion& g : s.Suggestions) {
            v.SuggestionLines.push_back(
                SuggestionLine(s, g, v.SuggestionLines.empty() ? sure : std::nullopt));
        }
    }
    if (hadLines || !v.SuggestionLines.empty()) ++v.SuggestionsVersion;
}

int ConfidencePercent(double confidence) {
    if (!std::isfinite(confidence) || confidence <= 0) return 0;
    return std::min(99, static_cast<int>(std::floor(100 * confidence)));
}

bool SelectSuggestionLine(Session& s, int line) {
    if (line < 0 || line >= static_cast<int>(s.Suggestions.size())) return false;
    const int index = s.Clf.IndexOf(s.Suggestions[static_cast<size_t>(line)].code);
    if (index < 0) return false;
    s.SelectedCategory = index;
    s.SelectedLine = CodeLine::Suggestion;
    s.SelectedSuggestion = line + 1;
    s.View.SuggestionSelected = line;
    s.View.SuggestionDescription = s.Clf.Category(index).Description;
    return true;
}

void CodeSuggestionLine(Session& s, int line) {
    if (SelectSuggestionLine(s, line)) CodeSelected(s);
}

std::vector<int> IdenticalNotCodedRecords(const Session& s) {
    std::vector<int> records;
    const int field = s.CurrentField;
    if (!CaseAt(s, s.CurrentRecord, field) ||
        field >= static_cast<int>(s.Params.DokumList.size())) {
        return records;
    }
    const TDokumZaw& d = s.Params.DokumList[static_cast<size_t>(field)];
    const auto& rs = s.Cases.Respondents;
    CaseAnswerNormaliser normalise(s.IdenticalTextFieldsOnly);
    const std::string answer = normalise(d, rs[static_cast<size_t>(s.CurrentRecord)].Record);
    const int count = static_cast<int>(rs.size());
    for (int r = 0; r < count; ++r) {
        if (r == s.CurrentRecord) continue;
        const TZawod* z = CaseAt(s, r, field);
        if (!z || !z->ToCode || !z->Code.empty()) continue;
        if (!answer.empty() && normalise(d, rs[static_cast<size_t>(r)].Record) == answer) {
            records.push_back(r);
        }
    }
    return records;
}

int CodeAllIdentical(Session& s) {
    if (RefusedReadOnly(s)) return 0;
    const TZawod* current = CaseAt(s, s.CurrentRecord, s.CurrentField);
    if (!current) return 0;
    // An uncoded case takes the line chosen in a list first, as CODE would give it.
    const bool codeCurrent = current->Code.empty();
    const bool chosen = s.SelectedCategory >= 0 && s.SelectedCategory < s.Clf.Count();
    if (codeCurrent && !chosen) {
        s.platform.ShowMessage(msg::kCodeThisCaseFirst, Severity::Information);
        return 0;
    }
    const std::vector<int> records = IdenticalNotCodedRecords(s);
    if (records.empty()) {
        s.platform.ShowMessage(msg::kNoIdenticalAnswers, Severity::Information);
        return 0;
    }
    // Copies: the current case's strings must not change under the loop.
    const TKat* category = codeCurrent ? &s.Clf.Category(s.SelectedCategory) : nullptr;
    const std::string code = category ? category->Code : current->Code;
    const std::string_view name = category ? std::string_view(category->Name) : current->CodeName;
    const bool toCode = category ? true : current->ToCode;
    const std::string question = codeCurrent
                                     ? msg::CodeThisAndIdenticalQuestion(records.size(), code, name)
                                     : msg::CodeIdenticalQuestion(records.size(), code, name);
    if (s.platform.Ask(question, false) != Answer::Yes) return 0;
    std::vector<CaseEdit> edits;
    edits.reserve(records.size() + 1);
    if (codeCurrent) {
        edits.push_back({s.CurrentRecord,
                         s.CurrentField,
                         code,
                         name,
                         true,
                         {CodeSource::Coder, s.SelectedLine, s.SelectedSuggestion}});
    }
    for (int r : records) {
        edits.push_back({r, s.CurrentField, code, name, toCode, {CodeSource::Identical}});
    }
    const int coded = ChangeCases(s, edits, s.CurrentRecord, s.CurrentField);
    if (codeCurrent && coded > 0) {
        s.LastCode = code;
        s.LastCodeName = std::string(name);
        s.View.LastCodeText = s.LastCode;
        s.View.LastCodeHint = s.LastCodeName;
    }
    ShowCurrentCase(s);
    return coded;
}

}  // namespace tarnwick
