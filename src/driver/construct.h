#ifndef TOLVI_CONSTRUCT_H
#define TOLVI_CONSTRUCT_H

#include <ostream>
#include <string>
#include <vector>

#include "commander.h"
#include "group.h"
#include "plan.h"
#include "replicates.h"

// Pieces of the construct-first road, open to the tests.

// The progress text after bootstrap replicate k of replicatecount: "\n10%" .. "\n100%"
// where k is that tenth of replicatecount exactly, else empty.
std::string progress(int k, int replicatecount);

// What the command file and the log reader cannot take: a taxon number
// outside 1 .. number of taxa, a group or taxon name equal to a word the log
// reader acts on, a group name with "[" or "]" (it would end the comment that
// carries it). One sentence naming it, or empty when all is well.
std::string groupsfault(const std::vector<group>& grps, const std::vector<std::string>& names);

// The dialogue's check: groupsfault, with its message on `out`.
bool checkgroups(const std::vector<group>& grps, const std::vector<std::string>& names, std::ostream& out);

// Says for each pair of groups that share taxa how many they share, and that
// triplets naming a taxon twice are left out.
void overlapnotes(const std::vector<group>& grps, std::ostream& out);

// Copies the user tree from the file "usertree" to the command file (and the
// console). False, with a message, when the file or the tree is missing.
bool copyusertree(std::ostream& cdfile, std::ostream& out, const std::string& file = "usertree");

// Copies the maximum-likelihood setting number `mls` from the file "MLS" to
// the command file (and the console). Returns 0 when copied, 1 when the file
// has no such setting, 2 when the file cannot be read.
int copysetting(int mls, std::ostream& cdfile, std::ostream& out, const std::string& file = "MLS");

// The bootstrap replicates `range` of the command file (of `replicatecount` in the run)
// and the end marker, the columns drawn from `generator`, with the progress in
// tenths on `out`; `meter`, when given, gets a progress line for the terminal.
void writereplicates(std::ostream& cdfile, replicatewriter& writer, bootstrapgenerator& generator,
                     replicaterange range, int replicatecount, std::ostream& out, std::ostream* meter);

// Says so when the alignment is too long for one bootstrap draw per column.
void widenote(std::size_t columns, std::ostream& out);

#endif
