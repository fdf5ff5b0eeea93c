#ifndef TOLVI_PLAN_H
#define TOLVI_PLAN_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A run's bootstrap replicates split into parts, each a command file of its
// own for a PAUP process of its own.

// Replicates first .. last (numbered from 1).
struct replicaterange {
    int first;
    int last;
};

// `replicates` split into `parts` contiguous ranges in order, as equal as
// possible (the first ones one longer where they cannot all be equal).
std::vector<replicaterange> splitreplicates(int replicates, int parts);

// Which part of which run a part file (and so its log) holds.
struct partlabel {
    int part;
    int parts;
    replicaterange range;
    int replicates;
};

// The comment that heads part `label.part`: PAUP copies it into the log, where
// findpartlabel() reads it back.
std::string partcomment(const partlabel& label);
// The label in the beginning of a log or part file, if there is one.
std::optional<partlabel> findpartlabel(std::string_view text);

// What ends a part: PAUP, run unattended as "paup -n FILE", quits when done.
extern const char* const partending;

// The command that makes PAUP write its log to `logname`: the name in single
// quotes (a quote in it doubled) when it holds anything but letters,
// digits, "_", ".", "-" and "/".
std::string logcommand(const std::string& logname);

// The file names of part `part` of the run named `prefix`.
std::string partfilename(const std::string& prefix, int part);  // prefix.cd.K
std::string partlogname(const std::string& prefix, int part);   // prefix.log.K

// `s` as one word for the shell: as it is where it holds nothing the shell
// reads specially, else in single quotes.
std::string shellword(const std::string& s);

// The SLURM batch script for a job array of the run's parts.
std::string slurmscript(const std::string& prefix, int parts);

// A list of numbers as ranges: "3, 5-9, 12".
std::string numberranges(const std::vector<int>& sorted);

#endif
