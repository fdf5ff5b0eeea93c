#include "wordreader.h"

#include <charconv>
#include <condition_variable>
#include <ios>
#include <cstdint>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <thread>

#include "sha256.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Reads up to n characters from the source. A read error ends the input as
// the end of the file would, and is noted: the file buffer throws where
// formatted input would only set badbit.
std::streamsize readpiece(std::streambuf* source, char* to, std::size_t n, bool& error)
{
    if (!source)
        return 0;
    try {
        return source->sgetn(to, static_cast<std::streamsize>(n));
    } catch (...) {
        error = true;
        return 0;
    }
}

}  // namespace

// Reads the input ahead on a thread of its own, piece by piece, into a spare
// buffer; the reader takes the spare in exchange for its own buffer, so no
// piece is copied once it has been read. Each buffer holds `room` characters
// in front of the piece, where the reader puts the unfinished word of its old
// buffer. With a digest, the thread also hashes every piece, in order, where
// it lies (in the spare, or in the reader's buffer while the reader parses
// it); a buffer is read into again only once its piece is hashed. When the
// thread is busy hashing and the reader needs the next piece, the reader
// reads it itself: the two share the work.
class prefetcher {
public:
    static constexpr std::size_t room = 1 << 16;

    prefetcher(std::streambuf* source, std::size_t piece, sha256* digest)
        : source_(source), piece_(piece), digest_(digest), spare_(room + piece), thread_([this] { run(); })
    {
    }

    ~prefetcher()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    // Swaps the next piece into `buf`, with the `keep` characters at
    // buf[from ..] in front of it: afterwards they stand at buf[start ..] and
    // the piece's `got` characters follow them. False, with `buf` untouched,
    // when the input has nothing more.
    bool next(std::vector<char>& buf, std::size_t from, std::size_t keep, std::size_t& start, std::size_t& got,
              bool& error)
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (spare_state_ != ready) {
            if (ended_) {
                error = error_;
                return false;  // the end (every later call says so too)
            }
            if (!reading_ && spare_state_ == empty)
                readspare(lock);
            else
                changed_.wait(lock);
        }
        error = error_;
        got = spare_piece_.size;
        if (keep <= room) {
            start = room - keep;
            std::memcpy(spare_.data() + start, buf.data() + from, keep);
        } else {
            // A word longer than the room: a buffer of its own, and the
            // spare's memory given up once its piece is hashed.
            changed_.wait(lock, [this] { return hashed_ > spare_piece_.number; });
            std::vector<char> joined(room + keep + got);
            std::memcpy(joined.data() + room, buf.data() + from, keep);
            std::memcpy(joined.data() + room + keep, spare_.data() + room, got);
            spare_.swap(joined);
            start = room;
        }
        buf.swap(spare_);
        // The reader's old piece now lies in the spare: hashed before it is
        // read into again.
        const piece old = main_piece_;
        main_piece_ = spare_piece_;
        spare_piece_ = old;
        spare_state_ = old.number >= hashed_ ? stale : empty;
        lock.unlock();
        changed_.notify_all();
        return true;
    }

    // Waits until every piece read is hashed.
    void finish()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return hashed_ == next_number_; });
    }

private:
    struct piece {
        long number = -1;
        const char* data = nullptr;
        std::size_t size = 0;
    };
    enum state { empty, stale, ready };

    // Reads the next piece into the spare (either thread, the lock held).
    void readspare(std::unique_lock<std::mutex>& lock)
    {
        reading_ = true;
        if (spare_.size() < room + piece_)
            spare_.resize(room + piece_);
        char* to = spare_.data() + room;
        lock.unlock();
        // Only this thread touches the spare while reading_ is set.
        bool error = false;
        const std::streamsize got = readpiece(source_, to, piece_, error);
        lock.lock();
        reading_ = false;
        error_ = error_ || error;
        if (got <= 0) {
            ended_ = true;
        } else {
            spare_piece_ = {next_number_++, to, static_cast<std::size_t>(got)};
            spare_state_ = ready;
            if (!digest_)
                hashed_ = next_number_;
        }
        changed_.notify_all();
    }

    void run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stop_) {
            // The next piece to hash, wherever it lies.
            const piece* next = nullptr;
            if (main_piece_.number == hashed_ && hashed_ < next_number_)
                next = &main_piece_;
            else if (spare_state_ != empty && spare_piece_.number == hashed_)
                next = &spare_piece_;
            if (digest_ && next) {
                const piece p = *next;
                lock.unlock();
                digest_->update(p.data, p.size);
                lock.lock();
                ++hashed_;
                if (spare_state_ == stale && spare_piece_.number < hashed_)
                    spare_state_ = empty;
                changed_.notify_all();
            } else if (!reading_ && spare_state_ == empty && !ended_) {
                readspare(lock);
            } else {
                changed_.wait(lock);
            }
        }
    }

    std::streambuf* source_;
    const std::size_t piece_;
    sha256* digest_;
    std::vector<char> spare_;
    piece spare_piece_;
    piece main_piece_;
    state spare_state_ = empty;
    long next_number_ = 0;  // of the next piece read
    long hashed_ = 0;       // pieces hashed, in order
    bool reading_ = false;
    bool ended_ = false;
    bool error_ = false;
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread thread_;
};

wordreader::wordreader(std::istream& in, std::size_t buffersize, bool prefetch, sha256* digest)
    : in_(in), digest_(digest), buf_(buffersize < 16 ? 16 : buffersize)
{
    if (prefetch) {
        prefetch_ = std::make_unique<prefetcher>(in.rdbuf(), buf_.size(), digest);
        buf_.assign(prefetcher::room + buf_.size(), 0);
    }
}

wordreader::~wordreader() = default;

// Refills the buffer, keeping the last `keep` characters before pos_ (a word
// that runs past the end of the buffer): afterwards they stand just before
// pos_ again, and the new characters run from pos_ to end_. Returns false when
// the input has nothing more.
bool wordreader::fill(std::size_t keep)
{
    if (drained_)
        return false;
    if (prefetch_) {
        std::size_t start = 0, got = 0;
        if (!prefetch_->next(buf_, pos_ - keep, keep, start, got, readerror_)) {
            drained_ = true;
            return false;
        }
        pos_ = start + keep;
        end_ = pos_ + got;
        total_ += got;
        if (onfill_)
            onfill_(total_);
        return true;
    }
    std::size_t start = pos_ - keep;
    if (start > 0 && keep > 0)
        std::memmove(buf_.data(), buf_.data() + start, keep);
    pos_ = keep;
    end_ = keep;
    if (keep == buf_.size())
        buf_.resize(buf_.size() * 2);
    return readmore();
}

bool wordreader::readmore()
{
    const std::streamsize got = readpiece(in_.rdbuf(), buf_.data() + end_, buf_.size() - end_, readerror_);
    if (got <= 0) {
        drained_ = true;
        return false;
    }
    if (digest_)
        digest_->update(buf_.data() + end_, static_cast<std::size_t>(got));
    end_ += static_cast<std::size_t>(got);
    total_ += static_cast<std::uint64_t>(got);
    if (onfill_)
        onfill_(total_);
    return true;
}

std::uint64_t wordreader::drain()
{
    pos_ = end_;
    while (fill(0))
        pos_ = end_;
    if (prefetch_)
        prefetch_->finish();
    return total_;
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
        const bool more = fill(len);
        start = pos_ - len;
        if (!more) {
            eof_ = true;
            break;
        }
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
            pos_ -= keep;  // back to the start of the kept part of a word
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

const char* simpledecimal(const char* p, const char* end, float& value)
{
    // Plain decimals ("0.34326", "-12.5") with at most nine characters of
    // digits and point: the value is an integer m below 2^24 divided by 10^k,
    // k at most 8. The product m * 10^-k in double lies within 2^-52 of
    // m / 10^k (relative), while m / 10^k is never a midpoint between two
    // floats and never nearer than 2^-48 (relative) to one; so rounding the
    // product to float gives the correctly rounded float of the decimal, as
    // formatted input does. Anything else (an exponent, more digits, a number
    // that may run on past `end`) is left to the general path.
    static const double inverse[] = {1e0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8, 1e-9};
    if (end - p < 24)
        return nullptr;
    const bool neg = *p == '-';
    if (*p == '+' || *p == '-')
        ++p;
    const char* q = p;
    std::uint32_t m = 0;
    while (*q >= '0' && *q <= '9' && q - p < 9)
        m = m * 10 + static_cast<std::uint32_t>(*q++ - '0');
    long fraction = 0;
    const bool dot = *q == '.';
    if (dot) {
        const char* f = ++q;
        while (*q >= '0' && *q <= '9' && q - p < 9)
            m = m * 10 + static_cast<std::uint32_t>(*q++ - '0');
        fraction = q - f;
    }
    const char c = *q;
    const long digits = (q - p) - (dot ? 1 : 0);
    if (digits == 0 || (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || m >= (1u << 24))
        return nullptr;
    const float v = static_cast<float>(static_cast<double>(m) * inverse[fraction]);
    value = neg ? -v : v;
    return q;
}

bool wordreader::fastnumber(float& value)
{
    const char* q = simpledecimal(buf_.data() + pos_, buf_.data() + end_, value);
    if (!q)
        return false;
    pos_ = static_cast<std::size_t>(q - buf_.data());
    return true;
}

std::string_view wordreader::window(std::size_t want)
{
    if (prefetch_ && want <= prefetcher::room) {
        while (!eof_ && !failed_ && !drained_ && end_ - pos_ < want) {
            const std::size_t keep = end_ - pos_;
            pos_ = end_;
            fill(keep);
            pos_ -= keep;
        }
        return std::string_view(buf_.data() + pos_, end_ - pos_);
    }
    if (!eof_ && !failed_ && end_ - pos_ < want) {
        if (pos_ + want > buf_.size() || pos_ > buf_.size() / 2) {
            // Move what is left to the front, then read on behind it.
            const std::size_t left = end_ - pos_;
            std::memmove(buf_.data(), buf_.data() + pos_, left);
            pos_ = 0;
            end_ = left;
            if (buf_.size() < want)
                buf_.resize(want);
        }
        while (!drained_ && end_ - pos_ < want && readmore()) {
        }
    }
    return std::string_view(buf_.data() + pos_, end_ - pos_);
}

void wordreader::consume(std::size_t n)
{
    pos_ += n;
}
