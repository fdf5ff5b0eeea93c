#include "commander.h"

#include <cstdio>

namespace {

// A name that begins with a digit or "$" would run into the marks in front of
// it; a "|" keeps them apart.
bool needsbar(const std::string& name)
{
    return !name.empty() && ((name[0] >= '0' && name[0] <= '9') || name[0] == '$');
}

// Stands in for a sequence the lists lack (they are parallel in every run).
const std::string nosequence;

}  // namespace

std::tm localclock()
{
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    if (const std::tm* lt = std::localtime(&now))
        t = *lt;
    return t;
}

std::string datetext(const std::tm& t)
{
    static const char* const wday[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const mon[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* w = t.tm_wday >= 0 && t.tm_wday < 7 ? wday[t.tm_wday] : "???";
    const char* m = t.tm_mon >= 0 && t.tm_mon < 12 ? mon[t.tm_mon] : "???";
    char buf[80];
    std::snprintf(buf, sizeof buf, "%s %s%3d %.2d:%.2d:%.2d %d\n", w, m, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                  1900 + t.tm_year);
    return buf;
}

commander::commander(const std::vector<std::string>& a, const std::vector<std::string>& b,
                     const std::vector<group>& groups, std::ostream& console, clockfn clock)
    : seqs(b), seqnames(a), allgroups(groups), console_(&console), clock_(clock)
{
}

commander::~commander()
{
    *console_ << "\ncommander destructed\n";
}

void commander::writematrix(std::ostream& cdfile, const std::string& nex)
{
    const std::tm now = clock_();
    cdfile << "#NEXUS\n\n";
    cdfile << "log file = " << nex << ".log replace=yes;\n";
    cdfile << "[!\n\n***Command file created by Tolvi " << datetext(now) << "***\n\n]";

    const std::size_t nchar = seqs.empty() ? 0 : seqs.front().size();
    cdfile << "Begin data;\n";
    cdfile << "dimensions ntax=" << seqnames.size() << " nchar=" << nchar << ";\n";
    cdfile << "Format datatype=DNA gap=- missing=?;\n\n";
    cdfile << "MATRIX\n\n";

    // The marks: the newest stands first, so a taxon in groups 0 and 2 becomes $2$0name.
    std::vector<bool> marked(seqnames.size(), false);
    for (const group& g : allgroups) {
        char mark[16];
        std::snprintf(mark, sizeof mark, "%c%d", '$', g.number);
        for (int t : g.taxa) {
            if (t < 1 || static_cast<std::size_t>(t) > seqnames.size())
                continue;  // refused by the driver before the file is opened
            std::string& name = seqnames[static_cast<std::size_t>(t) - 1];
            if (!marked[static_cast<std::size_t>(t) - 1] && needsbar(name))
                name = mark + ("|" + name);
            else
                name = mark + name;
            marked[static_cast<std::size_t>(t) - 1] = true;
            *console_ << t << "  " << name << "\n";
        }
    }

    for (std::size_t i = 0; i < seqnames.size(); ++i) {
        const std::string& s = i < seqs.size() ? seqs[i] : nosequence;
        cdfile << seqnames[i] + "\t" + s + "\n";
    }
    cdfile << ";\nend;\n\n\n";

    cdfile << "[!\n\nTaxa and groups assigned in Tolvi:\n\n];";
    for (std::size_t r = 0; r < seqnames.size(); ++r)
        cdfile << "\n[!" << r + 1 << " " << seqnames[r] << "]";
    cdfile << "[!\n\nStarting rate calculations...\n\n];";
}

std::uint64_t commander::comparison(const group& a, const group& b, std::ostream& cdfile) const
{
    cdfile << "[!\n\n###begin " << a.number << " " << b.number << " " << a.name << " versus " << b.name << " \n\n]";
    const std::uint64_t n = writetriplets(allgroups.back(), a, b, cdfile);
    cdfile << "[!\n\n###end " << a.number << " " << b.number << "\n]";
    return n;
}

std::uint64_t commander::writepairwise(std::ostream& cdfile) const
{
    if (allgroups.size() < 2) {
        *console_ << "\nError: no groups defined!";
        return 0;
    }
    std::uint64_t n = 0;
    const std::size_t k = allgroups.size() - 1;
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = i + 1; j < k; ++j)
            n += comparison(allgroups[i], allgroups[j], cdfile);
    cdfile << "[!\n$$$end of Tolvi bootstrap replicate\n\n]";
    return n;
}

std::uint64_t commander::rank(std::ostream& cdfile) const
{
    if (allgroups.size() < 2) {
        *console_ << "\nError: not enough groups defined for ranking!";
        return 0;
    }
    std::uint64_t n = 0;
    const std::size_t r = allgroups.size() - 2;  // the reference group
    for (std::size_t i = 0; i < r; ++i)
        n += comparison(allgroups[i], allgroups[r], cdfile);
    return n;
}

std::uint64_t commander::writetriplets(const group& og, const group& g1, const group& g2, std::ostream& cdfile) const
{
    std::uint64_t n = 0;
    for (int o : og.taxa)
        for (int a : g1.taxa)
            for (int b : g2.taxa) {
                if (o == a || o == b || a == b)
                    continue;  // PAUP would show a matrix of two taxa
                cdfile << "\ndelete all;\n";
                cdfile << "restore " << o << " " << a << " " << b << ";\n";
                cdfile << "[!\n\n%triplet " << a << " " << b << " " << o << "\n]";
                cdfile << "ShowDist;";
                cdfile << "[!\n%endtriplet\n\n];";
                ++n;
            }
    return n;
}
