// Confidence in the first suggestion: the features of a ranking.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/classification/loader.h"
#include "core/suggest/suggest.h"

namespace tarnwick {
namespace {

const char* const kClassification =
    "Test\r\n"
    "#C 1000\r\n#N Health and teaching\r\n"
    "#C 1100\r\n#N Professionals\r\n"
    "#C 1110\r\n#N Nursing professionals\r\n#D Care of patients. {[nurse] [district nurse]}\r\n"
    "#C 1120\r\n#N Primary school teachers\r\n#D Teach children. {[teacher] [schoolteacher]}\r\n"
    "#C 1130\r\n#N Heavy truck drivers\r\n#D Drive lorries. {[lorry driver] [trucker]}\r\n"
    "#CM 9998\r\n#N Missing\r\n#D Not known.\r\n"
    "#CN 9999\r\n#N Not applicable\r\n#D Not applicable.\r\n";

Classification Load() {
    Classification clf;
    int width = 0;
    std::vector<std::string> errors;
    EXPECT_TRUE(LoadClassificationText(kClassification, "t.clf", width, clf, errors, false));
    return clf;
}

TEST(Confidence, RankDetailedKeepsTheListAndTellsTheIdenticalAnswer) {
    const Classification clf = Load();
    const SuggestionEngine engine(clf);
    CodingMemory memory;
    memory.Learn({"teacher"}, "1130", 3);
    memory.Learn({"teacher"}, "1120");
    for (const std::vector<std::string>& texts :
         std::vector<std::vector<std::string>>{{"teacher"}, {"district nurse"}, {"lorry"}}) {
        for (size_t top : {1, 2, 10}) {
            const auto plain = engine.Rank(texts, memory, top);
            const auto detailed = engine.RankDetailed(texts, memory, top);
            ASSERT_EQ(detailed.suggestions.size(), plain.size());
            for (size_t i = 0; i < plain.size(); ++i) {
                EXPECT_EQ(detailed.suggestions[i].code, plain[i].code);
                EXPECT_EQ(detailed.suggestions[i].score, plain[i].score);
                EXPECT_EQ(detailed.suggestions[i].reason, plain[i].reason);
            }
        }
    }
    // The memory puts 1130 first; the words, and the classification alone, prefer 1120.
    const RankFeatures f = engine.RankDetailed({"teacher"}, memory, 1).features;
    EXPECT_TRUE(f.ranked);
    EXPECT_EQ(f.identicalCount, 4u);
    EXPECT_FLOAT_EQ(f.identicalShare, 0.75f);
    EXPECT_FALSE(f.classificationAgrees);
    const RankFeatures nurse = engine.RankDetailed({"district nurse"}, memory, 1).features;
    EXPECT_TRUE(nurse.classificationAgrees);
    EXPECT_GT(nurse.margin, 0);
    EXPECT_EQ(nurse.matchedTerms, nurse.terms);
    EXPECT_FALSE(engine.RankDetailed({" ,. "}, memory, 1).features.ranked);
}

}  // namespace
}  // namespace tarnwick
