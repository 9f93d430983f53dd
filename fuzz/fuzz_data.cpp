// The survey data reader with the working-file merge, through the data step of Open project,
// with the demo's coding parameters and a small classification. The input is the data file,
// optionally followed by a NUL byte and the working file.
//
// Whatever the files hold: a rejected file leaves no cases and shows its message, neither file
// is changed, the backup holds the working file's lines; an accepted pair gives one case per
// declared field and a current case, and a save followed by a new opening gives back every code.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/output.h"
#include "core/data/working_file.h"
#include "core/io/files.h"
#include "core/params/parser.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/text/lines.h"
#include "fuzz_common.h"
#include "support/scripted_platform.h"

using namespace tarnwick;
using namespace tarnwick::fuzz;

namespace {

// A session whose parameters and classification steps have succeeded, as Open project leaves
// it before asking for the data file.
struct Run {
    ScriptedPlatform platform;
    Session s{platform};
    bool ioError = false;

    Run() {
        s.ProjectFolder = ScratchFolder();
        s.ParamStem = "demo";
        s.Params = DemoParams();
        s.Clf = SmallClassification();
        s.ParamsLoaded = true;
        s.ClassificationLoaded = true;
    }

    void Open(const std::string& dataPath) {
        platform.fileAnswers.emplace_back(dataPath);
        try {
            OpenProject(s);
        } catch (const IoError&) {
            ioError = true;
        }
        CheckSession(s);
    }
};

// Every output line is as long as the script says: identifier, code, class and scale values.
void CheckOutput(const Session& s) {
    size_t length = static_cast<size_t>(s.Params.RespIdWidth);
    for (const TDokumZaw& d : s.Params.DokumList) {
        length += 4;
        if (!d.X14Mnemo.empty()) length += 2;
        for (int n = 1; n <= kScales; ++n) length += d.ScaleMnemo[n].empty() ? 0 : 3;
    }
    const std::string content = FormatOutputData(s.Params, s.Clf, s.Cases);
    const std::vector<std::string_view> lines = SplitLines(content);
    FUZZ_CHECK(lines.size() == s.Cases.Respondents.size());
    for (std::string_view line : lines) FUZZ_CHECK(line.size() == length);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    const size_t cut = input.find('\0');
    const std::string_view data = input.substr(0, cut);
    const std::optional<std::string_view> working =
        cut == std::string_view::npos ? std::nullopt : std::optional(input.substr(cut + 1));

    const std::string& dir = ScratchFolder();
    RemoveFilesExcept(dir, {});
    const std::string dataPath = dir + "wave.dat";
    const std::string workingPath = dir + "wave.zda";
    const std::string backupPath = dir + "wave.~zd";
    WriteBytes(dataPath, data);
    if (working) WriteBytes(workingPath, *working);

    Run first;
    first.Open(dataPath);
    Session& s = first.s;
    FUZZ_CHECK(!first.ioError);

    // Opening reads; it never changes the files it reads.
    FUZZ_CHECK(ReadBytes(dataPath) == data);
    if (working) {
        FUZZ_CHECK(ReadBytes(workingPath) == *working);
        // The backup is made when the merge begins, that is once every record has been read.
        std::string backup;
        LineCursor cursor(*working);
        std::string_view line;
        while (cursor.Next(line)) AppendCrLf(backup, line);
        // A damaged working file leaves the last backup as it was (here none), and says so.
        if (s.DataLoaded && !FileExists(backupPath)) {
            bool told = false;
            for (const std::string& line : s.Report)
                told = told || line.find("to be coded again") != std::string::npos;
            FUZZ_CHECK(told);
        }
        if (FileExists(backupPath)) FUZZ_CHECK(ReadBytes(backupPath) == backup);
    } else {
        FUZZ_CHECK(!FileExists(workingPath) && !FileExists(backupPath));
    }

    if (!s.DataLoaded) {
        FUZZ_CHECK(!s.SessionStarted);
        FUZZ_CHECK(first.platform.messages.size() == 1);
        return 0;
    }
    FUZZ_CHECK(s.SessionStarted);
    FUZZ_CHECK(s.Cases.Respondents.size() == LineCursor::CountLines(data));
    FUZZ_CHECK(s.WorkingFileRead == working.has_value());
    for (const TOsoba& r : s.Cases.Respondents) {
        FUZZ_CHECK(r.RespondentId == CutField(r.Record, s.Params.RespIdPos, s.Params.RespIdWidth));
    }
    CheckOutput(s);

    // Save, open again in a new run: every case comes back as it was.
    const std::vector<CaseState> before = CaseStates(s.Cases);
    SaveWorkingFile(s);
    FUZZ_CHECK(ReadBytes(workingPath) == ExpectedWorkingFile(s));
    FUZZ_CHECK(CaseStates(s.Cases) == before);
    Run second;
    second.Open(dataPath);
    FUZZ_CHECK(!second.ioError && second.s.DataLoaded);
    FUZZ_CHECK(CaseStates(second.s.Cases) == before);
    FUZZ_CHECK(second.s.Cases.CodedAtStart == s.Cases.CodedAtStart);
    return 0;
}
