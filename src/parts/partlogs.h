#ifndef TOLVI_PARTLOGS_H
#define TOLVI_PARTLOGS_H

#include <optional>
#include <string>
#include <vector>

#include "comparisonrecord.h"
#include "plan.h"

// One log as read: its rows, the replicate number of each, and the part label
// of its run if it is a part log.
struct logread {
    std::string name;
    bool readable = false;
    std::optional<partlabel> label;
    replicatetable rows;
    std::vector<int> replicates;  // parallel to rows
    bool ended = false;           // the log reached its end marker
    std::string messages;         // the reader's warnings, progress lines left out
};

// Reads the logs, `threads` at a time (each log on a thread of its own).
std::vector<logread> readlogs(const std::vector<std::string>& names, unsigned threads);

// The replicates of a run's part logs as one table in replicate order.
struct mergedlogs {
    replicatetable table;
    int expected = 0;             // replicates of the whole run
    std::vector<int> missing;     // replicate numbers found in no log, or cut short
    std::vector<std::string> faults;  // what keeps the logs from being one run's whole table
    bool foreign = false;         // logs of different runs: nothing can be merged
};

// Merges part logs: every replicate of the run once, in order. Missing,
// cut-short and doubled replicates and logs of different runs are named in
// `faults`; the table holds the complete replicates (each once) all the same.
// The logs' rows are moved out.
mergedlogs mergeparts(std::vector<logread>& logs);

// The report name for the logs: `prefix.log` for part logs `prefix.log.K`,
// otherwise the first log's name.
std::string defaultreportname(const std::vector<logread>& logs);

#endif
