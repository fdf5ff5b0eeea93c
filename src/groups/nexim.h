#ifndef TOLVI_NEXIM_H
#define TOLVI_NEXIM_H

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// Asks for the NEXUS data file, sets `einl` to the name typed and reads the
// matrix: every token up to the first one containing "MATRIX" is skipped, then
// name and sequence tokens are read in pairs until a sequence of another length
// than the first one (the matrix's end) or the end of the file. Names get "|"
// for every "_". Returns the file name when the file was opened, an empty
// string when it could not be opened, and nothing when standard input ended
// before a name was typed or the name holds a zero character (the message has
// been printed then).
std::optional<std::string> nexim(std::vector<std::string>& name, std::vector<std::string>& sequence,
                                 std::string& einl, std::istream& in, std::ostream& out);

// Turns every "_" of `str` into "|".
void replace(std::string& str);

#endif
