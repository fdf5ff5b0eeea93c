#ifndef TOLVI_LEAVEONEOUT_H
#define TOLVI_LEAVEONEOUT_H

#include <cstddef>

// The jackknife's leave-one-out sums: out[i] is the sum of every x[j] with
// j != i, formed as the plain loop forms it: starting from 0 and adding the
// entries in list order, each addition rounded to float. The work is spread
// over SIMD lanes, one leave-one-out position per lane, each lane performing
// exactly the additions of its own position, so every result is bit for bit
// that of the plain loop.
void leaveoneoutsums(const float* x, std::size_t n, float* out);

// The instruction sets the kernel can use; `best` is chosen at run time.
enum class simdlevel { portable, avx2, avx512, best };

// The same with a chosen kernel (for tests and benchmarks); returns false,
// computing nothing, when this processor cannot run it.
bool leaveoneoutsums(const float* x, std::size_t n, float* out, simdlevel level);

#endif
