#ifndef TOLVI_DISTANCES_MATRIX_H
#define TOLVI_DISTANCES_MATRIX_H

#include <cstddef>
#include <functional>
#include <vector>

#include "counts.h"
#include "formulas.h"
#include "likelihood.h"
#include "model.h"

namespace distances {

// The frequencies a matrix of the taxa is computed with: the unambiguous
// bases of the taxa themselves (empirical), a quarter each, or the given.
basefrequencies matrixfrequencies(const model& chosen, const std::vector<const slicedsequence*>& taxa);

// Whether a pair's distance under the model is the same whatever other taxa
// are shown with it (it is not where the model takes the shown taxa's
// empirical frequencies).
bool paironly(const model& chosen);

// One pair's distance: the closed form, or with `likelihood` the maximum-
// likelihood distance.
distance pairdistance(const model& chosen, const paircounts& pair, const basefrequencies& freqs,
                      const basecounts& first, const basecounts& second, const pairlikelihood* likelihood);

// The distances among the taxa of one matrix, below the diagonal row by row:
// (2,1), (3,1), (3,2), (4,1), ... `pairs(i, j)` gives the counts of taxa i
// and j (i < j, numbered as in `taxa`); `likelihood`, for ml, the model's
// likelihood with the matrix's frequencies.
void matrixdistances(const model& chosen, const std::vector<const slicedsequence*>& taxa,
                     const std::function<const paircounts&(std::size_t, std::size_t)>& pairs,
                     const pairlikelihood* likelihood, std::vector<distance>& lower);

}  // namespace distances

#endif
