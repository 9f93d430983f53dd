#pragma once
// A small project on disk for tests that run the whole opening: parameters, a classification
// that defines every basic category, and a data file.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/classification/loader.h"
#include "core/classification/scales.h"
#include "core/data/output.h"
#include "core/params/parser.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "core/text/lines.h"
#include "support/scripted_platform.h"

namespace tarnwick::testing {

// A fresh, empty folder under the system's temporary folder, removed with the object.
class TempFolder {
  public:
    TempFolder() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("tarnwick-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string Path(const std::string& name = {}) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// The model of a parameters text that must parse without faults.
inline CodingParams ParsedParams(const std::string& text) {
    CodingParams params;
    std::vector<std::string> errors;
    std::string report;
    EXPECT_TRUE(ParseCodingParamsText(text, "proj.zpa", params, errors, report))
        << (errors.empty() ? "" : errors.back());
    return params;
}

// A classification made in memory: these categories, each named "Name of <code>", and the
// standard codes 9998 (missing data) and 9999 (not applicable).
inline Classification FewCategories(std::vector<std::string> codes) {
    Classification clf;
    clf.MissingDataCode = "9998";
    clf.MissingDataName = "Missing data";
    clf.NotApplicableCode = "9999";
    clf.NotApplicableName = "Not applicable";
    codes.insert(codes.end(), {"9998", "9999"});
    for (const std::string& code : codes) {
        TKat k(code, 4);
        k.Name = "Name of " + code;
        clf.Categories.Add(code, std::move(k));
    }
    return clf;
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

inline std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of the output data file that the session would write.
inline std::vector<std::string> OutputLines(const Session& s) {
    const std::string content = FormatOutputData(s.Params, s.Clf, s.Cases);
    std::vector<std::string> lines;
    for (std::string_view line : SplitLines(content)) lines.emplace_back(line);
    return lines;
}

// Every entry of a folder: a file by its bytes, a folder by a mark.
using Snapshot = std::map<std::string, std::string>;

inline Snapshot Take(const std::string& folder, const std::vector<std::string>& except = {}) {
    Snapshot shot;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (std::find(except.begin(), except.end(), name) != except.end()) continue;
        shot[name] = e.is_directory() ? std::string("<folder>") : ReadFileText(e.path().string());
    }
    return shot;
}

// A classification text that loads without faults: every basic category, two further
// categories below 1110 (1111 teacher, 1119 nurse... by name) and the two standard categories.
inline std::string MinimalClassificationText() {
    std::vector<std::string> codes = BuiltInScaleCodes();
    codes.push_back("9997");
    codes.push_back("9998");
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    std::string text = "Test classification\r\n";
    for (size_t i = 0; i < codes.size(); ++i) {
        const std::string& c = codes[i];
        const bool lowest = i + 1 == codes.size() || !IsSubordinate(c, codes[i + 1]);
        std::string marker = "#C ";
        if (c == "9997") marker = "#CM ";
        if (c == "9998") marker = "#CN ";
        text += marker + c + "\r\n";
        if (c == "9997") {
            text += "#N Missing data\r\n";
        } else if (c == "9998") {
            text += "#N Not applicable\r\n";
        } else {
            text += "#N Category " + c + "\r\n#S Cat " + c + "\r\n";
        }
        if (lowest) text += "#D Work of [category" + c + "] and [worker]\r\n";
    }
    return text;
}

// A project with one occupation field "ZAW" (information fields 1 and 2, a filter on column 8)
// and respondents "000001".."000004": the third fails the filter.
struct SmallProject {
    TempFolder folder;
    std::string params, classification, data;

    SmallProject() {
        params = folder.Path("proj.zpa");
        classification = folder.Path("test.clf");
        data = folder.Path("wave.dat");
        WriteFile(params,
                  "Test parameters\r\n"
                  "#R 1-6 'Respondent number'\r\n"
                  "#J ZAW 'Occupation'\r\n"
                  "#I1 10-29 'Job title'\r\n"
                  "#I2 30-39 'Duties'\r\n"
                  "#F 8 1\r\n"
                  "#S1 PRS 'prestige'\r\n");
        WriteFile(classification, MinimalClassificationText());
        WriteFile(data,
                  "000001 1 teacher             teaching  \r\n"
                  "000002 1 nurse               caring    \r\n"
                  "000003 2 nobody              nothing   \r\n"
                  "000004 1 driver              driving   \r\n");
    }
};

// Opens a project, codes its cases as a coder might and saves the working file: the lowest
// categories in turn, missing data on every ninth case and every fourth case left not coded. With
// `everyKind`, also not applicable on every seventh and 9100 (a code without scale values) on
// every eleventh.
inline void CodeAndSave(const std::string& zpa, const std::string& clf, const std::string& dat,
                        bool everyKind) {
    ScriptedPlatform platform;
    platform.fileAnswers = {zpa, clf, dat};
    Session s(platform);
    OpenProject(s);
    ASSERT_TRUE(s.ProjectOpen());
    std::vector<int> lowest;
    for (int i = 0; i < s.Clf.Count(); ++i) {
        const TKat& k = s.Clf.Category(i);
        if (k.IsLowest && !k.IsMissingData && !k.IsNotApplicable) lowest.push_back(i);
    }
    ASSERT_FALSE(lowest.empty());
    size_t n = 0;
    for (TOsoba& r : s.Cases.Respondents) {
        for (TZawod& z : r.Occupations) {
            if (!z.ToCode || ++n % 4 == 0) continue;
            if (n % 9 == 0) {
                z.Code = s.Clf.MissingDataCode;
            } else if (everyKind && n % 7 == 0) {
                z.Code = s.Clf.NotApplicableCode;
            } else if (everyKind && n % 11 == 0) {
                z.Code = "9100";
            } else {
                z.Code = s.Clf.Category(lowest[(n * 7) % lowest.size()]).Code;
            }
        }
    }
    SaveWorkingFile(s);
}

}  // namespace tarnwick::testing
