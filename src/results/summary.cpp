#include "summary.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "export.h"
#include "jackknife.h"

namespace {

constexpr double notanumber = std::numeric_limits<double>::quiet_NaN();
constexpr float notanumberf = std::numeric_limits<float>::quiet_NaN();

// The class as the report words it, without the blank and brackets around it.
std::string classword(const comparisonrecord& g)
{
    std::string s = significance(g);
    return s.substr(2, s.size() - 3);
}

// d, ratio and their jackknife standard errors of the alignment as read.
void asreadvalues(const comparisonrecord* g, resultrow& r)
{
    r.dasread = r.ratioasread = r.sedjackknife = r.seratiojackknife = notanumberf;
    if (!g || g->brancha.empty() || g->brancha.size() != g->branchb.size())
        return;
    float d, ratio, sed, seratio, u[8];
    jackknife().calc(g->brancha, g->branchb, d, ratio, sed, seratio, u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7]);
    r.dasread = d;
    r.ratioasread = ratio;
    // One triplet leaves nothing to leave out.
    if (g->brancha.size() > 1) {
        r.sedjackknife = sed;
        r.seratiojackknife = seratio;
    }
}

}  // namespace

double twosidedp(double z)
{
    return std::erfc(std::fabs(z) / std::sqrt(2.0));
}

std::vector<double> holm(const std::vector<double>& p)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (!std::isnan(p[i]))
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&p](std::size_t a, std::size_t b) { return p[a] < p[b]; });
    std::vector<double> adjusted(p.size(), notanumber);
    const double m = static_cast<double>(order.size());
    double running = 0.0;
    for (std::size_t j = 0; j < order.size(); ++j) {
        running = std::max(running, std::min(1.0, (m - static_cast<double>(j)) * p[order[j]]));
        adjusted[order[j]] = running;
    }
    return adjusted;
}

double percentile(std::vector<float> values, double q)
{
    std::erase_if(values, [](float v) { return !std::isfinite(v); });
    if (values.empty())
        return notanumber;
    std::sort(values.begin(), values.end());
    const double h = static_cast<double>(values.size() - 1) * q;
    const std::size_t lo = static_cast<std::size_t>(std::floor(h));
    const std::size_t hi = std::min(lo + 1, values.size() - 1);
    const double frac = h - static_cast<double>(lo);
    return static_cast<double>(values[lo]) + frac * (static_cast<double>(values[hi]) - static_cast<double>(values[lo]));
}

std::vector<resultrow> summarize(const std::vector<comparisonrecord>& final, const replicatetable& replicates,
                                 const std::vector<comparisonrecord>& asread)
{
    std::vector<resultrow> rows;
    std::vector<double> p;
    for (std::size_t i = 0; i < final.size(); ++i) {
        const comparisonrecord& g = final[i];
        resultrow r;
        r.groupa = g.namea;
        r.groupb = g.nameb;
        r.triplets = g.brancha.size();
        r.replicates = g.replicates;
        r.d = g.d;
        r.sed = g.sed;
        r.z = static_cast<double>(g.d) / static_cast<double>(g.sed);
        r.significance = classword(g);
        r.ratio = g.ratio;
        r.seratio = g.seratio;
        const double spread = 1.96 * static_cast<double>(g.seratio);
        r.ratiolower = static_cast<double>(g.ratio) - spread;
        r.ratioupper = static_cast<double>(g.ratio) + spread;
        r.p = std::isnan(r.z) ? notanumber : twosidedp(r.z);
        p.push_back(r.p);

        std::vector<float> ratios;
        for (const std::vector<comparisonrecord>& row : replicates)
            if (i < row.size())
                ratios.push_back(row[i].ratio);
        r.ratiopercentilelow = percentile(ratios, 0.025);
        r.ratiopercentilehigh = percentile(ratios, 0.975);

        const auto same = [&g](const comparisonrecord& a) { return a.numbera == g.numbera && a.numberb == g.numberb; };
        const auto match = std::find_if(asread.begin(), asread.end(), same);
        asreadvalues(match == asread.end() ? nullptr : &*match, r);
        rows.push_back(std::move(r));
    }
    const std::vector<double> adjusted = holm(p);
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i].pholm = adjusted[i];
    return rows;
}
