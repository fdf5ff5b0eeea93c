#include "leaveoneout.h"

#include <algorithm>
#include <cstring>
#include <vector>

// Lane i starts from the prefix sum P[i] = x[0] + ... + x[i-1] (formed in
// order from 0, which is exactly what the plain loop has after its first i
// additions) and goes on adding x[i+1], ..., x[n-1]. A block of lanes
// i0 .. i0+B-1 starts with a ragged head: for j < i0 + B only the lanes below
// j take x[j]; after the head every lane takes every x[j]. Several vectors
// are kept in flight so that the additions' latency is hidden.

namespace {

template <typename V, int W, int G>
__attribute__((always_inline)) inline void kernel(const float* x, std::size_t n, const float* prefix, float* out)
{
    constexpr std::size_t block = static_cast<std::size_t>(W * G);
    using I = decltype(V{} < V{});  // the matching integer vector (lane masks)
    I lane{};
    for (int k = 0; k < W; ++k)
        lane[k] = k;

    for (std::size_t i0 = 0; i0 < n; i0 += block) {
        V v[G];
#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
            std::memcpy(&v[g], prefix + i0 + static_cast<std::size_t>(g * W), sizeof(V));
        const std::size_t headend = std::min(i0 + block, n);
        for (std::size_t j = i0 + 1; j < headend; ++j) {
            const V b = V{} + x[j];
#pragma GCC unroll 16
            for (int g = 0; g < G; ++g) {
                const std::size_t first = i0 + static_cast<std::size_t>(g * W);
                if (j > first + W - 1) {
                    v[g] = v[g] + b;
                } else if (j > first) {
                    // Lanes below j take x[j]; the others keep their sum.
                    const I take = lane < static_cast<int>(j - first);
                    v[g] = take ? v[g] + b : v[g];
                }
            }
        }
        for (std::size_t j = headend; j < n; ++j) {
            const V b = V{} + x[j];
#pragma GCC unroll 16
            for (int g = 0; g < G; ++g)
                v[g] = v[g] + b;
        }
#pragma GCC unroll 16
        for (int g = 0; g < G; ++g)
            std::memcpy(out + i0 + static_cast<std::size_t>(g * W), &v[g], sizeof(V));
    }
}

typedef float v4sf __attribute__((vector_size(16)));
typedef float v8sf __attribute__((vector_size(32)));
typedef float v16sf __attribute__((vector_size(64)));

void portable(const float* x, std::size_t n, const float* prefix, float* out)
{
    kernel<v4sf, 4, 8>(x, n, prefix, out);
}

#if defined(__x86_64__) || defined(__i386__)
#define TOLVI_X86 1
__attribute__((target("avx2"))) void withavx2(const float* x, std::size_t n, const float* prefix, float* out)
{
    kernel<v8sf, 8, 8>(x, n, prefix, out);
}

__attribute__((target("avx512f"))) void withavx512(const float* x, std::size_t n, const float* prefix, float* out)
{
    kernel<v16sf, 16, 8>(x, n, prefix, out);
}
#endif

bool supported(simdlevel level)
{
    switch (level) {
    case simdlevel::portable:
    case simdlevel::best:
        return true;
#ifdef TOLVI_X86
    case simdlevel::avx2:
        return __builtin_cpu_supports("avx2");
    case simdlevel::avx512:
        return __builtin_cpu_supports("avx512f");
#else
    default:
        return false;
#endif
    }
    return false;
}

simdlevel bestlevel()
{
    return supported(simdlevel::avx512) ? simdlevel::avx512
           : supported(simdlevel::avx2) ? simdlevel::avx2
                                        : simdlevel::portable;
}

}  // namespace

bool leaveoneoutsums(const float* x, std::size_t n, float* out, simdlevel level)
{
    if (!supported(level))
        return false;
    if (level == simdlevel::best)
        level = bestlevel();
    if (n < 24) {
        // Too short to fill the lanes: the plain loop.
        for (std::size_t i = 0; i < n; ++i) {
            float s = 0.0f;
            for (std::size_t j = 0; j < n; ++j)
                if (j != i)
                    s = s + x[j];
            out[i] = s;
        }
        return true;
    }
    // Prefix sums and results padded to whole blocks (at most 16 lanes x 8 vectors).
    constexpr std::size_t pad = 128;
    std::vector<float> prefix(n + pad, 0.0f);
    std::vector<float> result(n + pad, 0.0f);
    float s = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        prefix[i] = s;
        s = s + x[i];
    }
    switch (level) {
#ifdef TOLVI_X86
    case simdlevel::avx512:
        withavx512(x, n, prefix.data(), result.data());
        break;
    case simdlevel::avx2:
        withavx2(x, n, prefix.data(), result.data());
        break;
#endif
    default:
        portable(x, n, prefix.data(), result.data());
        break;
    }
    std::copy(result.begin(), result.begin() + static_cast<std::ptrdiff_t>(n), out);
    return true;
}

void leaveoneoutsums(const float* x, std::size_t n, float* out)
{
    leaveoneoutsums(x, n, out, simdlevel::best);
}
