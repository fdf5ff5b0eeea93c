#ifndef TOLVI_JACK_H
#define TOLVI_JACK_H

#include <cstddef>
#include <vector>

#include "grcomp.h"

// Rate statistics of one comparison in one replicate: the difference d and the
// ratio of the summed branch lengths, their jackknife standard errors (leaving
// out one triplet at a time) and limits at 1.96 and sqrt(20) standard errors.
// Every stored quantity is a float; sums are rounded after every addition;
// intermediate results within one formula are held in double.
class jack {
public:
    void calc(const std::vector<float>& a, const std::vector<float>& b, float& d, float& ratio, float& sdd,
              float& sdratio, float& chconfu, float& chconfo, float& zconfu, float& zconfo, float& dchconfu,
              float& dchconfo, float& dzconfu, float& dzconfo);
    void itdurchgrup(std::vector<grcomp>& row);
};

// Squares a float in place.
void sqr(float& x);

// Runs the jackknife over every row and reduces the table to one final record
// per comparison: d and ratio become the means over the rows, sdd and sdratio
// their standard deviations. The table must hold at least one row, and no row
// may hold fewer records than the first.
void confint(replicatetable& verglgr, std::vector<grcomp>& finalgrcomp);

// Removes the rows that hold fewer records than the first (a log cut off
// inside a replicate) and returns how many were removed.
std::size_t dropshortrows(replicatetable& verglgr);

#endif
