#ifndef TOLVI_IMPORTER_H
#define TOLVI_IMPORTER_H

#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "alignment.h"

// Reads the alignment of the data file `filename`, open as `file`, and prints
// what the reading found: "Error reading data." where the word-by-word reading
// ran out of words, a note where the NEXUS Class Library's reading is used
// instead of it, and the count line. A file the word-by-word reading takes
// as the library does keeps that reading byte for byte; a file only the
// word-by-word reading takes keeps it when it is a proper alignment. Returns
// nothing after a message naming what cannot be read (Tolvi stops).
std::optional<alignment> importalignment(const std::string& filename, std::istream& file, std::ostream& out);

// The first name that cannot stand as one word in PAUP's data block, or that
// two taxa share: a message, or empty when every name is fine.
std::string namefault(const alignment& a);

#endif
