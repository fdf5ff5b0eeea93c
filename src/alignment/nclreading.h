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
    std::string kind;     // "NEXUS", "FASTA", "sequential PHYLIP" or "interleaved PHYLIP"
    long line = -1;       // where the reading stopped, counted from 1; -1 when not known
    std::string reason;   // why it stopped, one line
    bool nomatrix = false;  // the file was read but holds no character matrix
};

// Reads `text` in the format given. Sequences come out in Tolvi's symbols:
// gaps "-", missing data "?", states and IUPAC ambiguity codes as upper-case
// letters, matchchar positions expanded.
nclreading readwithncl(const std::string& text, fileformat format);

// Whether the sequences of `tokens` (taken as they stand in a file) hold the
// same states as those of `ncl`, ignoring case and the spelling of N.
bool samestates(const std::vector<std::string>& tokens, const std::vector<std::string>& ncl);

#endif
