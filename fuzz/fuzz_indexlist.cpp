// The index list parser on any text (up to its first zero byte), and the
// whole group dialogue on the input as standard input.
//
// Invariants of the parser: on success every number came from the text (it
// is written there, or lies inside a range "a-b" written there, above a and
// not beyond b) and the first one is the first number of the text; on failure
// the list is unchanged and exactly one reason is given: a German message, or
// a number too large for an int, handed back as written. Invariants of the
// dialogue: it ends either with the outgroup last, the groups numbered in
// order of entry and the echo, or with a message that the run stops.

#include <algorithm>
#include <climits>
#include <set>

#include "abfrage.h"
#include "common.h"

namespace {

struct number {
    long long value;  // above INT_MAX once too large
    std::size_t from, to;
};

std::vector<number> numbers(const std::string& t)
{
    std::vector<number> r;
    for (std::size_t i = 0; i < t.size();) {
        if (t[i] < '0' || t[i] > '9') {
            ++i;
            continue;
        }
        number n{0, i, i};
        for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
            if (n.value <= INT_MAX)
                n.value = n.value * 10 + (t[i] - '0');
        n.to = i;
        r.push_back(n);
    }
    return r;
}

// Whether only white space and one "-" stand between two numbers.
bool rangebetween(const std::string& t, const number& a, const number& b)
{
    std::size_t i = a.to;
    while (i < b.from && fuzzing::isspacechar(t[i]))
        ++i;
    if (i == b.from || t[i] != '-')
        return false;
    for (++i; i < b.from; ++i)
        if (!fuzzing::isspacechar(t[i]))
            return false;
    return true;
}

void parser(const std::string& text)
{
    const std::vector<int> before{-7, 42};
    std::vector<int> ivec = before;
    std::ostringstream out;
    std::string toolarge;
    const bool ok = indzeile(ivec, text.c_str(), out, toolarge);
    const std::vector<number> nums = numbers(text);

    if (!ok) {
        FUZZ_CHECK(ivec == before, "the list changed on failure");
        const bool german = out.str() == "fehlende Zahl\n" || out.str() == "fehlendes Bereichsende \n";
        FUZZ_CHECK(german != !toolarge.empty(), out.str() + "|" + toolarge);
        if (!toolarge.empty()) {
            FUZZ_CHECK(text.find(toolarge) != std::string::npos, toolarge);
            FUZZ_CHECK(numbers(toolarge).size() == 1 && numbers(toolarge)[0].to == toolarge.size() &&
                           numbers(toolarge)[0].value > INT_MAX,
                       toolarge);
        }
        return;
    }
    FUZZ_CHECK(out.str().empty() && toolarge.empty(), out.str());
    FUZZ_CHECK(!ivec.empty() && !nums.empty(), "an empty list on success");
    std::size_t lead = 0;
    while (fuzzing::isspacechar(text[lead]))
        ++lead;
    FUZZ_CHECK(nums[0].from == lead && ivec[0] == nums[0].value, "the first number is not the text's first");
    // What the text allows: its numbers, and the insides (a, b] of its ranges.
    std::set<long long> written;
    std::vector<std::pair<long long, long long>> ranges;
    for (std::size_t k = 0; k < nums.size(); ++k) {
        written.insert(nums[k].value);
        if (k + 1 < nums.size() && rangebetween(text, nums[k], nums[k + 1]))
            ranges.emplace_back(nums[k].value, nums[k + 1].value);
    }
    std::sort(ranges.begin(), ranges.end());
    std::vector<long long> reach(ranges.size());  // the farthest end among ranges starting at or before
    for (std::size_t k = 0; k < ranges.size(); ++k)
        reach[k] = std::max(ranges[k].second, k > 0 ? reach[k - 1] : ranges[k].second);
    for (int v : ivec) {
        // the last range starting below v, and whether any range up to it reaches v
        const auto after = std::lower_bound(ranges.begin(), ranges.end(), std::make_pair(static_cast<long long>(v), -1LL));
        const bool inrange = after != ranges.begin() && reach[static_cast<std::size_t>(after - ranges.begin()) - 1] >= v;
        FUZZ_CHECK(inrange || written.count(v) > 0, "the number " + std::to_string(v) + " is not in the text");
    }
}

void dialogue(const std::string& input)
{
    std::vector<group> groups{group(99, "stale")};
    std::istringstream in(input);
    std::ostringstream out;
    const bool ok = abfrage(groups, in, out);
    const std::string console = out.str();
    if (!ok) {
        FUZZ_CHECK(fuzzing::endswith(console, "Tolvi stops.\n"), console);
        return;
    }
    FUZZ_CHECK(!groups.empty() && groups.back().gname == "outgroup", "no outgroup last");
    std::ostringstream echo;
    echo << "\n\nchecking: the " << groups.size() << " groups and the taxa they contain: \n";
    for (std::size_t i = 0; i < groups.size(); ++i) {
        FUZZ_CHECK(groups[i].gind == static_cast<int>(i), "groups not numbered in order");
        for (int t : groups[i].tind)
            FUZZ_CHECK(t >= 0, std::to_string(t));
        echo << groups[i];
    }
    FUZZ_CHECK(fuzzing::endswith(console, echo.str()), console);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    parser(input.substr(0, input.find('\0')));
    dialogue(input);
    return 0;
}
