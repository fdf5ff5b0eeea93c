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

// The columns where plane x and plane y both have a bit, over `words`
// words; the same loop three times, twice compiled for instructions the
// processor may have (a population count; one on eight words at a time).
std::uint64_t overlap(const std::uint64_t* x, const std::uint64_t* y, std::size_t words)
{
    std::uint64_t n = 0;
    for (std::size_t w = 0; w < words; ++w)
        n += static_cast<std::uint64_t>(std::popcount(x[w] & y[w]));
    return n;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("popcnt"))) std::uint64_t overlappopcnt(const std::uint64_t* x, const std::uint64_t* y,
                                                               std::size_t words)
{
    std::uint64_t n = 0;
    for (std::size_t w = 0; w < words; ++w)
        n += static_cast<std::uint64_t>(__builtin_popcountll(x[w] & y[w]));
    return n;
}

__attribute__((target("avx512f,avx512vpopcntdq,popcnt"))) std::uint64_t overlapavx512(const std::uint64_t* x,
                                                                                      const std::uint64_t* y,
                                                                                      std::size_t words)
{
    std::uint64_t n = 0;
    for (std::size_t w = 0; w < words; ++w)
        n += static_cast<std::uint64_t>(__builtin_popcountll(x[w] & y[w]));
    return n;
}

using overlapfunction = std::uint64_t (*)(const std::uint64_t*, const std::uint64_t*, std::size_t);
const overlapfunction fastest = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512vpopcntdq") ? overlapavx512
           : __builtin_cpu_supports("popcnt")        ? overlappopcnt
                                                     : overlap;
}();
#else
const auto fastest = overlap;
#endif

}  // namespace

slicedsequence::slicedsequence(std::string_view symbols)
    : words_((symbols.size() + 63) / 64), planes_(4 * words_), columns_(symbols.size())
{
    // The plane of each base set: 0..3 for one base, 4 for the others.
    static constexpr std::uint8_t planeof[16] = {4, 0, 1, 4, 2, 4, 4, 4, 3, 4, 4, 4, 4, 4, 4, 4};
    for (std::size_t w = 0; w < words_; ++w) {
        std::uint64_t word[5] = {};
        const std::size_t first = w * 64, last = std::min(symbols.size(), first + 64);
        for (std::size_t c = first; c < last; ++c)
            word[planeof[static_cast<unsigned char>(symbols[c]) & bases::anybase]] |= std::uint64_t{1} << (c - first);
        for (std::size_t b = 0; b < 4; ++b)
            planes_[b * words_ + w] = word[b];
        for (std::uint64_t rest = word[4]; rest != 0; rest &= rest - 1) {
            const std::size_t c = first + static_cast<std::size_t>(std::countr_zero(rest));
            others_.emplace_back(static_cast<std::uint32_t>(c),
                                 static_cast<std::uint8_t>(static_cast<unsigned char>(symbols[c]) & bases::anybase));
        }
    }
    for (std::size_t b = 0; b < 4; ++b)
        bases_[b] = static_cast<double>(fastest(&planes_[b * words_], &planes_[b * words_], words_));
}

unsigned slicedsequence::setat(std::size_t column) const
{
    for (unsigned b = 0; b < 4; ++b)
        if (planes_[b * words_ + column / 64] >> (column % 64) & 1u)
            return 1u << b;
    const auto it = std::lower_bound(others_.begin(), others_.end(), std::pair<std::uint32_t, std::uint8_t>(
                                                                         static_cast<std::uint32_t>(column), 0));
    return it != others_.end() && it->first == column ? it->second : bases::anybase;
}


paircounts countpair(const slicedsequence& first, const slicedsequence& second, missingmode mode)
{
    // Unambiguous columns: the 16 plane pairs a word of columns at a time;
    // both sequences' words cut to the shorter one's columns.
    const std::size_t columns = std::min(first.columns_, second.columns_);
    const std::size_t whole = columns / 64;
    paircounts counts;
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t j = 0; j < 4; ++j) {
            const std::uint64_t* x = &first.planes_[i * first.words_];
            const std::uint64_t* y = &second.planes_[j * second.words_];
            std::uint64_t n = fastest(x, y, whole);
            if (columns % 64 != 0)
                n += static_cast<std::uint64_t>(std::popcount(x[whole] & y[whole] &
                                                              ((std::uint64_t{1} << (columns % 64)) - 1)));
            counts.n[i][j] = static_cast<double>(n);
        }
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
