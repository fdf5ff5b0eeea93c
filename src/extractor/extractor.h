#ifndef TOLVI_EXTRACTOR_H
#define TOLVI_EXTRACTOR_H

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "comparisonrecord.h"
#include "wordreader.h"

// Why a log's reading stopped before its end marker, other than the log's end.
enum class logfault { none, badnumber, readerror };

// Reads a PAUP log once, from start to end, into the replicate table: one row
// per bootstrap replicate block, one record per comparison block in it, and in
// each record the branch lengths of every triplet distance matrix. The section
// written for the unresampled data (before the first replicate marker) is
// skipped. Progress and warnings go to `out`.
class extractor {
public:
    // An extractor that has read nothing (for readasread).
    extractor() = default;
    // Opens the log by name; a log that cannot be opened leaves the table as it
    // was. `meter`, when given, gets a progress line (percent of the file read).
    extractor(std::string& logname, replicatetable& table, std::ostream& out, std::ostream* meter = nullptr);
    // Reads an already open log (through a buffer of the given size, read
    // ahead on a second thread with `prefetch`).
    extractor(std::istream& log, replicatetable& table, std::ostream& out, std::size_t buffersize = 1 << 18,
              bool prefetch = false);

    // What the reading found besides the table, for the callers to decide by
    // (the console text is the dialogue's, and nothing is read back from it):
    // the number of each row's bootstrap replicate as the log gives it;
    bool opened = false;
    std::vector<int> replicates;
    // whether the log reached its end marker ("bootstrap_end");
    bool ended = false;
    // whether the last row stops before its replicate's end marker: the log
    // ends (or the reading stops) inside that replicate;
    bool lastcut = false;
    // why the reading stopped before the end marker, other than the log's end;
    logfault fault = logfault::none;
    std::string badword;  // the word that stood where a number belongs
    // and, for a log opened by name, its size and SHA-256 (of the whole file,
    // computed on the read-ahead thread; empty after a read error).
    std::uint64_t size = 0;
    std::string sha256;

    // The replicates up to the end marker, one row each; the comparisons of
    // one replicate (true when its end marker was read); the triplets of one
    // comparison, into `record` (true when the comparison's end was read).
    void readreplicates(wordreader& logfile, replicatetable& table, std::ostream& out);
    bool readcomparisons(wordreader& logfile, std::vector<comparisonrecord>& replicaterow, std::ostream& out);
    bool readtriplets(wordreader& logfile, int numbera, int numberb, comparisonrecord& record, std::ostream& out);

private:
    void notefault(const wordreader& logfile);
};

// The comparisons of the section written for the alignment as read (before
// the first replicate marker, which the replicate table leaves out), each with
// its triplets read as a replicate's are. A comparison cut short by the end of
// the log, or by a word where a number belongs, comes back without triplets.
// Nothing is written to the console; a log that cannot be opened gives no
// comparison.
std::vector<comparisonrecord> readasread(std::istream& log);
std::vector<comparisonrecord> readasread(const std::string& logname);

// The warning for a comparison that met an undefined distance ("No ..." in the log).
void undefinedwarning(int numbera, int numberb, std::ostream& out);

// How the reading past an undefined-distance message ("No data for comparing
// taxa x and y. Distance is undefined.", the taxa by number or by label) ended:
// at its last word "undefined.", at a "###end" (a "No" of some other text, with
// no such end before the comparison ends), at the end of the log, or at a read
// error. The two taxa the message names are added to `taxa` when given.
enum class messageend { read, comparisonend, logend, stop };
messageend skipmessage(wordreader& logfile, std::vector<std::string>* taxa = nullptr);

// The group mark of group `g`: "$" and the number in decimal.
std::string groupmark(int g);

// Whether `label` carries `mark`: the label is read from its first character as
// a sequence of marks, each "$", an optional "-" and all the digits that follow;
// the sequence ends at the first character that does not continue it.
bool hasmark(std::string_view label, std::string_view mark);

// The distances of one triplet matrix assigned to the roles of the comparison:
// `k1`, `k2`, `k3` are the distances between the rows (1,2), (1,3) and (2,3).
// C is the outgroup taxon.
struct tripletroles {
    float distab;  // between the group-A and the group-B taxon
    float distac;  // between the group-A taxon and the outgroup taxon
    float distbc;  // between the group-B taxon and the outgroup taxon
};
tripletroles assignroles(std::string_view tax1, std::string_view tax2, std::string_view tax3,
                         std::string_view marka, std::string_view markb, float k1, float k2, float k3);

#endif
