#ifndef TOLVI_BOOTSTRAP_H
#define TOLVI_BOOTSTRAP_H

#include <cstddef>
#include <cstdint>
#include <vector>

// The generator of the bootstrap column draws. Each draw of the underlying
// generator gives 15 bits; an alignment of at most 32768 columns takes one
// draw per column, scaled to the number of columns (the draws Tolvi has always
// made). A longer alignment takes three draws per column, joined into a 45-bit
// number, and a column from it without bias (draws at the top of the range
// that would favour the first columns are thrown away and drawn again).
class bootstrapgenerator {
public:
    // The start state Tolvi has always used.
    static constexpr std::uint32_t defaultseed = 1;
    // The most columns one 15-bit draw covers.
    static constexpr std::size_t narrowcolumns = 32768;

    explicit bootstrapgenerator(std::uint32_t seed = defaultseed) : state_(seed) {}

    // The next 15-bit draw, 0 .. 32767.
    int next15();
    // One column position, 0 .. n-1.
    std::size_t column(std::size_t n);
    // The column positions of one pseudo-replicate of n columns, into `positions`
    // (resized to n; no allocation once it has held n positions).
    void replicate(std::size_t n, std::vector<std::uint32_t>& positions);
    // Runs through `count` replicates of n columns without keeping their draws.
    void skip(std::size_t n, long long count);

    // Whether an alignment of n columns needs the wide draws.
    static bool wide(std::size_t n) { return n > narrowcolumns; }

private:
    std::uint32_t state_;
};

// The column for 15-bit draw r (0 .. 32767) among n columns: n * r / 32768
// rounded to single precision, then truncated.
int scaledraw(int n, int r);

#endif
