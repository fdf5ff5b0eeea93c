#ifndef TOLVI_RESULTS_H
#define TOLVI_RESULTS_H

#include <string>
#include <vector>

#include "comparisonrecord.h"
#include "runrecord.h"

// Writes beside the report `record.report` (NAME.ma) the table NAME.ma.tsv,
// the figure NAME.ma.svg and the run record NAME.ma.json: `final` are the
// report's records, `replicates` the table they were reduced from, `logname`
// the log that holds the section of the alignment as read (read again here).
// Each file is written whole or not at all; returns those that could not be
// written, each as its kind and name ("table NAME.ma.tsv").
std::vector<std::string> writeresults(const std::vector<comparisonrecord>& final, const replicatetable& replicates,
                                      const std::string& logname, const runrecord& record);

#endif
