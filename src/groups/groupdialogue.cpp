#include "groupdialogue.h"

#include <algorithm>
#include <climits>

#include "answer.h"

namespace {

bool isspacechar(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool isdigitchar(char c)
{
    return c >= '0' && c <= '9';
}

const char* skipspace(const char* p)
{
    while (isspacechar(*p))
        ++p;
    return p;
}

// Reads standard input up to the next ";" (consumed, not stored) into `text`.
// Line breaks belong to the list. At most 499 characters fit before the ";".
bool readlist(std::istream& in, std::ostream& out, const std::string& name, std::string& text)
{
    text.clear();
    char c;
    while (in.get(c)) {
        if (c == ';')
            return true;
        if (text.size() == 499) {
            out << "\n\nThe list of taxa of group " << name
                << " is longer than 499 characters before its \";\": Tolvi stops.\n";
            return false;
        }
        text += c;
    }
    inputended(out);
    return false;
}

// Reads and parses the list of one group, counting its taxon numbers into
// `total`; false when the run must end.
bool readgroup(std::istream& in, std::ostream& out, group& g, std::size_t& total)
{
    std::string text;
    if (!readlist(in, out, g.name, text))
        return false;
    std::string toolarge;
    parseindexlist(g.taxa, text.c_str(), out, toolarge);
    if (!toolarge.empty()) {
        out << "\n\nThe taxon number " << toolarge << " in group " << g.name << " is too large: Tolvi stops.\n";
        return false;
    }
    total += g.taxa.size();
    if (total > entrylimit) {
        out << "\n\nThe lists of taxa hold more than " << entrylimit << " taxon numbers in all: Tolvi stops.\n";
        return false;
    }
    return true;
}

}  // namespace

void appendnumber(std::vector<int>& list, int a)
{
    list.push_back(a);
}

const char* parsenumber(long long& value, const char* p)
{
    p = skipspace(p);
    if (!isdigitchar(*p)) {
        value = -1;
        return p;
    }
    long long v = 0;
    for (; isdigitchar(*p); ++p)
        if (v <= INT_MAX)  // once too large, the value stays above INT_MAX
            v = v * 10 + (*p - '0');
    value = v;
    return p;
}

bool parseindexlist(std::vector<int>& indices, const char* text, std::ostream& out, std::string& toolarge)
{
    toolarge.clear();
    std::vector<int> list;
    const char* p = text;
    for (;;) {
        const char* start = skipspace(p);
        long long a;
        p = parsenumber(a, start);
        if (a < 0) {
            out << "fehlende Zahl\n";
            return false;
        }
        if (a > INT_MAX) {
            toolarge.assign(start, p);
            return false;
        }
        appendnumber(list, static_cast<int>(a));
        p = skipspace(p);
        if (*p == '-') {
            long long e;
            p = parsenumber(e, p + 1);
            if (e < 0) {
                out << "fehlendes Bereichsende \n";
                return false;
            }
            const long long last = std::min<long long>(e, rangelimit + 1LL);
            for (long long v = a + 1; v <= last && list.size() <= entrylimit; ++v)
                appendnumber(list, static_cast<int>(v));
            p = skipspace(p);
        }
        if (*p != ',')
            break;
        ++p;
    }
    indices = std::move(list);
    return true;
}

bool askgroups(std::vector<group>& allgroups, std::istream& in, std::ostream& out)
{
    allgroups.clear();
    int index = 0;
    std::size_t total = 0;
    out << "Please define groups of taxa:\n\n";
    out << "(for easy rearrangement of taxa in NEXUS files Velnic is recommended)\n\n";
    for (;;) {
        out << "name of " << index + 1 << ". group: (\"q\" to stop entering)\n ";
        std::string name;
        if (!readword(in, out, name))
            return false;
        if (name == "q")
            break;
        out << "\ttaxa in " << name << ": ";
        if (index == 0)
            out << "(enter like this: \"1, 3,4-8, 25-31, 15,44;\")\n\t";
        out << "\n\t";
        group g(index, name);
        if (!readgroup(in, out, g, total))
            return false;
        allgroups.push_back(std::move(g));
        ++index;
    }

    out << "\ttaxa in outgroup:\n";
    group og(index, "outgroup");
    if (!readgroup(in, out, og, total))
        return false;
    allgroups.push_back(std::move(og));

    out << "\n\nchecking: the " << allgroups.size() << " groups";
    out << " and the taxa they contain: \n";
    for (const group& g : allgroups)
        out << g;
    return true;
}
