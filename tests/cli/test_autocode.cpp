// autocode over files: only the answers that reach the threshold are printed, and a calibration
// that cannot promise the target prints none.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/commands.h"
#include "core/io/atomic_file.h"
#include "project_fixture.h"

namespace tarnwick {
namespace {

TEST(AutoCodeFiles, PrintsOnlyTheAnswersItCodesAndRefusesWithTooFewCodedAnswers) {
    const char* const kSure[][2] = {{"councillor", "0112"},         {"mayor", "0172"},
                                    {"party leader", "0181"},       {"hospital director", "0296"},
                                    {"headteacher", "0295"},        {"hotel manager", "0341"},
                                    {"production manager", "0311"}, {"finance manager", "0321"},
                                    {"farm manager", "0337"},       {"restaurant manager", "0342"}};
    std::string labelled = "id,code,title\n";
    for (int i = 0; i < 60; ++i) {
        labelled += std::to_string(i) + "," + kSure[i % 10][1] + "," + kSure[i % 10][0] + "\n";
    }
    testing::TempFolder folder;
    WriteFileAtomic(folder.Path("l.csv"), labelled);
    WriteFileAtomic(folder.Path("few.csv"), "id,code,title\n1,0172,mayor\n2,0112,councillor\n");
    WriteFileAtomic(folder.Path("a.csv"), "id,title\nm,Mayor\nq,qqqq\nh,hotel manager\n");
    cli::AutoCodeRequest r;
    r.clf = std::string(TARNWICK_DEMO) + "/demo.clf";
    r.answers = folder.Path("a.csv");
    r.calibration = folder.Path("l.csv");
    r.maxError = 0.1;
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::AutoCodeFiles(r, out, err), cli::kOk) << err.str();
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("id,code,confidence\nm,0172,", 0), 0u) << text;
    EXPECT_NE(text.find("\nh,0341,"), std::string::npos) << text;
    EXPECT_EQ(text.find("q,"), std::string::npos) << text;  // nothing to code it with

    r.calibration = folder.Path("few.csv");
    std::ostringstream none;
    std::ostringstream why;
    EXPECT_EQ(cli::AutoCodeFiles(r, none, why), cli::kFaults);
    EXPECT_EQ(none.str(), "");
    EXPECT_NE(why.str().find("not coded: 2 coded answers cannot promise"), std::string::npos)
        << why.str();
}

}  // namespace
}  // namespace tarnwick
