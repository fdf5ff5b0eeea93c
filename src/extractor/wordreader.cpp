#include "wordreader.h"

#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>

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
    std::streamsize got = in_.rdbuf() ? in_.rdbuf()->sgetn(buf_.data() + end_,
                                                            static_cast<std::streamsize>(buf_.size() - end_))
                                      : 0;
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

void wordreader::numberfailed(std::string consumed)
{
    // A number cut off by the end of the input counts as the end, not as a
    // word that cannot be a number.
    if (eof_)
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
        numberfailed(t);
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool wordreader::number(float& value)
{
    if (eof_ || failed_ || !skipspace())
        return false;
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
        numberfailed(t);
        return false;
    }
    if (t.empty() || ec != std::errc() || ptr != last) {
        numberfailed(t);
        return false;
    }
    value = v;
    return true;
}
