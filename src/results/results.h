#ifndef TOLVI_RESULTS_H
#define TOLVI_RESULTS_H

#include <ostream>
#include <string>
#include <vector>

#include "comparisonrecord.h"

// Writes the table NAME.tsv and the figure NAME.svg beside the report NAME
// (`reportname` with its ".ma"): `final` are the report's records, `replicates`
// the table they were reduced from, `logname` the log that holds the section of
// the alignment as read (read again here), `replicatecount` the replicate count the report
// states. Each file is written whole or not at all; one that cannot be written
// gets one line on `console`, and nothing else is said there.
void writeresults(const std::vector<comparisonrecord>& final, const replicatetable& replicates,
                  const std::string& logname, bool ranking, int replicatecount,
                  const std::string& reportname, std::ostream& console);

#endif
