#ifndef TOLVI_RUNPLAN_H
#define TOLVI_RUNPLAN_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "group.h"
#include "importer.h"
#include "replicates.h"

// What `tolvi construct` understood of its input, shown before it writes.
struct runplan {
    std::string datafile;
    const datareading* data = nullptr;
    std::string groupfile;               // empty where the groups were given on the command line
    std::vector<std::string> groupnotes;  // what the group file's reading said
    const std::vector<group>* groups = nullptr;  // the outgroup last
    bool ranking = false;
    std::uint64_t triplets = 0;  // in the comparison section of one replicate
    int replicates = 0;
    int parts = 1;
    std::uint32_t seed = 0;
    std::string prefix;
    std::uintmax_t size = 0;  // bytes of the command files together, about
};

// Prints the plan: the data file and its reading, taxa x characters, each
// group with its number of taxa and first labels, the outgroup, the
// comparisons and triplets, the replicates and parts, the command files' size.
void describe(const runplan& plan, std::ostream& out);

// The bytes one bootstrap replicate takes in the command file.
std::size_t replicatesize(replicatewriter& writer, std::uint32_t seed);

#endif
