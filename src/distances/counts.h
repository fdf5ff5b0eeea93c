#ifndef TOLVI_DISTANCES_COUNTS_H
#define TOLVI_DISTANCES_COUNTS_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bases.h"

// What every distance is computed from: the columns of a pair of taxa
// counted by the pair of bases they hold, and each taxon's bases. Bases are
// numbered A 0, C 1, G 2, T 3.
namespace distances {

// Columns by base: A, C, G, T.
using basecounts = std::array<double, 4>;

// Columns of a pair of taxa by the base of the first (row) and of the second
// (column). Whole numbers, except where missing data are inferred.
struct paircounts {
    std::array<std::array<double, 4>, 4> n{};

    double sites() const;
    double differences() const;
};

// How a column is treated where one taxon of the pair has a gap, missing
// data or an ambiguity code:
// - ignore: the column is left out for the pair (pairwise deletion); only
//   columns where both taxa have one of A, C, G, T count;
// - infer: the column counts, spread over the base pairs it may stand for in
//   proportion to how often each of them occurs among the pair's unambiguous
//   columns; columns where both taxa are wholly unknown (gap, "?", N) are
//   still left out, and so is a column for whose base pairs the pair has no
//   unambiguous column at all.
enum class missingmode { ignore, infer };

// A taxon's sequence laid out for counting a machine word of columns at a
// time: for each base a bit plane with a bit for every column that holds
// exactly that base. Columns holding anything else (gaps, missing data,
// ambiguity codes) are in no plane and listed apart with their base sets.
class slicedsequence {
public:
    // `symbols`: the base sets of bases::bitsof, one per column.
    explicit slicedsequence(std::string_view symbols);

    std::size_t columns() const { return columns_; }
    const basecounts& bases() const { return bases_; }

    friend paircounts countpair(const slicedsequence& first, const slicedsequence& second, missingmode mode);

private:
    // The base set (1..15) of a column.
    unsigned setat(std::size_t column) const;

    std::size_t words_ = 0;                                      // 64 columns each
    std::vector<std::uint64_t> planes_;                          // plane b's words from b * words_
    std::vector<std::pair<std::uint32_t, std::uint8_t>> others_;  // column, base set, by column
    basecounts bases_{};
    std::size_t columns_ = 0;
};

// The pair's counts over the columns both sequences have (the shorter one's
// length).
paircounts countpair(const slicedsequence& first, const slicedsequence& second, missingmode mode);

}  // namespace distances

#endif
