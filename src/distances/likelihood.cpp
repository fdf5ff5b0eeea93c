#include "likelihood.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace distances {

double incompletegamma(double shape, double x)
{
    if (!(x > 0.0))
        return 0.0;
    const double logfront = shape * std::log(x) - x - std::lgamma(shape);
    if (x < shape + 1.0) {
        // The series sum x^n / (shape (shape+1) ... (shape+n)).
        double term = 1.0 / shape, sum = term;
        for (int n = 1; n < 10000; ++n) {
            term *= x / (shape + n);
            sum += term;
            if (std::fabs(term) < std::fabs(sum) * 1e-17)
                break;
        }
        return std::min(1.0, sum * std::exp(logfront));
    }
    // The continued fraction of the upper function (modified Lentz).
    const double tiny = 1e-300;
    double b = x + 1.0 - shape, c = 1.0 / tiny, d = 1.0 / b, h = d;
    for (int n = 1; n < 10000; ++n) {
        const double an = -n * (n - shape);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < tiny)
            d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny)
            c = tiny;
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) < 1e-17)
            break;
    }
    return std::max(0.0, 1.0 - std::exp(logfront) * h);
}

namespace {

// The x with P(shape, x) = probability, by bisection on a bracket and
// Newton's steps inside it.
double gammaquantile(double shape, double probability)
{
    double lo = 0.0, hi = std::max(1.0, shape);
    while (incompletegamma(shape, hi) < probability)
        hi *= 2.0;
    double x = 0.5 * (lo + hi);
    for (int i = 0; i < 500; ++i) {
        const double f = incompletegamma(shape, x) - probability;
        if (f < 0.0)
            lo = x;
        else
            hi = x;
        const double density = std::exp((shape - 1.0) * std::log(x) - x - std::lgamma(shape));
        double next = density > 0.0 ? x - f / density : 0.5 * (lo + hi);
        if (!(next > lo && next < hi))
            next = 0.5 * (lo + hi);
        if (std::fabs(next - x) <= 1e-15 * x || hi - lo <= 1e-15 * hi)
            return next;
        x = next;
    }
    return x;
}

}  // namespace

std::vector<double> gammarates(double shape, int categories)
{
    if (categories <= 1)
        return {1.0};
    // Category i holds the probability between the quantiles (i-1)/K and i/K
    // of Gamma(shape, rate shape); its mean rate is K times the share of the
    // mean there, the difference of P(shape + 1, shape * quantile).
    std::vector<double> rates;
    double below = 0.0;
    for (int i = 1; i <= categories; ++i) {
        const double upto = i == categories ? 1.0
                                            : incompletegamma(shape + 1.0, gammaquantile(shape, double(i) / categories));
        rates.push_back((upto - below) * categories);
        below = upto;
    }
    return rates;
}

std::array<double, 6> ratesfor(const model& chosen, const basefrequencies& freqs)
{
    // Which free rate each of AC AG AT CG CT GT takes, for nst = 1, 2, 6.
    static constexpr int symmetry[3][6] = {{0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 1, 0}, {0, 1, 2, 3, 4, 5}};
    std::array<double, 6> free{1, 1, 1, 1, 1, 1};
    int row = 0;
    if (chosen.nst == 2) {
        // PAUP's tratio is the expected ratio of transitions to
        // transversions; the rate ratio kappa follows from the frequencies.
        const double purines = freqs[0] + freqs[2], pyrimidines = freqs[1] + freqs[3];
        const double within = freqs[0] * freqs[2] + freqs[1] * freqs[3];
        free[1] = within > 0.0 ? chosen.tratio * purines * pyrimidines / within : 1.0;
        row = 1;
    } else if (chosen.nst == 6) {
        free = chosen.rates;
        row = 2;
    }
    std::array<double, 6> rates{};
    for (int r = 0; r < 6; ++r)
        rates[static_cast<std::size_t>(r)] = free[static_cast<std::size_t>(symmetry[row][r])];
    return rates;
}

minimum brentminimum(const std::function<double(double)>& f, double lower, double upper, double tolerance)
{
    const double golden = 0.3819660112501051;
    double a = lower, b = upper;
    double x = a + golden * (b - a), w = x, v = x;
    double fx = f(x), fw = fx, fv = fx;
    double d = 0.0, e = 0.0;
    for (int iteration = 0; iteration < 200; ++iteration) {
        const double middle = 0.5 * (a + b);
        const double tol1 = 1e-10 * std::fabs(x) + tolerance / 3.0, tol2 = 2.0 * tol1;
        if (std::fabs(x - middle) <= tol2 - 0.5 * (b - a))
            break;
        bool parabolic = false;
        if (std::fabs(e) > tol1) {
            double r = (x - w) * (fx - fv);
            double q = (x - v) * (fx - fw);
            double p = (x - v) * q - (x - w) * r;
            q = 2.0 * (q - r);
            if (q > 0.0)
                p = -p;
            q = std::fabs(q);
            const double last = e;
            e = d;
            if (std::fabs(p) < std::fabs(0.5 * q * last) && p > q * (a - x) && p < q * (b - x)) {
                d = p / q;
                const double u = x + d;
                if (u - a < tol2 || b - u < tol2)
                    d = x < middle ? tol1 : -tol1;
                parabolic = true;
            }
        }
        if (!parabolic) {
            e = (x < middle ? b : a) - x;
            d = golden * e;
        }
        const double u = std::fabs(d) >= tol1 ? x + d : x + (d > 0.0 ? tol1 : -tol1);
        const double fu = f(u);
        if (fu <= fx) {
            (u < x ? b : a) = x;
            v = w, fv = fw;
            w = x, fw = fx;
            x = u, fx = fu;
        } else {
            (u < x ? a : b) = u;
            if (fu <= fw || w == x) {
                v = w, fv = fw;
                w = u, fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u, fv = fu;
            }
        }
    }
    // The ends themselves: a likelihood that only grows, or only falls, has
    // its optimum there.
    const double flower = f(lower), fupper = f(upper);
    if (flower <= fx)
        return {lower, flower};
    if (fupper <= fx)
        return {upper, fupper};
    return {x, fx};
}

namespace {

// The eigenvalues and eigenvectors (columns of `vectors`) of a symmetric
// 4x4 matrix, by Jacobi rotations.
void symmetriceigen(std::array<std::array<double, 4>, 4> m, std::array<double, 4>& values,
                    std::array<std::array<double, 4>, 4>& vectors)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            vectors[i][j] = i == j ? 1.0 : 0.0;
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0.0;
        for (int i = 0; i < 4; ++i)
            for (int j = i + 1; j < 4; ++j)
                off += m[i][j] * m[i][j];
        if (off < 1e-300)
            break;
        for (int p = 0; p < 4; ++p)
            for (int q = p + 1; q < 4; ++q) {
                if (m[p][q] == 0.0)
                    continue;
                const double theta = (m[q][q] - m[p][p]) / (2.0 * m[p][q]);
                const double t = (theta >= 0.0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1.0));
                const double c = 1.0 / std::sqrt(t * t + 1.0), s = t * c;
                for (int k = 0; k < 4; ++k) {
                    const double mkp = m[k][p], mkq = m[k][q];
                    m[k][p] = c * mkp - s * mkq;
                    m[k][q] = s * mkp + c * mkq;
                }
                for (int k = 0; k < 4; ++k) {
                    const double mpk = m[p][k], mqk = m[q][k];
                    m[p][k] = c * mpk - s * mqk;
                    m[q][k] = s * mpk + c * mqk;
                }
                for (int k = 0; k < 4; ++k) {
                    const double vkp = vectors[k][p], vkq = vectors[k][q];
                    vectors[k][p] = c * vkp - s * vkq;
                    vectors[k][q] = s * vkp + c * vkq;
                }
            }
    }
    for (int i = 0; i < 4; ++i)
        values[i] = m[i][i];
}

}  // namespace

pairlikelihood::pairlikelihood(const model& chosen, const basefrequencies& freqs)
    : categories_(chosen.gamma ? gammarates(chosen.shape, chosen.ncat) : std::vector<double>{1.0})
{
    for (double f : freqs)
        if (!(f > 0.0))
            valid_ = false;
    if (!valid_)
        return;
    // Q_ij = rate_ij pi_j, scaled to one expected substitution per unit;
    // S = D^1/2 Q D^-1/2 is symmetric with the same eigenvalues.
    const std::array<double, 6> rates = ratesfor(chosen, freqs);
    static constexpr int index[4][4] = {{-1, 0, 1, 2}, {0, -1, 3, 4}, {1, 3, -1, 5}, {2, 4, 5, -1}};
    std::array<std::array<double, 4>, 4> q{};
    double scale = 0.0;
    for (int i = 0; i < 4; ++i) {
        double row = 0.0;
        for (int j = 0; j < 4; ++j)
            if (i != j) {
                q[i][j] = rates[static_cast<std::size_t>(index[i][j])] * freqs[static_cast<std::size_t>(j)];
                row += q[i][j];
            }
        q[i][i] = -row;
        scale += freqs[static_cast<std::size_t>(i)] * row;
    }
    std::array<std::array<double, 4>, 4> s{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            s[i][j] = q[i][j] / scale * std::sqrt(freqs[static_cast<std::size_t>(i)] / freqs[static_cast<std::size_t>(j)]);
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            s[i][j] = s[j][i] = 0.5 * (s[i][j] + s[j][i]);
    std::array<std::array<double, 4>, 4> v{};
    symmetriceigen(s, eigenvalues_, v);
    // pi_i P_ij(t) = sqrt(pi_i pi_j) sum_k v_ik v_jk e^{lambda_k t}
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                terms_[i][j][k] = std::sqrt(freqs[static_cast<std::size_t>(i)] * freqs[static_cast<std::size_t>(j)]) *
                                  v[i][k] * v[j][k];
}

double pairlikelihood::loglikelihood(const paircounts& pair, double length) const
{
    std::array<double, 4> decay{};
    for (int k = 0; k < 4; ++k) {
        double mean = 0.0;
        for (double rate : categories_)
            mean += std::exp(eigenvalues_[k] * rate * length);
        decay[k] = mean / static_cast<double>(categories_.size());
    }
    // The model is reversible: i->j and j->i have one probability.
    double sum = 0.0;
    for (int i = 0; i < 4; ++i)
        for (int j = i; j < 4; ++j) {
            const double count = i == j ? pair.n[i][i] : pair.n[i][j] + pair.n[j][i];
            if (count == 0.0)
                continue;
            double p = 0.0;
            for (int k = 0; k < 4; ++k)
                p += terms_[i][j][k] * decay[k];
            if (!(p > 0.0))
                return -std::numeric_limits<double>::infinity();
            sum += count * std::log(p);
        }
    return sum;
}

distance pairlikelihood::fit(const paircounts& pair) const
{
    if (!(pair.sites() > 0.0))
        return {0.0, undefined::nodata};
    if (!valid_)
        return {0.0, undefined::frequency};
    if (pair.differences() == 0.0)
        return {0.0, undefined::none};
    const auto f = [&](double t) { return -loglikelihood(pair, t); };
    // A bracket around the optimum first, from the distance under equal
    // rates among sites, widened by doubling while the likelihood still
    // grows at its ends; Brent's method then works inside it.
    const double p = pair.differences() / pair.sites();
    double guess = p < 0.75 ? -0.75 * std::log(1.0 - p / 0.75) : 0.5 * mlupperbound;
    guess = std::clamp(guess, 1e-6, 0.5 * mlupperbound);
    double lower = 0.5 * guess, middle = guess, upper = std::min(mlupperbound, 2.0 * guess);
    double fmiddle = f(middle), fupper = f(upper);
    while (fupper <= fmiddle && upper < mlupperbound) {
        lower = middle;
        middle = upper, fmiddle = fupper;
        upper = std::min(mlupperbound, 2.0 * upper);
        fupper = f(upper);
    }
    while (lower > 1e-8 && f(lower) <= fmiddle) {
        upper = middle;
        middle = lower, fmiddle = f(lower);
        lower *= 0.5;
    }
    if (lower <= 1e-8)
        lower = 0.0;
    const minimum best = brentminimum(f, lower, upper, 1e-9);
    if (best.at >= mlupperbound * (1.0 - 1e-9))
        return {0.0, undefined::bound};
    return {best.at + 0.0, undefined::none};
}

}  // namespace distances
