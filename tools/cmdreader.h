#ifndef TOLVI_ENGINE_CMDREADER_H
#define TOLVI_ENGINE_CMDREADER_H

#include <cstddef>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>

// A command file that cannot be carried out: the message says where and why.
class engineerror : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A command or setting that tolvi-distances does not carry out: the message
// names the command and lists what it supports.
class refusal : public engineerror {
public:
    using engineerror::engineerror;
};

// One piece of a command file.
struct token {
    enum kind { word, semicolon, equals, printcomment, end };
    kind what = end;
    std::string text;  // the word, or the text of a "[!...]" comment as written
    long line = 0;     // the line on which the token begins
};

// Reads a command file forward, one token at a time, in a single pass:
// - words are separated by white space, ";", "=" and comments;
// - ";" and "=" are tokens of their own;
// - "[...]" is a comment and is dropped; "[!...]" is a comment whose text
//   (everything between "[!" and the closing "]") is handed out; comments
//   nest, and the text of an inner comment stays part of the outer one;
// - a word that begins with a single quote runs to the closing quote and may
//   hold blanks and punctuation; two quotes inside stand for one.
// An unterminated comment or quoted word, and a "]" outside any comment, are
// errors (engineerror).
class cmdreader {
public:
    explicit cmdreader(std::istream& in);

    // Fills `t` with the next token; at the end of the input t.what is end.
    void next(token& t);

    long line() const { return line_; }

    // The input ahead, at least `least` characters of it unless the input
    // ends first, without reading past it; skip(n) then passes over n of them.
    std::string_view lookahead(std::size_t least);
    void skip(std::size_t count);

private:
    int get();
    int peek();
    bool fill();
    void comment(token& t, long startline);
    void quoted(token& t);

    std::istream& in_;
    std::string buf_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    long line_ = 1;
};

#endif
