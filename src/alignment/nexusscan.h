#ifndef TOLVI_NEXUSSCAN_H
#define TOLVI_NEXUSSCAN_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A light reading of NEXUS text, for what the NEXUS Class Library does not
// say: where a matrix it refuses goes wrong, and which commands of the file
// Tolvi's own data block leaves out.

struct nexusword {
    std::string text;
    long line;     // counted from 1
    bool quoted;   // written in single quotes
};

// The words of the text: blanks separate them, ";" and "=" stand alone,
// [comments] are dropped, a 'quoted word' is one word ('' in it a quote).
std::vector<nexusword> nexuswords(std::string_view text);

// What is wrong with the rows of the file's first character matrix, read as
// the file's DIMENSIONS and FORMAT describe it: a row of another length than
// NCHAR (the taxon, its length and the line), or another number of rows than
// NTAX. Nothing where the rows fit.
struct matrixfault {
    long line;           // where the fault shows, -1 where no line does
    std::string reason;  // plain words
};
std::optional<matrixfault> matrixrowfault(const std::vector<nexusword>& words);

// The lines the matrix spans (first, last), where the file has one.
std::optional<std::pair<long, long>> matrixlines(const std::vector<nexusword>& words);

// Commands that change what PAUP analyses but that Tolvi's data block does
// not carry: exclude, delete, outgroup and set in a PAUP block, a default
// weight set (WTSET *) and a default character type set (TYPESET *). Each
// as "WTSET * (line 7)".
std::vector<std::string> commandsleftout(const std::vector<nexusword>& words);

#endif
