#include "jack.h"

#include "leaveoneout.h"

#include <cmath>
#include <cstddef>

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

void confint(replicatetable& verglgr, std::vector<grcomp>& finalgrcomp)
{
    for (std::vector<grcomp>& row : verglgr) {
        jack jack1;
        jack1.itdurchgrup(row);
    }
    if (verglgr.empty()) {
        finalgrcomp.clear();
        return;
    }
    finalgrcomp = verglgr[0];
    const std::size_t nrows = verglgr.size();
    const float N = static_cast<float>(nrows);
    for (std::size_t grvglind = 0; grvglind < finalgrcomp.size(); ++grvglind) {
        grcomp& vglit = finalgrcomp[grvglind];
        float sumratio = 0.0f;
        float sumd = 0.0f;
        for (const std::vector<grcomp>& r : verglgr) {
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
        vglit.replicates = static_cast<int>(nrows);
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
