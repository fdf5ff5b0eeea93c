// The index list parser on any text (up to its first zero byte), and the
// whole group dialogue on the input as standard input.
//
// Invariants of the parser: on success the first number is the text's first
// and none lies beyond the text's largest (a range ends at its end); on
// failure the list is unchanged and exactly one reason is given: a German
// message, or a number too large for an int, handed back as written. Of the dialogue: it ends with
// the outgroup last and the groups numbered in order, or says the run stops.

#include "common.h"

namespace {

const char* const digits = "0123456789";

// The number written from `i` on (above INT_MAX once too large); `i` moves past it.
long long number(const std::string& t, std::size_t& i)
{
    long long v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
        v = std::min<long long>(v * 10 + (t[i] - '0'), INT_MAX + 1LL);
    return v;
}

void parser(const std::string& text)
{
    const std::vector<int> before{-7, 42};
    std::vector<int> list = before;
    std::ostringstream out;
    std::string toolarge;
    std::size_t end = 0;
    if (!parseindexlist(list, text.c_str(), out, toolarge)) {
        FUZZ_CHECK(list == before, "the list changed on failure");
        FUZZ_CHECK((out.str() == "fehlende Zahl\n" || out.str() == "fehlendes Bereichsende \n") == toolarge.empty(),
                   out.str() + "|" + toolarge);
        FUZZ_CHECK(toolarge.empty() || (text.find(toolarge) != std::string::npos && number(toolarge, end) > INT_MAX &&
                                        end == toolarge.size()),
                   toolarge);
        return;
    }
    long long largest = 0;
    for (std::size_t i = text.find_first_of(digits); i != std::string::npos; i = text.find_first_of(digits, i))
        largest = std::max(largest, number(text, i));
    end = text.find_first_not_of(" \t\n\v\f\r");
    FUZZ_CHECK(out.str().empty() && toolarge.empty() && !list.empty() && list[0] == number(text, end), out.str());
    for (int v : list)
        FUZZ_CHECK(v >= 0 && v <= largest, "the number " + std::to_string(v) + " is beyond the text's numbers");
}

void dialogue(const std::string& input)
{
    std::vector<group> groups{group(99, "stale")};
    std::istringstream in(input);
    std::ostringstream out;
    const bool ok = askgroups(groups, in, out);
    FUZZ_CHECK(ok ? !groups.empty() && groups.back().name == "outgroup" : out.str().ends_with("Tolvi stops.\n"),
               out.str());
    for (std::size_t i = 0; ok && i < groups.size(); ++i)
        FUZZ_CHECK(groups[i].number == static_cast<int>(i), "groups not numbered in order");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    parser(input.substr(0, input.find('\0')));
    dialogue(input);
    return 0;
}
