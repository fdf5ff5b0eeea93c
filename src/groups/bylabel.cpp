#include "bylabel.h"

#include <map>

#include "names.h"

namespace {

void byposition(std::vector<group>& groups, const std::vector<taxonrow>& rows)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        groups[static_cast<std::size_t>(rows[i].group) - 1].taxa.push_back(static_cast<int>(i) + 1);
}

std::string nogroup(const std::vector<std::string>& taxa)
{
    return (taxa.size() == 1 ? "One taxon of the data file has no row in the group definition file and is in no"
                               " group: "
                             : std::to_string(taxa.size()) +
                                   " taxa of the data file have no row in the group definition file and are in no"
                                   " group: ") +
           firstfew(taxa) + ".";
}

}  // namespace

placement placetaxa(std::vector<group>& groups, const std::vector<taxonrow>& rows,
                    const std::vector<std::string>* names)
{
    placement p;
    if (!names) {
        byposition(groups, rows);
        return p;
    }
    std::map<std::string, std::size_t> taxon;  // name -> index in the data file
    for (std::size_t i = 0; i < names->size(); ++i)
        taxon.emplace(withbars((*names)[i]), i);
    std::vector<std::string> unknown, known;
    for (const taxonrow& r : rows)
        (taxon.count(withbars(r.label)) ? known : unknown).push_back(r.label);

    if (known.empty() && !rows.empty()) {
        if (rows.size() > names->size()) {
            p.misfits.push_back("no label is a taxon name, so row n stands for taxon n, but there are " +
                                std::to_string(rows.size()) + " rows for " + std::to_string(names->size()) + " taxa");
            return p;
        }
        byposition(groups, rows);
        p.notes.push_back("No label of the taxon rows of the group definition file is a taxon name of the data"
                          " file: row 1 is taken for taxon 1, row 2 for taxon 2, and so on.");
        if (rows.size() < names->size())
            p.notes.push_back(nogroup({names->begin() + static_cast<std::ptrdiff_t>(rows.size()), names->end()}));
        return p;
    }

    std::vector<int> groupof(names->size(), 0);
    std::vector<std::string> twice;
    bool inorder = true;
    std::size_t next = 0;  // rows in the data file's order name taxa further on
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const auto it = taxon.find(withbars(rows[n].label));
        if (it == taxon.end())
            continue;
        inorder = inorder && it->second >= next;
        next = it->second + 1;
        if (groupof[it->second] != 0)
            twice.push_back(rows[n].label);
        else
            groupof[it->second] = rows[n].group;
    }
    if (!unknown.empty())
        p.misfits.push_back("no taxon of the data file: " + firstfew(unknown));
    if (!twice.empty())
        p.misfits.push_back("taxa with two rows: " + firstfew(twice));
    if (!p.misfits.empty())
        return p;
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < names->size(); ++i)
        if (groupof[i] == 0)
            missing.push_back((*names)[i]);
        else
            groups[static_cast<std::size_t>(groupof[i]) - 1].taxa.push_back(static_cast<int>(i) + 1);
    if (!inorder)
        p.notes.push_back("The taxon rows of the group definition file follow another order than the data file:"
                          " the taxa are put into their groups by name.");
    if (!missing.empty())
        p.notes.push_back(nogroup(missing));
    return p;
}
