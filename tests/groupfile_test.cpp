#include <gtest/gtest.h>

#include <sstream>

#include "groupfile.h"
#include "testutil.h"

TEST(GroupFile, FilesGoodAndBroken)
{
    const std::string head = "#Tolvi\n\ngroupname\tgrindex\nbeginmatrix\n\n";
    const struct {
        std::string text;
        const char* groups;   // name:number:taxa of the result
        const char* message;  // in the console output
    } cases[] = {
        // character columns, group numbers as written, a short taxa matrix, no endtaxa
        {"#Tolvi a b c1 c2 c3 beginmatrix A 5 0 1 2 B 7 1 1 1 OG 9 0 0 0 endmatrix begintaxa x 3 y 1 z 1",
         "A:5:2,3, B:7: OG:9:1, ", "\n\n3 chars\n\n"},
        {head + "A 1\nendtaxa 2\nendmatrix\nbegintaxa\nt1 1\nendtaxa\nt2 1\n", "A:1:1, endtaxa:2: ",
         "\n\nEnd of group-character matrix\n\n\nBegin of taxon-character matrix\n\n\n\nEnd of taxa-group matrix\n\n"},
        {"", "", "Tolvi built 22.11.04\n\nNot a Tolvi file!\n\n"},
        {head + "A 1\nendmatrix\nx\nbegintaxa t 1\n", "A:1: ", "Not a Tolvi file!\n\n"},
        {"#Tolvi a b c beginmatrix A 1 0 B 2 1", "A:1: ", "Eof"},
        {"#Tolvi a b c d", "", "Eof\n\n2 chars\n\n\n\nThe group definition file ends before \"endmatrix\": reading "
                               "stops.\n\n"},
        {head + "A 1\n[insert 2. groupname here]\t2\n", "A:1: [insert:2: ",
         "The group definition file holds \"groupname\" where the group index of group . belongs: reading stops."},
        {head + "A 99999999999\n", "", "holds \"99999999999\" where the group index of group A belongs"},
        {"#Tolvi a b c beginmatrix A 1 x endmatrix", "", "holds \"x\" where a character state of group A belongs"},
        {head + "A 1\nB 2\nendmatrix begintaxa t1 1 t2 [insert group indices in this column] t3 2", "A:1: B:2: ",
         "holds \"[insert\" where the group number of taxon row 2 (t2) belongs"},
        {head + "A 1\nendmatrix begintaxa t1 1 t2", "A:1: ",
         "The group definition file ends where the group number of taxon row 2 (t2) belongs: reading stops.\n\n"},
        {head + "A 1\nB 2\nendmatrix begintaxa t1 1 t2 0", "A:1: B:2: ", "erroneous group index"},
        {head + "A 1\nB 2\nendmatrix begintaxa t1 1 t2 3", "A:1: B:2: ", "erroneous group index"},
    };
    tempdir dir;
    for (const auto& c : cases) {
        writefile("groups.grdef", c.text);
        std::vector<group> groups{group(99, "stale")};
        std::ostringstream out;
        readgroupfile(groups, "groups.grdef", out);
        std::string found;
        for (const group& g : groups) {
            found += g.name + ":" + std::to_string(g.number) + ":";
            for (int t : g.taxa)
                found += std::to_string(t) + ",";
            found += " ";
        }
        EXPECT_EQ(found, c.groups) << c.text;
        EXPECT_NE(out.str().find(c.message), std::string::npos) << c.text << "\n---\n" << out.str();
    }
}

