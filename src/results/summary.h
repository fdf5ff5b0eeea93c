#ifndef TOLVI_SUMMARY_H
#define TOLVI_SUMMARY_H

#include <cstddef>
#include <string>
#include <vector>

#include "comparisonrecord.h"

// Everything the table and the figure show of one comparison: the report's
// values, and beyond them the p-values, the values of the alignment as read,
// the bootstrap percentiles of the ratio and the jackknife standard errors of
// the alignment as read. Values that cannot be had are NaN.
struct resultrow {
    std::string groupa;
    std::string groupb;  // the reference group in a ranking list
    std::size_t triplets = 0;
    int replicates = 0;
    float d = 0.0f;
    float sed = 0.0f;
    double z = 0.0;
    std::string significance;  // the report's class, e.g. "<0.01" or "insign."
    float ratio = 0.0f;
    float seratio = 0.0f;
    double ratiolower = 0.0;  // mean ratio -/+ 1.96 standard errors, as the report gives them
    double ratioupper = 0.0;
    double p = 0.0;      // two-sided, from the normal distribution
    double pholm = 0.0;  // Holm-adjusted over the run's comparisons
    float dasread = 0.0f;
    float ratioasread = 0.0f;
    double ratiopercentilelow = 0.0;  // 2.5% and 97.5% percentiles of the replicates' ratios
    double ratiopercentilehigh = 0.0;
    float sedjackknife = 0.0f;  // jackknife standard errors over the triplets of the alignment as read
    float seratiojackknife = 0.0f;

    bool significant() const { return pholm < 0.05; }
};

// The rows of a run in the order of the final records: `replicates` is the
// table the final records were reduced from (its rows carry every replicate's
// ratio), `asread` the comparisons of the alignment as read, matched to the
// final records by their group numbers.
std::vector<resultrow> summarize(const std::vector<comparisonrecord>& final, const replicatetable& replicates,
                                 const std::vector<comparisonrecord>& asread);

// The two-sided p-value of a standard normal z.
double twosidedp(double z);

// Holm's step-down adjustment of the p-values; NaN p-values are no tests and
// stay NaN, and count not among the tests.
std::vector<double> holm(const std::vector<double>& p);

// The percentile q (0..1) of the finite values, interpolated linearly between
// the order statistics at (n - 1) q; NaN when there is no finite value.
double percentile(std::vector<float> values, double q);

#endif
