#ifndef TOLVI_BYLABEL_H
#define TOLVI_BYLABEL_H

#include <ostream>
#include <string>
#include <vector>

#include "group.h"

// One taxon row of a group definition file: its label and the number of the
// group row (from 1) the taxon belongs to.
struct taxonrow {
    std::string label;
    int group;
};

// Puts the taxa of the data file (`names`, as read) into the groups their
// rows name. Rows whose labels are the names in the data file's order ("_",
// "|" or the name as read) go by position; the same names in another order go
// by name, with one console line saying so. A label that is no taxon, a taxon
// without a row or with two rows: a message naming them (the first few) and
// false, the groups untouched.
bool placetaxa(std::vector<group>& groups, const std::vector<taxonrow>& rows, const std::vector<std::string>& names,
               std::ostream& out);

// Two groups with the same group index: a message naming both and false.
bool distinctindices(const std::vector<group>& groups, std::ostream& out);

#endif
