#include "jack.h"

#include "leaveoneout.h"

#include <cmath>
#include <cstddef>
#include <string>

void jack::calc(const std::vector<float>& a, const std::vector<float>& b, float& d, float& ratio, float& sdd,
                float& sdratio, float& chconfu, float& chconfo, float& zconfu, float& zconfo, float& dchconfu,
                float& dchconfo, float& dzconfu, float& dzconfo)
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
    sdratio = static_cast<float>(std::sqrt(static_cast<double>(jksumr) * ((qd - 1.0) / qd)));
    sdd = static_cast<float>(std::sqrt(static_cast<double>(jksumd) * ((qd - 1.0) / qd)));

    const double s20 = std::sqrt(20.0);
    chconfu = static_cast<float>(static_cast<double>(ratio) - static_cast<double>(sdratio) * s20);
    chconfo = static_cast<float>(static_cast<double>(ratio) + static_cast<double>(sdratio) * s20);
    zconfu = static_cast<float>(static_cast<double>(ratio) - static_cast<double>(sdratio) * 1.96);
    zconfo = static_cast<float>(static_cast<double>(ratio) + static_cast<double>(sdratio) * 1.96);
    dchconfu = static_cast<float>(static_cast<double>(d) - static_cast<double>(sdd) * s20);
    dchconfo = static_cast<float>(static_cast<double>(d) + static_cast<double>(sdd) * s20);
    dzconfu = static_cast<float>(static_cast<double>(d) - static_cast<double>(sdd) * 1.96);
    dzconfo = static_cast<float>(static_cast<double>(d) + static_cast<double>(sdd) * 1.96);
}

void jack::itdurchgrup(std::vector<grcomp>& row)
{
    for (grcomp& g : row)
        calc(g.KOAs, g.KOBs, g.d, g.ratio, g.sdd, g.sdratio, g.chconfu, g.chconfo, g.zconfu, g.zconfo, g.dchconfu,
             g.dchconfo, g.dzconfu, g.dzconfo);
}

void sqr(float& x)
{
    x = x * x;
}

namespace {

bool finite(const grcomp& g)
{
    return std::isfinite(g.d) && std::isfinite(g.ratio);
}

// Counts a record whose d or ratio is not finite under its cause.
void countcause(const grcomp& g, leftout& l)
{
    if (g.KOAs.empty()) {
        ++l.notriplet;
        return;
    }
    float sumb = 0.0f;
    for (float x : g.KOBs)
        sumb = sumb + x;
    if (sumb == 0.0f)
        ++l.zerosum;
    else
        ++l.outofrange;
}

}  // namespace

std::vector<leftout> confint(replicatetable& verglgr, std::vector<grcomp>& finalgrcomp)
{
    for (std::vector<grcomp>& row : verglgr) {
        jack jack1;
        jack1.itdurchgrup(row);
    }
    std::vector<leftout> left;
    if (verglgr.empty()) {
        finalgrcomp.clear();
        return left;
    }
    finalgrcomp = verglgr[0];
    const std::size_t nrows = verglgr.size();
    for (std::size_t grvglind = 0; grvglind < finalgrcomp.size(); ++grvglind) {
        grcomp& vglit = finalgrcomp[grvglind];
        leftout l;
        l.comparison = grvglind;
        for (const std::vector<grcomp>& r : verglgr)
            if (!finite(r.at(grvglind)))
                countcause(r.at(grvglind), l);
        const std::size_t used = nrows - static_cast<std::size_t>(l.total());
        if (l.total() > 0)
            left.push_back(l);
        vglit.replicates = static_cast<int>(used);
        // Without a single finite row every row is used, as if none were left out.
        const bool every = used == 0;
        const float N = static_cast<float>(every ? nrows : used);
        float sumratio = 0.0f;
        float sumd = 0.0f;
        for (const std::vector<grcomp>& r : verglgr) {
            if (!every && !finite(r.at(grvglind)))
                continue;
            sumratio = sumratio + r.at(grvglind).ratio;
            sumd = sumd + r.at(grvglind).d;
        }
        const float meanratio = sumratio / N;
        const float meand = sumd / N;
        vglit.d = meand;
        vglit.ratio = meanratio;
        float sumsqrdevratio = 0.0f;
        float sumsqrdevd = 0.0f;
        for (const std::vector<grcomp>& r : verglgr) {
            if (!every && !finite(r.at(grvglind)))
                continue;
            float a = r.at(grvglind).ratio - meanratio;
            float b = r.at(grvglind).d - meand;
            sqr(a);
            sqr(b);
            sumsqrdevratio = sumsqrdevratio + a;
            sumsqrdevd = sumsqrdevd + b;
        }
        const float varratio = sumsqrdevratio / (N - 1.0f);
        const float vard = sumsqrdevd / (N - 1.0f);
        vglit.sdratio = static_cast<float>(std::sqrt(static_cast<double>(varratio)));
        vglit.sdd = static_cast<float>(std::sqrt(static_cast<double>(vard)));
    }
    return left;
}

void leftoutlines(const std::vector<leftout>& left, const std::vector<grcomp>& finalgrcomp, std::size_t rows,
                  std::ostream& out)
{
    for (const leftout& l : left) {
        const grcomp& g = finalgrcomp.at(l.comparison);
        std::string why;
        auto cause = [&why](int k, const std::string& text) {
            if (k > 0)
                why += (why.empty() ? "" : ", ") + std::to_string(k) + " " + text;
        };
        cause(l.notriplet, "without a usable triplet");
        cause(l.zerosum, "where the branch lengths of " + g.grnameb + " sum to zero");
        cause(l.outofrange, "with a sum beyond the range of a float");
        out << "\nWARNING: " << g.grnamea << " versus " << g.grnameb << ": ";
        if (g.replicates > 0)
            out << l.total() << " of " << rows << " bootstrap replicate(s) give no finite d and ratio (" << why
                << "); they are left out, and d, ratio and their standard errors are based on " << g.replicates
                << ".\n\n";
        else
            out << "no bootstrap replicate gives a finite d and ratio (" << why
                << "); the report has no usable values for this comparison.\n\n";
    }
}

std::size_t dropshortrows(replicatetable& verglgr)
{
    if (verglgr.empty())
        return 0;
    const std::size_t want = verglgr[0].size();
    const std::size_t before = verglgr.size();
    std::erase_if(verglgr, [want](const std::vector<grcomp>& row) { return row.size() < want; });
    return before - verglgr.size();
}
