#ifndef TOLVI_LOGCHECK_H
#define TOLVI_LOGCHECK_H

#include <ostream>
#include <string>
#include <vector>

#include "comparisonrecord.h"
#include "group.h"

// Whether a log belongs to the run that reads it: its comparisons (group
// numbers and names, in order) against those of the command file, or against
// the report asked for.

struct comparisonid {
    int a;
    int b;
    std::string namea;
    std::string nameb;
    bool operator==(const comparisonid&) const = default;
};

// The comparisons a command file for `groups` (outgroup last) asks for: every
// pair of ingroups in order, or with `ranking` every ingroup against the
// reference group (the one before the outgroup).
std::vector<comparisonid> writtencomparisons(const std::vector<group>& groups, bool ranking);

// The comparisons of the log's first replicate (without a last one cut inside
// its head when that replicate is all the log holds).
std::vector<comparisonid> logcomparisons(const replicatetable& table);

// Construct-first road: true when the log holds the comparisons of the
// command file just written (or nothing at all, which the evaluation reports);
// otherwise a message and false.
bool logbelongs(const replicatetable& table, const std::vector<comparisonid>& written, const std::string& logname,
                std::ostream& out);

// Direct road: a ranking list needs comparisons that all share one reference
// group; a comparison matrix needs every pair of the log's groups in order.
// True when the log fits the report asked for; otherwise a message saying
// which report it fits, and false.
bool logfitsreport(const replicatetable& table, bool ranking, const std::string& logname, std::ostream& out);

#endif
