#include "core/data/output.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/classification/scales.h"
#include "core/data/reader.h"
#include "core/data/x14.h"
#include "core/session/session.h"
#include "core/text/datetime.h"
#include "core/text/files.h"

namespace tarnwick {

namespace {

// The derived values of a code, looked up once per distinct code: a million lines carry only a
// few thousand different codes.
class DerivedValues {
  public:
    explicit DerivedValues(const Classification& clf) : clf_(clf) {}

    struct Values {
        std::string x14;
        std::array<std::string, kScales + 1> scales;
    };

    const Values& Of(const std::string& code) {
        auto it = cache_.find(code);
        if (it != cache_.end()) return it->second;
        Values v;
        v.x14 = MapToX14(clf_, code);
        for (int n = 1; n <= kScales; ++n) v.scales[n] = LookupScale(clf_, code, n);
        return cache_.emplace(code, std::move(v)).first->second;
    }

  private:
    const Classification& clf_;
    std::unordered_map<std::string, Values> cache_;
};

// Appends one respondent's line of the output data file (without its line end).
void AppendOutputLine(std::string& out, const Session& session, DerivedValues& derived,
                      const TOsoba& r) {
    const CodingParams& params = session.Params;
    out.append(r.RespondentId);
    const size_t fields = std::min(params.DokumList.size(), r.Occupations.size());
    for (size_t i = 0; i < fields; ++i) {
        const TDokumZaw& d = params.DokumList[i];
        const std::string& c = r.Occupations[i].Code;
        if (c.empty()) {
            out.append(static_cast<size_t>(std::max(params.CodeWidth, 0)), ' ');
        } else {
            out.append(c);
        }
        const DerivedValues::Values* v = nullptr;
        if (!c.empty() && (!d.X14Mnemo.empty() || d.HasScales)) v = &derived.Of(c);
        if (!d.X14Mnemo.empty()) {
            if (v == nullptr) {
                out.append(2, ' ');
            } else {
                out.append(v->x14);
            }
        }
        if (d.HasScales) {
            for (int n = 1; n <= kScales; ++n) {
                if (d.ScaleMnemo[n].empty()) continue;
                if (v == nullptr) {
                    out.append(3, ' ');
                } else {
                    out.append(v->scales[n]);
                }
            }
        }
    }
}

size_t OutputLineLength(const Session& session) {
    const CodingParams& params = session.Params;
    size_t length = static_cast<size_t>(std::max(params.RespIdWidth, 0));
    for (const TDokumZaw& d : params.DokumList) {
        length += static_cast<size_t>(std::max(params.CodeWidth, 0));
        if (!d.X14Mnemo.empty()) length += 2;
        if (d.HasScales) {
            for (int n = 1; n <= kScales; ++n) {
                if (!d.ScaleMnemo[n].empty()) length += 3;
            }
        }
    }
    return length;
}

// Text between double quotes in the script: an inner double quote is doubled, which is how the
// script's reader takes a literal one.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        out += ch;
        if (ch == '"') out += '"';
    }
    out += '"';
    return out;
}

// The same for the apostrophes around the file name.
std::string Apostrophed(std::string_view text) {
    std::string out = "'";
    for (char ch : text) {
        out += ch;
        if (ch == '\'') out += '\'';
    }
    out += '\'';
    return out;
}

// "998" is written 99.8: the scales carry one implied decimal.
std::string ScaleValueText(std::string_view v) {
    return std::string(v.substr(0, 2)) + "." + std::string(v.substr(2));
}

std::string Columns(int first, int last) {
    return std::to_string(first) + "-" + std::to_string(last);
}

// The variable lines of every occupation field's X14 variable / scale variables.
std::vector<std::string> X14Variables(const CodingParams& params) {
    std::vector<std::string> names;
    for (const TDokumZaw& d : params.DokumList) {
        if (!d.X14Mnemo.empty()) names.push_back(" " + d.VarMnemo + d.X14Mnemo);
    }
    return names;
}

std::vector<std::string> ScaleVariables(const CodingParams& params) {
    std::vector<std::string> names;
    for (const TDokumZaw& d : params.DokumList) {
        if (!d.HasScales) continue;
        for (int n = 1; n <= kScales; ++n) {
            if (!d.ScaleMnemo[n].empty()) names.push_back(" " + d.VarMnemo + d.ScaleMnemo[n]);
        }
    }
    return names;
}

}  // namespace

std::vector<std::string> FinalOutputLines(const Session& session) {
    std::vector<std::string> lines;
    lines.reserve(session.Cases.Respondents.size());
    DerivedValues derived(session.Clf);
    for (const TOsoba& r : session.Cases.Respondents) {
        std::string line;
        AppendOutputLine(line, session, derived, r);
        lines.push_back(std::move(line));
    }
    return lines;
}

// In this file a one-character prefix to a temporary string is a char (' ' + f(), not " " + f()):
// GCC 12 at -O3 warns falsely of overlapping copies (-Wrestrict) on the string-literal form.
std::vector<std::string> SpssScriptLines(const Session& session, const std::string& ascPath) {
    const CodingParams& params = session.Params;
    const Classification& clf = session.Clf;
    const std::string vkt = kClassificationMnemo;
    std::vector<std::string> s;
    auto add = [&s](std::string line) { s.push_back(std::move(line)); };
    auto addAll = [&s](const std::vector<std::string>& lines) {
        s.insert(s.end(), lines.begin(), lines.end());
    };
    std::vector<std::string> codeVariables;
    for (const TDokumZaw& d : params.DokumList) codeVariables.push_back(" " + d.VarMnemo + vkt);
    const std::vector<std::string> x14Variables = X14Variables(params);
    const std::vector<std::string> scaleVariables = ScaleVariables(params);

    add("DATA LIST");
    add(" FILE=" + Apostrophed(ascPath));
    add(" RECORD=1/");
    int k = params.RespIdWidth;
    add(std::string(" REC_ID 1") + (k > 1 ? '-' + std::to_string(k) : std::string()) + " (A)");
    for (const TDokumZaw& d : params.DokumList) {
        add(" " + d.VarMnemo + vkt + " " + Columns(k + 1, k + params.CodeWidth));
        k += params.CodeWidth;
        if (!d.X14Mnemo.empty()) {
            add(" " + d.VarMnemo + d.X14Mnemo + " " + Columns(k + 1, k + 2));
            k += 2;
        }
        if (d.HasScales) {
            for (int n = 1; n <= kScales; ++n) {
                if (d.ScaleMnemo[n].empty()) continue;
                add(" " + d.VarMnemo + d.ScaleMnemo[n] + " " + Columns(k + 1, k + 3) + " (1)");
                k += 3;
            }
        }
    }
    add(".");

    add("VARIABLE LABELS");
    add(std::string(" ") + kRespIdMnemo);
    add(' ' + Quoted(params.RespIdLabel));
    for (const TDokumZaw& d : params.DokumList) {
        add(" " + d.VarMnemo + vkt);
        add(' ' + Quoted(d.VarName + " (" + kClassificationName + ")"));
        if (!d.X14Mnemo.empty()) {
            add(" " + d.VarMnemo + d.X14Mnemo);
            add(' ' + Quoted(d.VarName + " " + d.X14Name));
        }
        if (d.HasScales) {
            for (int n = 1; n <= kScales; ++n) {
                if (d.ScaleMnemo[n].empty()) continue;
                add(" " + d.VarMnemo + d.ScaleMnemo[n]);
                add(' ' + Quoted(d.VarName + " " + d.ScaleName[n]));
            }
        }
    }
    add(".");

    add("VALUE LABELS");
    addAll(codeVariables);
    for (const auto& entry : clf.Categories) {
        const TKat& cat = entry.value;
        const std::string* label = nullptr;
        if (cat.Code == clf.MissingDataCode) {
            label = &clf.MissingDataName;
        } else if (cat.Code == clf.NotApplicableCode) {
            label = &clf.NotApplicableName;
        } else {
            label = cat.ShortLabel.empty() ? &cat.Name : &cat.ShortLabel;
        }
        if (label->empty()) continue;
        add(" " + cat.Code + " " + Quoted(*label));
    }
    add(".");
    if (params.X14Declared) {
        add("VALUE LABELS");
        addAll(x14Variables);
        for (const auto& entry : params.X14LabelList) {
            add(" " + entry.key + " " + Quoted(entry.value.Text));
        }
        add(".");
    }
    if (params.ScalesDeclared) {
        add("VALUE LABELS");
        addAll(scaleVariables);
        add(' ' + ScaleValueText(kScaleMissing) + " " + Quoted("Missing data"));
        add(' ' + ScaleValueText(kScaleNotApplicable) + " " + Quoted("Not applicable"));
        add(".");
    }

    add("MIS VAL");
    addAll(codeVariables);
    add(" (" + clf.MissingDataCode + ").");
    if (params.X14Declared) {
        add("MIS VAL");
        addAll(x14Variables);
        add(std::string(" (") + kX14Missing + ").");
    }
    if (params.ScalesDeclared) {
        add("MIS VAL");
        addAll(scaleVariables);
        add(" (" + ScaleValueText(kScaleMissing) + ").");
    }

    add("RECODE");
    addAll(codeVariables);
    add(" (" + clf.NotApplicableCode + "=SYSMIS).");
    if (params.X14Declared) {
        add("RECODE");
        addAll(x14Variables);
        add(std::string(" (") + kX14NotApplicable + "=SYSMIS).");
    }
    if (params.ScalesDeclared) {
        add("RECODE");
        addAll(scaleVariables);
        add(" (" + ScaleValueText(kScaleNotApplicable) + "=SYSMIS).");
    }
    return s;
}

void WriteFinalOutput(Session& session) {
    const std::string ascPath = session.DataFilePath(kExtOutput);
    const std::string spsPath = session.DataFilePath(kExtScript);

    // Built straight into one buffer: a million lines need no million strings.
    const auto& respondents = session.Cases.Respondents;
    std::string content;
    content.reserve(respondents.size() * (OutputLineLength(session) + 2));
    DerivedValues derived(session.Clf);
    for (const TOsoba& r : respondents) {
        AppendOutputLine(content, session, derived, r);
        content.append("\r\n");
    }
    WriteFileAtomic(ascPath, content);
    content = std::string();
    WriteLinesAtomic(spsPath, SpssScriptLines(session, ascPath));

    const OccupationCounts counts = CountOccupations(session.Cases);
    session.AppendReportLine(" ");
    session.AppendReportLine("*** " + DateTimeText(kEnglish, session.platform.Now()));
    session.AppendReportLine("Final output data file was written as: " + ascPath);
    session.AppendReportLine("SPSS script was written into file: " + spsPath);
    std::string last = "File contains " + std::to_string(counts.toCode) + " occupations.";
    if (counts.notCoded > 0) {
        last += ' ' + std::to_string(counts.notCoded) + " occupations are yet to be coded.";
    } else {
        last += " All occupations have been coded.";
    }
    session.AppendReportLine(std::move(last));
}

}  // namespace tarnwick
