#include "counts.h"

#include <algorithm>
#include <bit>

namespace distances {

double paircounts::sites() const
{
    double s = 0.0;
    for (const auto& row : n)
        for (double v : row)
            s += v;
    return s;
}

double paircounts::differences() const
{
    double s = 0.0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (i != j)
                s += n[i][j];
    return s;
}

namespace {

// The base number 0..3 of a set that holds exactly one base, else -1.
int singlebase(unsigned set)
{
    switch (set) {
    case 1: return 0;
    case 2: return 1;
    case 4: return 2;
    case 8: return 3;
    default: return -1;
    }
}

}  // namespace

slicedsequence::slicedsequence(std::string_view symbols)
    : planes_((symbols.size() + 63) / 64), columns_(symbols.size())
{
    // The plane of each base set: 0..3 for one base, 4 for the others.
    static constexpr std::uint8_t planeof[16] = {4, 0, 1, 4, 2, 4, 4, 4, 3, 4, 4, 4, 4, 4, 4, 4};
    for (std::size_t w = 0; w < planes_.size(); ++w) {
        std::uint64_t word[5] = {};
        const std::size_t first = w * 64, last = std::min(symbols.size(), first + 64);
        for (std::size_t c = first; c < last; ++c)
            word[planeof[static_cast<unsigned char>(symbols[c]) & bases::anybase]] |= std::uint64_t{1} << (c - first);
        planes_[w] = {word[0], word[1], word[2], word[3]};
        for (std::uint64_t rest = word[4]; rest != 0; rest &= rest - 1) {
            const std::size_t c = first + static_cast<std::size_t>(std::countr_zero(rest));
            others_.emplace_back(static_cast<std::uint32_t>(c),
                                 static_cast<std::uint8_t>(static_cast<unsigned char>(symbols[c]) & bases::anybase));
        }
    }
    for (const auto& word : planes_)
        for (std::size_t b = 0; b < 4; ++b)
            bases_[b] += std::popcount(word[b]);
}

unsigned slicedsequence::setat(std::size_t column) const
{
    const auto& word = planes_[column / 64];
    for (unsigned b = 0; b < 4; ++b)
        if (word[b] >> (column % 64) & 1u)
            return 1u << b;
    const auto it = std::lower_bound(others_.begin(), others_.end(), std::pair<std::uint32_t, std::uint8_t>(
                                                                         static_cast<std::uint32_t>(column), 0));
    return it != others_.end() && it->first == column ? it->second : bases::anybase;
}

namespace {

using planeword = std::array<std::uint64_t, 4>;
using planecounts = std::array<std::array<std::uint64_t, 4>, 4>;

// The 16 plane-pair counts over whole words; the same loop twice, once
// compiled for the processor's population-count instruction.
template <int>
void countwords(const planeword* x, const planeword* y, std::size_t words, planecounts& exact)
{
    for (std::size_t w = 0; w < words; ++w)
        for (std::size_t i = 0; i < 4; ++i)
            for (std::size_t j = 0; j < 4; ++j)
                exact[i][j] += static_cast<std::uint64_t>(std::popcount(x[w][i] & y[w][j]));
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("popcnt"))) void countwordsfast(const planeword* x, const planeword* y, std::size_t words,
                                                       planecounts& exact)
{
    // A row of the table at a time, its four counts held in registers.
    for (std::size_t i = 0; i < 4; ++i) {
        std::uint64_t a = 0, c = 0, g = 0, t = 0;
        for (std::size_t w = 0; w < words; ++w) {
            const std::uint64_t row = x[w][i];
            a += static_cast<std::uint64_t>(__builtin_popcountll(row & y[w][0]));
            c += static_cast<std::uint64_t>(__builtin_popcountll(row & y[w][1]));
            g += static_cast<std::uint64_t>(__builtin_popcountll(row & y[w][2]));
            t += static_cast<std::uint64_t>(__builtin_popcountll(row & y[w][3]));
        }
        exact[i][0] += a;
        exact[i][1] += c;
        exact[i][2] += g;
        exact[i][3] += t;
    }
}
const bool haspopcount = __builtin_cpu_supports("popcnt");
#else
void countwordsfast(const planeword* x, const planeword* y, std::size_t words, planecounts& exact)
{
    countwords<0>(x, y, words, exact);
}
const bool haspopcount = false;
#endif

}  // namespace

paircounts countpair(const slicedsequence& first, const slicedsequence& second, missingmode mode)
{
    // Unambiguous columns: a word of columns at a time, 16 plane pairs each;
    // the last word cut to the shorter sequence.
    planecounts exact{};
    const std::size_t columns = std::min(first.columns_, second.columns_);
    const std::size_t whole = columns / 64;
    if (haspopcount)
        countwordsfast(first.planes_.data(), second.planes_.data(), whole, exact);
    else
        countwords<0>(first.planes_.data(), second.planes_.data(), whole, exact);
    if (columns % 64 != 0) {
        const std::uint64_t mask = (std::uint64_t{1} << (columns % 64)) - 1;
        planeword y = second.planes_[whole];
        for (auto& plane : y)
            plane &= mask;
        countwords<0>(&first.planes_[whole], &y, 1, exact);
    }
    paircounts counts;
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 4; ++j)
            counts.n[i][j] = static_cast<double>(exact[i][j]);
    if (mode == missingmode::ignore)
        return counts;

    // infer: the other columns by base-set pair, then spread over the
    // unambiguous counts they may stand for.
    std::array<std::array<double, 16>, 16> kinds{};
    for (const auto& [column, set] : first.others_)
        if (column < columns)
            kinds[set][second.setat(column)] += 1.0;
    for (const auto& [column, set] : second.others_) {
        const unsigned own = column < columns ? first.setat(column) : 0;
        if (column < columns && singlebase(own) >= 0)
            kinds[own][set] += 1.0;  // pairs with both sets ambiguous were counted above
    }
    const paircounts exactcounts = counts;
    for (unsigned x = 1; x < 16; ++x)
        for (unsigned y = 1; y < 16; ++y) {
            const double count = kinds[x][y];
            if (count == 0.0 || (x == bases::anybase && y == bases::anybase))
                continue;
            double weight = 0.0;
            for (unsigned i = 0; i < 4; ++i)
                for (unsigned j = 0; j < 4; ++j)
                    if ((x >> i & 1u) && (y >> j & 1u))
                        weight += exactcounts.n[i][j];
            if (weight <= 0.0)
                continue;
            for (unsigned i = 0; i < 4; ++i)
                for (unsigned j = 0; j < 4; ++j)
                    if ((x >> i & 1u) && (y >> j & 1u))
                        counts.n[i][j] += count * exactcounts.n[i][j] / weight;
        }
    return counts;
}

}  // namespace distances
