#ifndef TOLVI_DATAFILE_H
#define TOLVI_DATAFILE_H

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>


#include "importer.h"

// Asks for the data file, sets `filename` to the name typed and reads its
// alignment into `read` (importalignment). Returns the file name when the
// file was opened and read, an empty string when it could not be opened, and
// nothing when standard input ended before a name was typed, the name holds a
// zero character or the file holds no alignment that can be read (the
// message has been printed then).
std::optional<std::string> readdatafile(datareading& read, std::string& filename, std::istream& in,
                                        std::ostream& out);

#endif
