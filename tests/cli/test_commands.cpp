// The commands' refusals of inputs that cannot be read or opened: what they print, where, and
// the exit code.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "cli/commands.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "project_fixture.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

TEST(ParamsCli, CheckParams) {
    std::ostringstream out;
    std::ostringstream err;
    const std::string missing = std::string(TARNWICK_TEST_DATA) + "/params/no_such_file.zpa";
    EXPECT_EQ(cli::CheckParams(missing, out, err), cli::kIoOrUsage);
    EXPECT_TRUE(out.str().empty());
    EXPECT_EQ(err.str(), missing + ": No such file or directory\n");
}

TEST(CheckClassificationCommand, DemoFaultyAndMissing) {
    std::ostringstream out3;
    std::ostringstream err3;
    const std::string missing = std::string(TARNWICK_TEST_DATA) + "/classification/none.clf";
    EXPECT_EQ(cli::CheckClassification(missing, out3, err3), cli::kIoOrUsage);
    EXPECT_EQ(err3.str(), missing + ": No such file or directory\n");
    EXPECT_TRUE(out3.str().empty());
}

class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFileAtomic(Path("p.zpa"),
                        "#R 1-4 'Respondent'\n#J ZAWR 'Job'\n#I1 5-8 'Title'\n#F 9 1\n");
        WriteFileAtomic(Path("c.clf"), testing::MinimalClassificationText());
        WriteFileAtomic(Path("w.dat"), "0001abcd1\r\n0002efgh2\r\n");
    }
    std::string Path(const char* name) const { return folder_.Path(name); }
    int Run() {
        out_.str("");
        err_.str("");
        return cli::Export(Path("p.zpa"), Path("c.clf"), Path("w.dat"), out_, err_);
    }

    testing::TempFolder folder_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(ExportTest, FaultsPrintWhatTheWindowWouldShow) {
    WriteFileAtomic(Path("p.zpa"), "#J ZAWR 'Job'\n");
    EXPECT_EQ(Run(), cli::kFaults);
    EXPECT_NE(out_.str().find("No respondent ID declaration"), std::string::npos) << out_.str();

    fs::remove(Path("p.zpa"));
    EXPECT_EQ(Run(), cli::kIoOrUsage);
    EXPECT_NE(err_.str().find(Path("p.zpa")), std::string::npos) << err_.str();
}

}  // namespace
}  // namespace tarnwick
