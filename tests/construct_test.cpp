#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "construct.h"
#include "testutil.h"

namespace {

std::string progresstext(int br)
{
    std::string s;
    for (int k = 1; k <= br; ++k) {
        const std::string p = progress(k, br);
        if (!p.empty())
            s += std::to_string(k) + ":" + p.substr(1) + " ";
    }
    return s;
}

}  // namespace

TEST(Construct, ProgressInTenths)
{
    EXPECT_EQ(progresstext(10), "1:10% 2:20% 3:30% 4:40% 5:50% 6:60% 7:70% 8:80% 9:90% 10:100% ");
    EXPECT_EQ(progresstext(5), "1:20% 2:40% 3:60% 4:80% 5:100% ");
    EXPECT_EQ(progresstext(2), "1:50% 2:100% ");
    EXPECT_EQ(progresstext(3), "3:100% ");
    EXPECT_EQ(progresstext(7), "7:100% ");
    EXPECT_EQ(progresstext(1001), "1001:100% ");
    EXPECT_EQ(progresstext(1500),
              "150:10% 300:20% 450:30% 600:40% 750:50% 900:60% 1050:70% 1200:80% 1350:90% 1500:100% ");
    // 90 * 0.7 is just below 63 in double precision
    EXPECT_EQ(progresstext(90), "9:10% 18:20% 27:30% 36:40% 45:50% 54:60% 72:80% 81:90% 90:100% ");
}

TEST(Construct, SettingsFile)
{
    struct settingcase {
        const char* mls;  // nullptr: no file
        int n;
        int rc;
        const char* cd;
        const char* console;
    } cases[] = {
        {"*MLS1 a b;\nc; *MLS2 d\n", 1, 0, "a b; c; \n\n", "\nusing *MLS1:\na b; c; \n\n"},
        {"x *MLS12 a *MLS1 b *end", 1, 0, "a \n\n", "\nusing *MLS1:\na \n\n"},
        {"*MLS2 d e", 2, 0, "d e \n\n", "\nusing *MLS2:\nd e EOF!\n\n\n"},
        {"*MLS1 a\n*MLS-4 neg\n", -4, 0, "neg \n\n", "\nusing *MLS-4:\nneg EOF!\n\n\n"},
        {"*MLS1234567 big\n", 1234567, 0, "big \n\n", "\nusing *MLS1234567:\nbig EOF!\n\n\n"},
        {"*MLS1 a\n", 3, 1, "", "\nusing *MLS3:\nno matching setting type!\n"},
        {"", 1, 1, "", "\nusing *MLS1:\nno matching setting type!\n"},
        {"x *MLS5", 5, 0, "\n\n", "\nusing *MLS5:\nEOF!\n\n\n"},
        {nullptr, 1, 2, "", "\nusing *MLS1:\n\n\nThe settings file \"MLS\" cannot be opened: Tolvi stops.\n"},
    };
    tempdir dir;
    for (const settingcase& c : cases) {
        std::filesystem::remove("MLS");
        if (c.mls)
            writefile("MLS", c.mls);
        std::ostringstream cd, out;
        EXPECT_EQ(copysetting(c.n, cd, out), c.rc) << c.n;
        EXPECT_EQ(cd.str(), c.cd) << c.n;
        EXPECT_EQ(out.str(), c.console) << c.n;
    }
}

TEST(Construct, UserTreeFile)
{
    struct treecase {
        const char* tree;  // nullptr: no file
        bool ok;
        const char* text;
    } cases[] = {
        {"#NEXUS\nBegin trees;\ntree PAUP_1 = [&U] (1,(2,3));\nEnd;\n", true, "\nusertree [&U] (1,(2,3));;\n\n"},
        {"tree PAUP_1 = [&U] (1,(2,3));", true, "\nusertree [&U] (1,(2,3));;\n\n"},
        {"tree xPAUP_12 a b c", true, "\nusertree b c;\n\n"},
        {"tree PAUP_1 = [&U]", false, "\n\nThe tree file \"usertree\" ends inside the tree PAUP_1: Tolvi stops.\n"},
        {"tree paup_1 = (1,2);", false, "\n\nThe tree file \"usertree\" holds no tree PAUP_1: Tolvi stops.\n"},
        {nullptr, false, "\n\nThe tree file \"usertree\" cannot be opened: Tolvi stops.\n"},
    };
    tempdir dir;
    for (const treecase& c : cases) {
        std::filesystem::remove("usertree");
        if (c.tree)
            writefile("usertree", c.tree);
        std::ostringstream cd, out;
        EXPECT_EQ(copyusertree(cd, out), c.ok);
        EXPECT_EQ(out.str(), c.text);
        EXPECT_EQ(cd.str(), c.ok ? c.text : "");
    }
}
