#ifndef TOLVI_DISTANCES_FORMULAS_H
#define TOLVI_DISTANCES_FORMULAS_H

#include <array>

#include "counts.h"
#include "model.h"

// The closed-form distances, one function per model, each of the pair's
// counts (and where the model needs them the base frequencies); `shape` is
// the shape of the gamma distribution of rates over sites, 0 for equal
// rates. A distance the formula cannot give is undefined, with the reason.
namespace distances {

enum class undefined {
    none,
    nodata,     // the pair shares no column
    argument,   // the argument of a logarithm or power is 0 or less (saturation)
    frequency,  // a base frequency the formula divides by is 0
    bound,      // the likelihood is highest at the upper bound of the distance
    unknown,    // not computed yet (for tables of distances)
};

struct distance {
    double value = 0.0;
    undefined why = undefined::none;
    bool defined() const { return why == undefined::none; }
};

// Frequencies of A, C, G, T, summing to 1.
using basefrequencies = std::array<double, 4>;

// The frequencies of the bases counted (unambiguous bases only), or a
// quarter each where none was.
basefrequencies frequenciesof(const basecounts& counts);

distance uncorrected(const paircounts& pair);
distance jukescantor(const paircounts& pair, double shape = 0.0);
distance kimura(const paircounts& pair, double shape = 0.0);
distance f81(const paircounts& pair, const basefrequencies& freqs, double shape = 0.0);
distance f84(const paircounts& pair, const basefrequencies& freqs);
distance tamuranei(const paircounts& pair, const basefrequencies& freqs, double shape = 0.0);
// The paralinear distance: the determinant of the pair's proportions against
// each taxon's own base proportions over its unambiguous bases.
distance logdet(const paircounts& pair, const basecounts& first, const basecounts& second);

// The closed-form distance the model asks for (not ml).
distance closedform(const model& chosen, const paircounts& pair, const basefrequencies& freqs,
                    const basecounts& first, const basecounts& second);

}  // namespace distances

#endif
