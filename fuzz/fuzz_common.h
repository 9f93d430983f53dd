#pragma once
// What every fuzz target shares: the invariant check that traps, a scratch folder of the
// process, small file helpers, a small classification that loads, and the invariants of a
// session that any sequence of inputs must keep.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/loader.h"
#include "core/classification/scales.h"
#include "core/params/parser.h"
#include "core/session/session.h"
#include "core/text/strings.h"

// An invariant that failed is a finding: say which, then stop the way libFuzzer notices.
#define FUZZ_CHECK(cond)                                                                       \
    do {                                                                                       \
        if (!(cond)) {                                                                         \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            __builtin_trap();                                                                  \
        }                                                                                      \
    } while (0)

namespace tarnwick::fuzz {

namespace fs = std::filesystem;

// A folder of this process, in memory when the system has /dev/shm (every save syncs its file,
// which on a disk would cost more than the rest of a run), removed at exit.
inline const std::string& ScratchFolder() {
    // Never destroyed, so that the exit handler below still finds the name.
    static const std::string& folder = *new std::string([] {
        fs::path base = fs::temp_directory_path();
        struct stat st {};
        if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) &&
            ::access("/dev/shm", W_OK) == 0) {
            base = "/dev/shm";
        }
        const fs::path p = base / ("tarnwick-fuzz-" + std::to_string(::getpid()));
        fs::remove_all(p);
        fs::create_directories(p);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(ScratchFolder(), ec);
        });
        return p.string() + "/";
    }());
    return folder;
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(out.good());
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Removes every file of `folder` except those named in `keep`.
inline void RemoveFilesExcept(const std::string& folder, const std::vector<std::string>& keep) {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (std::find(keep.begin(), keep.end(), name) != keep.end()) continue;
        fs::remove_all(e.path(), ec);
    }
}

// The demo project's three files, copied once into the scratch folder; returns the folder.
inline const std::vector<std::string> kDemoFiles = {"demo.zpa", "demo.clf", "demo.dat"};

inline const std::string& DemoCopy() {
    static const std::string& folder = []() -> const std::string& {
        const std::string& dir = ScratchFolder();
        for (const std::string& name : kDemoFiles) {
            WriteBytes(dir + name, ReadBytes(std::string(TARNWICK_DEMO) + "/" + name));
        }
        return dir;
    }();
    return folder;
}

// Every basic category of the built-in scales, 9997 'missing data' and 9998 'not applicable':
// the smallest classification that loads.
inline std::string SmallClassificationText() {
    std::vector<std::string> codes = BuiltInScaleCodes();
    codes.push_back("9997");
    codes.push_back("9998");
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    std::string text = "Small classification\r\n";
    for (size_t i = 0; i < codes.size(); ++i) {
        const std::string& c = codes[i];
        const bool lowest = i + 1 == codes.size() || !IsSubordinate(c, codes[i + 1]);
        text += (c == "9997" ? "#CM " : c == "9998" ? "#CN " : "#C ") + c + "\r\n";
        if (c == "9997") {
            text += "#N Missing data\r\n";
        } else if (c == "9998") {
            text += "#N Not applicable\r\n";
        } else {
            text += "#N Category " + c + "\r\n#S Cat " + c + "\r\n";
        }
        if (lowest) text += "#D Work of [worker" + c + "] and [teacher] {internal}\r\n";
    }
    return text;
}

inline Classification LoadSmallClassification() {
    int width = 4;
    Classification clf;
    std::vector<std::string> errors;
    FUZZ_CHECK(LoadClassificationText(SmallClassificationText(), "small.clf", width, clf, errors));
    return clf;
}

// The demo's coding parameters, parsed once.
inline const CodingParams& DemoParams() {
    static const CodingParams params = [] {
        CodingParams p;
        std::vector<std::string> errors;
        std::string report;
        FUZZ_CHECK(ParseCodingParamsText(ReadBytes(std::string(TARNWICK_DEMO) + "/demo.zpa"),
                                         "demo.zpa", p, errors, report));
        return p;
    }();
    return params;
}

// The small classification, loaded once.
inline const Classification& SmallClassification() {
    static const Classification clf = LoadSmallClassification();
    return clf;
}

// The name a case shows beside a stored code.
inline std::string_view ExpectedCodeName(const Classification& clf, const std::string& code) {
    if (code.empty()) return {};
    const int i = clf.IndexOf(code);
    if (i >= 0) return clf.Category(i).Name;
    if (code == clf.MissingDataCode) return clf.MissingDataName;
    if (code == clf.NotApplicableCode) return clf.NotApplicableName;
    return {};
}

inline bool IsKnownCode(const Classification& clf, const std::string& code) {
    return clf.IndexOf(code) >= 0 || code == clf.MissingDataCode || code == clf.NotApplicableCode;
}

// One case as the coder's work sees it.
struct CaseState {
    bool toCode;
    std::string code;
    bool operator==(const CaseState&) const = default;
};

inline std::vector<CaseState> CaseStates(const CaseModel& cases) {
    std::vector<CaseState> out;
    for (const TOsoba& r : cases.Respondents) {
        for (const TZawod& z : r.Occupations) out.push_back({z.ToCode, z.Code});
    }
    return out;
}

// The working file that a save of `cases` must write.
inline std::string ExpectedWorkingFile(const Session& s) {
    std::string out;
    const std::string blanks(static_cast<size_t>(std::max(s.Params.CodeWidth, 0)), ' ');
    for (const TOsoba& r : s.Cases.Respondents) {
        out += r.RespondentId;
        for (const TZawod& z : r.Occupations) out += z.Code.empty() ? blanks : z.Code;
        out += "\r\n";
    }
    return out;
}

// What must hold after any command, whatever the input.
inline void CheckSession(const Session& s) {
    const Classification& clf = s.Clf;
    const int categories = clf.Count();
    const CodingView& v = s.View;

    // Models of steps that have not succeeded are the empty ones.
    if (!s.ParamsLoaded) FUZZ_CHECK(s.Params.DokumList.empty() && s.Params.RespIdPos == 0);
    if (!s.ClassificationLoaded) {
        FUZZ_CHECK(categories == 0 && clf.KeyWords.Count() == 0 && clf.FullListLines.empty());
    } else {
        FUZZ_CHECK(clf.FullListLines.size() == static_cast<size_t>(categories));
    }
    if (!s.DataLoaded) FUZZ_CHECK(s.Cases.Respondents.empty());
    if (s.SessionStarted) FUZZ_CHECK(s.ProjectOpen());

    // The category panel.
    FUZZ_CHECK(v.PreselectedLines.size() == s.PreselectedEntries.size());
    for (const TIndeks& e : s.PreselectedEntries) FUZZ_CHECK(e.Index >= 0 && e.Index < categories);
    FUZZ_CHECK(s.SelectedCategory == -1 ||
               (s.SelectedCategory >= 0 && s.SelectedCategory < categories));
    FUZZ_CHECK(v.PreselectedSelected >= -1 &&
               v.PreselectedSelected < static_cast<int>(v.PreselectedLines.size()));
    FUZZ_CHECK(v.FullSelected >= -1 && v.FullSelected < categories);
    FUZZ_CHECK(v.FullTopLine >= 0);

    // The cases: one per declared field, records inside the buffer, names from the
    // classification, every stored code one the classification knows.
    const CaseModel& cm = s.Cases;
    const size_t fields = s.Params.DokumList.size();
    const std::string_view bytes = cm.DataFile ? cm.DataFile->View() : cm.DataBuffer;
    const char* lo = bytes.data();
    const char* hi = lo + bytes.size();
    for (const TOsoba& r : cm.Respondents) {
        FUZZ_CHECK(r.Occupations.size() == fields);
        FUZZ_CHECK(r.Record.empty() ||
                   (r.Record.data() >= lo && r.Record.data() + r.Record.size() <= hi));
        bool any = false;
        for (const TZawod& z : r.Occupations) {
            any = any || z.ToCode;
            // The standard codes, which most cases hold, without a search.
            if (z.Code.empty()) {
                FUZZ_CHECK(z.CodeName.empty());
            } else if (z.Code == clf.NotApplicableCode) {
                FUZZ_CHECK(z.CodeName == clf.NotApplicableName);
            } else if (z.Code == clf.MissingDataCode) {
                FUZZ_CHECK(z.CodeName == clf.MissingDataName);
            } else {
                FUZZ_CHECK(IsKnownCode(clf, z.Code));
                FUZZ_CHECK(z.CodeName == ExpectedCodeName(clf, z.Code));
            }
        }
        FUZZ_CHECK(r.HasToCode == any);
    }
    const int records = static_cast<int>(cm.Respondents.size());
    for (size_t k = 0; k < cm.SelectorRecords.size(); ++k) {
        const int r = cm.SelectorRecords[k];
        FUZZ_CHECK(r >= 0 && r < records);
        if (k > 0) FUZZ_CHECK(cm.SelectorRecords[k - 1] < r);
    }
    FUZZ_CHECK(v.SelectorSelected >= -1 &&
               v.SelectorSelected < static_cast<int>(cm.SelectorRecords.size()));
    FUZZ_CHECK(cm.CodedCount >= 0 && cm.CodedAtStart >= 0 && cm.ToCodeCount >= 0);
    // Provenance only for cases that hold a code, and never of an unknown source.
    s.Provenance.ForEach([&](int record, int field, const Provenance& p) {
        FUZZ_CHECK(record >= 0 && record < static_cast<int>(cm.Respondents.size()));
        const auto& zs = cm.Respondents[static_cast<size_t>(record)].Occupations;
        FUZZ_CHECK(field >= 0 && field < static_cast<int>(zs.size()));
        FUZZ_CHECK(!zs[static_cast<size_t>(field)].Code.empty());
        FUZZ_CHECK(p.origin.source != CodeSource::Unknown);
    });

    // Once the session runs, the current case exists.
    if (s.SessionStarted) {
        FUZZ_CHECK(s.CurrentRecord >= 0 && s.CurrentRecord < records);
        const TOsoba& r = cm.Respondents[static_cast<size_t>(s.CurrentRecord)];
        FUZZ_CHECK(s.CurrentField >= 0 && s.CurrentField < static_cast<int>(r.Occupations.size()));
    }
}

}  // namespace tarnwick::fuzz
