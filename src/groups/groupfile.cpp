#include "groupfile.h"

#include "answer.h"
#include "bylabel.h"

#include <climits>
#include <fstream>

namespace {

// An integer of the file; on failure `found` holds the text where the number
// belongs (empty at the end of the file) and the stream stops.
bool readnumber(std::istream& f, int& value, std::string& found)
{
    if (scanint(f, value, found))
        return true;
    f.setstate(std::ios::failbit);
    return false;
}

void numberexpected(std::ostream& out, const std::string& found, const std::string& what)
{
    if (found.empty())
        out << "\n\nThe group definition file ends where " << what << " belongs: reading stops.\n\n";
    else
        out << "\n\nThe group definition file holds \"" << found << "\" where " << what
            << " belongs: reading stops.\n\n";
}

}  // namespace

bool readgroupfile(std::vector<group>& allgroups, const std::string& groupfile, std::ostream& out,
              const std::vector<std::string>* names)
{
    out << "Tolvi built 22.11.04\n\n";
    allgroups.clear();
    std::ifstream f(groupfile);

    std::string w;
    if (!(f >> w) || w != "#Tolvi") {
        out << "Not a Tolvi file!\n\n";
        return true;
    }
    f >> w >> w;  // the column heads

    int charcount = 0;
    for (;;) {
        if (!(f >> w)) {
            out << "Eof";
            break;
        }
        if (w == "beginmatrix") {
            out << "\nBegin of group-character matrix\n\n";
            break;
        }
        ++charcount;
    }
    out << "\n\n" << charcount << " chars\n\n";

    // Group rows: name, group index, charcount character states.
    for (;;) {
        std::string name;
        if (!(f >> name)) {
            out << "\n\nThe group definition file ends before \"endmatrix\": reading stops.\n\n";
            return true;
        }
        if (name == "endmatrix") {
            out << "\n\nEnd of group-character matrix\n\n";
            break;
        }
        int index = 0;
        std::string found;
        if (!readnumber(f, index, found)) {
            numberexpected(out, found, "the group index of group " + name);
            return true;
        }
        for (int i = 0; i < charcount; ++i) {
            int state = 0;
            const bool ok = readnumber(f, state, found);
            if (f.eof()) {
                out << "Eof";
                return true;
            }
            if (!ok) {
                numberexpected(out, found, "a character state of group " + name);
                return true;
            }
        }
        allgroups.emplace_back(index, name);
    }

    if (!distinctindices(allgroups, out))
        return false;
    std::vector<group> grps = allgroups;
    if (!(f >> w) || w != "begintaxa") {
        out << "Not a Tolvi file!\n\n";
        return true;
    }
    out << "\nBegin of taxon-character matrix\n\n";

    // Taxon rows: label, row number of the taxon's group.
    std::vector<taxonrow> rows;
    int rownumber = 1;
    for (;;) {
        std::string label;
        if (!(f >> label) || label == "endtaxa") {
            out << "\n\nEnd of taxa-group matrix\n\n";
            break;
        }
        int g = 0;
        std::string found;
        if (!readnumber(f, g, found)) {
            numberexpected(out, found,
                           "the group number of taxon row " + std::to_string(rownumber) + " (" + label + ")");
            return true;
        }
        if (g < 1 || static_cast<std::size_t>(g) > grps.size()) {
            out << "erroneous group index";
            return true;
        }
        rows.push_back({label, g});
        ++rownumber;
    }
    if (names) {
        if (!placetaxa(grps, rows, *names, out))
            return false;
    } else {
        for (std::size_t i = 0; i < rows.size(); ++i)
            grps[static_cast<std::size_t>(rows[i].group) - 1].taxa.push_back(static_cast<int>(i) + 1);
    }
    allgroups = std::move(grps);
    return true;
}

bool writegrouptemplate(const std::vector<std::string>& names, std::string datafile, std::ostream& out)
{
    const std::string fname = datafile + ".grdef";
    std::ofstream f(fname);
    if (f) {
        f << "#Tolvi\n\n";
        f << "groupname\tgrindex\n";
        f << "beginmatrix\n\n";
        for (int i = 1; i <= 9; ++i)
            f << "[insert " << i << ". groupname here]\t" << i << "\n";
        f << "[remove unneeded or add more]\n\n";
        f << "endmatrix\n\n\n";
        f << "begintaxa\n";
        for (std::size_t i = 0; i < names.size(); ++i) {
            f << names[i];
            if (i == 0)
                f << "\t[insert group indices in this column]";
            f << "\n";
        }
        f << "endtaxa\n";
        f.close();
    }
    if (!f) {
        out << "\nThe group definition template " << fname << " could not be written: Tolvi stops.\n";
        return false;
    }
    out << "group definition file template written to " << fname << "\n";
    out << "\nedit the file and start Tolvi again.";
    return true;
}
