#include "answer.h"

#include <cctype>
#include <charconv>
#include <climits>

void inputended(std::ostream& out)
{
    out << "\n\nStandard input ended where an answer was expected: Tolvi stops.\n";
}

bool scanint(std::istream& in, int& value, std::string& text)
{
    text.clear();
    in >> std::ws;
    if (!in.good())
        return false;
    int c = in.peek();
    if (c == '+' || c == '-') {
        text += static_cast<char>(in.get());
        c = in.peek();
    }
    bool digits = false;
    while (c >= '0' && c <= '9') {
        text += static_cast<char>(in.get());
        digits = true;
        c = in.peek();
    }
    if (digits) {
        long long v = 0;
        const char* first = text.data() + (text[0] == '+' ? 1 : 0);
        auto [ptr, ec] = std::from_chars(first, text.data() + text.size(), v);
        if (ec == std::errc() && ptr == text.data() + text.size() && v >= INT_MIN && v <= INT_MAX) {
            value = static_cast<int>(v);
            return true;
        }
        return false;  // too large for an int
    }
    // No digit: the rest of the word, to show what stood there.
    in.clear(in.rdstate() & ~std::ios::eofbit);
    if (in.good() && !std::isspace(in.peek())) {
        std::string rest;
        in >> rest;
        text += rest;
    }
    return false;
}

bool readint(std::istream& in, std::ostream& out, int& value)
{
    in >> std::ws;
    if (!in.good()) {
        inputended(out);
        return false;
    }
    std::string text;
    if (scanint(in, value, text))
        return true;
    if (text.find_first_of("0123456789") != std::string::npos)
        out << "\n\nThe answer " << text << " is too large for a number here: Tolvi stops.\n";
    else
        out << "\n\nA number was expected as the answer, not \"" << text << "\": Tolvi stops.\n";
    return false;
}

bool readword(std::istream& in, std::ostream& out, std::string& word)
{
    std::string w;
    if (!(in >> w)) {
        inputended(out);
        return false;
    }
    word = w;
    return true;
}

bool readfilename(std::istream& in, std::ostream& out, std::string& name)
{
    std::string w;
    if (!readword(in, out, w))
        return false;
    if (const std::size_t zero = w.find('\0'); zero != std::string::npos) {
        out << "\n\nThe file name " << w.substr(0, zero)
            << " is followed by a zero character, which no file name can hold: Tolvi stops.\n";
        return false;
    }
    name = w;
    return true;
}
