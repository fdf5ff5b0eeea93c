#ifndef TOLVI_LOGCHECK_H
#define TOLVI_LOGCHECK_H

#include <optional>
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

// The comparisons of the log's first replicate.
std::vector<comparisonid> logcomparisons(const replicatetable& table);

// Construct-first road: nothing when the log holds the comparisons of the
// command file just written (or nothing at all, which the evaluation
// reports); otherwise what is wrong, as a sentence without its end.
std::optional<std::string> logbelongs(const replicatetable& table, const std::vector<comparisonid>& written,
                                      const std::string& logname);

// Direct road: a ranking list needs comparisons that all share one reference
// group; a comparison matrix needs every pair of the log's groups in order.
// Nothing when the log fits the report asked for; otherwise what is wrong and
// which report it fits, as a sentence without its end.
std::optional<std::string> logfitsreport(const replicatetable& table, bool ranking, const std::string& logname);

#endif
