#ifndef TOLVI_FIGURE_H
#define TOLVI_FIGURE_H

#include <ostream>
#include <string>
#include <vector>

#include "summary.h"

// What the figure's title tells besides the rows.
struct figureinfo {
    std::string source;     // the data file the results come from, or the log
    std::string setting;    // e.g. "*MLS1: dset distance=JC;", empty when not known
    int replicates = 0;     // used, as the report states them
    std::string identity;   // the run identity, empty when not known
    bool ranking = false;
    std::string reference;  // the group all others are compared to, in a ranking
};

struct figuresize {
    int width;
    int height;
};

// The results as one self-contained SVG forest plot: one row per comparison
// with its triplet count, d with d -/+ 1.96 standard errors beside the ratio
// with the report's 95% interval, each axis saying which way the first group
// evolves faster; comparisons significant after Holm's adjustment stand out.
// The figure grows with the rows and the names; its size in pixels is
// returned.
figuresize writefigure(const std::vector<resultrow>& rows, const figureinfo& info, std::ostream& out);

// Text made safe for XML character data and attribute values.
std::string xmlescape(const std::string& text);

#endif
