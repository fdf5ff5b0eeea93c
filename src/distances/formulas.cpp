#include "formulas.h"

#include <cmath>

namespace distances {

namespace {

enum { A, C, G, T };

// The pair's proportions of differences: transitions A<->G and C<->T, and
// transversions.
struct proportions {
    double sites = 0.0;
    double purines = 0.0;      // A<->G
    double pyrimidines = 0.0;  // C<->T
    double transversions = 0.0;
    double transitions() const { return purines + pyrimidines; }
    double differences() const { return transitions() + transversions; }
};

proportions proportionsof(const paircounts& pair)
{
    const auto& n = pair.n;
    proportions p;
    p.sites = pair.sites();
    p.purines = (n[A][G] + n[G][A]) / p.sites;
    p.pyrimidines = (n[C][T] + n[T][C]) / p.sites;
    p.transversions = (pair.differences() - (n[A][G] + n[G][A] + n[C][T] + n[T][C])) / p.sites;
    return p;
}

distance value(double v)
{
    return {v + 0.0, undefined::none};  // + 0.0 turns -0.0 into 0.0
}

distance notdefined(undefined why)
{
    return {0.0, why};
}

// Whether x can be the argument of spread: greater than 0 and finite.
bool logarithmic(double x)
{
    return x > 0.0 && std::isfinite(x);
}

// What a formula's argument x (a proportion of sites left unchanged, 1 for
// identical sequences) stands for in substitutions: -log(x) where rates are
// equal, shape * (x^(-1/shape) - 1) where they follow a gamma distribution.
double spread(double x, double shape)
{
    return shape > 0.0 ? shape * (std::pow(x, -1.0 / shape) - 1.0) : -std::log(x);
}

}  // namespace

basefrequencies frequenciesof(const basecounts& counts)
{
    const double total = counts[A] + counts[C] + counts[G] + counts[T];
    if (!(total > 0.0))
        return {0.25, 0.25, 0.25, 0.25};
    return {counts[A] / total, counts[C] / total, counts[G] / total, counts[T] / total};
}

distance uncorrected(const paircounts& pair)
{
    const double sites = pair.sites();
    if (!(sites > 0.0))
        return notdefined(undefined::nodata);
    return value(pair.differences() / sites);
}

distance jukescantor(const paircounts& pair, double shape)
{
    const distance p = uncorrected(pair);
    if (!p.defined())
        return p;
    const double x = 1.0 - 4.0 * p.value / 3.0;
    return logarithmic(x) ? value(0.75 * spread(x, shape)) : notdefined(undefined::argument);
}

distance kimura(const paircounts& pair, double shape)
{
    if (!(pair.sites() > 0.0))
        return notdefined(undefined::nodata);
    const proportions p = proportionsof(pair);
    const double a1 = 1.0 - 2.0 * p.transitions() - p.transversions;
    const double a2 = 1.0 - 2.0 * p.transversions;
    if (!logarithmic(a1) || !logarithmic(a2))
        return notdefined(undefined::argument);
    return value(0.5 * spread(a1, shape) + 0.25 * spread(a2, shape));
}

distance f81(const paircounts& pair, const basefrequencies& freqs, double shape)
{
    const distance p = uncorrected(pair);
    if (!p.defined())
        return p;
    const double e = 1.0 - (freqs[A] * freqs[A] + freqs[C] * freqs[C] + freqs[G] * freqs[G] + freqs[T] * freqs[T]);
    if (!(e > 0.0))
        return notdefined(undefined::frequency);
    const double x = 1.0 - p.value / e;
    return logarithmic(x) ? value(e * spread(x, shape)) : notdefined(undefined::argument);
}

distance f84(const paircounts& pair, const basefrequencies& freqs)
{
    if (!(pair.sites() > 0.0))
        return notdefined(undefined::nodata);
    const double purines = freqs[A] + freqs[G], pyrimidines = freqs[C] + freqs[T];
    if (!(freqs[A] * freqs[G] > 0.0 || freqs[C] * freqs[T] > 0.0) || !(purines * pyrimidines > 0.0))
        return notdefined(undefined::frequency);
    const double a = freqs[A] * freqs[G] / purines + freqs[C] * freqs[T] / pyrimidines;
    const double b = freqs[A] * freqs[G] + freqs[C] * freqs[T];
    const double c = purines * pyrimidines;
    const proportions p = proportionsof(pair);
    const double x1 = 1.0 - p.transitions() / (2.0 * a) - (a - b) * p.transversions / (2.0 * a * c);
    const double x2 = 1.0 - p.transversions / (2.0 * c);
    if (!logarithmic(x1) || !logarithmic(x2))
        return notdefined(undefined::argument);
    return value(-2.0 * a * std::log(x1) + 2.0 * (a - b - c) * std::log(x2));
}

namespace {

// The three arguments of the Tamura-Nei formula and their weights.
struct tamuraneiterms {
    double k1, k2, k3;  // weights
    double w1, w2, w3;  // arguments
};

bool tamuraneiof(const paircounts& pair, const basefrequencies& freqs, tamuraneiterms& t)
{
    const double purines = freqs[A] + freqs[G], pyrimidines = freqs[C] + freqs[T];
    const double ag = freqs[A] * freqs[G], ct = freqs[C] * freqs[T];
    if (!(ag > 0.0) || !(ct > 0.0))
        return false;
    t.k1 = 2.0 * ag / purines;
    t.k2 = 2.0 * ct / pyrimidines;
    t.k3 = 2.0 * (purines * pyrimidines - ag * pyrimidines / purines - ct * purines / pyrimidines);
    const proportions p = proportionsof(pair);
    t.w1 = 1.0 - p.purines / t.k1 - p.transversions / (2.0 * purines);
    t.w2 = 1.0 - p.pyrimidines / t.k2 - p.transversions / (2.0 * pyrimidines);
    t.w3 = 1.0 - p.transversions / (2.0 * purines * pyrimidines);
    return true;
}

}  // namespace

distance tamuranei(const paircounts& pair, const basefrequencies& freqs, double shape)
{
    if (!(pair.sites() > 0.0))
        return notdefined(undefined::nodata);
    tamuraneiterms t{};
    if (!tamuraneiof(pair, freqs, t))
        return notdefined(undefined::frequency);
    if (!logarithmic(t.w1) || !logarithmic(t.w2) || !logarithmic(t.w3))
        return notdefined(undefined::argument);
    return value(t.k1 * spread(t.w1, shape) + t.k2 * spread(t.w2, shape) + t.k3 * spread(t.w3, shape));
}

namespace {

// The determinant of the pair's counts, by expansion into 3x3 minors. The
// counts are whole numbers: in 128-bit integers the determinant is exact,
// so a singular table is told apart from a nearly singular one.
long double determinant(const paircounts& pair)
{
    __int128 n[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            n[i][j] = static_cast<__int128>(pair.n[i][j]);
    auto minor3 = [&n](int skip) {
        int c[3], k = 0;
        for (int j = 0; j < 4; ++j)
            if (j != skip)
                c[k++] = j;
        return n[1][c[0]] * (n[2][c[1]] * n[3][c[2]] - n[2][c[2]] * n[3][c[1]]) -
               n[1][c[1]] * (n[2][c[0]] * n[3][c[2]] - n[2][c[2]] * n[3][c[0]]) +
               n[1][c[2]] * (n[2][c[0]] * n[3][c[1]] - n[2][c[1]] * n[3][c[0]]);
    };
    return static_cast<long double>(n[0][0] * minor3(0) - n[0][1] * minor3(1) + n[0][2] * minor3(2) -
                                    n[0][3] * minor3(3));
}

}  // namespace

distance logdet(const paircounts& pair, const basecounts& first, const basecounts& second)
{
    const double sites = pair.sites();
    if (!(sites > 0.0))
        return notdefined(undefined::nodata);
    const basefrequencies x = frequenciesof(first), y = frequenciesof(second);
    const double product = x[A] * x[C] * x[G] * x[T] * y[A] * y[C] * y[G] * y[T];
    if (!(product > 0.0))
        return notdefined(undefined::frequency);
    // det(counts / sites) = det(counts) / sites^4
    const long double det = determinant(pair);
    if (!(det > 0.0L))
        return notdefined(undefined::argument);
    const long double logdet = std::log(det) - 4.0L * std::log(static_cast<long double>(sites));
    return value(static_cast<double>(-(logdet - 0.5L * std::log(static_cast<long double>(product))) / 4.0L));
}

distance closedform(const model& chosen, const paircounts& pair, const basefrequencies& freqs,
                    const basecounts& first, const basecounts& second)
{
    const double shape = chosen.gamma ? chosen.shape : 0.0;
    switch (chosen.kind) {
    case measure::p: return uncorrected(pair);
    case measure::jc: return jukescantor(pair, shape);
    case measure::k2p: return kimura(pair, shape);
    case measure::f81: return f81(pair, freqs, shape);
    case measure::f84: return f84(pair, freqs);
    case measure::tamnei: return tamuranei(pair, freqs, shape);
    case measure::logdet: return logdet(pair, first, second);
    case measure::ml: break;
    }
    return notdefined(undefined::nodata);
}

}  // namespace distances
