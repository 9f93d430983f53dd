// The derived variables of a classification profile: which row gives a code its value.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/classification/model.h"
#include "core/classification/profile.h"

namespace tarnwick {
namespace {

constexpr const char* kProfile =
    "A profile of five-digit codes\r\n"
    "#NAME N5 'National-5'\r\n"
    "#WIDTH 5\r\n"
    "#TABLE SKL 'skill level' NEAREST\r\n"
    "#V 10000 4\r\n"
    "#V 12000 3\r\n"
    "#V 12100 2\r\n"
    "#TABLE ISE 'status index' NONE\r\n"
    "#V 12110 65\r\n"
    "#V 12120 99\r\n"
    "#GROUPING MAJ 'major group'\r\n"
    "#G 20000-29999 2 'Professionals'\r\n"
    "#G 10000-12999 1 'Managers'\r\n"
    "#G 13000 8 'Armed forces'\r\n";

TEST(Profile, EachCodeTakesTheValueOfItsOwnRowOrTheNearestAbove) {
    ClassificationProfile p;
    std::vector<std::string> errors;
    ASSERT_TRUE(ParseProfileText(kProfile, "n5.clp", p, errors)) << errors.at(1);
    Classification clf;
    clf.MissingDataCode = "99998";
    clf.NotApplicableCode = "99999";
    const auto values = [&](const std::string& code) {
        std::vector<std::string> out;
        for (const DerivedVariable& v : p.Variables) out.push_back(DerivedValue(clf, v, code));
        return out;
    };
    using V = std::vector<std::string>;
    // Own row; the minor group's row above; the sub-major group's; the major group's.
    EXPECT_EQ(values("12100"), (V{"2", "998", "01"}));
    EXPECT_EQ(values("12110"), (V{"2", "065", "01"}));
    EXPECT_EQ(values("12300"), (V{"3", "998", "01"}));
    EXPECT_EQ(values("11111"), (V{"4", "998", "01"}));
    // No row above it, outside every range, a single-code range; the class 8 takes the
    // missing value's place, so the grouping is one digit wider.
    EXPECT_EQ(values("30000"), (V{"8", "998", "98"}));
    EXPECT_EQ(values("13000"), (V{"4", "998", "08"}));
    EXPECT_EQ(values("13001"), (V{"4", "998", "98"}));
    // The value 99 makes the index three digits wide.
    EXPECT_EQ(values("12120"), (V{"2", "099", "01"}));
    EXPECT_EQ(values("99998"), (V{"8", "998", "98"}));
    EXPECT_EQ(values("99999"), (V{"9", "999", "99"}));
    EXPECT_EQ(values(""), (V{" ", "   ", "  "}));
}

}  // namespace
}  // namespace tarnwick
