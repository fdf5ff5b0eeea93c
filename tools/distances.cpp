#include "distances.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

// The base number 0..3 of a mask that stands for exactly one base, else -1.
int singlebase(unsigned m)
{
    switch (m) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    case 8: return 3;
    default: return -1;
    }
}

}  // namespace

pairsites comparesites(std::string_view a, std::string_view b, missingmode mode)
{
    // One pass over the columns counts every kind of column (mask pair); the
    // rest works on the 16 x 16 counts.
    std::array<std::array<std::size_t, 16>, 16> kinds{};
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i)
        ++kinds[static_cast<unsigned char>(a[i]) & 15u][static_cast<unsigned char>(b[i]) & 15u];

    double f[4][4] = {};  // unambiguous columns by base pair
    for (unsigned x = 0; x < 16; ++x)
        for (unsigned y = 0; y < 16; ++y) {
            const int bx = singlebase(x), by = singlebase(y);
            if (bx >= 0 && by >= 0)
                f[bx][by] = static_cast<double>(kinds[x][y]);
        }
    double g[4][4];
    std::copy(&f[0][0], &f[0][0] + 16, &g[0][0]);

    if (mode == missingmode::infer) {
        for (unsigned x = 1; x < 16; ++x)
            for (unsigned y = 1; y < 16; ++y) {
                const std::size_t count = kinds[x][y];
                if (count == 0 || (singlebase(x) >= 0 && singlebase(y) >= 0) || (x == 15 && y == 15))
                    continue;
                double weight = 0.0;
                for (int i = 0; i < 4; ++i)
                    for (int j = 0; j < 4; ++j)
                        if ((x >> i & 1u) && (y >> j & 1u))
                            weight += f[i][j];
                if (weight <= 0.0)
                    continue;
                for (int i = 0; i < 4; ++i)
                    for (int j = 0; j < 4; ++j)
                        if ((x >> i & 1u) && (y >> j & 1u))
                            g[i][j] += static_cast<double>(count) * f[i][j] / weight;
            }
    }

    pairsites s;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            s.sites += g[i][j];
            if (i != j)
                s.diffs += g[i][j];
        }
    return s;
}

pairdistance distance(const pairsites& s, measure m)
{
    pairdistance d;
    if (!(s.sites > 0.0)) {
        d.state = pairdistance::nodata;
        return d;
    }
    d.p = s.diffs / s.sites;
    if (m == measure::p) {
        d.state = pairdistance::defined;
        d.value = d.p;
        return d;
    }
    if (d.p >= 0.75) {
        d.state = pairdistance::saturated;
        return d;
    }
    d.state = pairdistance::defined;
    // Adding 0.0 turns the -0.0 of identical sequences into 0.0.
    d.value = -0.75 * std::log(1.0 - 4.0 * d.p / 3.0) + 0.0;
    return d;
}

std::string_view measuretitle(measure m)
{
    return m == measure::jc ? "Jukes-Cantor distance matrix" : "Uncorrected (\"p\") distance matrix";
}

namespace {

// A cell of the matrix: right-aligned in 9 places, with at least one blank
// in front so that a long number never runs into the label.
void cell(std::string& out, std::string_view text)
{
    out.append(text.size() < 9 ? 9 - text.size() : 1, ' ');
    out += text;
}

std::string_view fixed5(double v, char (&buf)[64])
{
    const int n = std::snprintf(buf, sizeof buf, "%.5f", v);
    return std::string_view(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace

void writedistmatrix(std::string& out, const std::vector<std::string_view>& labels,
                     const std::vector<std::size_t>& taxa, const std::vector<pairdistance>& lower,
                     measure m, std::size_t nchar)
{
    const std::size_t k = labels.size();
    double largest = 0.0;
    for (const pairdistance& d : lower)
        if (d.state == pairdistance::defined)
            largest = std::max(largest, d.value);
    const double undefined = 2.0 * largest;

    out += '\n';
    bool messages = false;
    std::size_t at = 0;
    for (std::size_t i = 1; i < k; ++i)
        for (std::size_t j = 0; j < i; ++j, ++at) {
            if (at >= lower.size() || lower[at].state == pairdistance::defined)
                continue;
            const std::size_t x = j < taxa.size() ? taxa[j] : j + 1;
            const std::size_t y = i < taxa.size() ? taxa[i] : i + 1;
            if (lower[at].state == pairdistance::nodata)
                out += "No data for comparing taxa " + std::to_string(x) + " and " + std::to_string(y) +
                       ". Distance is undefined.\n";
            else
                out += "No finite Jukes-Cantor distance for taxa " + std::to_string(x) + " and " +
                       std::to_string(y) + " (p >= 0.75). Distance is undefined.\n";
            messages = true;
        }
    if (messages)
        out += '\n';

    out += measuretitle(m);
    out += "\n  " + std::to_string(nchar) + " characters are included\n\n";

    std::size_t width = 0;
    for (std::string_view l : labels)
        width = std::max(width, l.size());

    out.append(3 + width, ' ');
    for (std::size_t c = 1; c <= k; ++c)
        cell(out, std::to_string(c));
    out += '\n';

    char buf[64];
    at = 0;
    for (std::size_t i = 0; i < k; ++i) {
        const std::string row = std::to_string(i + 1);
        if (row.size() < 2)
            out += ' ';
        out += row;
        out += ' ';
        for (char c : labels[i])
            out += c == '_' ? ' ' : c;
        out.append(width - labels[i].size(), ' ');
        for (std::size_t j = 0; j < i; ++j, ++at) {
            const pairdistance d = at < lower.size() ? lower[at] : pairdistance{};
            cell(out, fixed5(d.state == pairdistance::defined ? d.value : undefined, buf));
        }
        cell(out, "-");
        out += '\n';
    }
}
