#ifndef TOLVI_ALIGNMENT_H
#define TOLVI_ALIGNMENT_H

#include <string>
#include <vector>

// An aligned data set as the command file needs it: taxon names (one token
// each, "|" for every blank or "_") and their sequences, parallel lists.
struct alignment {
    std::vector<std::string> names;
    std::vector<std::string> sequences;
};

// Written out rather than defaulted: the NEXUS Class Library's reader is
// compiled as C++17 (see CMakeLists.txt) and includes this header.
inline bool operator==(const alignment& a, const alignment& b)
{
    return a.names == b.names && a.sequences == b.sequences;
}

#endif
