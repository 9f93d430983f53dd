// The CSV files of the suggestion commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/csv.h"
#include "core/text/cp1250.h"

namespace tarnwick {
namespace {

TEST(Suggest, CsvAndUtf8ReachTheCoreAsWindows1250) {
    std::string error;
    const auto rows = cli::ParseCsv(
        "\xEF\xBB\xBFid,title\r\n1,\"Driver, "
        "\"\"heavy\"\"\nlorry\"\r\n\r\n2,piel\xC4\x99gniarka\n3",
        &error);
    ASSERT_TRUE(rows) << error;
    ASSERT_EQ(rows->size(), 4u);
    EXPECT_EQ((*rows)[1][1], "Driver, \"heavy\"\nlorry");
    EXPECT_EQ(Utf8ToCp1250((*rows)[2][1]), "piel\xEAgniarka");
    EXPECT_EQ((*rows)[3], std::vector<std::string>{"3"});
    EXPECT_EQ(Utf8ToCp1250("Caf\xC3\xA9 \xC3\xA5 \xE2\x82\xAC \xE2\x98\x83 \xFF"),
              "Caf\xE9 a \x80 ? ?");
    EXPECT_EQ(cli::CsvField("a \"b\", c"), "\"a \"\"b\"\", c\"");
    EXPECT_FALSE(cli::ParseCsv("id\n\"open", &error));
    EXPECT_EQ(error, "line 2: a quoted field never ends");
    EXPECT_FALSE(cli::ParseCsv("id\n\"a\"b", &error));
}

}  // namespace
}  // namespace tarnwick
