#ifndef TOLVI_ENGINE_ENGINE_H
#define TOLVI_ENGINE_ENGINE_H

#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "cmdreader.h"
#include "logwriter.h"

// tolvi-distances: carries out a command file written by Tolvi the way PAUP
// does as far as Tolvi depends on it, and writes the log PAUP would write,
// with the distance models of src/distances. It is not PAUP: it knows the
// commands Tolvi writes and the distance settings listed below, and refuses
// every other command rather than compute a distance under another model.
//
// What it does with the file:
// - "#NEXUS" must be the first word.
// - "log file=NAME [replace=yes|append=yes];" starts a new log NAME (see
//   logopener; NAME may be quoted, 'my data.log', a quote inside doubled)
//   with a banner at its top; "log stop;" ends logging. Output made while no
//   log is open goes to the screen. A log is opened when it first receives a
//   distance matrix (or when it ends): a command file refused before that
//   leaves no log behind.
// - The text of every "[!...]" comment is printed as written, followed by a
//   line end.
// - "begin data;" ... "end;": dimensions (ntax, nchar), format (datatype
//   DNA, gap and missing symbols) and a matrix with one "name sequence" row
//   per taxon, the sequence one word of exactly nchar symbols. At its "end;"
//   the block replaces the current data, every taxon becomes active again,
//   and a short "Data read in DNA format" note is printed.
// - "delete ...;" and "restore ...;" make taxa inactive and active again:
//   "all", taxon numbers (1-based, in data-block order), ranges "a-b" and
//   taxon names.
// - "ShowDist;" prints the distance matrix of the active taxa in data-block
//   order (see matrixwriter).
// - "dset" and "lset" choose the distances (distances::setoption lists the
//   options); "factory;" restores their initial values.
// - "begin paup;", "end;", "set" with options that change no distance,
//   "usertree" and "quit" are accepted and change nothing.
// A malformed command file stops it with an engineerror naming the line; a
// command or setting it does not carry out with a refusal.

// How a log is to be opened: replacing an existing file, appending to it,
// or only when there is no such file yet.
enum class logmode { replace, append, fresh };

// Opens the log named by a "log" command and returns the stream to write it
// to, or nullptr with the reason in `why`. The stream belongs to the opener
// and must stay valid until the next call or the end of the run.
using logopener = std::function<std::ostream*(const std::string& name, logmode mode, std::string& why)>;

struct enginerun {
    long datablocks = 0;  // data blocks read
    long matrices = 0;    // distance matrices printed
    std::string log;      // the name of the last log opened, empty if none
};

// Carries out the command file read from `commands`. `when` is the date and
// time shown in the banner of a log. Throws engineerror on a malformed
// command file (with the line where the trouble is) and when a log cannot be
// opened or written, refusal on what it does not carry out.
enginerun runcommands(std::istream& commands, const logopener& openlog, std::ostream& screen,
                      const std::string& when);

#endif
