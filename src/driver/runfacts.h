#ifndef TOLVI_RUNFACTS_H
#define TOLVI_RUNFACTS_H

#include <cstdint>
#include <istream>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "comparisonrecord.h"
#include "extractor.h"
#include "group.h"
#include "importer.h"
#include "loghead.h"
#include "provenance.h"
#include "runrecord.h"

// Where the provenance comment and the run record get their facts on each
// road: from the data file and the groups a run reads, from the answers typed,
// or from what a log holds.

// The data file as a run knows it once it has read it: name, size, digest,
// taxa and characters, the format, the reading used, the excluded characters
// and their set.
datafileinfo describedata(const std::string& file, const datareading& read);

// The provenance of a run of `construct` whose command files have this head
// and comparison section; `settingtext` as copied into the head.
runprovenance describerun(std::string_view head, std::string_view section, datafileinfo data, int setting,
                          std::string_view settingtext, std::uint32_t seed, int replicates, int parts);

// The setting as copied into the command file, without the line ends after it.
std::string settingwords(std::string_view copied);

// A log read, for the record: its name, and its size and digest where the
// reading tells them.
filerecord logrecord(const std::string& name, const extractor& reading);

// The groups as defined (the outgroup last) into the record.
void recordgroups(runrecord& record, const std::vector<group>& groups);

// What a log holds of its run into the record, where the record does not
// know it yet: the provenance comment's facts, the taxa the log lists, and the
// groups by their marks on the taxa and their names in the comparisons of the
// table's first row.
void recordlog(runrecord& record, const loghead& head, const replicatetable& table);

// Keeps what is read through it from another stream buffer: the dialogue's
// answers as typed.
class answerkeeper : public std::streambuf {
public:
    explicit answerkeeper(std::streambuf* source) : source_(source) {}
    const std::string& kept() const { return kept_; }

protected:
    int_type underflow() override;
    int_type uflow() override;
    int_type pbackfail(int_type c) override;

private:
    std::streambuf* source_;
    std::string kept_;
};

// The answers read so far from `in`, one per line, when it reads through an
// answerkeeper.
std::optional<std::vector<std::string>> typedanswers(const std::istream& in);

#endif
