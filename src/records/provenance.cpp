#include "provenance.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "sha256.h"

const char* tolviversion()
{
    return TOLVI_VERSION;
}

namespace {

// The comment's first line; the identity is always 12 characters, so the same
// pattern writes and reads it.
const char* const firstline = "Tolvi run %12s (provenance %d)";
constexpr std::string_view commentstart = "[!\nTolvi run ";
constexpr int knownformat = 1;
constexpr std::size_t identitydigits = 12;

// The end of the head comment ("***Command file created by Tolvi ...***"):
// everything before it is the same in every command file but for the log
// file's name and the creation time.
std::size_t headcommentend(std::string_view head)
{
    const std::size_t created = head.find("***Command file created by Tolvi ");
    const std::size_t close = created == std::string_view::npos ? created : head.find(']', created);
    return close == std::string_view::npos ? 0 : close + 1;
}

template <typename T>
std::optional<std::string> text(const std::optional<T>& v)
{
    if (!v)
        return std::nullopt;
    if constexpr (std::is_same_v<T, std::string>)
        return *v;
    else
        return std::to_string(*v);
}

template <typename T>
bool parse(const std::string& s, std::optional<T>& v)
{
    if constexpr (std::is_same_v<T, std::string>) {
        v = s;
        return true;
    } else {
        T n{};
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
        if (ec != std::errc() || end != s.data() + s.size())
            return false;
        v = n;
        return true;
    }
}

// Character numbers as ranges: "3-5 9 12-20".
std::optional<std::string> rangestext(const std::optional<std::vector<int>>& numbers)
{
    if (!numbers)
        return std::nullopt;
    std::string s;
    const std::vector<int>& n = *numbers;
    for (std::size_t i = 0; i < n.size();) {
        std::size_t j = i;
        while (j + 1 < n.size() && n[j + 1] == n[j] + 1)
            ++j;
        s += (s.empty() ? "" : " ") + std::to_string(n[i]) + (j > i ? "-" + std::to_string(n[j]) : "");
        i = j + 1;
    }
    return s;
}

bool parseranges(const std::string& s, std::optional<std::vector<int>>& numbers)
{
    std::vector<int> n;
    const char* p = s.data();
    const char* const end = p + s.size();
    while (p < end) {
        int first = 0, last = 0;
        auto r = std::from_chars(p, end, first);
        if (r.ec != std::errc())
            return false;
        last = first;
        p = r.ptr;
        if (p < end && *p == '-') {
            r = std::from_chars(p + 1, end, last);
            if (r.ec != std::errc() || last < first)
                return false;
            p = r.ptr;
        }
        for (int k = first; k <= last; ++k)
            n.push_back(k);
        if (p < end && *p++ != ' ')
            return false;
    }
    numbers = std::move(n);
    return true;
}

// The lines after the first, one per field: the key, then ": " and the value;
// a field without a value is left out. Written and read through this table.
struct field {
    const char* key;
    std::optional<std::string> (*get)(const runprovenance&);
    bool (*set)(runprovenance&, const std::string&);
};

const field fields[] = {
    {"tolvi", [](const runprovenance& r) { return text(r.tolvi); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.tolvi); }},
    {"data file", [](const runprovenance& r) { return text(r.datafile.name); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.datafile.name); }},
    {"data file size", [](const runprovenance& r) { return text(r.datafile.size); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.datafile.size); }},
    {"data file sha256", [](const runprovenance& r) { return text(r.datafile.sha256); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.datafile.sha256); }},
    {"data file format", [](const runprovenance& r) { return text(r.datafile.reading.format); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.datafile.reading.format); }},
    {"data file reading", [](const runprovenance& r) { return text(r.datafile.reading.reading); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.datafile.reading.reading); }},
    {"characters", [](const runprovenance& r) { return text(r.datafile.characters); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.datafile.characters); }},
    {"excluded characters", [](const runprovenance& r) { return rangestext(r.datafile.reading.excluded); },
     [](runprovenance& r, const std::string& v) { return parseranges(v, r.datafile.reading.excluded); }},
    {"exclusion set", [](const runprovenance& r) { return text(r.datafile.reading.exclusionset); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.datafile.reading.exclusionset); }},
    {"setting", [](const runprovenance& r) { return text(r.setting); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.setting); }},
    {"setting text", [](const runprovenance& r) { return text(r.settingtext); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.settingtext); }},
    {"seed", [](const runprovenance& r) { return text(r.seed); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.seed); }},
    {"replicates", [](const runprovenance& r) { return text(r.replicates); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.replicates); }},
    {"parts", [](const runprovenance& r) { return text(r.parts); },
     [](runprovenance& r, const std::string& v) { return parse(v, r.parts); }},
};

}  // namespace

std::string commentsafe(std::string_view text)
{
    std::string s(text);
    for (char& c : s)
        if (c == '[')
            c = '(';
        else if (c == ']')
            c = ')';
        else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    return s;
}

std::string runidentity(std::string_view head, std::string_view section, std::uint32_t seed, int replicates)
{
    sha256 digest;
    std::string_view shared = head.substr(headcommentend(head));
    // A provenance comment already written there is no part of it.
    if (shared.starts_with(commentstart))
        shared.remove_prefix(std::min(shared.size(), shared.find(']') + 1));
    digest.update(shared.data(), shared.size());
    digest.update(section.data(), section.size());
    const std::string counts = "\nseed " + std::to_string(seed) + " replicates " + std::to_string(replicates) + "\n";
    digest.update(counts.data(), counts.size());
    return digest.hex().substr(0, identitydigits);
}

std::string withprovenance(std::string_view head, const runprovenance& run)
{
    char line[80];
    std::snprintf(line, sizeof line, firstline, run.identity.c_str(), knownformat);
    std::string comment = std::string(commentstart.substr(0, 3)) + line + "\n";
    for (const field& f : fields)
        if (const std::optional<std::string> value = f.get(run))
            comment += std::string(f.key) + ": " + commentsafe(*value) + "\n";
    comment += "]";
    const std::size_t at = headcommentend(head);
    return std::string(head.substr(0, at)) + comment + std::string(head.substr(at));
}

std::optional<runprovenance> findprovenance(std::string_view text)
{
    const std::size_t at = text.find("Tolvi run ");
    if (at == std::string_view::npos)
        return std::nullopt;
    std::size_t eol = text.find('\n', at);
    if (eol == std::string_view::npos)
        eol = text.size();
    // A copy ends the line for sscanf, which needs a zero character.
    const std::string first(text.substr(at, std::min<std::size_t>(eol - at, 200)));
    char identity[identitydigits + 1] = {};
    runprovenance run;
    if (std::sscanf(first.c_str(), firstline, identity, &run.format) != 2 ||
        std::string_view(identity).size() != identitydigits ||
        std::string_view(identity).find_first_not_of("0123456789abcdef") != std::string_view::npos)
        return std::nullopt;
    run.identity = identity;
    if (run.format != knownformat)
        return run;  // a later format: its fields are not this version's to read
    while (eol < text.size()) {
        const std::size_t from = eol + 1;
        eol = std::min(text.find('\n', from), text.size());
        std::string_view line = text.substr(from, eol - from);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        const std::size_t colon = line.find(": ");
        const field* f = nullptr;
        for (const field& candidate : fields)
            if (colon != std::string_view::npos && line.substr(0, colon) == candidate.key)
                f = &candidate;
        if (!f || !f->set(run, std::string(line.substr(colon + 2))))
            break;
    }
    return run;
}
