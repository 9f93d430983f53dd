#include "core/data/working_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "core/text/text.h"

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
                                            const std::string& workingName,
                                            const std::string& dataName, CaseModel& cases,
                                            const WorkProgress& progress) {
    const std::string head = "When processing previously coded symbols from file: " + workingName;
    const int idWidth = params.RespIdWidth;
    const int codeWidth = params.CodeWidth;
    LineCursor cursor(text);
    std::string_view line;
    ProgressMeter meter(progress, cases.Respondents.size());
    CodeIndex codes(clf);
    for (size_t i = 0; i < cases.Respondents.size(); ++i) {
        meter.Advance(i);
        TOsoba& r = cases.Respondents[i];
        if (!cursor.Next(line)) {
            return "**** ERROR IN DATA FILES **** " + head +
                   " the number of data records has been detected to be lower than" +
                   " in original input data file " + dataName + msg::kBreaksExecution;
        }
        const std::string_view id = line.substr(0, static_cast<size_t>(std::max(idWidth, 0)));
        if (id != r.RespondentId) {
            return "**** FATAL ERROR IN DATA FILES **** " + head +
                   " it has been detected in data record No " + std::to_string(i + 1) +
                   " that the respondent's ID " + kQ + std::string(id) + kQ + " differs from" +
                   " respondent's ID number " + kQ + r.RespondentId + kQ +
                   " read from the data input file:" + dataName + msg::kBreaksExecution;
        }
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
            if (!Decode(clf, codes, c)) {
                return "**** FATAL ERROR IN DATA FILES **** " + head + " a symbol " + kQ +
                       std::string(v) + kQ + " has been found, which" +
                       " does not exist in classification " + kClassificationName +
                       msg::kBreaksExecution;
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
