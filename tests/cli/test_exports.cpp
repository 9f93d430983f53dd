// The exports of the demo project read back by readers of their own: GNU PSPP for the .sav,
// ReadStat's command-line tools for the .dta, Python's csv module for the CSV. Each is compared
// with the output data file, cut at the columns where PSPP reads it through the SPSS script, for
// every kind of case: coded, missing, not applicable, not coded, filtered out.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/coding/changes.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "core/text/lines.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

// Rewrites CSV (PSPP's output, ReadStat's, ours), ReadStat's JSON metadata or the rows of a
// .dta as lines of tab-separated fields, so that no CSV is parsed here by hand. The rows of a
// .dta are read here rather than through ReadStat, whose CSV writes every missing value alike:
// they keep "." and ".a" apart.
constexpr const char* kReader = R"(import csv, json, struct, sys
out = open(sys.argv[3], 'w', encoding='utf-8', newline='\n')
if sys.argv[1] == 'dta':
    b = open(sys.argv[2], 'rb').read()
    assert b.startswith(b'<stata_dta><header><release>11') and b'<byteorder>LSF' in b
    K = struct.unpack_from('<H', b, b.index(b'<K>') + 3)[0]
    N = struct.unpack_from('<Q', b, b.index(b'<N>') + 3)[0]
    offsets = struct.unpack_from('<14Q', b, b.index(b'<map>') + 5)
    types = struct.unpack_from('<%dH' % K, b, offsets[2] + len(b'<variable_types>'))
    # type: (value, raw unsigned, width, first missing as raw unsigned, shift of the letters)
    num = {65526: ('<d', '<Q', 8, 0x7fe0000000000000, 40), 65527: ('<f', '<I', 4, 0x7f000000, 11),
           65528: ('<i', '<I', 4, 2147483621, 0), 65529: ('<h', '<H', 2, 32741, 0),
           65530: ('<b', '<B', 1, 101, 0)}
    p = offsets[9] + len(b'<data>')
    for r in range(N):
        row = []
        for t in types:
            if t in num:
                fmt, ufmt, w, first, shift = num[t]
                u = struct.unpack_from(ufmt, b, p)[0]
                if fmt in ('<i', '<h', '<b'):
                    v = struct.unpack_from(fmt, b, p)[0]
                    missing = v >= first
                else:
                    missing = u >= first
                if missing:
                    k = (u - first) >> shift
                    row.append('.' + ('' if k == 0 else chr(ord('a') + k - 1)))
                else:
                    row.append(repr(struct.unpack_from(fmt, b, p)[0]))
            else:
                w = t
                row.append(b[p:p + w].split(b'\0')[0].decode('utf-8'))
            p += w
        out.write('\t'.join(row) + '\n')
elif sys.argv[1] == 'csv':
    with open(sys.argv[2], newline='', encoding='utf-8-sig') as f:
        for row in csv.reader(f):
            out.write('\t'.join(row) + '\n')
else:
    for v in json.load(open(sys.argv[2], encoding='utf-8'))['variables']:
        out.write('\t'.join(['V', v['name'], v['type'], v.get('label', '')]) + '\n')
        for c in v.get('categories', []):
            out.write('\t'.join(['L', v['name'], str(c['code']), c['label']]) + '\n')
)";

bool Have(const char* tool) {
    return std::system(("command -v " + std::string(tool) + " > /dev/null 2>&1").c_str()) == 0;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class Exports : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!Have("pspp") || !Have("readstat") || !Have("extract_metadata") || !Have("python3"))
            return;
        folder_ = new testing::TempFolder;
        const fs::path demo = TARNWICK_DEMO;
        for (const char* name : {"demo.zpa", "demo.clf", "demo.dat"})
            fs::copy_file(demo / name, folder_->Path(name));
        WriteFileAtomic(folder_->Path("reader.py"), kReader);
        const std::string zpa = folder_->Path("demo.zpa"), clf = folder_->Path("demo.clf"),
                          dat = folder_->Path("demo.dat");
        // A working file with every kind of code: categories (9100 has no scale values, so its
        // scales read as missing), missing data, not applicable, and every fourth case left
        // not coded; the filters leave some cases out.
        testing::CodeAndSave(zpa, clf, dat, true);
        std::ostringstream out, err;
        ASSERT_EQ(cli::Export(zpa, clf, dat, out, err), cli::kOk) << err.str();
        ASSERT_EQ(cli::Export(zpa, clf, dat, out, err, {"sav", "zsav", "dta", "csv"}), cli::kOk)
            << err.str();
        asc_ = new std::vector<std::string>(ReadLines(folder_->Path("demo.asc")));
        script_ = new std::string(Pspp("INCLUDE FILE='demo.sps'."));
    }
    static void TearDownTestSuite() {
        delete asc_;
        delete script_;
        delete folder_;
    }
    void SetUp() override {
        if (folder_ == nullptr) GTEST_SKIP() << "pspp, readstat or python3 is not installed";
    }

    static std::string Run(const std::string& command) {
        const std::string full = "cd '" + folder_->Path() + "' && " + command + " > log 2>&1";
        EXPECT_EQ(std::system(full.c_str()), 0) << command << "\n"
                                                << ReadWholeFile(folder_->Path("log"));
        return ReadWholeFile(folder_->Path("log"));
    }
    static Rows Tabs(const std::string& mode, const std::string& file) {
        Run("python3 reader.py " + mode + " " + file + " tabs");
        Rows rows;
        const std::string text = ReadWholeFile(folder_->Path("tabs"));
        for (std::string_view line : SplitLines(text)) {
            std::vector<std::string> fields(1);
            for (char c : line) {
                if (c == '\t') {
                    fields.emplace_back();
                } else {
                    fields.back() += c;
                }
            }
            rows.push_back(std::move(fields));
        }
        return rows;
    }
    // PSPP's dictionary and listing of what `load` reads, as lines of tab-separated fields;
    // PSPP must say no warning.
    static std::string Pspp(const std::string& load) {
        WriteFileAtomic(folder_->Path("run.sps"), load + "\nDISPLAY DICTIONARY.\nLIST.\n");
        const std::string log = Run("pspp -O format=csv -o pspp.csv run.sps");
        const std::string csv = ReadWholeFile(folder_->Path("pspp.csv"));
        EXPECT_EQ(Lower(csv + log).find("warning"), std::string::npos) << csv.substr(0, 2000);
        EXPECT_EQ(Lower(csv + log).find("error"), std::string::npos) << csv.substr(0, 2000);
        return csv;
    }
    // The rows of PSPP's table headed "Table: <title>" (header included).
    static Rows Table(const Rows& rows, const std::string& title) {
        Rows table;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].front() != "Table: " + title) continue;
            for (size_t j = i + 1; j < rows.size() && rows[j] != std::vector<std::string>{""}; ++j)
                table.push_back(rows[j]);
            break;
        }
        return table;
    }
    static Rows ScriptTable(const std::string& title) {
        WriteFileAtomic(folder_->Path("script.csv"), *script_);
        return Table(Tabs("csv", "script.csv"), title);
    }

    // Where the script reads each variable: name, first column, width and format.
    struct Column {
        std::string name;
        size_t first, width;
        std::string format;
        std::string Raw(const std::string& line) const { return line.substr(first, width); }
        bool IsCode() const { return format == "F4.0"; }
        bool IsScale() const { return format == "F3.1"; }
    };
    static std::vector<Column> Columns() {
        const Rows table =
            ScriptTable("Reading 1 record from `" + folder_->Path("demo.asc") + "'.");
        std::vector<Column> columns;
        for (size_t i = 1; i < table.size(); ++i) {
            const std::string& span = table[i][2];
            const size_t first = std::stoul(span);
            const size_t dash = span.find('-');
            const size_t last =
                dash == std::string::npos ? first : std::stoul(span.substr(dash + 1));
            columns.push_back({table[i][0], first - 1, last - first + 1, table[i][3]});
        }
        return columns;
    }
    // The variable labels of the script, by name.
    static std::map<std::string, std::string> VariableLabels() {
        std::map<std::string, std::string> labels;
        const Rows table = ScriptTable("Variables");
        for (size_t i = 1; i < table.size(); ++i) labels[table[i][0]] = table[i][2];
        return labels;
    }

    static testing::TempFolder* folder_;
    static std::vector<std::string>* asc_;
    static std::string* script_;
};

testing::TempFolder* Exports::folder_ = nullptr;
std::vector<std::string>* Exports::asc_ = nullptr;
std::string* Exports::script_ = nullptr;

bool Blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

TEST_F(Exports, SavReadsInPsppAsTheScriptReadsTheOutputDataFile) {
    const std::string sav = ReadWholeFile(folder_->Path("demo.sav"));
    ASSERT_GT(sav.size(), 76u);
    EXPECT_EQ(sav[72], 1) << "bytecode compression";
    WriteFileAtomic(folder_->Path("sav.csv"), Pspp("GET FILE='demo.sav'."));
    const Rows got = Tabs("csv", "sav.csv");
    // Names, labels, formats, missing values (the measurement level is ours to choose: the
    // script sets none).
    Rows expected = ScriptTable("Variables");
    Rows variables = Table(got, "Variables");
    ASSERT_EQ(variables.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(variables[i].size(), expected[i].size());
        variables[i][3] = expected[i][3];
        EXPECT_EQ(variables[i], expected[i]);
    }
    EXPECT_EQ(Table(got, "Value Labels"), ScriptTable("Value Labels"));
    // The values, system-missing where the script's RECODE makes it.
    const Rows list = Table(got, "Data List");
    EXPECT_EQ(list, ScriptTable("Data List"));
    EXPECT_EQ(list.size(), asc_->size() + 1);
}

// The zlib-compressed form holds what the .sav holds, to the last label and value.
TEST_F(Exports, ZsavReadsInPsppAsTheSav) {
    const std::string zsav = ReadWholeFile(folder_->Path("demo.zsav"));
    ASSERT_GT(zsav.size(), 76u);
    EXPECT_EQ(zsav.substr(0, 4), "$FL3");
    EXPECT_EQ(Pspp("GET FILE='demo.zsav'."), Pspp("GET FILE='demo.sav'."));
}

TEST_F(Exports, DtaHoldsTheCodesAsTextAndTheirLabelsInTheNumericTwin) {
    Run("extract_metadata demo.dta meta.json");
    const Rows meta = Tabs("meta", "meta.json");
    Run("readstat demo.dta dta.csv");
    const Rows data = Tabs("csv", "dta.csv");
    const std::vector<Column> columns = Columns();
    const std::map<std::string, std::string> labels = VariableLabels();

    // The variables: every one of the script, and after each code its numeric twin.
    std::vector<std::string> names;
    std::map<std::string, std::map<std::string, std::string>> valueLabels;
    for (const auto& row : meta) {
        if (row[0] == "V") {
            names.push_back(row[1]);
            const std::string base =
                row[1].ends_with("_num") ? row[1].substr(0, row[1].size() - 4) : row[1];
            EXPECT_EQ(row[3], labels.at(base).substr(0, 80)) << row[1];
        } else {
            valueLabels[row[1]][row[2]] = row[3];
        }
    }
    std::vector<std::string> expectedNames;
    for (const Column& c : columns) {
        expectedNames.push_back(c.name);
        if (c.IsCode()) expectedNames.push_back(c.name + "_num");
    }
    EXPECT_EQ(names, expectedNames);
    ASSERT_EQ(data.front(), expectedNames);

    // Value labels: the script's, with the missing-data value as .a.
    std::map<std::string, std::map<std::string, std::string>> scriptLabels;
    {
        const Rows table = ScriptTable("Value Labels");
        std::map<std::string, std::string> byLabel;
        for (const auto& [name, label] : labels) byLabel[label] = name;
        std::string current;
        for (size_t i = 1; i < table.size(); ++i) {
            if (table[i].size() < 3) continue;
            if (!table[i][0].empty()) current = byLabel.at(table[i][0]);
            std::string value = table[i][1];
            if (value.ends_with("[a]")) value = ".a";
            scriptLabels[current][value] = table[i][2];
        }
    }
    for (const Column& c : columns) {
        if (c.format.starts_with("A")) continue;
        auto expected = scriptLabels[c.name];
        // The not-applicable value never occurs in Stata: it is system-missing there.
        for (auto it = expected.begin(); it != expected.end();) {
            it = it->second == "Not applicable" || it->first == "99" ? expected.erase(it)
                                                                     : std::next(it);
        }
        if (c.IsScale()) expected = {{".a", "Missing data"}};
        EXPECT_EQ(valueLabels[c.IsCode() ? c.name + "_num" : c.name], expected) << c.name;
    }

    // The records: codes as written, their twins, classes and scales as numbers, the
    // missing-data values .a, not applicable and blanks system-missing. ReadStat's CSV writes
    // every missing value as an empty field and numbers as their nearest doubles; the rows read
    // straight from the file tell .a from system-missing.
    ASSERT_EQ(data.size(), asc_->size() + 1);
    const Rows rows = Tabs("dta", "demo.dta");
    ASSERT_EQ(rows.size(), asc_->size());
    std::set<std::string> kinds;
    for (size_t r = 0; r < asc_->size(); ++r) {
        const std::vector<std::string>& got = data[r + 1];
        ASSERT_EQ(got.size(), expectedNames.size());
        size_t k = 0;
        for (const Column& c : columns) {
            const std::string raw = c.Raw((*asc_)[r]);
            if (c.format.starts_with("A") || c.IsCode()) {
                EXPECT_EQ(got[k++], c.IsCode() && Blank(raw) ? "" : raw) << r << " " << c.name;
                if (!c.IsCode()) continue;
            }
            const bool missing = raw == (c.IsCode() ? "9800" : c.IsScale() ? "998" : "98");
            const bool notApplicable = raw == (c.IsCode() ? "9900" : c.IsScale() ? "999" : "99");
            kinds.insert(missing         ? "missing"
                         : notApplicable ? "not applicable"
                         : Blank(raw)    ? "blank"
                                         : "value");
            const std::string& stored = rows[r][k];
            const std::string& value = got[k++];
            if (missing || notApplicable || Blank(raw)) {
                EXPECT_EQ(value, "") << r << " " << c.name;
                EXPECT_EQ(stored, missing ? ".a" : ".") << r << " " << c.name;
            } else {
                ASSERT_FALSE(value.empty()) << r << " " << c.name;
                EXPECT_EQ(std::stod(value), std::stoi(raw) / (c.IsScale() ? 10.0 : 1.0))
                    << r << " " << c.name;
            }
        }
    }
    EXPECT_EQ(kinds.size(), 4u);
}

TEST_F(Exports, CsvHoldsTheOutputDataFileFieldByFieldAndTheLabelsBeside) {
    const Rows data = Tabs("csv", "demo.csv");
    const std::vector<Column> columns = Columns();
    ASSERT_EQ(data.size(), asc_->size() + 1);
    std::vector<std::string> names;
    for (const Column& c : columns) names.push_back(c.name);
    EXPECT_EQ(data.front(), names);
    for (size_t r = 0; r < asc_->size(); ++r) {
        std::vector<std::string> expected;
        for (const Column& c : columns) {
            std::string raw = c.Raw((*asc_)[r]);
            if (!c.format.starts_with("A") && Blank(raw)) raw.clear();
            if (c.IsScale() && !raw.empty()) raw.insert(2, ".");
            expected.push_back(raw);
        }
        EXPECT_EQ(data[r + 1], expected) << "record " << r + 1;
    }

    // The labels: each variable's own, then the script's value labels with the values as they
    // stand in the data file.
    const Rows labels = Tabs("csv", "demo_labels.csv");
    const std::map<std::string, std::string> variableLabels = VariableLabels();
    std::map<std::string, std::map<std::string, std::string>> got;
    for (size_t i = 1; i < labels.size(); ++i) {
        ASSERT_EQ(labels[i].size(), 3u);
        if (labels[i][1].empty()) {
            EXPECT_EQ(labels[i][2], variableLabels.at(labels[i][0]));
        } else {
            got[labels[i][0]][labels[i][1]] = labels[i][2];
        }
    }
    EXPECT_EQ(labels.front(), (std::vector<std::string>{"variable", "value", "label"}));
    const Rows table = ScriptTable("Value Labels");
    std::map<std::string, std::string> byLabel;
    for (const auto& [name, label] : variableLabels) byLabel[label] = name;
    std::string current;
    size_t count = 0;
    for (size_t i = 1; i < table.size(); ++i) {
        if (table[i].size() < 3) continue;
        if (!table[i][0].empty()) current = byLabel.at(table[i][0]);
        std::string value = table[i][1];
        if (value.ends_with("[a]")) value.resize(value.size() - 3);
        const Column& c = *std::find_if(columns.begin(), columns.end(),
                                        [&](const Column& k) { return k.name == current; });
        // PSPP prints numbers without leading zeros; the CSV keeps the data file's width.
        if (!c.IsScale())
            value = std::string(c.width - std::min(c.width, value.size()), '0') + value;
        EXPECT_EQ(got[current][value], table[i][2]) << current << " " << value;
        ++count;
    }
    EXPECT_EQ(labels.size(), 1 + variableLabels.size() + count);
}

// With --provenance each export holds, after every code, where it came from; ReadStat reads the
// .sav and the .dta back, Python's csv module the CSV.
TEST(ProvenanceExports, EachCodeCarriesItsSourceAndAnAutomaticOneItsConfidence) {
    if (!Have("readstat") || !Have("extract_metadata") || !Have("python3")) {
        GTEST_SKIP() << "readstat or python3 is not installed";
    }
    testing::TempFolder folder;
    for (const char* name : {"demo.zpa", "demo.clf", "demo.dat"})
        fs::copy_file(fs::path(TARNWICK_DEMO) / name, folder.Path(name));
    WriteFileAtomic(folder.Path("reader.py"), kReader);
    const std::string zpa = folder.Path("demo.zpa"), clf = folder.Path("demo.clf"),
                      dat = folder.Path("demo.dat");
    // The first field's cases: a coder's code, an automatic one, an identical answer's, one
    // left without code, and one the filter leaves out (not applicable, of no known source).
    std::map<std::string, std::vector<std::string>> expected;  // identifier: source, confidence
    {
        ScriptedPlatform platform;
        platform.fileAnswers = {zpa, clf, dat};
        Session s(platform);
        OpenProject(s);
        ASSERT_TRUE(s.ProjectOpen());
        std::vector<int> toCode;
        std::string filtered;
        for (size_t r = 0; r < s.Cases.Respondents.size(); ++r) {
            const TZawod& z = s.Cases.Respondents[r].Occupations[1];
            if (z.ToCode) toCode.push_back(static_cast<int>(r));
            if (!z.ToCode && filtered.empty()) filtered = s.Cases.Respondents[r].RespondentId;
        }
        ASSERT_GE(toCode.size(), 4u);
        ASSERT_FALSE(filtered.empty());
        CodeOrigin automatic{CodeSource::Automatic};
        automatic.confidence = 0.875;
        automatic.threshold = 0.75;
        ASSERT_TRUE(ChangeCase(s, toCode[0], 1, s.Clf.MissingDataCode, s.Clf.MissingDataName, true,
                               0, {CodeSource::Coder, CodeLine::MissingData}));
        int lowest = 0;
        while (!s.Clf.Category(lowest).IsLowest || s.Clf.Category(lowest).IsMissingData) ++lowest;
        const std::string code = s.Clf.Category(lowest).Code;
        const std::string_view name = s.Clf.Category(lowest).Name;
        ASSERT_EQ(ChangeCases(s, {{toCode[1], 1, code, name, true, automatic},
                                  {toCode[2], 1, code, name, true, {CodeSource::Identical}}}),
                  2);
        ASSERT_TRUE(SaveWorkingFile(s));
        const auto id = [&s](int r) {
            return s.Cases.Respondents[static_cast<size_t>(r)].RespondentId;
        };
        expected = {{id(toCode[0]), {"1", ""}},
                    {id(toCode[1]), {"2", "0.875"}},
                    {id(toCode[2]), {"3", ""}},
                    {id(toCode[3]), {"", ""}},
                    {filtered, {"0", ""}}};
    }
    std::ostringstream out, err;
    ASSERT_EQ(cli::Export(zpa, clf, dat, out, err, {"sav", "dta", "csv"}, false, true), cli::kOk)
        << err.str();

    const auto run = [&folder](const std::string& command) {
        const std::string full = "cd '" + folder.Path() + "' && " + command + " > log 2>&1";
        ASSERT_EQ(std::system(full.c_str()), 0) << command << ReadWholeFile(folder.Path("log"));
    };
    const auto rows = [&](const std::string& mode, const std::string& file) {
        run("python3 reader.py " + mode + " " + file + " tabs");
        Rows table;
        const std::string text = ReadWholeFile(folder.Path("tabs"));
        for (std::string_view line : SplitLines(text)) {
            std::vector<std::string> fields(1);
            for (char c : line) {
                if (c == '\t') {
                    fields.emplace_back();
                } else {
                    fields.back() += c;
                }
            }
            table.push_back(std::move(fields));
        }
        return table;
    };
    run("readstat demo.sav sav.csv");
    run("readstat demo.dta dta.csv");
    for (const char* file : {"sav.csv", "dta.csv", "demo.csv"}) {
        SCOPED_TRACE(file);
        const Rows table = rows("csv", file);
        ASSERT_FALSE(table.empty());
        const std::vector<std::string>& names = table.front();
        // The field's code, then (the .dta's numeric twin and) its source and confidence.
        const auto at = std::find(names.begin(), names.end(), "ZAWOVKT_src");
        ASSERT_NE(at, names.end());
        const size_t src = static_cast<size_t>(at - names.begin());
        EXPECT_EQ(names[src + 1], "ZAWOVKT_conf");
        EXPECT_EQ(names[src - (file == std::string("dta.csv") ? 2 : 1)], "ZAWOVKT");
        size_t seen = 0;
        for (const auto& row : table) {
            const auto e = expected.find(row[0]);
            if (e == expected.end()) continue;
            ++seen;
            const auto number = [](const std::string& text) {
                return text.empty() ? text : std::to_string(std::stod(text));
            };
            EXPECT_EQ(number(row[src]), number(e->second[0])) << row[0];
            EXPECT_EQ(number(row[src + 1]), number(e->second[1])) << row[0];
        }
        EXPECT_EQ(seen, expected.size());
    }
    // The source's labels, in each file that has labels.
    for (const char* file : {"demo.sav", "demo.dta"}) {
        run(std::string("extract_metadata ") + file + " meta.json");
        std::map<std::string, std::string> labels;
        for (const auto& row : rows("meta", "meta.json")) {
            // The .sav's values are doubles ("1.0"), the .dta's integers.
            if (row[0] == "L" && row[1] == "ZAWOVKT_src") labels[row[2].substr(0, 1)] = row[3];
        }
        EXPECT_EQ(labels, (std::map<std::string, std::string>{{"0", "Unknown"},
                                                              {"1", "Coder"},
                                                              {"2", "Automatic"},
                                                              {"3", "Identical answer"},
                                                              {"4", "Recovered from the journal"},
                                                              {"5", "Supervisor"}}))
            << file;
    }
}

}  // namespace
}  // namespace tarnwick
