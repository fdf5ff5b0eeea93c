#ifndef TOLVI_ENGINE_DISTANCES_H
#define TOLVI_ENGINE_DISTANCES_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bases.h"

// The distance measures tolvi-distances computes.
enum class measure { p, jc };

// How a column is treated where one taxon of the pair has a gap, missing
// data or an ambiguity code:
// - ignore: the column is left out for the pair (pairwise deletion); only
//   columns where both taxa have one of A, C, G, T count;
// - infer: the column counts, spread over the base pairs it may stand for in
//   proportion to how often each of them occurs among the pair's unambiguous
//   columns; columns where both taxa are wholly unknown (gap, "?", N) are
//   still left out, and so is a column for whose base pairs the pair has no
//   unambiguous column at all.
enum class missingmode { ignore, infer };

// The columns a pair of taxa is compared on, and the differences among them.
// Under `infer` both may be fractional.
struct pairsites {
    double sites = 0.0;
    double diffs = 0.0;
};

// Compares two sequences of base sets (bases::bitsof) of equal length.
pairsites comparesites(std::string_view a, std::string_view b, missingmode mode);

struct pairdistance {
    enum kind { defined, nodata, saturated };
    kind state = nodata;
    double value = 0.0;  // the distance where defined
    double p = 0.0;      // the proportion of differences where there are sites
};

// The distance from the compared columns: undefined (nodata) without a single
// column; the Jukes-Cantor distance, -3/4 ln(1 - 4p/3), is undefined
// (saturated) where p >= 0.75, since the logarithm has no finite value there.
pairdistance distance(const pairsites& s, measure m);

// The title line of a distance matrix of the measure.
std::string_view measuretitle(measure m);

// Appends to `out` what ShowDist prints for the shown taxa: first, for every
// pair without a defined distance, a message beginning with the word "No";
// then the title, the number of characters, a blank line, the column numbers
// and one row per shown taxon: its number among the shown rows right-aligned
// in 2 places, a blank, its label left-aligned in a field as wide as the
// longest shown label (an underscore printed as a blank), the distances to
// the rows above, each right-aligned in 9 places with 5 decimals, and "-" on
// the diagonal. An undefined distance is shown as twice the largest defined
// distance of the matrix (0 where there is none).
// `labels` and `taxa` (the taxa's numbers in the data block, 1-based, for the
// messages) are parallel; `lower` holds the distances below the diagonal row
// by row: (2,1), (3,1), (3,2), (4,1), ...
void writedistmatrix(std::string& out, const std::vector<std::string_view>& labels,
                     const std::vector<std::size_t>& taxa, const std::vector<pairdistance>& lower,
                     measure m, std::size_t nchar);

#endif
