#ifndef TOLVI_JACKKNIFE_H
#define TOLVI_JACKKNIFE_H

#include <cstddef>
#include <string>
#include <vector>

#include "comparisonrecord.h"

// Rate statistics of one comparison in one replicate: the difference d and the
// ratio of the summed branch lengths, their jackknife standard errors (leaving
// out one triplet at a time) and limits at 1.96 and sqrt(20) standard errors.
// Every stored quantity is a float; sums are rounded after every addition;
// intermediate results within one formula are held in double.
// `a` and `b` are the branch lengths of groups A and B, one per triplet.
class jackknife {
public:
    void calc(const std::vector<float>& a, const std::vector<float>& b, float& d, float& ratio, float& sed,
              float& seratio, float& ratiochebyshevlower, float& ratiochebyshevupper, float& ratiozlower,
              float& ratiozupper, float& dchebyshevlower, float& dchebyshevupper, float& dzlower, float& dzupper);
    // The statistics of every record of one replicate's row.
    void computerow(std::vector<comparisonrecord>& row);
};

// Squares a float in place.
void sqr(float& x);

// The replicates of one comparison whose d or ratio is not a finite number,
// by cause.
struct leftout {
    std::size_t comparison = 0;  // index of the final record
    int notriplet = 0;           // no usable triplet was read
    int zerosum = 0;             // the group-B branch lengths sum to zero
    int outofrange = 0;          // a sum beyond the range of a float
    int total() const { return notriplet + zerosum + outofrange; }
};

// Runs the jackknife over every row and reduces the table to one final record
// per comparison: d and ratio become the means over the rows, sed and seratio
// their standard deviations, `replicates` the number of rows used. A row whose
// d or ratio of the comparison is not finite is left out of that comparison;
// when no row is finite, all are used (and the values are not finite either)
// and `replicates` is 0. Returns the comparisons with rows left out. The table
// must hold at least one row, and no row may hold fewer records than the first.
std::vector<leftout> reducereplicates(replicatetable& table, std::vector<comparisonrecord>& finalrecords);

// What was left out of one comparison, and why, as one sentence.
std::string leftouttext(const leftout& left, const comparisonrecord& finalrecord, std::size_t rows);

#endif
