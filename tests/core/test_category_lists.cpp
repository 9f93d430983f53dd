#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "coding_fixture.h"
#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/search.h"

namespace tarnwick::testing {
namespace {

using Lines = std::vector<std::string>;

class CategoryListsTest : public CodingTest {
  protected:
    CategoryListsTest() {
        BuildCases({"111", "111"});
        Go(0, 0);
    }

    void ExpectListsAgree() {
        ASSERT_EQ(s.PreselectedEntries.size(), s.View.PreselectedLines.size());
        for (size_t j = 0; j < s.PreselectedEntries.size(); ++j) {
            EXPECT_EQ(PreselectedLine(s.Clf.Category(s.PreselectedEntries[j].Index)),
                      s.View.PreselectedLines[j]);
        }
    }
};

TEST_F(CategoryListsTest, ClickingALineSelectsItsCategoryAndShowsItsDescription) {
    SetFirstKeyWord(s, "lekarz");
    EXPECT_TRUE(SelectPreselectedLine(s, 1));
    EXPECT_EQ(s.SelectedCategory, kDentists);
    EXPECT_EQ(s.View.PreselectedSelected, 1);
    EXPECT_EQ(s.View.PreselectedDescription, "Treat teeth.");
    EXPECT_TRUE(SelectFullListLine(s, kLegislators));
    EXPECT_EQ(s.SelectedCategory, kLegislators);
    EXPECT_EQ(s.View.FullSelected, kLegislators);
    EXPECT_EQ(s.View.FullDescription, "Make laws.");
    // A higher-level category has no description and can still be coded.
    EXPECT_TRUE(SelectFullListLine(s, kOfficials));
    EXPECT_EQ(s.View.FullDescription, "");
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    CodeSelected(s);
    EXPECT_EQ(Case(0, 0).Code, "1100");
}

TEST_F(CategoryListsTest, ClicksOutsideTheListsChangeNothing) {
    SetFirstKeyWord(s, "lekarz");
    SelectPreselectedLine(s, 0);
    for (int line : {-1, 2, 100}) EXPECT_FALSE(SelectPreselectedLine(s, line));
    for (int line : {-1, 10, 1000}) EXPECT_FALSE(SelectFullListLine(s, line));
    EXPECT_EQ(s.SelectedCategory, kPhysicians);
    EXPECT_EQ(s.View.PreselectedSelected, 0);
    EXPECT_EQ(s.View.FullSelected, -1);
}

TEST_F(CategoryListsTest, ACategoryIsCarriedToThePreselectedListAndBack) {
    SetFirstKeyWord(s, "lekarz");
    SelectFullListLine(s, kDrivers);
    ShowCategoryTab(s, CategoryTab::Preselected, kFullListVisibleLines);
    EXPECT_EQ(s.View.PreselectedLines,
              (Lines{"2211 Physicians", "2212 Dentists", "8322 Car drivers"}));
    EXPECT_EQ(s.View.PreselectedSelected, 2);
    EXPECT_EQ(s.View.PreselectedDescription, "Drive cars.");
    ExpectListsAgree();

    // Back on the full list the same category is selected and centred.
    const int request = s.View.FullScrollRequest;
    SelectPreselectedLine(s, 1);
    ShowCategoryTab(s, CategoryTab::Full, 4);
    EXPECT_EQ(s.View.ActiveTab, CategoryTab::Full);
    EXPECT_EQ(s.View.FullSelected, kDentists);
    EXPECT_EQ(s.View.FullTopLine, kDentists - 2);
    EXPECT_NE(s.View.FullScrollRequest, request);
    EXPECT_EQ(s.View.FullDescription, "Treat teeth.");

    // Already there: not added twice, its line is selected.
    const int version = s.View.PreselectedVersion;
    ShowCategoryTab(s, CategoryTab::Preselected, kFullListVisibleLines);
    EXPECT_EQ(s.View.PreselectedLines.size(), 3u);
    EXPECT_EQ(s.View.PreselectedSelected, 1);
    EXPECT_EQ(s.View.PreselectedVersion, version);
}

TEST_F(CategoryListsTest, CentringNeverScrollsBeforeTheFirstLine) {
    SelectFullListLine(s, kOfficials);
    ShowCategoryTab(s, CategoryTab::Full, kFullListVisibleLines);
    EXPECT_EQ(s.View.FullTopLine, 0);
    SelectFullListLine(s, kNotApp);
    ShowCategoryTab(s, CategoryTab::Full, 5);
    EXPECT_EQ(s.View.FullTopLine, kNotApp - 2);  // half of 5 visible lines is 2
    ShowCategoryTab(s, CategoryTab::Full, 0);
    EXPECT_EQ(s.View.FullTopLine, kNotApp);
}

TEST_F(CategoryListsTest, AfterACaseIsShownSwitchingPagesWaitsForASelection) {
    SetFirstKeyWord(s, "lekarz");
    SelectPreselectedLine(s, 0);
    Go(1, 0);
    const int version = s.View.PreselectedVersion;
    ShowCategoryTab(s, CategoryTab::Full, kFullListVisibleLines);
    EXPECT_EQ(s.View.ActiveTab, CategoryTab::Full);
    EXPECT_EQ(s.View.FullSelected, -1);
    ShowCategoryTab(s, CategoryTab::Preselected, kFullListVisibleLines);
    EXPECT_TRUE(s.View.PreselectedLines.empty());
    EXPECT_EQ(s.View.PreselectedVersion, version);

    // A category carried into the emptied list is its only line, and clicking it selects it.
    SelectFullListLine(s, kMps);
    ShowCategoryTab(s, CategoryTab::Preselected, kFullListVisibleLines);
    EXPECT_EQ(s.View.PreselectedLines, Lines{"1111 Members of parliament"});
    SelectFullListLine(s, kManagers);
    EXPECT_TRUE(SelectPreselectedLine(s, 0));
    EXPECT_EQ(s.SelectedCategory, kMps);
    ExpectListsAgree();
}

TEST_F(CategoryListsTest, ResetEmptiesBothListsTogether) {
    SetFirstKeyWord(s, "kie");
    SelectFullListLine(s, kDrivers);
    ShowCategoryTab(s, CategoryTab::Full, kFullListVisibleLines);
    ResetCategoryPanel(s);
    EXPECT_TRUE(s.PreselectedEntries.empty());
    EXPECT_TRUE(s.View.PreselectedLines.empty());
    EXPECT_EQ(s.View.ActiveTab, CategoryTab::Preselected);
    EXPECT_EQ(s.View.FullSelected, -1);
    EXPECT_EQ(s.View.FullDescription, "");
    EXPECT_EQ(s.View.PreselectedDescription, "");
    EXPECT_EQ(s.SelectedCategory, -1);
    EXPECT_FALSE(SelectPreselectedLine(s, 0));
}

TEST_F(CategoryListsTest, TheFullListIsFoundByCodeOrByName) {
    const auto found = [this](std::string_view text) {
        const int line = FindFullListLine(s, text);
        return line < 0 ? std::string("-") : s.Clf.Category(line).Code;
    };
    // A whole code is that category, not its group; a beginning finds the deepest under it.
    EXPECT_EQ(found("1110"), "1110");
    EXPECT_EQ(found("1100"), "1100");
    EXPECT_EQ(found("11"), "1111");
    EXPECT_EQ(found("221"), "2211");
    EXPECT_EQ(found(" 5 "), "5141");
    EXPECT_EQ(found("7"), "-");
    // Names: the first that contains the text, letter case aside, Polish letters too.
    EXPECT_EQ(found("DRIVER"), "8322");
    EXPECT_EQ(found("of parl"), "1111");
    EXPECT_EQ(found("ers"), "1000");
    AddCategory("3000", "\xafo\xb3nierze", "");  // Żołnierze
    EXPECT_EQ(found("\xbfO\xa3N"), "3000");      // żOŁN
    EXPECT_EQ(found("sailors"), "-");
    EXPECT_EQ(found(""), "-");
}

TEST_F(CategoryListsTest, SelectingTheFullListByTextScrollsToItOrSaysNothingMatches) {
    const int request = s.View.FullScrollRequest;
    EXPECT_TRUE(SelectFullListByText(s, "hair", 4));
    EXPECT_EQ(s.SelectedCategory, kHairdressers);
    EXPECT_EQ(s.View.FullSelected, kHairdressers);
    EXPECT_EQ(s.View.FullDescription, "Cut hair.");
    EXPECT_EQ(s.View.ActiveTab, CategoryTab::Full);
    EXPECT_EQ(s.View.FullTopLine, kHairdressers - 2);
    EXPECT_EQ(s.View.FullScrollRequest, request + 1);

    EXPECT_FALSE(SelectFullListByText(s, "pilot", 4));
    EXPECT_EQ(s.SelectedCategory, -1);
    EXPECT_EQ(s.View.FullSelected, -1);
    EXPECT_EQ(s.View.FullDescription, "No category matches \"pilot\"");
}

}  // namespace
}  // namespace tarnwick::testing
