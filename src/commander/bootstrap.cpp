#include "bootstrap.h"

int bootstrapgenerator::next15()
{
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & 32767u);
}

int scaledraw(int n, int r)
{
    // n * r is exact in double, and so is the division by a power of two.
    const float q = static_cast<float>(static_cast<double>(n) * static_cast<double>(r) / 32768.0);
    return static_cast<int>(q);
}

std::size_t bootstrapgenerator::column(std::size_t n)
{
    if (!wide(n))
        return static_cast<std::size_t>(scaledraw(static_cast<int>(n), next15()));
    // 45 bits from three draws; the values from `limit` up would make the
    // first (2^45 mod n) columns more likely, and are drawn again.
    constexpr std::uint64_t range = std::uint64_t{1} << 45;
    const std::uint64_t limit = range - range % n;
    for (;;) {
        std::uint64_t x = static_cast<std::uint64_t>(next15());
        x = (x << 15) | static_cast<std::uint64_t>(next15());
        x = (x << 15) | static_cast<std::uint64_t>(next15());
        if (x < limit)
            return static_cast<std::size_t>(x % n);
    }
}

void bootstrapgenerator::replicate(std::size_t n, std::vector<std::uint32_t>& positions)
{
    positions.resize(n);
    if (!wide(n)) {
        const int columns = static_cast<int>(n);
        for (std::size_t k = 0; k < n; ++k)
            positions[k] = static_cast<std::uint32_t>(scaledraw(columns, next15()));
        return;
    }
    for (std::size_t k = 0; k < n; ++k)
        positions[k] = static_cast<std::uint32_t>(column(n));
}

void bootstrapgenerator::skip(std::size_t n, long long count)
{
    if (!wide(n)) {
        // One step of the generator per column.
        for (long long i = 0; i < count; ++i)
            for (std::size_t k = 0; k < n; ++k)
                state_ = state_ * 1103515245u + 12345u;
        return;
    }
    for (long long i = 0; i < count; ++i)
        for (std::size_t k = 0; k < n; ++k)
            column(n);
}
