#ifndef TOLVI_PARTLOGS_H
#define TOLVI_PARTLOGS_H

#include <optional>
#include <string>
#include <vector>

#include "comparisonrecord.h"
#include "extractor.h"
#include "loghead.h"
#include "plan.h"
#include "runrecord.h"

// One log as read: its beginning (part label, provenance, taxa), its rows and
// what the reading found (replicate numbers, end marker, where it was cut,
// faults, size and digest).
struct logread {
    std::string name;
    bool readable = false;
    loghead head;
    replicatetable rows;
    extractor reading;
};

// Reads the logs, `threads` at a time (each log on a thread of its own).
std::vector<logread> readlogs(const std::vector<std::string>& names, unsigned threads);

// Where the reading of a log ended, in words: "ends inside bootstrap
// replicate 8", "ends after bootstrap replicate 7", "ends before its first
// bootstrap replicate".
std::string whereitends(const extractor& reading);

// The replicates of a run's part logs as one table in replicate order.
struct mergedlogs {
    replicatetable table;
    std::vector<int> numbers;      // each row's replicate number
    int expected = 0;              // replicates of the whole run
    std::vector<replicatenote> missing;  // replicates found in no log, or cut short, and why
    std::vector<std::string> faults;  // what keeps the logs from being one run's whole table
    bool foreign = false;          // logs of different runs: nothing can be merged
};

// Merges part logs: every replicate of the run once, in order. What keeps
// them from being one run's whole table is named in `faults`, the surest
// first: logs of another run (their identities differ: nothing else is
// said), then parts that are cut, replicates missing, replicates doubled.
// The table holds the complete replicates (each once) all the same. The
// logs' rows are moved out.
mergedlogs mergeparts(std::vector<logread>& logs);

// The report name for the logs: `prefix.log` for part logs `prefix.log.K`,
// otherwise the first log's name.
std::string defaultreportname(const std::vector<logread>& logs);

#endif
