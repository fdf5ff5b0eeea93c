#ifndef TOLVI_RUNRECORD_H
#define TOLVI_RUNRECORD_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "provenance.h"

// The run record NAME.ma.json beside the report NAME.ma: what the results are
// a result of, filled in as the run goes. A value the run does not know is
// null in the record, never guessed.

struct grouprecord {
    int number = 0;
    std::optional<std::string> name;
    std::optional<std::vector<int>> taxa;  // taxon numbers, 1-based
};

// Replicates left out of the evaluation or missing from the logs, and why.
struct replicatenote {
    std::vector<int> replicates;
    std::string reason;
};

struct partrecord {
    int part = 0;
    int parts = 0;
    int first = 0;  // the part's replicates
    int last = 0;
    std::optional<std::string> identity;
    std::string log;
};

struct filerecord {
    std::string name;
    std::optional<std::uint64_t> size;
    std::optional<std::string> sha256;
};

struct runrecord {
    std::optional<std::vector<std::string>> commandline;  // a sub-command's words
    std::optional<std::vector<std::string>> answers;      // the dialogue's, one per line
    std::optional<std::string> identity;
    datafileinfo datafile;
    std::vector<grouprecord> groups;  // the ingroups, in order
    std::optional<grouprecord> outgroup;
    bool ranking = false;
    std::optional<std::string> setting;  // e.g. *MLS1
    std::optional<std::string> settingtext;
    std::optional<std::uint32_t> seed;
    std::optional<int> asked;  // bootstrap replicates
    int read = 0;
    int used = 0;
    std::vector<replicatenote> leftout;
    std::vector<replicatenote> missing;
    std::vector<partrecord> parts;
    std::vector<filerecord> logs;
    std::string report;  // the report's file name; the other results are named after it
};

// The record as JSON text (schema version 1), dated `date`.
std::string recordtext(const runrecord& record, const std::string& date);

// The date of the record: SOURCE_DATE_EPOCH where it is set (reproducible
// builds' convention), else now; ISO 8601 in UTC.
std::string recorddate();

// Writes the record to `name` whole, or not at all (false).
bool writerecord(const runrecord& record, const std::string& name);

#endif
