#ifndef TOLVI_NCLREADING_H
#define TOLVI_NCLREADING_H

#include <string>
#include <string_view>

#include "alignment.h"

// Alignment files read by the NEXUS Class Library: NEXUS (DATA, or TAXA and
// CHARACTERS blocks), FASTA and relaxed PHYLIP, sequential or interleaved.

enum class fileformat { nexus, fasta, phylip, unknown };

// The format as the content shows it: "#NEXUS" first (any case), ">" first,
// or a first line holding just two numbers (taxa and characters).
fileformat guessformat(std::string_view text);

struct nclreading {
    bool ok = false;
    alignment data;       // names with "|" for blanks and "_"; sequences in Tolvi's symbols
    std::vector<std::string> labels;  // the taxon labels as the file writes them
    std::string kind;     // "NEXUS", "FASTA", "sequential PHYLIP", "interleaved PHYLIP" or "strict ... PHYLIP"
    long line = -1;       // where the reading stopped, counted from 1; -1 when not known
    std::string reason;   // why it stopped, one line
    bool nomatrix = false;  // the file was read but holds no character matrix
    bool refused = false;   // the library read the file, but it holds no one DNA matrix Tolvi can take
    bool toolarge = false;  // refused before reading: the declared matrix is larger than the file
    bool strict = false;    // PHYLIP with names of exactly 10 characters, read when the relaxed reading fails
    std::size_t characters = 0;  // of the matrix, excluded ones included
    std::size_t excluded = 0;    // left out by the file's default exclusion set (EXSET *)
    std::vector<int> excludedcolumns;  // which, counted from 1
    std::string exclusionset;    // its name
};

// Reads `text` in the format given. Sequences come out in Tolvi's symbols:
// gaps "-", missing data "?", states and IUPAC ambiguity codes as upper-case
// letters, matchchar positions expanded, the columns of the default exclusion
// set (EXSET *) left out. A file with more than one character matrix is
// refused, naming them.
nclreading readwithncl(const std::string& text, fileformat format);

// Whether the sequences of `tokens` (taken as they stand in a file) hold the
// same states as those of `ncl`, ignoring case and the spelling of N.
bool samestates(const std::vector<std::string>& tokens, const std::vector<std::string>& ncl);

// The largest number written after `key` and "=" (any case, blanks around
// the "="), 0 where there is none.
unsigned long long declared(const std::string& text, std::string_view key);

#endif
