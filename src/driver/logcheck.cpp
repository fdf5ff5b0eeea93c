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
// comparison's group A followed by the B groups compared with it. A log that
// stops short would have the report, which forms its groups the same way,
// place a comparison under another pair; only a log of two comparisons (A-B,
// A-C) may, its matrix of A and B showing the first alone.
bool fitsmatrix(const std::vector<comparisonid>& log)
{
    std::vector<std::pair<int, std::string>> groups{{log.front().a, log.front().namea}};
    for (const comparisonid& c : log)
        if (c.a == log.front().a && c.namea == log.front().namea)
            groups.emplace_back(c.b, c.nameb);
    std::size_t k = 0;
    for (std::size_t i = 0; i < groups.size() && k < log.size(); ++i)
        for (std::size_t j = i + 1; j < groups.size() && k < log.size(); ++j, ++k)
            if (log[k] != comparisonid{groups[i].first, groups[j].first, groups[i].second, groups[j].second})
                return false;
    return log.size() == groups.size() * (groups.size() - 1) / 2 || (k == log.size() && log.size() <= 2);
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
    return list;
}

std::optional<std::string> logbelongs(const replicatetable& table, const std::vector<comparisonid>& written,
                                      const std::string& logname)
{
    const std::vector<comparisonid> log = logcomparisons(table);
    if (log.empty() || log == written)
        return std::nullopt;
    std::string fault = "The log " + logname + " does not hold the comparisons of the command file just written";
    std::size_t i = 0;
    while (i < log.size() && i < written.size() && log[i] == written[i])
        ++i;
    if (i < log.size() && i < written.size())
        fault += " (comparison " + std::to_string(i + 1) + " of the log is " + describe(log[i]) +
                 ", of the command file " + describe(written[i]) + ")";
    else
        fault += " (the log holds " + std::to_string(log.size()) + " comparisons, the command file " +
                 std::to_string(written.size()) + ")";
    return fault + ": is it another run's log?";
}

std::optional<std::string> logfitsreport(const replicatetable& table, bool ranking, const std::string& logname)
{
    const std::vector<comparisonid> log = logcomparisons(table);
    if (log.empty())
        return std::nullopt;
    const bool matrix = fitsmatrix(log), list = fitsranking(log);
    if (ranking ? list : matrix)
        return std::nullopt;
    std::string fault = "The comparisons of the log " + logname;
    if (ranking)
        fault += " do not all share one reference group, so they give no ranking list";
    else
        fault += " are not every pair of its groups in order, so they give no comparison matrix";
    if (ranking ? matrix : list)
        fault += std::string("; the log fits a ") + (ranking ? "comparison matrix" : "ranking list");
    else
        fault += "; the log fits neither report";
    return fault + ".";
}
