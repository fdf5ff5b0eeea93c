#ifndef TOLVI_GROUPFILE_H
#define TOLVI_GROUPFILE_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "group.h"

// Why a group definition file cannot be used, as a value: the dialogue
// prints its fixed texts from it, the sub-commands a message of their own.
struct groupfault {
    enum class kind {
        notgroupfile,       // no "#Tolvi" first
        endsingroups,       // the file ends where a group row or "endmatrix" belongs
        notanumber,         // a word where a group index or character state belongs
        endsinstates,       // the file ends inside a group row's character states ("Eof")
        sameindex,          // two groups with one group index
        nobegintaxa,        // no "begintaxa" after "endmatrix"
        rownotanumber,      // a word where a taxon row's group number belongs
        groupnumber,        // a taxon row's group number is no group row
        labels,             // the taxon rows' labels do not fit the data file's taxa
    };
    kind what = kind::notgroupfile;
    long line = -1;       // counted from 1; -1 where no line tells
    std::string found;    // the word that stands where a number belongs (empty at the end of the file)
    std::string wanted;   // what belongs there, or the group index two groups share
    std::vector<std::string> concerned;  // the groups, or the lines on labels that do not fit
};

// The sub-commands' message for a fault: plain words, without the file.
std::string plaintext(const groupfault& fault);

// A group definition file as read.
struct groupfilereading {
    std::vector<group> groups;   // in row order (the outgroup last); taxa only when the file was read to its end
    int characters = 0;          // character columns of the group-character matrix
    bool headerends = false;     // the file ends before "beginmatrix"
    std::vector<std::string> notes;  // what the console says of the reading, one line each
    std::optional<groupfault> fault;
};

// Reads the text of a group definition file: one group per row of the
// group-character matrix, in file order, and each taxon row's taxon put into
// the group whose row number (from 1) stands beside it. With the data file's
// taxon names given, the taxon rows are matched to them: by name where every
// label is a taxon name (any order; taxa without a row stay in no group), by
// position where no label is one. A UTF-8 byte order mark is skipped.
groupfilereading readgroups(std::string text, const std::vector<std::string>* names);

// The dialogue's reading of the group definition file `groupfile` into
// `allgroups`, with its texts on `out`. Reading stops at the first fault; the
// groups of the rows completed before then stay in the list, without taxa.
// Returns false where the run cannot go on (two groups with one group
// index, taxon rows that do not fit the names).
bool readgroupfile(std::vector<group>& allgroups, const std::string& groupfile, std::ostream& out,
                   const std::vector<std::string>* names = nullptr);

// Writes the group definition template for the taxon names to datafile + ".grdef"
// and confirms it on `out`. Returns false, with a message, when the file could
// not be written.
bool writegrouptemplate(const std::vector<std::string>& names, std::string datafile, std::ostream& out);

#endif
