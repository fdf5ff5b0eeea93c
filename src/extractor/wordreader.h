#ifndef TOLVI_WORDREADER_H
#define TOLVI_WORDREADER_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

// Reads a text stream forward as whitespace-separated words and numbers,
// through a buffer of fixed size (it grows only for a single word longer than
// the buffer). It behaves like formatted extraction from a standard stream:
// - a word is a maximal run of characters that are not white space;
// - a number is the longest prefix of the next word that formatted integer or
//   float input would take; the rest of the word stays for the next read;
// - eof() turns true as soon as a read runs into the end of the input, also
//   when that read still delivered a complete last word or number;
// - once a read has failed, every further read fails.
// Where a number is expected but the text cannot be one, failed() turns true
// and badword() holds the text found there (a number cut off by the end of
// the input counts as the end, unless it is already too large).
class prefetcher;
class sha256;

class wordreader {
public:
    // With `prefetch`, a second thread reads the next piece of the input while
    // this one works on the current piece (for large files). `digest`, when
    // given, gets every byte of the input, in order: on the second thread
    // where there is one.
    explicit wordreader(std::istream& in, std::size_t buffersize = 1 << 18, bool prefetch = false,
                        sha256* digest = nullptr);
    ~wordreader();
    wordreader(const wordreader&) = delete;
    wordreader& operator=(const wordreader&) = delete;

    // The next word. The view stays valid until the next read.
    bool word(std::string_view& w);
    // The next word that contains one of the characters c1, c2, c3; the words
    // before it are skipped. Reads exactly as a loop of word() that stops at
    // such a word would read.
    bool wordwith(std::string_view& w, char c1, char c2, char c3);
    bool number(int& value);
    bool number(float& value);

    // At least `want` characters of what follows (fewer only where the input
    // ends), for a caller that parses them in place; nothing is consumed.
    // The view stays valid until the next read.
    std::string_view window(std::size_t want);
    // Consumes `n` characters of the window.
    void consume(std::size_t n);

    // Called with the number of characters read so far after each fill of
    // the buffer (for a progress line).
    void onfill(std::function<void(std::uint64_t)> f) { onfill_ = std::move(f); }

    // Reads the rest of the input unparsed, for the digest, and returns the
    // number of characters the input held; the digest is complete then.
    std::uint64_t drain();

    bool eof() const { return eof_; }
    bool failed() const { return failed_; }
    // Whether the input stopped on a read error (the log is a folder, or the
    // device failed) rather than at its end; reading then stops as at the end.
    bool readerror() const { return readerror_; }
    const std::string& badword() const { return badword_; }

private:
    bool skipspace();
    bool fastnumber(float& value);
    bool fastnumber(int& value);
    bool fill(std::size_t keep);
    bool readmore();
    int peekchar();
    void numberfailed(std::string consumed, bool overflow = false);

    std::istream& in_;
    sha256* digest_;
    std::unique_ptr<prefetcher> prefetch_;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    bool drained_ = false;
    bool readerror_ = false;
    std::string badword_;
    std::uint64_t total_ = 0;
    std::function<void(std::uint64_t)> onfill_;
    std::string numtext_;
};

// A plain decimal number at p, parsed in place when that is certain to give
// what formatted float input gives: returns the position after it, or nullptr
// when the general path must decide (also when fewer than 24 characters are
// left before `end`).
const char* simpledecimal(const char* p, const char* end, float& value);

// White space as the C locale classifies it for formatted input.
inline bool isblankchar(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

#endif
