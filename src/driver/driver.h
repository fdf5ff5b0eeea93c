#ifndef TOLVI_DRIVER_H
#define TOLVI_DRIVER_H

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "comparisonrecord.h"
#include "extractor.h"
#include "logcheck.h"
#include "runrecord.h"

// One whole run of the dialogue, from the banner to the end. Returns the
// program's exit value: 1 after the direct road and the early ends of the
// construct-first road, 0 after a complete construct-first road, 2 where the
// run stops on input it cannot go on with. `meter`, when given (a terminal on
// standard error), shows progress lines of long log readings and command
// files; the transcript on `out` stays the same.
int tolvi(std::istream& in, std::ostream& out, std::ostream* meter = nullptr);

// The construct-first road, after the first question.
int constructfirst(std::istream& in, std::ostream& out, runrecord& record, std::ostream* meter = nullptr);

// What the evaluation is asked for.
struct evaluation {
    std::string logname;     // the log that holds the section of the alignment as read
    std::string reportname;  // the report is NAME.ma, beside it NAME.ma.tsv, .svg and .json
    bool ranking = false;
    // The dialogue's direct road: the success line, and the log must fit the report asked for.
    bool direct = false;
    // The construct-first road: the comparisons the command file asks for.
    std::optional<std::vector<comparisonid>> written;
    // A sub-command's name: its messages go to `err`, one line each that
    // begins with it; the dialogue's go to `out`, in its own words.
    const char* who = nullptr;
};

// The evaluation that ends both roads and `tolvi evaluate` once the log has
// been read: leaves out a replicate the log ends inside and replicates cut
// short, checks that there is something to evaluate that fits the report,
// reduces the table, writes the report and, beside it, the table, the figure
// and the run record `record` (filled in further here). `reading` tells the
// rows' replicate numbers and how the reading ended. Returns 0 when the report
// was written, else 2.
int evaluate(replicatetable& table, const extractor& reading, const evaluation& how, runrecord& record,
             std::ostream& out, std::ostream& err);

#endif
