#include <gtest/gtest.h>

#include <sstream>

#include "grdef.h"
#include "testutil.h"

namespace {

struct imported {
    std::vector<group> groups;
    std::string console;
};

imported importtext(const std::string& text)
{
    writefile("groups.grdef", text);
    imported r;
    r.groups.emplace_back(99, "stale");
    std::ostringstream out;
    grdefimp(r.groups, "groups.grdef", out);
    r.console = out.str();
    return r;
}

// name:gind:taxa ... for a compact comparison
std::string describe(const std::vector<group>& groups)
{
    std::string s;
    for (const group& g : groups) {
        s += g.gname + ":" + std::to_string(g.gind) + ":";
        for (int t : g.tind)
            s += std::to_string(t) + ",";
        s += " ";
    }
    return s;
}

const std::string head = "#Tolvi\n\ngroupname\tgrindex\nbeginmatrix\n\n";

}  // namespace

TEST(Grdefhelp, Template)
{
    tempdir dir;
    std::ostringstream out;
    ASSERT_TRUE(grdefhelp({"Homo|sapiens", "Pan", "1st"}, "apes.nex", out));
    EXPECT_EQ(out.str(), "group definition file template written to apes.nex.grdef\n\nedit the file and start Tolvi again.");
    EXPECT_EQ(readfile("apes.nex.grdef"),
              "#Tolvi\n\ngroupname\tgrindex\nbeginmatrix\n\n"
              "[insert 1. groupname here]\t1\n[insert 2. groupname here]\t2\n[insert 3. groupname here]\t3\n"
              "[insert 4. groupname here]\t4\n[insert 5. groupname here]\t5\n[insert 6. groupname here]\t6\n"
              "[insert 7. groupname here]\t7\n[insert 8. groupname here]\t8\n[insert 9. groupname here]\t9\n"
              "[remove unneeded or add more]\n\nendmatrix\n\n\nbegintaxa\n"
              "Homo|sapiens\t[insert group indices in this column]\nPan\n1st\nendtaxa\n");
}

TEST(Grdefhelp, FolderThatDoesNotExist)
{
    tempdir dir;
    std::ostringstream out;
    EXPECT_FALSE(grdefhelp({"a"}, "nofolder/apes.nex", out));
    EXPECT_EQ(out.str(), "\nThe group definition template nofolder/apes.nex.grdef could not be written: Tolvi stops.\n");
}

TEST(Grdefimp, EditedTemplateReadsBack)
{
    tempdir dir;
    std::vector<std::string> names;
    for (int i = 1; i <= 12; ++i)
        names.push_back("taxon" + std::to_string(i));
    std::ostringstream ignored;
    ASSERT_TRUE(grdefhelp(names, "t", ignored));
    std::string text = readfile("t.grdef");
    // what the user does in the editor
    for (int i = 1; i <= 9; ++i) {
        const std::string placeholder = "[insert " + std::to_string(i) + ". groupname here]";
        text.replace(text.find(placeholder), placeholder.size(), "group" + std::to_string(i));
    }
    text.erase(text.find("[remove unneeded or add more]"), 29);
    text.erase(text.find("\t[insert group indices in this column]"), 38);
    for (int i = 1; i <= 12; ++i) {
        const std::string name = "taxon" + std::to_string(i) + "\n";
        text.replace(text.find(name), name.size(), "taxon" + std::to_string(i) + "\t" + std::to_string((i - 1) % 9 + 1) + "\n");
    }
    const imported r = importtext(text);
    EXPECT_EQ(describe(r.groups),
              "group1:1:1,10, group2:2:2,11, group3:3:3,12, group4:4:4, group5:5:5, group6:6:6, group7:7:7, "
              "group8:8:8, group9:9:9, ");
    EXPECT_EQ(r.console,
              "Tolvi built 22.11.04\n\n\nBegin of group-character matrix\n\n\n\n0 chars\n\n"
              "\n\nEnd of group-character matrix\n\n\nBegin of taxon-character matrix\n\n"
              "\n\nEnd of taxa-group matrix\n\n");
}

TEST(Grdefimp, FilesGoodAndBroken)
{
    struct filecase {
        std::string text;
        const char* groups;   // describe() of the result
        const char* message;  // in the console output
    } cases[] = {
        // character columns, group numbers as written, a short taxa matrix, no endtaxa
        {"#Tolvi a b c1 c2 c3 beginmatrix A 5 0 1 2 B 7 1 1 1 OG 9 0 0 0 endmatrix begintaxa x 3 y 1 z 1",
         "A:5:2,3, B:7: OG:9:1, ", "\n\n3 chars\n\n"},
        {head + "A 1\nendtaxa 2\nendmatrix\nbegintaxa\nt1 1\nendtaxa\nt2 1\n", "A:1:1, endtaxa:2: ",
         "End of taxa-group matrix\n\n"},
        {"", "", "Not a Tolvi file!\n\n"},
        {"#tolvi a b beginmatrix A 1 endmatrix begintaxa t 1", "", "Not a Tolvi file!\n\n"},
        {head + "A 1\nendmatrix\nx\nbegintaxa t 1\n", "A:1: ", "Not a Tolvi file!\n\n"},
        {head + "A 1\nendmatrix\n", "A:1: ", "Not a Tolvi file!\n\n"},
        // the end of the file inside a row's character states, also right after one
        {"#Tolvi a b c beginmatrix A 1 0 B 2", "A:1: ", "Eof"},
        {"#Tolvi a b c beginmatrix A 1 0 B 2 1", "A:1: ", "Eof"},
        {"#Tolvi a b c d", "", "Eof\n\n2 chars\n\n"
                                "\n\nThe group definition file ends before \"endmatrix\": reading stops.\n\n"},
        {head + "A 1\nB 2\n", "A:1: B:2: ", "\n\nThe group definition file ends before \"endmatrix\": reading stops.\n\n"},
        {head + "A 1\n[insert 2. groupname here]\t2\n", "A:1: [insert:2: ",
         "\n\nThe group definition file holds \"groupname\" where the group index of group . belongs: reading "
         "stops.\n\n"},
        {head + "A 1\nB\n", "A:1: ", "\n\nThe group definition file ends where the group index of group B belongs: "
                                     "reading stops.\n\n"},
        {head + "A 99999999999\n", "", "\n\nThe group definition file holds \"99999999999\" where the group index of "
                                       "group A belongs: reading stops.\n\n"},
        {"#Tolvi a b c beginmatrix A 1 x endmatrix", "", "\n\nThe group definition file holds \"x\" where a character "
                                                        "state of group A belongs: reading stops.\n\n"},
        // taxon rows
        {head + "A 1\nB 2\nendmatrix begintaxa t1 1 t2 [insert group indices in this column] t3 2", "A:1: B:2: ",
         "\n\nThe group definition file holds \"[insert\" where the group number of taxon row 2 (t2) belongs: "
         "reading stops.\n\n"},
        {head + "A 1\nendmatrix begintaxa t1 1 t2\n", "A:1: ", "\n\nThe group definition file ends where the group "
                                                               "number of taxon row 2 (t2) belongs: reading stops.\n\n"},
        {head + "A 1\nendmatrix begintaxa t1 1 t2", "A:1: ", "the group number of taxon row 2 (t2) belongs: reading "
                                                             "stops.\n\n"},
        {head + "A 1\nB 2\nendmatrix begintaxa t1 1 t2 0", "A:1: B:2: ", "erroneous group index"},
        {head + "A 1\nB 2\nendmatrix begintaxa t1 1 t2 3", "A:1: B:2: ", "erroneous group index"},
        {head + "A 1\nB 2\nendmatrix begintaxa t1 1 t2 -1", "A:1: B:2: ", "erroneous group index"},
    };
    tempdir dir;
    for (const filecase& c : cases) {
        const imported r = importtext(c.text);
        EXPECT_EQ(describe(r.groups), c.groups) << c.text;
        EXPECT_NE(r.console.find(c.message), std::string::npos) << c.text << "\n---\n" << r.console;
    }
}

TEST(Grdefimp, MissingFile)
{
    tempdir dir;
    std::vector<group> groups{group(1, "x")};
    std::ostringstream out;
    grdefimp(groups, "nothere.grdef", out);
    EXPECT_TRUE(groups.empty());
    EXPECT_EQ(out.str(), "Tolvi built 22.11.04\n\nNot a Tolvi file!\n\n");
}
