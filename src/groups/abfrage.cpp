#include "abfrage.h"

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

// Reads standard input up to the next ";" (consumed, not stored) into `zeile`.
// Line breaks belong to the list. At most 499 characters fit before the ";".
bool readlist(std::istream& in, std::ostream& out, const std::string& gname, std::string& zeile)
{
    zeile.clear();
    char c;
    while (in.get(c)) {
        if (c == ';')
            return true;
        if (zeile.size() == 499) {
            out << "\n\nThe list of taxa of group " << gname
                << " is longer than 499 characters before its \";\": Tolvi stops.\n";
            return false;
        }
        zeile += c;
    }
    inputended(out);
    return false;
}

// Reads and parses the list of one group, counting its taxon numbers into
// `total`; false when the run must end.
bool readgroup(std::istream& in, std::ostream& out, group& g, std::size_t& total)
{
    std::string zeile;
    if (!readlist(in, out, g.gname, zeile))
        return false;
    std::string toolarge;
    indzeile(g.tind, zeile.c_str(), out, toolarge);
    if (!toolarge.empty()) {
        out << "\n\nThe taxon number " << toolarge << " in group " << g.gname << " is too large: Tolvi stops.\n";
        return false;
    }
    total += g.tind.size();
    if (total > entrylimit) {
        out << "\n\nThe lists of taxa hold more than " << entrylimit << " taxon numbers in all: Tolvi stops.\n";
        return false;
    }
    return true;
}

}  // namespace

void hinzufuege(std::vector<int>& ilist, int a)
{
    ilist.push_back(a);
}

const char* zahleinl(long long& ii, const char* p)
{
    p = skipspace(p);
    if (!isdigitchar(*p)) {
        ii = -1;
        return p;
    }
    long long v = 0;
    for (; isdigitchar(*p); ++p)
        if (v <= INT_MAX)  // once too large, the value stays above INT_MAX
            v = v * 10 + (*p - '0');
    ii = v;
    return p;
}

bool indzeile(std::vector<int>& ivec, const char* zeile, std::ostream& out, std::string& toolarge)
{
    toolarge.clear();
    std::vector<int> list;
    const char* p = zeile;
    for (;;) {
        const char* start = skipspace(p);
        long long a;
        p = zahleinl(a, start);
        if (a < 0) {
            out << "fehlende Zahl\n";
            return false;
        }
        if (a > INT_MAX) {
            toolarge.assign(start, p);
            return false;
        }
        hinzufuege(list, static_cast<int>(a));
        p = skipspace(p);
        if (*p == '-') {
            long long e;
            p = zahleinl(e, p + 1);
            if (e < 0) {
                out << "fehlendes Bereichsende \n";
                return false;
            }
            const long long last = std::min<long long>(e, rangelimit + 1LL);
            for (long long v = a + 1; v <= last && list.size() <= entrylimit; ++v)
                hinzufuege(list, static_cast<int>(v));
            p = skipspace(p);
        }
        if (*p != ',')
            break;
        ++p;
    }
    ivec = std::move(list);
    return true;
}

bool abfrage(std::vector<group>& allgroups, std::istream& in, std::ostream& out)
{
    allgroups.clear();
    int nr = 0;
    std::size_t total = 0;
    out << "Please define groups of taxa:\n\n";
    out << "(for easy rearrangement of taxa in NEXUS files Velnic is recommended)\n\n";
    for (;;) {
        out << "name of " << nr + 1 << ". group: (\"q\" to stop entering)\n ";
        std::string name;
        if (!readword(in, out, name))
            return false;
        if (name == "q")
            break;
        out << "\ttaxa in " << name << ": ";
        if (nr == 0)
            out << "(enter like this: \"1, 3,4-8, 25-31, 15,44;\")\n\t";
        out << "\n\t";
        group g(nr, name);
        if (!readgroup(in, out, g, total))
            return false;
        allgroups.push_back(std::move(g));
        ++nr;
    }

    out << "\ttaxa in outgroup:\n";
    group og(nr, "outgroup");
    if (!readgroup(in, out, og, total))
        return false;
    allgroups.push_back(std::move(og));

    out << "\n\nchecking: the " << allgroups.size() << " groups";
    out << " and the taxa they contain: \n";
    for (const group& g : allgroups)
        out << g;
    return true;
}
