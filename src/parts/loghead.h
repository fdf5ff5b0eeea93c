#ifndef TOLVI_LOGHEAD_H
#define TOLVI_LOGHEAD_H

#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "plan.h"
#include "provenance.h"

// What a log says of its run before its first comparison: the part label and
// the provenance comment of the command file (when it had them), and the taxa
// as the command file listed them, with their group marks.
struct loghead {
    std::optional<partlabel> label;
    std::optional<runprovenance> provenance;
    std::vector<std::string> taxa;  // the marked names, taxon 1 first
};

// Reads the log's beginning, up to its first comparison or replicate.
loghead readloghead(std::istream& log);
loghead readloghead(const std::string& logname);

// The group numbers a marked taxon name carries, the newest mark first, and
// the name without them.
struct markedname {
    std::vector<int> groups;
    std::string name;
};
markedname splitmarks(const std::string& label);

#endif
