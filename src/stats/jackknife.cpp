#include "jackknife.h"

#include "leaveoneout.h"

#include <cmath>
#include <cstddef>
#include <string>

void jackknife::calc(const std::vector<float>& a, const std::vector<float>& b, float& d, float& ratio, float& sed,
                     float& seratio, float& ratiochebyshevlower, float& ratiochebyshevupper, float& ratiozlower,
                     float& ratiozupper, float& dchebyshevlower, float& dchebyshevupper, float& dzlower, float& dzupper)
{
    const std::size_t n = a.size();
    float suma = 0.0f;
    for (float x : a)
        suma = suma + x;
    float sumb = 0.0f;
    for (float x : b)
        sumb = sumb + x;

    ratio = suma / sumb;
    const float q = static_cast<float>(n);
    d = static_cast<float>((static_cast<double>(suma) - static_cast<double>(sumb)) / static_cast<double>(q));

    // The leave-one-out sums, each a full pass over the list in order.
    std::vector<float> jsumas(n), jsumbs(n);
    leaveoneoutsums(a.data(), n, jsumas.data());
    leaveoneoutsums(b.data(), n, jsumbs.data());

    float jksumr = 0.0f;
    float jksumd = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        const float jsuma = jsumas[i];
        const float jsumb = jsumbs[i];
        const double rdev = static_cast<double>(jsuma) / static_cast<double>(jsumb) - static_cast<double>(ratio);
        const float jratiodiff = static_cast<float>(rdev * rdev);
        const double ddev = (static_cast<double>(jsuma) - static_cast<double>(jsumb)) / (static_cast<double>(q) - 1.0) -
                            static_cast<double>(d);
        const float jddiff = static_cast<float>(ddev * ddev);
        jksumr = jksumr + jratiodiff;
        jksumd = jksumd + jddiff;
    }

    const double qd = static_cast<double>(q);
    seratio = static_cast<float>(std::sqrt(static_cast<double>(jksumr) * ((qd - 1.0) / qd)));
    sed = static_cast<float>(std::sqrt(static_cast<double>(jksumd) * ((qd - 1.0) / qd)));

    const double s20 = std::sqrt(20.0);
    ratiochebyshevlower = static_cast<float>(static_cast<double>(ratio) - static_cast<double>(seratio) * s20);
    ratiochebyshevupper = static_cast<float>(static_cast<double>(ratio) + static_cast<double>(seratio) * s20);
    ratiozlower = static_cast<float>(static_cast<double>(ratio) - static_cast<double>(seratio) * 1.96);
    ratiozupper = static_cast<float>(static_cast<double>(ratio) + static_cast<double>(seratio) * 1.96);
    dchebyshevlower = static_cast<float>(static_cast<double>(d) - static_cast<double>(sed) * s20);
    dchebyshevupper = static_cast<float>(static_cast<double>(d) + static_cast<double>(sed) * s20);
    dzlower = static_cast<float>(static_cast<double>(d) - static_cast<double>(sed) * 1.96);
    dzupper = static_cast<float>(static_cast<double>(d) + static_cast<double>(sed) * 1.96);
}

void jackknife::computerow(std::vector<comparisonrecord>& row)
{
    for (comparisonrecord& g : row)
        calc(g.brancha, g.branchb, g.d, g.ratio, g.sed, g.seratio, g.ratiochebyshevlower, g.ratiochebyshevupper,
             g.ratiozlower, g.ratiozupper, g.dchebyshevlower, g.dchebyshevupper, g.dzlower, g.dzupper);
}

void sqr(float& x)
{
    x = x * x;
}

namespace {

bool finite(const comparisonrecord& g)
{
    return std::isfinite(g.d) && std::isfinite(g.ratio);
}

// Counts a record whose d or ratio is not finite under its cause.
void countcause(const comparisonrecord& g, leftout& l)
{
    if (g.brancha.empty()) {
        ++l.notriplet;
        return;
    }
    float sumb = 0.0f;
    for (float x : g.branchb)
        sumb = sumb + x;
    if (sumb == 0.0f)
        ++l.zerosum;
    else
        ++l.outofrange;
}

}  // namespace

std::vector<leftout> reducereplicates(replicatetable& table, std::vector<comparisonrecord>& finalrecords)
{
    for (std::vector<comparisonrecord>& row : table) {
        jackknife statistics;
        statistics.computerow(row);
    }
    std::vector<leftout> left;
    if (table.empty()) {
        finalrecords.clear();
        return left;
    }
    finalrecords = table[0];
    const std::size_t nrows = table.size();
    for (std::size_t index = 0; index < finalrecords.size(); ++index) {
        comparisonrecord& record = finalrecords[index];
        leftout l;
        l.comparison = index;
        for (const std::vector<comparisonrecord>& r : table)
            if (!finite(r.at(index)))
                countcause(r.at(index), l);
        const std::size_t used = nrows - static_cast<std::size_t>(l.total());
        if (l.total() > 0)
            left.push_back(l);
        record.replicates = static_cast<int>(used);
        // Without a single finite row every row is used, as if none were left out.
        const bool every = used == 0;
        const float N = static_cast<float>(every ? nrows : used);
        float sumratio = 0.0f;
        float sumd = 0.0f;
        for (const std::vector<comparisonrecord>& r : table) {
            if (!every && !finite(r.at(index)))
                continue;
            sumratio = sumratio + r.at(index).ratio;
            sumd = sumd + r.at(index).d;
        }
        const float meanratio = sumratio / N;
        const float meand = sumd / N;
        record.d = meand;
        record.ratio = meanratio;
        float sumsqrdevratio = 0.0f;
        float sumsqrdevd = 0.0f;
        for (const std::vector<comparisonrecord>& r : table) {
            if (!every && !finite(r.at(index)))
                continue;
            float a = r.at(index).ratio - meanratio;
            float b = r.at(index).d - meand;
            sqr(a);
            sqr(b);
            sumsqrdevratio = sumsqrdevratio + a;
            sumsqrdevd = sumsqrdevd + b;
        }
        const float varratio = sumsqrdevratio / (N - 1.0f);
        const float vard = sumsqrdevd / (N - 1.0f);
        record.seratio = static_cast<float>(std::sqrt(static_cast<double>(varratio)));
        record.sed = static_cast<float>(std::sqrt(static_cast<double>(vard)));
    }
    return left;
}

std::string leftouttext(const leftout& l, const comparisonrecord& g, std::size_t rows)
{
    std::string why;
    auto cause = [&why](int k, const std::string& text) {
        if (k > 0)
            why += (why.empty() ? "" : ", ") + std::to_string(k) + " " + text;
    };
    cause(l.notriplet, "without a usable triplet");
    cause(l.zerosum, "where the branch lengths of " + g.nameb + " sum to zero");
    cause(l.outofrange, "with a sum beyond the range of a float");
    const std::string comparison = g.namea + " versus " + g.nameb + ": ";
    if (g.replicates > 0)
        return comparison + std::to_string(l.total()) + " of " + std::to_string(rows) +
               " bootstrap replicate(s) give no finite d and ratio (" + why +
               "); they are left out, and d, ratio and their standard errors are based on " +
               std::to_string(g.replicates) + ".";
    return comparison + "no bootstrap replicate gives a finite d and ratio (" + why +
           "); the report has no usable values for this comparison.";
}
