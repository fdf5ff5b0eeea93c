#ifndef TOLVI_BASES_H
#define TOLVI_BASES_H

#include <cstdint>

// One encoding of sequence symbols for the whole program: a position as the
// set of bases it may stand for, A 1, C 2, G 4, T 8 (U counts as T), the
// IUPAC ambiguity codes as their sets (R = A|G, N and X = all four). A gap
// and missing data stand for any base as well and carry a bit of their own,
// so that `bits & anybase` is the set of bases and the symbol can be told
// apart. Upper and lower case are the same. 0: not a DNA or RNA symbol.
namespace bases {

constexpr std::uint8_t anybase = 15;
constexpr std::uint8_t gapbit = 16;
constexpr std::uint8_t missingbit = 32;

constexpr std::uint8_t bitsof(char c, char gap = '-', char missing = '?')
{
    if (c == gap)
        return anybase | gapbit;
    if (c == missing)
        return anybase | missingbit;
    switch (c) {
    case 'A': case 'a': return 1;
    case 'C': case 'c': return 2;
    case 'G': case 'g': return 4;
    case 'T': case 't': case 'U': case 'u': return 8;
    case 'M': case 'm': return 1 | 2;
    case 'R': case 'r': return 1 | 4;
    case 'W': case 'w': return 1 | 8;
    case 'S': case 's': return 2 | 4;
    case 'Y': case 'y': return 2 | 8;
    case 'K': case 'k': return 4 | 8;
    case 'V': case 'v': return 1 | 2 | 4;
    case 'H': case 'h': return 1 | 2 | 8;
    case 'D': case 'd': return 1 | 4 | 8;
    case 'B': case 'b': return 2 | 4 | 8;
    case 'N': case 'n': case 'X': case 'x': return anybase;
    case '-': return anybase | gapbit;
    case '?': return anybase | missingbit;
    default: return 0;
    }
}

// Exactly one of A, C, G, T.
constexpr bool isbase(std::uint8_t bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8;
}

// The symbol Tolvi writes for the bits: "-" for a gap, "?" for missing data,
// else the upper-case letter of the set ("N" for all four).
constexpr char symbolof(std::uint8_t bits)
{
    if (bits & gapbit)
        return '-';
    if (bits & missingbit)
        return '?';
    return "?ACMGRSVTWYHKDBN"[bits & anybase];
}

}  // namespace bases

#endif
