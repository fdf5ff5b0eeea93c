#ifndef TOLVI_BYLABEL_H
#define TOLVI_BYLABEL_H

#include <string>
#include <vector>

#include "group.h"

// One taxon row of a group definition file: its label and the number of the
// group row (from 1) the taxon belongs to.
struct taxonrow {
    std::string label;
    int group;
};

// How the taxon rows were matched to the data file's taxa.
struct placement {
    std::vector<std::string> notes;    // console lines on the matching
    std::vector<std::string> misfits;  // why the rows do not fit, one line each; empty when they do
};

// Puts the taxa into the groups their rows name. Without `names` (the data
// file's taxon names, as read), row n stands for taxon n. With them: where
// every label is a taxon's name ("_", "|" or the name as read) the rows go by
// name in any order, and taxa without a row stay in no group; where no label
// is, the rows go by position, row n for taxon n, and taxa after the last
// row stay in no group; each with a note. Labels that are partly names, a
// name twice, or more rows than taxa do not fit: the groups stay untouched.
placement placetaxa(std::vector<group>& groups, const std::vector<taxonrow>& rows,
                    const std::vector<std::string>* names);

#endif
