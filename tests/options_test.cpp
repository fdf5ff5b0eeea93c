#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "options.h"
#include "testutil.h"

TEST(CommandLine, HelpVersionAndWrongArguments)
{
    struct argcase {
        std::vector<const char*> args;  // after the program name
        int rc;
        const char* out;  // the start of standard output
        const char* err;  // the start of standard error
    };
    const argcase cases[] = {
        {{}, -1, "", ""},  // no arguments: the dialogue runs
        {{"--help"}, 0, "Usage: tolvi\n", ""},
        {{"-h"}, 0, "Usage: tolvi\n", ""},
        {{"--version"}, 0, "tolvi " TOLVI_VERSION "\n", ""},
        {{"-V"}, 0, "tolvi " TOLVI_VERSION "\n", ""},
        {{"--version", "--help"}, 0, "Usage: tolvi\n", ""},
        {{"--helpme"}, 2, "", "tolvi: unknown option '--helpme'\n"},
        {{"--help", "-x"}, 2, "", "tolvi: unknown option '-x'\n"},
        {{"primates.nex"}, 2, "", "tolvi: unexpected argument 'primates.nex'\n"},
        {{"-"}, 2, "", "tolvi: unknown option '-'\n"},
        {{"construct", "--help"}, 0, "Writes the PAUP command file", ""},
        {{"evaluate", "-h"}, 0, "Evaluates the PAUP log", ""},
        {{"template", "--help"}, 0, "Writes the group definition template", ""},
        {{"evaluate", "x.log", "--bogus"}, 2, "", "tolvi evaluate: The following argument was not expected: --bogus"},
    };
    for (const argcase& c : cases) {
        std::vector<const char*> argv{"tolvi"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        std::ostringstream out, err;
        const int rc = commandline(static_cast<int>(argv.size()), argv.data(), out, err);
        const std::string what = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(rc, c.rc) << what;
        EXPECT_TRUE(out.str().starts_with(c.out)) << what << ": " << out.str();
        EXPECT_TRUE(err.str().starts_with(c.err)) << what << ": " << err.str();
        EXPECT_EQ(out.str().empty(), std::string(c.out).empty()) << what;
        EXPECT_EQ(err.str().empty(), std::string(c.err).empty()) << what;
    }
}

TEST(CommandLine, ManualPageNamesThisVersion)
{
    const std::string page = readfile(TOLVI_MAN_PAGE);
    EXPECT_TRUE(page.starts_with(".TH TOLVI 1 ")) << page.substr(0, 60);
    EXPECT_NE(page.find("\"tolvi " TOLVI_VERSION "\""), std::string::npos) << "the page's title line names another version";
}
