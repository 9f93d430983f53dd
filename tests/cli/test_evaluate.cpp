// evaluate: which answers --calibration-share counts, and which --learn-split learns.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/commands.h"
#include "core/io/atomic_file.h"
#include "project_fixture.h"

namespace tarnwick {
namespace {

TEST(EvaluateCalibration, CountsOnlyTheAutoCodedAnswersThatReachTheThreshold) {
    // Titles the demo classification ranks first without doubt, each labelled with that code.
    const char* const kSure[][2] = {{"councillor", "0112"},         {"mayor", "0172"},
                                    {"party leader", "0181"},       {"hospital director", "0296"},
                                    {"headteacher", "0295"},        {"hotel manager", "0341"},
                                    {"production manager", "0311"}, {"finance manager", "0321"},
                                    {"farm manager", "0337"},       {"restaurant manager", "0342"}};
    std::string csv = "id,code,title\n";
    int id = 0;
    auto row = [&](const char* title, const char* code) {
        csv += std::to_string(++id) + "," + code + "," + title + "\n";
    };
    for (int i = 0; i < 40; ++i) row(kSure[i % 10][0], kSure[i % 10][1]);
    // Coded automatically: two right, one sure title labelled otherwise, one that finds nothing.
    row("councillor", "0112");
    row("mayor", "0172");
    row("hotel manager", "0342");
    row("qqqq", "0112");
    testing::TempFolder folder;
    WriteFileAtomic(folder.Path("l.csv"), csv);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::Evaluate(std::string(TARNWICK_DEMO) + "/demo.clf", folder.Path("l.csv"), "", 0,
                            0, out, err, 40.0 / 44),
              cli::kOk)
        << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("calibration: 40 answers, 4 auto-coded\n"), std::string::npos) << text;
    // 40 right answers cannot promise 2 % (their interval reaches above 4 %), but promise 10 %.
    EXPECT_NE(text.find("auto  2.0 %: too few calibration answers"), std::string::npos) << text;
    EXPECT_NE(text.find("coverage 75.0 % (3 of 4), realised error 33.3 %, promised 0.0-"),
              std::string::npos)
        << text;
}

TEST(EvaluateLearnSplit, NeverEvaluatesAnAnswerWhoseOccupationWasLearnt) {
    // Words the demo classification knows nothing of, each occupation with a code of its own and
    // four identical rows: an evaluated row can be found only from a learnt row of its own.
    const char* const kWords[] = {"zvrq", "jxwp", "kfqy", "mbxz", "qdjv",
                                  "wgzk", "yxpf", "hvqj", "cqzw", "fjyx"};
    const char* const kCodes[] = {"0112", "0172", "0181", "0296", "0295",
                                  "0341", "0311", "0321", "0337", "0342"};
    std::string csv = "id,code,title,group\n";
    int id = 0;
    for (int copy = 0; copy < 4; ++copy) {
        for (int g = 0; g < 10; ++g) {
            csv += std::to_string(++id) + "," + kCodes[g] + "," + kWords[g] + ",occupation " +
                   kWords[g] + "\n";
        }
    }
    testing::TempFolder folder;
    WriteFileAtomic(folder.Path("l.csv"), csv);
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(cli::Evaluate(std::string(TARNWICK_DEMO) + "/demo.clf", folder.Path("l.csv"), "", 0.5,
                            0, out, err, 0, cli::LearnSplit::Occupation),
              cli::kOk)
        << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("answers: 20 evaluated, 20 learnt into the memory first (5 whole "
                        "occupations)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("top-10 accuracy: 0.00 %\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace tarnwick
