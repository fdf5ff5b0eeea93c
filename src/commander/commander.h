#ifndef TOLVI_COMMANDER_H
#define TOLVI_COMMANDER_H

#include <cstdint>
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "group.h"

// The source of the date and time in the command file's head.
using clockfn = std::tm (*)();

// The local date and time now.
std::tm localclock();

// The head's date and time text: 24 characters and a line feed, as in
// "Wed Jun 30 21:49:08 1993\n".
std::string datetext(const std::tm& t);

// Writes the PAUP command file: the head, the data block with the group marks
// on the taxon names, the taxon list, the comparison sections and the
// resampled data blocks of the bootstrap replicates. Console lines (the marks,
// the section errors, the end of the object) go to the console stream given.
class commander {
public:
    std::string datafile;               // unused
    std::vector<std::string> seqs;      // sequences, parallel to seqnames
    std::vector<std::string> seqnames;  // taxon names; marked by writematrix
    std::vector<group> allgroups;       // outgroup last

    commander(const std::vector<std::string>& a, const std::vector<std::string>& b, const std::vector<group>& groups,
              std::ostream& console, clockfn clock = localclock);
    commander(const commander&) = default;
    commander& operator=(const commander&) = default;
    ~commander();

    // Head, data block and taxon list; puts the group marks on the names.
    void writematrix(std::ostream& cdfile, const std::string& nex);
    // One pairwise comparison section; returns the number of triplets written.
    std::uint64_t writepairwise(std::ostream& cdfile) const;
    // One ranking comparison section; returns the number of triplets written.
    std::uint64_t rank(std::ostream& cdfile) const;
    // The triplets (og, g1, g2) of one comparison, leaving out those that name
    // one taxon twice; returns how many were written.
    std::uint64_t writetriplets(const group& og, const group& g1, const group& g2, std::ostream& cdfile) const;

private:
    std::ostream* console_;
    clockfn clock_;

    std::uint64_t comparison(const group& a, const group& b, std::ostream& cdfile) const;
};

#endif
