#ifndef TOLVI_DISTANCES_LIKELIHOOD_H
#define TOLVI_DISTANCES_LIKELIHOOD_H

#include <array>
#include <functional>
#include <vector>

#include "counts.h"
#include "formulas.h"
#include "model.h"

// Maximum-likelihood distances with given parameters: the distance of a pair
// is the branch length (expected substitutions per site) that maximises the
// likelihood of its 4x4 pattern counts under a time-reversible model with the
// given relative rates and base frequencies, optionally with discrete
// gamma-distributed rates (categories of equal probability, each at its
// mean rate).
namespace distances {

// The largest distance the optimiser considers, 10 expected substitutions
// per site (phangorn's bound as well). A likelihood that is highest there (as
// it is wherever the pair is saturated, since the likelihood then grows
// towards an infinite distance, and where it is too flat to place an optimum
// beyond) gives an undefined distance.
constexpr double mlupperbound = 10.0;

// The mean rates of `categories` gamma categories of equal probability for
// a gamma distribution of mean 1 and the shape given.
std::vector<double> gammarates(double shape, int categories);

// The lower regularised incomplete gamma function P(shape, x).
double incompletegamma(double shape, double x);

// The relative rates AC AG AT CG CT GT of an nst=1, 2 or 6 model: one row of
// a table that maps each rate to one of the model's free rates.
std::array<double, 6> ratesfor(const model& chosen, const basefrequencies& freqs);

// The point in [lower, upper] where `f` is least, by Brent's method (golden
// section and parabolic steps), to within `tolerance`.
struct minimum {
    double at = 0.0;
    double value = 0.0;
};
minimum brentminimum(const std::function<double(double)>& f, double lower, double upper, double tolerance);

// One model's likelihood for many pairs: the eigen-decomposition of its rate
// matrix made once, then a distance per pair.
class pairlikelihood {
public:
    pairlikelihood(const model& chosen, const basefrequencies& freqs);

    distance fit(const paircounts& pair) const;
    // The log likelihood of the pair at the distance.
    double loglikelihood(const paircounts& pair, double length) const;

private:
    std::array<double, 4> eigenvalues_{};
    std::array<std::array<std::array<double, 4>, 4>, 4> terms_{};  // [i][j][k]: pi_i P_ij(t) = sum_k terms e^{l_k t}
    std::vector<double> categories_;
    bool valid_ = true;
};

}  // namespace distances

#endif
