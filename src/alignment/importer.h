#ifndef TOLVI_IMPORTER_H
#define TOLVI_IMPORTER_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "alignment.h"

// Why a data file cannot be read: a value the dialogue words in its own way
// (dialoguetext) and the sub-commands in theirs (plaintext).
struct datafault {
    enum class frame {
        cannotread,    // the file is in a format Tolvi knows, and not right in it
        noformat,      // no format Tolvi knows, and no MATRIX
        noalignment,   // no format Tolvi knows, and no alignment after MATRIX
        nomatrix,      // a format Tolvi knows, without a character matrix
        names,         // the alignment is read; some names cannot be used
    };
    frame kind = frame::cannotread;
    std::string format;  // "NEXUS", "FASTA", "PHYLIP", ...; empty where unknown
    long line = -1;      // counted from 1; -1 where no line tells
    std::string reason;  // plain words, naming the taxa concerned
    std::string begins;  // the file's first line, for the frames without a format
};

// An alignment as read from a data file, with what the reading found.
struct datareading {
    alignment data;              // as the command file takes it: excluded columns left out
    std::string format;          // "NEXUS", "FASTA", "sequential PHYLIP", ... ; "" where no format was recognised
    bool library = false;        // the NEXUS Class Library's reading differs from the word-by-word one and is taken
    bool standin = false;        // the library cannot read the file; the word-by-word reading stands in
    std::size_t characters = 0;  // of the file's matrix, excluded ones included
    std::size_t excluded = 0;    // left out by the default exclusion set
    std::vector<int> excludedcolumns;  // which, counted from 1
    std::string exclusionset;    // its name
    bool ranout = false;         // the word-by-word reading ran out of words ("Error reading data.")
    std::vector<std::string> notes;  // what the console says of the reading, one line each
    std::optional<datafault> fault;  // set when the file cannot be used
};

// Reads the alignment of a data file's text. The NEXUS Class Library's
// reading is the authority; the word-by-word reading of the name and
// sequence pairs after MATRIX keeps its bytes where it gives the same, and
// stands in where the library fails only when it gives every row the file
// declares, whole, in DNA symbols. A UTF-8 byte order mark is skipped.
datareading readalignment(std::string text);

// How the reading is named in a summary: "NEXUS, read by the NEXUS Class Library".
std::string readingname(const datareading& r);

// The dialogue's sentence for a fault (without its ": Tolvi stops.").
std::string dialoguetext(const datafault& fault, const std::string& filename);

// The sub-commands' message: "FILE:LINE: reason" (no line where none tells).
std::string plaintext(const datafault& fault, const std::string& filename);

// Reads the data file open as `file` for the dialogue and prints what the
// reading found: the notes, "Error reading data." where the word-by-word
// reading ran out of words, and the count line. Returns nothing after a
// message naming what cannot be read (Tolvi stops).
std::optional<datareading> importalignment(const std::string& filename, std::istream& file, std::ostream& out);

// The UTF-8 byte order mark some editors put at the start of a text file.
void skipbyteordermark(std::string& text);

#endif
