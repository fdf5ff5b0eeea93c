#include "logcheck.h"

#include <algorithm>

namespace {

std::string describe(const comparisonid& c)
{
    return std::to_string(c.a) + " " + c.namea + " versus " + std::to_string(c.b) + " " + c.nameb;
}

bool fitsranking(const std::vector<comparisonid>& log)
{
    for (const comparisonid& c : log)
        if (c.b != log.front().b || c.nameb != log.front().nameb)
            return false;
    return true;
}

// Every pair of the log's groups in order: the groups are the first
// comparison's group A followed by the B groups compared with it. A log cut
// inside its first replicate holds the first of these pairs.
bool fitsmatrix(const std::vector<comparisonid>& log)
{
    std::vector<std::pair<int, std::string>> groups{{log.front().a, log.front().namea}};
    for (const comparisonid& c : log)
        if (c.a == log.front().a && c.namea == log.front().namea)
            groups.emplace_back(c.b, c.nameb);
    std::size_t k = 0;
    for (std::size_t i = 0; i < groups.size(); ++i)
        for (std::size_t j = i + 1; j < groups.size(); ++j, ++k)
            if (k == log.size())
                return true;
            else if (log[k] != comparisonid{groups[i].first, groups[j].first, groups[i].second, groups[j].second})
                return false;
    return k == log.size();
}

}  // namespace

std::vector<comparisonid> writtencomparisons(const std::vector<group>& groups, bool ranking)
{
    std::vector<comparisonid> list;
    if (groups.size() < 2)
        return list;
    const std::size_t k = groups.size() - 1;
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = i + 1; j < k; ++j)
            if (!ranking || j == k - 1)
                list.push_back({groups[i].number, groups[j].number, groups[i].name, groups[j].name});
    return list;
}

std::vector<comparisonid> logcomparisons(const replicatetable& table)
{
    std::vector<comparisonid> list;
    if (table.empty())
        return list;
    for (const comparisonrecord& c : table.front())
        list.push_back({c.numbera, c.numberb, c.namea, c.nameb});
    // A log that ends inside the head of its first replicate's last comparison
    // leaves a record without triplets and with the head as far as it went.
    if (table.size() == 1 && !list.empty() && table.front().back().brancha.empty())
        list.pop_back();
    return list;
}

bool logbelongs(const replicatetable& table, const std::vector<comparisonid>& written, const std::string& logname,
                std::ostream& out)
{
    const std::vector<comparisonid> log = logcomparisons(table);
    // a log cut inside its first replicate holds the first comparisons
    if (log.size() <= written.size() && std::equal(log.begin(), log.end(), written.begin()))
        return true;
    out << "\nThe log " << logname << " does not hold the comparisons of the command file just written";
    std::size_t i = 0;
    while (i < log.size() && i < written.size() && log[i] == written[i])
        ++i;
    if (i < log.size() && i < written.size())
        out << " (comparison " << i + 1 << " of the log is " << describe(log[i]) << ", of the command file "
            << describe(written[i]) << ")";
    else
        out << " (the log holds " << log.size() << " comparisons, the command file " << written.size() << ")";
    out << ": is it another run's log? Tolvi stops, and no report is written.\n";
    return false;
}

bool logfitsreport(const replicatetable& table, bool ranking, const std::string& logname, std::ostream& out)
{
    const std::vector<comparisonid> log = logcomparisons(table);
    if (log.empty())
        return true;
    const bool matrix = fitsmatrix(log), list = fitsranking(log);
    if (ranking ? list : matrix)
        return true;
    out << "\nThe comparisons of the log " << logname;
    if (ranking)
        out << " do not all share one reference group, so they give no ranking list";
    else
        out << " are not every pair of its groups in order, so they give no comparison matrix";
    if (ranking ? matrix : list)
        out << "; the log fits a " << (ranking ? "comparison matrix" : "ranking list");
    else
        out << "; the log fits neither report";
    out << ". Tolvi stops, and no report is written.\n";
    return false;
}
