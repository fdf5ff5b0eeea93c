#include "bylabel.h"

#include <map>

namespace {

std::string asname(std::string label)
{
    for (char& c : label)
        if (c == '_')
            c = '|';
    return label;
}

// "a, b, c" for the first three, then ", ..." when there are more.
std::string firstfew(const std::vector<std::string>& items)
{
    std::string s;
    for (std::size_t i = 0; i < items.size() && i < 3; ++i)
        s += (i ? ", " : "") + items[i];
    if (items.size() > 3)
        s += ", ... (" + std::to_string(items.size()) + " in all)";
    return s;
}

}  // namespace

bool placetaxa(std::vector<group>& groups, const std::vector<taxonrow>& rows, const std::vector<std::string>& names,
               std::ostream& out)
{
    bool inorder = rows.size() == names.size();
    for (std::size_t i = 0; inorder && i < rows.size(); ++i)
        inorder = asname(rows[i].label) == asname(names[i]);
    if (inorder) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            groups[static_cast<std::size_t>(rows[i].group) - 1].taxa.push_back(static_cast<int>(i) + 1);
        return true;
    }

    std::map<std::string, std::size_t> taxon;  // name -> index in the data file
    for (std::size_t i = 0; i < names.size(); ++i)
        taxon.emplace(asname(names[i]), i);
    std::vector<int> groupof(names.size(), 0);
    std::vector<std::string> unknown, twice, missing;
    for (const taxonrow& r : rows) {
        const auto it = taxon.find(asname(r.label));
        if (it == taxon.end())
            unknown.push_back(r.label);
        else if (groupof[it->second] != 0)
            twice.push_back(r.label);
        else
            groupof[it->second] = r.group;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (groupof[i] == 0)
            missing.push_back(names[i]);
    if (!unknown.empty() || !twice.empty() || !missing.empty()) {
        out << "\n\nThe taxon rows of the group definition file do not fit the taxa of the data file:";
        if (!unknown.empty())
            out << "\n  no taxon of the data file: " << firstfew(unknown);
        if (!missing.empty())
            out << "\n  taxa without a row: " << firstfew(missing);
        if (!twice.empty())
            out << "\n  taxa with two rows: " << firstfew(twice);
        out << "\nTolvi stops.\n";
        return false;
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        groups[static_cast<std::size_t>(groupof[i]) - 1].taxa.push_back(static_cast<int>(i) + 1);
    out << "\nThe taxon rows of the group definition file follow another order than the data file:"
           " the taxa are put into their groups by name.\n";
    return true;
}

bool distinctindices(const std::vector<group>& groups, std::ostream& out)
{
    std::map<int, const group*> seen;
    for (const group& g : groups) {
        const auto [it, fresh] = seen.emplace(g.number, &g);
        if (!fresh) {
            out << "\n\nThe groups " << it->second->name << " and " << g.name << " have the same group index "
                << g.number << " in the group definition file; the index marks a group's taxa in the command file,"
                << " so each group needs its own: Tolvi stops.\n";
            return false;
        }
    }
    return true;
}
