#ifndef TOLVI_EXPORT_H
#define TOLVI_EXPORT_H

#include <ostream>
#include <string>
#include <vector>

#include "comparisonrecord.h"

// The flat vector of pairwise comparison records, (0,1), (0,2), ...,
// (0,n-1), (1,2), ..., (n-2,n-1), addressed as the upper triangle of the
// group-by-group matrix.
class matrixview {
public:
    class diagonal {};

    std::vector<comparisonrecord> records;
    int n;

    explicit matrixview(const std::vector<comparisonrecord>& b);
    int size() const;
    // The record of the unordered pair of groups i and k; throws diagonal for i == k.
    const comparisonrecord& at(int i, int k) const;
};

// The significance class of a record, from z = d / sed: " (<0.0001)",
// " (<0.001)", " (<0.01)", " (<0.05)" or " (insign.)".
const char* significance(const comparisonrecord& g);

// The comparison matrix report: written to the file named nex + ".ma" (".ma"
// is appended to `nex` itself) and echoed on `console`. Returns false when the
// report file could not be written; the console copy is complete all the same.
bool exportmatrix(std::vector<comparisonrecord>& b, std::string& nex, int replicatecount, std::ostream& console);

// The ranking list report, file and console copy as for exportmatrix.
bool exportlist(std::vector<comparisonrecord>& b, std::string& nex, int replicatecount, std::ostream& console);

#endif
