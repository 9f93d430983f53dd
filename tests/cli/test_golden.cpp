// Golden cases: tests/golden/<format>/<case>/ holds a case's input files and, in expected/,
// every output of the run byte for byte. The format folder decides how the case runs; see
// tests/golden/README.md. TARNWICK_GOLDEN_UPDATE=1 rewrites expected/ from the actual run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "project_fixture.h"

namespace tarnwick::testing {
namespace {

namespace fs = std::filesystem;

// The console's session reports carry this moment, and its codes this coder, as the expected
// files do.
cli::ConsoleHooks FixedClock() {
    cli::ConsoleHooks hooks;
    hooks.clock = [] { return DateTime{2026, 12, 7, 0, 37, 40}; };
    hooks.coder = "coder";
    return hooks;
}
const cli::ConsoleHooks kFixedClock = FixedClock();

const char* const kExpectedFolder = "expected";
const char* const kScript = "commands.txt";
// A case holding this file runs on a copy of examples/demo (its own files are copied on top);
// the file may name the demo files to copy, one a line.
const char* const kDemoMarker = "use-demo";
// Stands for the case's temporary folder in every output, and in the script.
const char* const kDirMark = "@DIR@";

struct GoldenCase {
    std::string format;
    std::string name;
    fs::path folder;
};

void PrintTo(const GoldenCase& gc, std::ostream* os) { *os << gc.format << "/" << gc.name; }

std::vector<GoldenCase> DiscoverCases() {
    std::vector<GoldenCase> cases;
    const fs::path root = TARNWICK_GOLDEN;
    if (!fs::is_directory(root)) return cases;
    for (const auto& format : fs::directory_iterator(root)) {
        if (!format.is_directory()) continue;
        for (const auto& c : fs::directory_iterator(format.path())) {
            if (c.is_directory()) {
                cases.push_back(
                    {format.path().filename().string(), c.path().filename().string(), c.path()});
            }
        }
    }
    std::sort(cases.begin(), cases.end(),
              [](const auto& a, const auto& b) { return a.folder < b.folder; });
    return cases;
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// The report's time stamps come from the real clock in export.
std::string MaskTimeStamps(const std::string& text) {
    std::istringstream in(text);
    std::string masked;
    for (std::string line; std::getline(in, line);) {
        // "*** December 7, 2026 at 00:37:40"; other lines may begin with "*** " too.
        const bool stamp = line.rfind("*** ", 0) == 0 && line.size() > 12 &&
                           line.compare(line.size() - 12, 4, " at ") == 0 &&
                           line[line.size() - 6] == ':' && line[line.size() - 3] == ':';
        masked += stamp ? "*** @TIME@" : line;
        masked += '\n';
    }
    return masked;
}

// The only file of the folder whose name ends in `ext`; empty when there is none or several.
std::string OnlyFile(const std::string& folder, const std::string& ext) {
    std::string found;
    int count = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().extension() == ext) {
            found = e.path().string();
            ++count;
        }
    }
    return count == 1 ? found : std::string();
}

using Outputs = std::map<std::string, std::string>;

// Runs the case in `dir` (its inputs already there) and returns stdout, stderr, the exit code
// and every file the run wrote or changed, by name.
Outputs RunCase(const GoldenCase& gc, const std::string& dir) {
    const Snapshot before = Take(dir);
    std::ostringstream out, err;
    int code = -1;
    if (gc.format == "params") {
        code = cli::CheckParams(OnlyFile(dir, ".zpa"), out, err);
    } else if (gc.format == "classification") {
        code = cli::CheckClassification(OnlyFile(dir, ".clf"), out, err);
    } else if (gc.format == "export") {
        code = cli::Export(OnlyFile(dir, ".zpa"), OnlyFile(dir, ".clf"), OnlyFile(dir, ".dat"), out,
                           err);
    } else if (gc.format == "session") {
        std::string script = ReadFileText((gc.folder / kScript).string());
        ReplaceAll(script, kDirMark, dir);
        std::istringstream in(script);
        code = cli::SessionConsole(in, out, err, false, &kFixedClock);
    } else {
        ADD_FAILURE() << "unknown golden format '" << gc.format << "'";
    }
    Outputs outputs;
    outputs["stdout"] = gc.format == "export" ? MaskTimeStamps(out.str()) : out.str();
    outputs["stderr"] = err.str();
    outputs["exit"] = std::to_string(code) + "\n";
    for (const auto& [name, bytes] : Take(dir)) {
        const auto was = before.find(name);
        if (was == before.end() || was->second != bytes) outputs[name] = bytes;
    }
    for (auto& [name, bytes] : outputs) ReplaceAll(bytes, dir, kDirMark);
    return outputs;
}

std::string Visible(const std::string& line) {
    std::string shown;
    for (unsigned char ch : line) {
        if (ch == '\r') {
            shown += "\\r";
        } else if (ch < 0x20 || ch >= 0x7f) {
            static const char* const hex = "0123456789abcdef";
            shown += std::string("\\x") + hex[ch >> 4] + hex[ch & 15];
        } else {
            shown += static_cast<char>(ch);
        }
    }
    return shown;
}

// Where two texts part, as a message naming the line.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
    size_t at = 0, line = 1;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
        if (expected[at] == '\n') ++line;
        ++at;
    }
    const size_t start = expected.rfind('\n', at == 0 ? 0 : at - 1);
    const size_t from = start == std::string::npos || at == 0 ? 0 : start + 1;
    auto lineAt = [from](const std::string& text) {
        if (from >= text.size()) return std::string("<end of file>");
        return Visible(text.substr(from, text.find('\n', from) - from));
    };
    return "first difference in line " + std::to_string(line) +
           "\n  expected: " + lineAt(expected) + "\n  actual:   " + lineAt(actual);
}

void CopyFolderFiles(const fs::path& from, const std::string& to) {
    for (const auto& e : fs::directory_iterator(from)) {
        const std::string name = e.path().filename().string();
        if (!e.is_regular_file() || name == kScript || name == kDemoMarker) continue;
        fs::copy_file(e.path(), fs::path(to) / name, fs::copy_options::overwrite_existing);
    }
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, OutputsMatchTheExpectedFiles) {
    const GoldenCase& gc = GetParam();
    TempFolder temp;
    // Without a trailing separator, so that the mask also covers the folder named alone.
    const std::string dir = fs::path(temp.Path()).parent_path().string();
    if (fs::exists(gc.folder / kDemoMarker)) {
        // The marker names the demo files the case takes; empty, it takes all three.
        std::istringstream names(ReadFileText((gc.folder / kDemoMarker).string()));
        std::vector<std::string> wanted{std::istream_iterator<std::string>(names), {}};
        if (wanted.empty()) wanted = {"demo.zpa", "demo.clf", "demo.dat"};
        for (const std::string& name : wanted) {
            fs::copy_file(fs::path(TARNWICK_DEMO) / name, fs::path(dir) / name);
        }
    }
    CopyFolderFiles(gc.folder, dir);
    const Outputs actual = RunCase(gc, dir);

    const fs::path expectedFolder = gc.folder / kExpectedFolder;
    const char* update = std::getenv("TARNWICK_GOLDEN_UPDATE");
    if (update && std::string(update) == "1") {
        fs::remove_all(expectedFolder);
        fs::create_directories(expectedFolder);
        for (const auto& [name, bytes] : actual) WriteFile((expectedFolder / name).string(), bytes);
        return;
    }
    ASSERT_TRUE(fs::is_directory(expectedFolder))
        << gc.format << "/" << gc.name << " has no expected/ folder yet";
    const Snapshot expected = Take(expectedFolder.string());
    for (const auto& [name, bytes] : expected) {
        const auto got = actual.find(name);
        if (got == actual.end()) {
            ADD_FAILURE() << gc.format << "/" << gc.name << ": " << name << " was not written";
        } else if (got->second != bytes) {
            ADD_FAILURE() << gc.format << "/" << gc.name << ": " << name << " differs, "
                          << FirstDifference(bytes, got->second);
        }
    }
    for (const auto& [name, bytes] : actual) {
        if (!expected.count(name)) {
            ADD_FAILURE() << gc.format << "/" << gc.name << ": the run also wrote " << name
                          << ", which expected/ lacks";
        }
    }
}

std::string CaseName(const ::testing::TestParamInfo<GoldenCase>& info) {
    std::string name = info.param.format + "_" + info.param.name;
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(DiscoverCases()), CaseName);

}  // namespace
}  // namespace tarnwick::testing
