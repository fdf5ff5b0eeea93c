#ifndef TOLVI_ALIGNMENT_H
#define TOLVI_ALIGNMENT_H

#include <string>
#include <vector>

// An aligned data set as the command file needs it: taxon names (one token
// each, "|" for every blank or "_") and their sequences, parallel lists.
struct alignment {
    std::vector<std::string> names;
    std::vector<std::string> sequences;
    bool operator==(const alignment&) const = default;
};

#endif
