#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "core/classification/loader.h"
#include "core/classification/model.h"
#include "core/classification/scales.h"
#include "core/data/x14.h"

namespace tarnwick {
namespace {

Classification WithScales(const std::string& missing = "9998",
                          const std::string& notApplicable = "9999") {
    Classification clf;
    BuildScaleTable(clf);
    clf.MissingDataCode = missing;
    clf.NotApplicableCode = notApplicable;
    return clf;
}

std::vector<std::string> AllScales(const Classification& clf, const std::string& code) {
    std::vector<std::string> out;
    for (int k = 1; k <= 6; ++k) out.push_back(LookupScale(clf, code, k));
    return out;
}

using Values = std::vector<std::string>;

TEST(ScaleTable, RowsInCodeOrderWithThreeDigitValues) {
    const Classification clf = WithScales();
    const std::vector<std::string> codes = BuiltInScaleCodes();
    ASSERT_EQ(codes.size(), 371u);
    ASSERT_EQ(clf.ScaleTable.Count(), 371);
    EXPECT_EQ(codes.front(), "0000");
    EXPECT_EQ(codes.back(), "9100");
    for (int i = 0; i < 371; ++i) {
        const TSkalaKat& row = clf.ScaleTable[i];
        EXPECT_EQ(row.Code, codes[static_cast<size_t>(i)]);
        EXPECT_EQ(clf.ScaleTable.Key(i), row.Code);
        EXPECT_FALSE(row.Defined);
        if (i > 0) {
            EXPECT_LT(codes[static_cast<size_t>(i) - 1], row.Code);
        }
        for (int k = 1; k <= 6; ++k) {
            const std::string& v = row.Values[static_cast<size_t>(k)];
            ASSERT_EQ(v.size(), 3u) << row.Code;
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(v[0])) &&
                        std::isdigit(static_cast<unsigned char>(v[1])) &&
                        std::isdigit(static_cast<unsigned char>(v[2])))
                << row.Code;
        }
    }
}

TEST(ScaleTable, KnownRowsAndTheirSubordinates) {
    const Classification clf = WithScales();
    EXPECT_EQ(AllScales(clf, "0000"), (Values{"870", "762", "611", "737", "640", "733"}));
    EXPECT_EQ(AllScales(clf, "0100"), (Values{"890", "838", "754", "769", "690", "787"}));
    EXPECT_EQ(AllScales(clf, "1000"), (Values{"850", "740", "663", "386", "645", "714"}));
    EXPECT_EQ(AllScales(clf, "2000"), (Values{"690", "573", "434", "288", "507", "512"}));
    EXPECT_EQ(AllScales(clf, "3000"), (Values{"540", "541", "388", "256", "377", "473"}));
    EXPECT_EQ(AllScales(clf, "4000"), (Values{"290", "310", "266", "229", "240", "265"}));
    EXPECT_EQ(AllScales(clf, "5000"), (Values{"290", "413", "271", "258", "288", "269"}));
    EXPECT_EQ(AllScales(clf, "6000"), (Values{"130", "181", "159", "194", "073", "099"}));
    EXPECT_EQ(AllScales(clf, "7000"), (Values{"290", "403", "187", "219", "232", "305"}));
    EXPECT_EQ(AllScales(clf, "8000"), (Values{"601", "542", "443", "647", "467", "576"}));
    EXPECT_EQ(AllScales(clf, "8600"), (Values{"580", "398", "286", "568", "388", "554"}));
    // Rows without official values carry those of the nearest known row above them.
    EXPECT_EQ(AllScales(clf, "1112"), AllScales(clf, "1000"));
    EXPECT_EQ(AllScales(clf, "0291"), AllScales(clf, "0000"));
    EXPECT_EQ(AllScales(clf, "0112"), AllScales(clf, "0100"));
    EXPECT_EQ(AllScales(clf, "8412"), AllScales(clf, "8000"));
}

TEST(ScaleTable, LookupRules) {
    const Classification clf = WithScales();
    EXPECT_EQ(LookupScale(clf, "6000", 5), "073");
    EXPECT_EQ(AllScales(clf, "9000"), Values(6, "998"));
    EXPECT_EQ(AllScales(clf, "9100"), Values(6, "998"));
    EXPECT_EQ(AllScales(clf, "1111"), Values(6, "998"));  // no row
    EXPECT_EQ(AllScales(clf, "9998"), Values(6, "998"));  // missing data: no row either
    EXPECT_EQ(AllScales(clf, "9999"), Values(6, "999"));
    EXPECT_EQ(LookupScale(clf, "", 1), "   ");
    EXPECT_EQ(LookupScale(clf, "    ", 6), "   ");
    // The not-applicable code wins even when it has a row.
    const Classification odd = WithScales("9998", "6000");
    EXPECT_EQ(AllScales(odd, "6000"), Values(6, "999"));
}

TEST(X14, ClassesOfTheGrouping) {
    const Classification clf = WithScales();
    struct Case {
        const char* code;
        const char* cls;
    };
    const Case cases[] = {
        {"0100", "01"}, {"0110", "01"}, {"0111", "01"}, {"0112", "01"}, {"0113", "98"},
        {"0293", "02"}, {"0295", "03"}, {"0296", "01"}, {"0290", "01"}, {"0294", "01"},
        {"8110", "14"}, {"8111", "98"}, {"8112", "14"}, {"8115", "98"}, {"8117", "98"},
        {"9000", "98"}, {"9100", "98"}, {"0000", "98"}, {"5555", "98"}, {"5165", "12"},
        {"5164", "08"}, {"6314", "11"}, {"6313", "12"}, {"6311", "12"}, {"3128", "04"},
        {"3129", "04"}, {"3127", "98"}, {"1149", "02"}, {"1150", "02"}, {"4000", "07"},
        {"7300", "14"}, {"8419", "14"}, {"5299", "09"}, {"1249", "03"}, {"3240", "06"},
    };
    for (const Case& c : cases) EXPECT_EQ(MapToX14(clf, c.code), c.cls) << c.code;
    EXPECT_EQ(MapToX14(clf, "9999"), "99");
    EXPECT_EQ(MapToX14(clf, "9998"), "98");
    EXPECT_EQ(MapToX14(clf, "    "), "  ");
    EXPECT_EQ(MapToX14(clf, ""), "  ");
    // Byte-wise ranges: a shorter text sorts before its extensions.
    EXPECT_EQ(MapToX14(clf, "0111x"), "01");
    EXPECT_EQ(MapToX14(clf, "011"), "98");
}

TEST(X14, StandardCodesWinWhateverTheirDigits) {
    const Classification clf = WithScales("0100", "8110");
    EXPECT_EQ(MapToX14(clf, "0100"), "98");
    EXPECT_EQ(MapToX14(clf, "8110"), "99");
    EXPECT_EQ(MapToX14(clf, "0110"), "01");
}

TEST(X14, OnlyGroupCodesAreLeftUnplaced) {
    // Of the basic categories only these group codes fall outside the grouping.
    const Classification clf = WithScales();
    std::vector<std::string> unplaced;
    for (const std::string& code : BuiltInScaleCodes()) {
        if (MapToX14(clf, code) == "98") unplaced.push_back(code);
    }
    EXPECT_EQ(unplaced, (std::vector<std::string>{"0000", "0200", "0300", "1000", "2000", "3000",
                                                  "5000", "6000", "7000", "9000", "9100"}));
}

}  // namespace
}  // namespace tarnwick
