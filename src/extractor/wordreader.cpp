#include "wordreader.h"

#include <charconv>
#include <ios>
#include <cstdint>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif


wordreader::wordreader(std::istream& in, std::size_t buffersize)
    : in_(in), buf_(buffersize < 16 ? 16 : buffersize)
{
}

// Refills the buffer, keeping the last `keep` characters before pos_
// (a word that runs past the end of the buffer). Returns false when the input
// has nothing more.
bool wordreader::fill(std::size_t keep)
{
    if (drained_)
        return false;
    std::size_t start = pos_ - keep;
    if (start > 0 && keep > 0)
        std::memmove(buf_.data(), buf_.data() + start, keep);
    pos_ = keep;
    end_ = keep;
    if (keep == buf_.size())
        buf_.resize(buf_.size() * 2);
    std::streamsize got = 0;
    if (in_.rdbuf()) {
        try {
            got = in_.rdbuf()->sgetn(buf_.data() + end_, static_cast<std::streamsize>(buf_.size() - end_));
        } catch (const std::ios_base::failure&) {
            // The file buffer throws where formatted input would only set badbit.
            readerror_ = true;
            got = 0;
        }
    }
    if (got <= 0) {
        drained_ = true;
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

bool wordreader::skipspace()
{
    for (;;) {
        while (pos_ < end_ && isblankchar(static_cast<unsigned char>(buf_[pos_])))
            ++pos_;
        if (pos_ < end_)
            return true;
        if (!fill(0)) {
            eof_ = true;
            return false;
        }
    }
}

int wordreader::peekchar()
{
    if (pos_ < end_)
        return static_cast<unsigned char>(buf_[pos_]);
    if (!fill(0)) {
        eof_ = true;
        return -1;
    }
    return static_cast<unsigned char>(buf_[pos_]);
}

bool wordreader::word(std::string_view& w)
{
    if (eof_ || failed_ || !skipspace())
        return false;
    std::size_t start = pos_;
    for (;;) {
        const char* p = buf_.data();
        std::size_t i = pos_;
        while (i < end_ && !isblankchar(static_cast<unsigned char>(p[i])))
            ++i;
        pos_ = i;
        if (i < end_)
            break;
        std::size_t len = pos_ - start;
        if (!fill(len)) {
            eof_ = true;
            start = pos_ - len;
            break;
        }
        start = 0;
    }
    w = std::string_view(buf_.data() + start, pos_ - start);
    return true;
}

void wordreader::numberfailed(std::string consumed, bool overflow)
{
    // A number cut off by the end of the input counts as the end, not as a
    // word that cannot be a number. A number too large is none whatever
    // follows it: cutting digits off never makes a number larger.
    if (eof_ && !overflow)
        return;
    failed_ = true;
    badword_ = std::move(consumed);
    // The rest of the word, for the message; reading it does not count as a
    // read that ran into the end.
    int c;
    while ((c = peekchar()) >= 0 && !isblankchar(static_cast<unsigned char>(c))) {
        badword_ += static_cast<char>(c);
        ++pos_;
    }
    eof_ = false;
}

bool wordreader::number(int& value)
{
    if (eof_ || failed_ || !skipspace())
        return false;
    if (fastnumber(value))
        return true;
    std::string& t = numtext_;
    t.clear();
    int c = peekchar();
    if (c == '+' || c == '-') {
        t += static_cast<char>(c);
        ++pos_;
        c = peekchar();
    }
    bool digits = false;
    while (c >= '0' && c <= '9') {
        t += static_cast<char>(c);
        ++pos_;
        digits = true;
        c = peekchar();
    }
    if (!digits) {
        numberfailed(t);
        return false;
    }
    long long v = 0;
    const char* first = t.data() + (t[0] == '+' ? 1 : 0);
    auto [ptr, ec] = std::from_chars(first, t.data() + t.size(), v);
    if (ec != std::errc() || v < INT_MIN || v > INT_MAX) {
        numberfailed(t, true);
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool wordreader::number(float& value)
{
    if (eof_ || failed_ || !skipspace())
        return false;
    if (fastnumber(value))
        return true;
    // Collect what formatted float input collects: a sign, digits with at
    // most one decimal point, then an exponent mark (only after a digit) with
    // an optional sign and further digits.
    std::string& t = numtext_;
    t.clear();
    std::string consumed;
    int c = peekchar();
    if (c == '+' || c == '-') {
        t += static_cast<char>(c);
        ++pos_;
        c = peekchar();
    }
    bool mantissa = false, dec = false, sci = false;
    while (c >= 0) {
        if (c >= '0' && c <= '9') {
            t += static_cast<char>(c);
            mantissa = true;
        } else if (c == '.' && !dec && !sci) {
            t += '.';
            dec = true;
        } else if ((c == 'e' || c == 'E') && !sci && mantissa) {
            t += 'e';
            sci = true;
            ++pos_;
            c = peekchar();
            if (c == '+' || c == '-') {
                t += static_cast<char>(c);
            } else {
                continue;
            }
        } else {
            break;
        }
        ++pos_;
        c = peekchar();
    }
    const char* first = t.data();
    const char* last = t.data() + t.size();
    if (first != last && *first == '+')
        ++first;
    float v = 0.0f;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec == std::errc::result_out_of_range && ptr == last) {
        // Underflow gives the nearest denormal or zero, as strtof does.
        char* endp = nullptr;
        v = std::strtof(t.c_str(), &endp);
        if (endp == t.c_str() + t.size() && v != std::numeric_limits<float>::infinity() &&
            v != -std::numeric_limits<float>::infinity()) {
            value = v;
            return true;
        }
        numberfailed(t, true);
        return false;
    }
    if (t.empty() || ec != std::errc() || ptr != last) {
        numberfailed(t);
        return false;
    }
    value = v;
    return true;
}

namespace {

// The position of the first of c1, c2, c3 in [p, end), or end.
const char* findany(const char* p, const char* end, char c1, char c2, char c3)
{
#if defined(__SSE2__)
    const __m128i v1 = _mm_set1_epi8(c1), v2 = _mm_set1_epi8(c2), v3 = _mm_set1_epi8(c3);
    while (end - p >= 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(chunk, v1), _mm_cmpeq_epi8(chunk, v2)),
                                         _mm_cmpeq_epi8(chunk, v3));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0)
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    for (; p < end; ++p)
        if (*p == c1 || *p == c2 || *p == c3)
            return p;
    return end;
}

}  // namespace

bool wordreader::wordwith(std::string_view& w, char c1, char c2, char c3)
{
    if (eof_ || failed_)
        return false;
    for (;;) {
        const char* base = buf_.data();
        const char* hit = findany(base + pos_, base + end_, c1, c2, c3);
        if (hit == base + end_) {
            // No candidate in the buffer: keep only a word that may run on
            // into the next fill, then read on.
            std::size_t keep = 0;
            while (keep < end_ - pos_ && !isblankchar(static_cast<unsigned char>(base[end_ - 1 - keep])))
                ++keep;
            pos_ = end_;
            if (!fill(keep)) {
                eof_ = true;
                return false;
            }
            pos_ = 0;  // back to the start of the kept part of a word
            continue;
        }
        // The word around the candidate: back to the blank before it (never
        // before pos_, which always stands at the start of a word or a blank).
        std::size_t start = static_cast<std::size_t>(hit - base);
        while (start > pos_ && !isblankchar(static_cast<unsigned char>(base[start - 1])))
            --start;
        pos_ = start;
        return word(w);
    }
}

bool wordreader::fastnumber(int& value)
{
    // Only when the number ends inside the buffer; otherwise the general path.
    const char* p = buf_.data() + pos_;
    const char* end = buf_.data() + end_;
    bool neg = false;
    if (p < end && (*p == '+' || *p == '-')) {
        neg = *p == '-';
        ++p;
    }
    const char* digits = p;
    long long v = 0;
    while (p < end && *p >= '0' && *p <= '9' && p - digits < 12) {
        v = v * 10 + (*p - '0');
        ++p;
    }
    if (p == end || p == digits || (*p >= '0' && *p <= '9'))
        return false;
    if (neg)
        v = -v;
    if (v < INT_MIN || v > INT_MAX)
        return false;
    value = static_cast<int>(v);
    pos_ = static_cast<std::size_t>(p - buf_.data());
    return true;
}

bool wordreader::fastnumber(float& value)
{
    // Plain decimals ("0.34326", "-12.5") with few digits: the value is an
    // integer below 2^24 divided by a power of ten that a float holds
    // exactly, so one float division gives the correctly rounded result.
    // Anything else (an exponent, more digits, a number running into the end
    // of the buffer) takes the general path.
    static const float powers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    const char* p = buf_.data() + pos_;
    const char* const end = buf_.data() + end_;
    if (end - p < 24)
        return false;
    const bool neg = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    const char* q = p;
    std::uint64_t m = 0;
    while (*q >= '0' && *q <= '9' && q - p < 18)
        m = m * 10 + static_cast<std::uint64_t>(*q++ - '0');
    long fraction = 0;
    const bool dot = *q == '.';
    if (dot) {
        const char* f = ++q;
        while (*q >= '0' && *q <= '9' && q - p < 18)
            m = m * 10 + static_cast<std::uint64_t>(*q++ - '0');
        fraction = q - f;
    }
    const char c = *q;
    const long digits = (q - p) - (dot ? 1 : 0);
    if (digits == 0 || (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || m >= (1u << 24) ||
        fraction > 10)
        return false;
    const float v = static_cast<float>(m) / powers[fraction];
    value = neg ? -v : v;
    pos_ = static_cast<std::size_t>(q - buf_.data());
    return true;
}
