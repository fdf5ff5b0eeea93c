#ifndef TOLVI_ENGINE_ENGINE_H
#define TOLVI_ENGINE_ENGINE_H

#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "cmdreader.h"
#include "distances.h"

// tolvi-distances: carries out a command file written by Tolvi the way PAUP
// does as far as Tolvi depends on it, and writes the log PAUP would write.
// It is a stand-in for tests and examples, not PAUP: it knows the commands
// Tolvi writes, accepts and ignores every other one, and computes only
// uncorrected ("p") and Jukes-Cantor distances.
//
// What it does with the file:
// - "#NEXUS" must be the first word.
// - "log file=NAME [replace=yes|append=yes];" starts a new log NAME (see
//   logopener) and writes a banner at its top; "log stop;" ends logging.
//   Output made while no log is open goes to the screen.
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
//   order (see writedistmatrix).
// - "dset" and "lset" choose the distance measure: "dset distance=p" gives
//   uncorrected p; "dset distance=jc", or "lset nst=1 basefreq=equal" (with
//   equal rates and no invariable sites) alone or with "dset distance=ml",
//   give Jukes-Cantor; a setting that names any other model gives a note and
//   uncorrected p. "dset missdist=infer|ignore" chooses the treatment of
//   gaps, missing data and ambiguity codes (missingmode; ignore unless set).
//   "factory;" restores these defaults.
// - Everything else (set, usertree, begin/end of other blocks, ...) is
//   accepted and ignored.
// Anything it cannot carry out stops it with a engineerror.

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
// opened or written.
enginerun runcommands(std::istream& commands, const logopener& openlog, std::ostream& screen,
                       const std::string& when);

// The banner at the top of every log.
std::string banner(const std::string& when);

#endif
