#ifndef TOLVI_STRAIGHTFORWARD_H
#define TOLVI_STRAIGHTFORWARD_H

// Plain implementations of the log reader and the jackknife, written the
// obvious way (word-by-word stream extraction, the literal leave-one-out
// loop). The tests hold the fast paths to them bit for bit, and the
// benchmarks measure against them.

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "comparisonrecord.h"
#include "group.h"

namespace straightforward {

void extract(std::istream& log, replicatetable& table, std::ostream& out);

void calc(const std::vector<float> &a, const std::vector<float> &b, float &d, float &ratio, float &sed, float &seratio,
          float &ratiochebyshevlower, float &ratiochebyshevupper, float &ratiozlower, float &ratiozupper,
          float &dchebyshevlower, float &dchebyshevupper, float &dzlower, float &dzupper);

// The bootstrap summary over the rows, with the literal jackknife.
void reducereplicates(replicatetable& table, std::vector<comparisonrecord>& finalrecords);

// The whole command file, written one character at a time: head (with the
// given date text), data block, taxon list, PAUP block opening, the copied
// setting text, the comparison section and `replicatecount` bootstrap replicates drawn
// with the program's generator from its present state.
void commandfile(std::ostream& cd, const std::vector<std::string>& names, const std::vector<std::string>& seqs,
                 const std::vector<group>& groups, const std::string& nex, const std::string& date,
                 const std::string& setting, bool ranking, int replicatecount);

// The table as text: every record's groups and the bits of its branch
// lengths (every NaN alike), for comparing two readings byte for byte.
std::string tabletext(const replicatetable& table);

// The leave-one-out sums alone.
void leaveoneoutsums(const std::vector<float>& x, std::vector<float>& out);

}  // namespace straightforward

#endif
