#ifndef TOLVI_GROUPFILE_H
#define TOLVI_GROUPFILE_H

#include <ostream>
#include <string>
#include <vector>

#include "group.h"

// Reads the group definition file `groupfile` into `allgroups` (emptied
// first): one group per row of the group-character matrix, in file order, and
// each taxon row's taxon appended to the group whose row number stands beside
// it. Reading stops at the first fault with a message on `out`; the groups of
// the rows completed before then stay in the list, without taxa. With the
// data file's taxon names given, the taxon rows are matched to them by label
// (placetaxa). Returns false, after a message, where the run cannot go on:
// two groups with one group index, or taxon rows that do not fit the names.
bool readgroupfile(std::vector<group>& allgroups, const std::string& groupfile, std::ostream& out,
              const std::vector<std::string>* names = nullptr);

// Writes the group definition template for the taxon names to datafile + ".grdef"
// and confirms it on `out`. Returns false, with a message, when the file could
// not be written.
bool writegrouptemplate(const std::vector<std::string>& names, std::string datafile, std::ostream& out);

#endif
