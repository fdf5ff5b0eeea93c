#ifndef TOLVI_DRIVER_H
#define TOLVI_DRIVER_H

#include <istream>
#include <ostream>
#include <string>

#include "comparisonrecord.h"

// One whole run of the dialogue, from the banner to the end. Returns the
// program's exit value: 1 after the direct road and the early ends of the
// construct-first road, 0 after a complete construct-first road, 2 where the
// run stops on input it cannot go on with. `meter`, when given (a terminal on
// standard error), shows progress lines of long log readings and command
// files; the transcript on `out` stays the same.
int tolvi(std::istream& in, std::ostream& out, std::ostream* meter = nullptr);

// The construct-first road, after the first question.
int constructfirst(std::istream& in, std::ostream& out, replicatetable& table, std::ostream* meter = nullptr);

// The evaluation that ends both roads once the log has been read: checks that
// there is something to evaluate, leaves out replicates cut short, reduces the
// table and writes the report named after `reportname`. `direct` selects the
// direct road's behaviour (the success line, and the replicate count taken from
// the log instead of `replicatecount`). Returns 0 when the report was written, else 2.
int evaluate(replicatetable& table, const std::string& logname, bool ranking, std::string& reportname,
             int replicatecount, bool direct, std::ostream& out);

#endif
