#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "options.h"
#include "testutil.h"

TEST(CommandLine, ManualPageNamesThisVersion)
{
    const std::string page = readfile(TOLVI_MAN_PAGE);
    EXPECT_TRUE(page.starts_with(".TH TOLVI 1 ")) << page.substr(0, 60);
    EXPECT_NE(page.find("\"tolvi " TOLVI_VERSION "\""), std::string::npos) << "the page's title line names another version";
}
