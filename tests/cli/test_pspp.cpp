// The demo project's final output read by GNU PSPP: the script runs without a warning, every
// variable sits at its columns with its labels and missing values, and the values PSPP reads
// are the ones written, the not-applicable codes turned into system-missing.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/data/working_file.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/notepad.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// One line of PSPP's CSV output split into its fields.
std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// The rows of the table headed "Table: <title>" (header row included), up to the blank line.
std::vector<std::vector<std::string>> Table(const std::vector<std::string>& lines,
                                            const std::string& title) {
    std::vector<std::vector<std::string>> rows;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (CsvFields(lines[i]).front() != "Table: " + title) continue;
        for (size_t j = i + 1; j < lines.size() && !lines[j].empty(); ++j) {
            rows.push_back(CsvFields(lines[j]));
        }
        break;
    }
    return rows;
}

// A code as PSPP prints an F4.0 / F2.0 value: no leading zeros.
std::string AsNumber(const std::string& digits) { return std::to_string(std::stoi(digits)); }

// A three-digit scale value read with one implied decimal, as PSPP prints it (F4.1).
std::string AsScale(const std::string& digits) {
    const int v = std::stoi(digits);
    return std::to_string(v / 10) + "." + std::to_string(v % 10);
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct Variable {
    std::string name;
    int first = 0;
    int last = 0;
    enum Kind { Id, Code, X14, Scale } kind = Code;
    std::string label;
};

TEST(Pspp, DemoOutputReadsBackAsWritten) {
    if (std::system("command -v pspp > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pspp is not installed";
    const fs::path demo = TARNWICK_DEMO;
    fs::path clfFile;
    for (const auto& e : fs::directory_iterator(demo)) {
        if (e.path().extension() == ".clf") clfFile = e.path();
    }
    ASSERT_FALSE(clfFile.empty()) << "no classification in " << demo;

    const testing::TempFolder folder;
    const fs::path dir = folder.Path();
    fs::create_directories(dir / "it's here");
    const fs::path project = dir / "it's here";  // an apostrophe in the FILE path
    for (const char* name : {"demo.zpa", "demo.dat"}) fs::copy_file(demo / name, project / name);
    fs::copy_file(clfFile, project / clfFile.filename());
    const std::string zpa = (project / "demo.zpa").string();
    const std::string clf = (project / clfFile.filename()).string();
    const std::string dat = (project / "demo.dat").string();

    // Code part of the cases in a first session and save them, as a coder would.
    testing::CodeAndSave(zpa, clf, dat, false);

    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::Export(zpa, clf, dat, out, err), cli::kOk) << out.str() << err.str();

    // What the project holds, for the expectations.
    ScriptedPlatform platform;
    platform.fileAnswers = {zpa, clf, dat};
    Session s(platform);
    OpenProject(s);
    ASSERT_TRUE(s.ProjectOpen());
    std::vector<Variable> vars = {
        {"REC_ID", 1, s.Params.RespIdWidth, Variable::Id, s.Params.RespIdLabel}};
    int k = s.Params.RespIdWidth;
    for (const TDokumZaw& d : s.Params.DokumList) {
        vars.push_back(
            {d.VarMnemo + "VKT", k + 1, k + 4, Variable::Code, d.VarName + " (VKT-2009)"});
        k += 4;
        if (!d.X14Mnemo.empty()) {
            vars.push_back({d.VarMnemo + d.X14Mnemo, k + 1, k + 2, Variable::X14,
                            d.VarName + " " + d.X14Name});
            k += 2;
        }
        for (int n = 1; n <= 6; ++n) {
            if (d.ScaleMnemo[n].empty()) continue;
            vars.push_back({d.VarMnemo + d.ScaleMnemo[n], k + 1, k + 3, Variable::Scale,
                            d.VarName + " " + d.ScaleName[n]});
            k += 3;
        }
    }

    const std::string sps = (project / "demo.sps").string();
    const std::string run = (dir / "run.sps").string();
    const std::string csv = (dir / "out.csv").string();
    const std::string log = (dir / "log.txt").string();
    std::string quotedSps;
    for (char c : sps) quotedSps += c == '\'' ? std::string("''") : std::string(1, c);
    WriteFileAtomic(run, "INCLUDE FILE='" + quotedSps + "'.\nDISPLAY DICTIONARY.\nLIST.\n");
    const std::string command =
        "cd '" + dir.string() + "' && pspp -O format=csv -o out.csv run.sps > log.txt 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadWholeFile(log);
    const std::string csvText = ReadWholeFile(csv);
    EXPECT_EQ(Lower(csvText).find("warning"), std::string::npos) << csvText.substr(0, 2000);
    EXPECT_EQ(Lower(csvText).find("error"), std::string::npos) << csvText.substr(0, 2000);
    EXPECT_EQ(Lower(ReadWholeFile(log)).find("warning"), std::string::npos) << ReadWholeFile(log);
    EXPECT_EQ(Lower(ReadWholeFile(log)).find("error"), std::string::npos) << ReadWholeFile(log);
    const std::vector<std::string> lines = ReadLines(csv);

    // Columns.
    const auto dataList =
        Table(lines, "Reading 1 record from `" + project.string() + "/demo.asc'.");
    ASSERT_EQ(dataList.size(), vars.size() + 1) << csvText.substr(0, 2000);
    for (size_t i = 0; i < vars.size(); ++i) {
        const auto& row = dataList[i + 1];
        ASSERT_GE(row.size(), 3u);
        EXPECT_EQ(row[0], vars[i].name);
        EXPECT_EQ(row[2], std::to_string(vars[i].first) + "-" + std::to_string(vars[i].last));
    }

    // Labels and missing values.
    const auto dictionary = Table(lines, "Variables");
    ASSERT_EQ(dictionary.size(), vars.size() + 1);
    for (size_t i = 0; i < vars.size(); ++i) {
        const auto& row = dictionary[i + 1];
        ASSERT_GE(row.size(), 3u);
        EXPECT_EQ(row[0], vars[i].name);
        EXPECT_EQ(row[2], vars[i].label);
        const std::string missing = vars[i].kind == Variable::Id ? ""
                                    : vars[i].kind == Variable::Code
                                        ? AsNumber(s.Clf.MissingDataCode)
                                    : vars[i].kind == Variable::X14 ? "98"
                                                                    : "99.8";
        EXPECT_EQ(row.back(), missing) << vars[i].name;
    }

    // Value labels: every category of the classification under each coded variable, the
    // fourteen classes under each X14 variable, the two special values under each scale.
    std::map<std::string, std::map<std::string, std::string>> labels;
    {
        const auto rows = Table(lines, "Value Labels");
        std::string current;
        for (size_t i = 1; i < rows.size(); ++i) {
            if (rows[i].size() < 3) continue;  // the footnote
            if (!rows[i][0].empty()) current = rows[i][0];
            std::string value = rows[i][1];
            if (value.size() > 3 && value.substr(value.size() - 3) == "[a]")
                value.resize(value.size() - 3);
            labels[current][value] = rows[i][2];
        }
    }
    for (const Variable& v : vars) {
        const auto& got = labels[v.label];
        if (v.kind == Variable::Code) {
            ASSERT_EQ(got.size(), static_cast<size_t>(s.Clf.Count())) << v.name;
            for (int i = 0; i < s.Clf.Count(); ++i) {
                const TKat& c = s.Clf.Category(i);
                const std::string expected =
                    c.IsMissingData || c.IsNotApplicable || c.ShortLabel.empty() ? c.Name
                                                                                 : c.ShortLabel;
                EXPECT_EQ(got.at(AsNumber(c.Code)), expected) << v.name << " " << c.Code;
            }
        } else if (v.kind == Variable::X14) {
            EXPECT_EQ(got.size(), 16u);
            for (const auto& e : s.Params.X14LabelList)
                EXPECT_EQ(got.at(AsNumber(e.key)), e.value.Text);
        } else if (v.kind == Variable::Scale) {
            EXPECT_EQ(got, (std::map<std::string, std::string>{{"99.8", "Missing data"},
                                                               {"99.9", "Not applicable"}}));
        }
    }

    // The values read: as written in the data file, not-applicable and blank as system-missing.
    const std::vector<std::string> asc = ReadLines((project / "demo.asc").string());
    const auto listed = Table(lines, "Data List");
    ASSERT_EQ(listed.size(), asc.size() + 1);
    int notApplicable = 0;
    int missing = 0;
    for (size_t r = 0; r < asc.size(); ++r) {
        const auto& row = listed[r + 1];
        ASSERT_EQ(row.size(), vars.size());
        for (size_t i = 0; i < vars.size(); ++i) {
            const Variable& v = vars[i];
            const std::string raw = asc[r].substr(static_cast<size_t>(v.first - 1),
                                                  static_cast<size_t>(v.last - v.first + 1));
            std::string got = row[i];
            while (!got.empty() && got.back() == ' ') got.pop_back();
            std::string expected;
            switch (v.kind) {
                case Variable::Id:
                    expected = raw;
                    break;
                case Variable::Code:
                    if (raw == s.Clf.NotApplicableCode) ++notApplicable;
                    if (raw == s.Clf.MissingDataCode) ++missing;
                    expected =
                        raw == s.Clf.NotApplicableCode || raw == "    " ? "." : AsNumber(raw);
                    break;
                case Variable::X14:
                    expected = raw == "99" || raw == "  " ? "." : AsNumber(raw);
                    break;
                case Variable::Scale:
                    expected = raw == "999" || raw == "   " ? "." : AsScale(raw);
                    break;
            }
            EXPECT_EQ(got, expected) << "record " << r + 1 << " " << v.name << " \"" << raw << '"';
        }
    }
    EXPECT_GT(notApplicable, 0);
    EXPECT_GT(missing, 0);
}

// The .sps and the .sav of one run, each read by PSPP: the rows of its data list.
std::vector<std::vector<std::string>> PsppList(const fs::path& dir, const std::string& read) {
    WriteFileAtomic((dir / "run.sps").string(), read + "\nDISPLAY DICTIONARY.\nLIST.\n");
    const std::string command =
        "cd '" + dir.string() + "' && pspp -O format=csv -o out.csv run.sps > log.txt 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadWholeFile((dir / "log.txt").string());
    const std::string csv = ReadWholeFile((dir / "out.csv").string());
    EXPECT_EQ(Lower(csv).find("warning"), std::string::npos) << csv.substr(0, 2000);
    EXPECT_EQ(Lower(csv).find("error"), std::string::npos) << csv.substr(0, 2000);
    const std::vector<std::string> lines = ReadLines((dir / "out.csv").string());
    auto labels = Table(lines, "Value Labels");
    EXPECT_FALSE(labels.empty());
    return Table(lines, "Data List");
}

// A generated classification of five-digit codes, its profile giving the standard codes and two
// derived variables, a project of 1,000 records coded in part: the output writes every code at
// five digits, each derived value from its own row, and PSPP reads the script and the .sav alike.
TEST(Pspp, AFiveDigitClassificationWithItsProfileReadsBack) {
    if (std::system("command -v pspp > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pspp is not installed";
    const testing::TempFolder folder;
    const fs::path dir = folder.Path();
    std::string clf = "Five-digit codes\r\n";
    for (int m = 1; m <= 4; ++m) {
        clf += "#C " + std::to_string(m) + "0000\r\n#N Major " + std::to_string(m) + "\r\n";
        for (int s = 1; s <= 3; ++s) {
            const std::string sub = std::to_string(m) + std::to_string(s);
            clf += "#C " + sub + "000\r\n#N Group " + sub + "\r\n";
            for (int u = 1; u <= 3; ++u) {
                const std::string unit = sub + std::to_string(u) + "00";
                clf += "#C " + unit + "\r\n#N Unit " + unit + "\r\n#D Does " + unit + " work\r\n";
            }
        }
    }
    WriteFileAtomic((dir / "n5.clf").string(), clf);
    // The skill level of a major group, one group of which has its own; four classes.
    std::string profile =
        "#NAME N5 'National-5'\r\n#WIDTH 5\r\n#MISSING 99998 'Not known'\r\n"
        "#NOTAPPLICABLE 99999 'No job'\r\n#TABLE SKL 'skill level' NEAREST\r\n#V 12000 1\r\n";
    for (int m = 1; m <= 4; ++m)
        profile += "#V " + std::to_string(m) + "0000 " + std::to_string(5 - m) + "\r\n";
    profile += "#GROUPING MAJ 'major group'\r\n";
    for (int m = 1; m <= 4; ++m) {
        profile += "#G " + std::to_string(m) + "0000-" + std::to_string(m) + "9999 " +
                   std::to_string(m) + " 'Major " + std::to_string(m) + "'\r\n";
    }
    WriteFileAtomic((dir / "n5.clp").string(), profile);
    WriteFileAtomic((dir / "n5.zpa").string(),
                    "#R 1-4 'Respondent number'\r\n#J JOB 'Job'\r\n#I1 5-14 'Job title'\r\n"
                    "#V SKL\r\n#V MAJ 'major group'\r\n#J PJOB 'Job of partner'\r\n"
                    "#I1 15-24 'Job title'\r\n#F 25 1\r\n#V MAJ\r\n");
    std::string data;
    for (int r = 1; r <= 1000; ++r) {
        char id[8];
        std::snprintf(id, sizeof id, "%04d", r);
        data += std::string(id) + "worker    " + "partner   " + (r % 3 == 0 ? "2" : "1") + "\r\n";
    }
    WriteFileAtomic((dir / "n5.dat").string(), data);
    const std::string zpa = (dir / "n5.zpa").string();
    const std::string clfPath = (dir / "n5.clf").string();
    const std::string dat = (dir / "n5.dat").string();
    testing::CodeAndSave(zpa, clfPath, dat, false);

    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::Export(zpa, clfPath, dat, out, err), cli::kOk) << out.str() << err.str();
    ASSERT_EQ(cli::Export(zpa, clfPath, dat, out, err, {"sav"}), cli::kOk) << err.str();

    // Every line: the identifier, then per field the code at five digits and its values.
    const std::vector<std::string> asc = ReadLines((dir / "n5.asc").string());
    ASSERT_EQ(asc.size(), 1000u);
    const auto skill = [](const std::string& c) {
        return c.compare(0, 2, "12") == 0 ? "1" : std::to_string(5 - (c[0] - '0'));
    };
    size_t coded = 0;
    for (const std::string& line : asc) {
        ASSERT_EQ(line.size(), 4u + 5 + 1 + 1 + 5 + 1) << line;
        const std::string a = line.substr(4, 5);
        const std::string b = line.substr(11, 5);
        if (a == "     ") {
            EXPECT_EQ(line.substr(9, 2), "  ");
        } else if (a == "99998") {
            EXPECT_EQ(line.substr(9, 2), "88");
        } else {
            ++coded;
            EXPECT_EQ(line.substr(9, 2), skill(a) + a.substr(0, 1)) << line;
        }
        const std::string bMajor = b == "99999"   ? "9"
                                   : b == "99998" ? "8"
                                   : b == "     " ? " "
                                                  : b.substr(0, 1);
        EXPECT_EQ(line.substr(16, 1), bMajor) << line;
    }
    EXPECT_GT(coded, 500u);

    const auto fromScript = PsppList(dir, "INCLUDE FILE='" + (dir / "n5.sps").string() + "'.");
    const auto fromSav = PsppList(dir, "GET FILE='" + (dir / "n5.sav").string() + "'.");
    ASSERT_EQ(fromScript.size(), 1001u);
    EXPECT_EQ(fromScript, fromSav);
    EXPECT_EQ(fromScript[0], (std::vector<std::string>{"REC_ID", "JOBN5", "JOBSKL", "JOBMAJ",
                                                       "PJOBN5", "PJOBMAJ"}));
}

}  // namespace
}  // namespace tarnwick
