#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "abfrage.h"
#include "group.h"

namespace {

struct listcase {
    const char* text;
    std::vector<int> numbers;  // expected on success
    const char* message;       // expected console text
    const char* toolarge;      // digits handed back, or ""
};

std::vector<int> seq(int from, int to)
{
    std::vector<int> v;
    for (int i = from; i <= to; ++i)
        v.push_back(i);
    return v;
}

}  // namespace

TEST(Indzeile, ParsesAndRefusesIndexLists)
{
    const std::vector<int> unchanged{42};
    const listcase cases[] = {
        {"1, 3,4-8, 25-31, 15,44", {1, 3, 4, 5, 6, 7, 8, 25, 26, 27, 28, 29, 30, 31, 15, 44}, "", ""},
        {"\n 1 \n -\n 3 ,\t7", {1, 2, 3, 7}, "", ""},
        {"4-8-10", seq(4, 8), "", ""},
        {"8-4", {8}, "", ""},
        {"5-5", {5}, "", ""},
        {"7,7,0", {7, 7, 0}, "", ""},
        {"1 2 3", {1}, "", ""},
        {"12abc", {12}, "", ""},
        {"2147483647", {INT_MAX}, "", ""},
        {"", unchanged, "fehlende Zahl\n", ""},
        {"1,2,", unchanged, "fehlende Zahl\n", ""},
        {"-3", unchanged, "fehlende Zahl\n", ""},
        {"+3", unchanged, "fehlende Zahl\n", ""},
        {"x", unchanged, "fehlende Zahl\n", ""},
        {"3-", unchanged, "fehlendes Bereichsende \n", ""},
        {"3- ,4", unchanged, "fehlendes Bereichsende \n", ""},
        {"1,2147483648", unchanged, "", "2147483648"},
        {"00099999999999-3", unchanged, "", "00099999999999"},
    };
    for (const listcase& c : cases) {
        std::vector<int> ivec = unchanged;
        std::ostringstream out;
        std::string toolarge;
        const bool ok = indzeile(ivec, c.text, out, toolarge);
        EXPECT_EQ(ok, *c.message == '\0' && *c.toolarge == '\0') << c.text;
        EXPECT_EQ(ivec, c.numbers) << c.text;
        EXPECT_EQ(out.str(), c.message) << c.text;
        EXPECT_EQ(toolarge, c.toolarge) << c.text;
    }
}

TEST(Indzeile, HugeRangesStopJustPastTheLimit)
{
    const char* texts[] = {"1-2000000000", "1-99999999999", "2147483647-2147483647", "2000000-3000000"};
    for (const char* text : texts) {
        std::vector<int> ivec;
        std::ostringstream out;
        std::string toolarge;
        EXPECT_TRUE(indzeile(ivec, text, out, toolarge)) << text;
        ASSERT_FALSE(ivec.empty());
        EXPECT_LE(ivec.size(), static_cast<std::size_t>(rangelimit) + 1) << text;
        EXPECT_GT(ivec.back(), rangelimit) << text;
        for (int t : ivec)
            EXPECT_GT(t, 0);
    }
}

TEST(Group, EchoLine)
{
    group g(3, "Apes");
    std::ostringstream s;
    s << g;
    g.tind = {3, 4, 5};
    s << g;
    EXPECT_EQ(s.str(), "Apes \nApes 3 4 5 \n");
    EXPECT_TRUE(g.cstates.empty());
}

namespace {

struct dialogue {
    bool ok;
    std::vector<group> groups;
    std::string console;
    std::string rest;  // what is left in the input
};

dialogue talk(const std::string& input)
{
    std::istringstream in(input);
    std::ostringstream out;
    dialogue d;
    d.groups.emplace_back(99, "stale");
    d.ok = abfrage(d.groups, in, out);
    d.console = out.str();
    std::getline(in, d.rest, '\0');
    return d;
}

}  // namespace

TEST(Abfrage, Transcript)
{
    const dialogue d = talk("Apes 1-3;Monkeys\n4,\n5;\nbad 1,2,; q\n6;left over");
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.console,
              "Please define groups of taxa:\n\n"
              "(for easy rearrangement of taxa in NEXUS files Velnic is recommended)\n\n"
              "name of 1. group: (\"q\" to stop entering)\n \ttaxa in Apes: "
              "(enter like this: \"1, 3,4-8, 25-31, 15,44;\")\n\t\n\t"
              "name of 2. group: (\"q\" to stop entering)\n \ttaxa in Monkeys: \n\t"
              "name of 3. group: (\"q\" to stop entering)\n \ttaxa in bad: \n\t"
              "fehlende Zahl\n"
              "name of 4. group: (\"q\" to stop entering)\n \ttaxa in outgroup:\n"
              "\n\nchecking: the 4 groups and the taxa they contain: \n"
              "Apes 1 2 3 \nMonkeys 4 5 \nbad \noutgroup 6 \n");
    ASSERT_EQ(d.groups.size(), 4u);
    EXPECT_EQ(d.groups[2].gind, 2);
    EXPECT_TRUE(d.groups[2].tind.empty());
    EXPECT_EQ(d.groups[3].gind, 3);
    EXPECT_EQ(d.groups[3].gname, "outgroup");
    EXPECT_EQ(d.rest, "left over");
}

TEST(Abfrage, OnlyTheOutgroup)
{
    const dialogue d = talk("q 2;");
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.groups.size(), 1u);
    EXPECT_EQ(d.groups[0].gind, 0);
    EXPECT_NE(d.console.find("checking: the 1 groups and the taxa they contain: \noutgroup 2 \n"),
              std::string::npos);
}

TEST(Abfrage, EndsTheRunOnInputItCannotTake)
{
    const std::string long499(499, ' ');
    struct endcase {
        std::string input;
        const char* message;
    } cases[] = {
        {"", "Standard input ended where an answer was expected"},
        {"Apes", "Standard input ended where an answer was expected"},
        {"Apes 1-3", "Standard input ended where an answer was expected"},
        {"Apes 1;q 4,", "Standard input ended where an answer was expected"},
        {"Apes " + long499 + "x;q 1;", "The list of taxa of group Apes is longer than 499 characters"},
        {"Apes 1;q" + long499 + "1;", "The list of taxa of group outgroup is longer than 499 characters"},
        {"Apes 1,99999999999;q 2;", "The taxon number 99999999999 in group Apes is too large"},
    };
    for (const endcase& c : cases) {
        const dialogue d = talk(c.input);
        EXPECT_FALSE(d.ok) << c.input;
        EXPECT_NE(d.console.find(c.message), std::string::npos) << d.console;
    }
    // 499 characters before the ";" still fit.
    EXPECT_TRUE(talk("Apes" + std::string(498, ' ') + "1;q 2;").ok);
}
