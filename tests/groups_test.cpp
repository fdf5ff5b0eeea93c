#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <sstream>

#include "groupdialogue.h"

TEST(IndexList, ParsesAndRefusesIndexLists)
{
    const std::vector<int> unchanged{42};
    const struct {
        const char* text;
        std::vector<int> numbers;
        const char* message;   // German parser message
        const char* toolarge;  // digits handed back
    } cases[] = {
        {"1, 3,4-8, 25-31, 15,44", {1, 3, 4, 5, 6, 7, 8, 25, 26, 27, 28, 29, 30, 31, 15, 44}, "", ""},
        {"\n 1 \n -\n 3 ,\t7", {1, 2, 3, 7}, "", ""},
        {"4-8-10", {4, 5, 6, 7, 8}, "", ""},
        {"8-4,5-5", {8, 5}, "", ""},
        {"7,7,0 2 3", {7, 7, 0}, "", ""},
        {"2147483647", {INT_MAX}, "", ""},
        {"", unchanged, "fehlende Zahl\n", ""},
        {"1,2,", unchanged, "fehlende Zahl\n", ""},
        {"+3", unchanged, "fehlende Zahl\n", ""},
        {"3- ,4", unchanged, "fehlendes Bereichsende \n", ""},
        {"1,2147483648", unchanged, "", "2147483648"},
        {"00099999999999-3", unchanged, "", "00099999999999"},
    };
    for (const auto& c : cases) {
        std::vector<int> indices = unchanged;
        std::ostringstream out;
        std::string toolarge;
        EXPECT_EQ(parseindexlist(indices, c.text, out, toolarge), *c.message == '\0' && *c.toolarge == '\0') << c.text;
        EXPECT_EQ(indices, c.numbers) << c.text;
        EXPECT_EQ(out.str(), c.message) << c.text;
        EXPECT_EQ(toolarge, c.toolarge) << c.text;
    }
    // huge ranges stop just past the limit instead of filling memory, and so
    // does a list of many of them (a list of 499 characters held 38 million)
    std::string many = "1-9999999999";
    for (int i = 0; i < 37; ++i)
        many += ",1-9999999999";
    for (const std::string& text : {std::string("1-2000000000"), std::string("1-99999999999"),
                                    std::string("2147483647-2147483647"), many}) {
        std::vector<int> indices;
        std::ostringstream out;
        std::string toolarge;
        EXPECT_TRUE(parseindexlist(indices, text.c_str(), out, toolarge));
        EXPECT_LE(indices.size(), text == many ? entrylimit + 38 : static_cast<std::size_t>(rangelimit) + 1);
        EXPECT_GT(*std::max_element(indices.begin(), indices.end()), rangelimit);
    }
}


