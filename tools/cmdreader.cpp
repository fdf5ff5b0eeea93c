#include "cmdreader.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

bool isspacechar(int c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool wordend(int c)
{
    return isspacechar(c) || c == ';' || c == '=' || c == '[' || c == ']';
}

std::string at(long line)
{
    return "line " + std::to_string(line) + ": ";
}

}  // namespace

cmdreader::cmdreader(std::istream& in) : in_(in), buf_(1 << 16, '\0')
{
}

// Reads the next chunk of the input; false at its end. A stream that fails
// for any other reason than its end is an error.
bool cmdreader::fill()
{
    pos_ = end_ = 0;
    if (!in_.good())
        return false;
    in_.read(buf_.data(), static_cast<std::streamsize>(buf_.size()));
    if (in_.bad() || (in_.fail() && !in_.eof()))
        throw engineerror(at(line_) + "the command file could not be read to its end");
    end_ = static_cast<std::size_t>(in_.gcount());
    return end_ > 0;
}

std::string_view cmdreader::lookahead(std::size_t least)
{
    if (end_ - pos_ < least && in_.good() && least <= buf_.size()) {
        // What is left moves to the front, and the rest of the buffer is filled.
        buf_.erase(0, pos_);
        end_ -= pos_;
        pos_ = 0;
        buf_.resize(std::max(buf_.size(), std::size_t{1} << 16));
        in_.read(buf_.data() + end_, static_cast<std::streamsize>(buf_.size() - end_));
        if (in_.bad() || (in_.fail() && !in_.eof()))
            throw engineerror(at(line_) + "the command file could not be read to its end");
        end_ += static_cast<std::size_t>(in_.gcount());
    }
    return std::string_view(buf_.data() + pos_, end_ - pos_);
}

void cmdreader::skip(std::size_t count)
{
    const std::size_t stop = std::min(end_, pos_ + count);
    const char* last = buf_.data() + stop;
    for (const char* p = buf_.data() + pos_; (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(last - p)))) != nullptr; ++p)
        ++line_;
    pos_ = stop;
}

int cmdreader::get()
{
    if (pos_ == end_ && !fill())
        return -1;
    const int c = static_cast<unsigned char>(buf_[pos_++]);
    if (c == '\n')
        ++line_;
    return c;
}

int cmdreader::peek()
{
    if (pos_ == end_ && !fill())
        return -1;
    return static_cast<unsigned char>(buf_[pos_]);
}

void cmdreader::comment(token& t, long startline)
{
    // The "[" has been read.
    const bool printed = peek() == '!';
    if (printed)
        get();
    int depth = 1;
    for (;;) {
        // The text up to the next bracket or line end, taken from the buffer at once.
        std::size_t stop = pos_;
        while (stop < end_ && buf_[stop] != '[' && buf_[stop] != ']' && buf_[stop] != '\n')
            ++stop;
        if (printed)
            t.text.append(buf_, pos_, stop - pos_);
        pos_ = stop;
        const int c = get();
        if (c < 0)
            throw engineerror(at(startline) + "the comment that begins here is never closed by \"]\"");
        if (c == '[')
            ++depth;
        else if (c == ']' && --depth == 0)
            break;
        if (printed)
            t.text += static_cast<char>(c);
    }
    t.what = printed ? token::printcomment : token::end;
}

void cmdreader::quoted(token& t)
{
    // The opening quote has been read.
    const long startline = line_;
    for (;;) {
        const int c = get();
        if (c < 0)
            throw engineerror(at(startline) + "the quoted word that begins here is never closed");
        if (c == '\'') {
            if (peek() != '\'')
                return;
            get();
        }
        t.text += static_cast<char>(c);
    }
}

void cmdreader::next(token& t)
{
    t.text.clear();
    for (;;) {
        int c = get();
        while (c >= 0 && isspacechar(c))
            c = get();
        t.line = line_;
        if (c < 0) {
            t.what = token::end;
            return;
        }
        switch (c) {
        case ';':
            t.what = token::semicolon;
            t.text = ";";
            return;
        case '=':
            t.what = token::equals;
            t.text = "=";
            return;
        case '[':
            comment(t, t.line);
            if (t.what == token::printcomment)
                return;
            continue;  // a plain comment separates words and is dropped
        case ']':
            throw engineerror(at(t.line) + "\"]\" without a comment opened before it");
        case '\'':
            t.what = token::word;
            quoted(t);
            return;
        default:
            break;
        }
        t.what = token::word;
        t.text += static_cast<char>(c);
        for (;;) {
            // The rest of the word as far as the buffer holds it, at once.
            std::size_t stop = pos_;
            while (stop < end_ && !wordend(static_cast<unsigned char>(buf_[stop])))
                ++stop;
            t.text.append(buf_, pos_, stop - pos_);
            pos_ = stop;
            const int d = peek();
            if (d < 0 || wordend(d))
                return;
        }
    }
}
