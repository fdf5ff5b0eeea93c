#ifndef TOLVI_TOKENREADING_H
#define TOLVI_TOKENREADING_H

#include <istream>

#include "alignment.h"

// The first reading Tolvi had, kept for the files that only it reads: every
// token up to the first one containing "MATRIX" is skipped, then name and
// sequence tokens are read in pairs until a sequence of another length than
// the first one (the matrix's end) or the end of the file. Names get "|" for
// every "_"; sequences are taken as they stand.
struct tokenreading {
    alignment data;
    bool matrixfound = false;  // a token holding "MATRIX" was met
    bool ranout = false;       // the tokens ran out inside the matrix ("Error reading data.")
    std::string endname;       // the name word of the pair that ended the matrix (";" for its terminator)
    std::string dangling;      // a last name without a sequence, where the words ran out after it
};
tokenreading readtokens(std::istream& f);

// Distinct names and every sequence as long as the first: an alignment that
// can go into a command file as it stands.
bool isproper(const alignment& a);

// Whether the rows end where a matrix ends: at the terminator ";" or at the
// end of the file after a whole row. Otherwise a row of another length, or a
// name without a sequence, cut the reading short.
bool endsproperly(const tokenreading& r);

#endif
