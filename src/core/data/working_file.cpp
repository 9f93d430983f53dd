#include "core/data/working_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/classification/profile.h"
#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

constexpr const char* kQ = "\"";

// The categories of the codes met so far: a million lines carry a few thousand codes, and a code
// of up to seven bytes is found as one number in a small table before the classification is
// searched.
class CodeIndex {
  public:
    explicit CodeIndex(const Classification& clf) : clf_(clf) {}
    int Of(const std::string& code) {
        if (code.size() >= sizeof(uint64_t)) return clf_.IndexOf(code);
        uint64_t key = code.size();
        std::memcpy(reinterpret_cast<char*>(&key) + 1, code.data(), code.size());
        Slot& slot = slots_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - kBits)];
        if (slot.key != key) slot = {key, clf_.IndexOf(code)};
        return slot.index;
    }

  private:
    struct Slot {
        uint64_t key = 0;  // the length, then the code's bytes; 0 is no code at all
        int index = -1;
    };
    // Room for several times the codes of a large classification, so that few share a slot.
    static constexpr int kBits = 16;
    const Classification& clf_;
    std::vector<Slot> slots_ = std::vector<Slot>(size_t{1} << kBits);
};

// The name and the name of the stored text of a code read from the working file; false when the
// classification lacks it.
bool Decode(const Classification& clf, CodeIndex& index, TZawod& c) {
    c.ToCode = c.Code != clf.NotApplicableCode;
    if (c.Code == clf.NotApplicableCode) {
        c.CodeName = clf.NotApplicableName;
    } else if (c.Code == clf.MissingDataCode) {
        c.CodeName = clf.MissingDataName;
    } else if (!c.Code.empty()) {
        const int found = index.Of(c.Code);
        if (found < 0) return false;
        c.CodeName = clf.Category(found).Name;
    }
    return true;
}

// The lines of a working file. Besides LF and CR LF, a CR alone ends a line: identifiers and codes
// never hold one, and a file that went through a tool of another system keeps its lines apart.
std::vector<std::string_view> WorkingLines(std::string_view text) {
    std::vector<std::string_view> lines;
    LineCursor cursor(text);
    for (std::string_view line; cursor.Next(line);) {
        // A CR that ends the line leaves nothing after it: no empty line follows.
        bool ended = false;
        for (size_t cr = line.find('\r'); cr != std::string_view::npos && !ended;
             cr = line.find('\r')) {
            lines.push_back(line.substr(0, cr));
            line.remove_prefix(cr + 1);
            ended = line.empty();
        }
        if (!ended) lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::string BackupText(std::string_view workingFile) {
    StringSink out;
    WriteBackup(out, workingFile);
    return std::move(out.text);
}

void WriteBackup(ByteSink& out, std::string_view workingFile, const WorkProgress& progress) {
    ChunkedText chunks(out);
    ProgressMeter meter(progress, workingFile.size());
    LineCursor cursor(workingFile);
    for (std::string_view line; cursor.Next(line);) {
        AppendCrLf(chunks.text, line);
        meter.Advance(static_cast<size_t>(line.data() - workingFile.data()));
        chunks.Pass();
    }
    chunks.Flush();
    meter.Finish();
}

std::optional<std::string> MergeWorkingFile(std::string_view text, const CodingParams& params,
                                            const Classification& clf,
                                            const std::string& workingName, CaseModel& cases,
                                            const WorkProgress& progress, SetAsideLines* aside) {
    const std::string head = "When processing previously coded symbols from file: " + workingName;
    const int idWidth = params.RespIdWidth;
    const int codeWidth = params.CodeWidth;
    const size_t idSize = static_cast<size_t>(std::max(idWidth, 0));
    const std::vector<std::string_view> lines = WorkingLines(text);
    // A file that ends inside its last line was cut: a code cut there is damage, not a width.
    const bool lastLineCut = !text.empty() && text.back() != '\n' && text.back() != '\r';
    const size_t records = cases.Respondents.size();
    // The slots of a line from `field` on, at the code width: the non-blank ones, which keep the
    // line, and those that hold a code of the classification, which are counted as codes.
    struct Slots {
        int filled = 0;
        int codes = 0;
    };
    const auto codesFrom = [&](std::string_view line, size_t field) {
        Slots n;
        if (codeWidth <= 0) return n;
        for (size_t at = idSize + field * static_cast<size_t>(codeWidth); at < line.size();
             at += static_cast<size_t>(codeWidth)) {
            const std::string_view slot = line.substr(at, static_cast<size_t>(codeWidth));
            if (IsBlank(slot)) continue;
            ++n.filled;
            if (slot.size() == static_cast<size_t>(codeWidth) && clf.IndexOf(slot) >= 0) ++n.codes;
        }
        return n;
    };
    const auto idOf = [&](std::string_view line) { return line.substr(0, idSize); };
    std::vector<bool> taken(lines.size(), false);
    size_t unlined = 0;
    int known = 0;
    int unknown = 0;
    std::string firstUnknown;
    // Built only when an identifier is found out of place: line numbers by identifier, in order.
    std::unordered_map<std::string_view, std::vector<size_t>> byId;
    ProgressMeter meter(progress, records);
    CodeIndex codes(clf);
    for (size_t i = 0; i < records; ++i) {
        meter.Advance(i);
        TOsoba& r = cases.Respondents[i];
        size_t at = i;
        if (i >= lines.size() || taken[i] || idOf(lines[i]) != r.RespondentId) {
            if (byId.empty()) {
                for (size_t n = lines.size(); n-- > 0;) byId[idOf(lines[n])].push_back(n);
            }
            at = lines.size();
            const auto found = byId.find(r.RespondentId);
            if (found != byId.end()) {
                std::vector<size_t>& ats = found->second;
                while (!ats.empty() && taken[ats.back()]) ats.pop_back();
                if (!ats.empty()) at = ats.back();
            }
            if (at == lines.size()) {  // no line for it: its codes are still to give
                ++unlined;
                continue;
            }
        }
        taken[at] = true;
        const std::string_view line = lines[at];
        bool unreadableHere = false;
        for (size_t k = 0; k < r.Occupations.size(); ++k) {
            TZawod& c = r.Occupations[k];
            const long long column =
                static_cast<long long>(idWidth) + 1 + static_cast<long long>(k) * codeWidth;
            const std::string_view v = column > INT32_MAX
                                           ? std::string_view()
                                           : CutField(line, static_cast<int>(column), codeWidth);
            if (IsBlank(v)) {
                c.Code.clear();
                c.CodeName = {};
            } else {
                c.Code.assign(v);
            }
            if (Decode(clf, codes, c)) {
                if (!c.Code.empty()) ++known;
            } else {
                // Codes of another width shift every code after the first: the file was coded
                // with another classification.
                const size_t used = TrimRight(line).size();
                const bool cutHere = lastLineCut && at + 1 == lines.size();
                if (clf.Profile && !cutHere && used > idSize &&
                    (used - idSize) % static_cast<size_t>(codeWidth) != 0) {
                    return "**** FATAL ERROR IN DATA FILES **** " + head + " line " +
                           std::to_string(at + 1) + " holds codes that are not " +
                           std::to_string(codeWidth) +
                           " digits wide, the width of classification " +
                           ClassificationDisplayName(clf) + msg::kBreaksExecution;
                }
                // One damaged code is left to code again; the line keeps it in the set-aside file.
                if (unknown++ == 0) firstUnknown.assign(v);
                unreadableHere = true;
                c.Code.clear();
                c.CodeName = {};
            }
        }
        if (unreadableHere && aside) {
            aside->Lines.emplace_back(line);
            aside->Codes += codesFrom(line, r.Occupations.size()).codes;
            continue;
        }
        // Codes of occupation fields that the parameters no longer declare.
        if (const Slots past = codesFrom(line, r.Occupations.size()); past.filled > 0 && aside) {
            aside->Lines.emplace_back(line);
            aside->Codes += past.codes;
        }
    }
    // More codes unknown than known: the file belongs to another classification, whose codes
    // would mean other occupations here.
    if (unknown > known) {
        return "**** FATAL ERROR IN DATA FILES **** " + head + " a symbol " + kQ + firstUnknown +
               kQ + " has been found, which" + " does not exist in classification " +
               ClassificationDisplayName(clf) + msg::kBreaksExecution;
    }
    if (aside) {
        aside->Unreadable += unknown;
        aside->Unlined += unlined;
        for (size_t n = 0; n < lines.size(); ++n) {
            if (taken[n]) continue;
            if (const Slots slots = codesFrom(lines[n], 0); slots.filled > 0) {
                aside->Lines.emplace_back(lines[n]);
                aside->Codes += slots.codes;
            }
        }
    }
    meter.Finish();
    return std::nullopt;
}

std::string FormatWorkingFile(const CaseModel& cases, int codeWidth) {
    StringSink out;
    WriteWorkingFile(out, cases, codeWidth);
    return std::move(out.text);
}

void WriteWorkingFile(ByteSink& out, const CaseModel& cases, int codeWidth) {
    const size_t width = static_cast<size_t>(std::max(codeWidth, 0));
    const std::string blanks(width, ' ');
    ChunkedText chunks(out);
    std::string& text = chunks.text;
    for (const TOsoba& r : cases.Respondents) {
        text.append(r.RespondentId);
        for (const TZawod& c : r.Occupations) text.append(c.Code.empty() ? blanks : c.Code);
        text.append("\r\n");
        chunks.Pass();
    }
    chunks.Flush();
}

}  // namespace tarnwick
