#include "partlogs.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "extractor.h"

namespace {

// The reader's lines that only show progress.
bool progressline(const std::string& line)
{
    return line.empty() || line.starts_with("bootstrap replicate ") || line == "last bootstr repl!" ||
           line == "Eof!" || line == "End of file reached!";
}

void readone(logread& log)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(log.name, ec))
        return;
    {
        std::ifstream head(log.name, std::ios::binary);
        if (!head)
            return;
        std::string start(1 << 16, '\0');
        head.read(start.data(), static_cast<std::streamsize>(start.size()));
        start.resize(static_cast<std::size_t>(head.gcount()));
        // The label stands before the first replicate.
        log.label = findpartlabel(start.substr(0, start.find("begin_bootstrap_replicate")));
    }
    log.readable = true;
    std::ostringstream out;
    std::string name = log.name;
    extractor reader(name, log.rows, out);
    log.replicates = std::move(reader.replicates);
    log.ended = reader.ended;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);)
        if (!progressline(line))
            log.messages += line + "\n";
}

// The comparisons of a row, as a text to compare runs by.
std::string comparisons(const std::vector<comparisonrecord>& row)
{
    std::string s;
    for (const comparisonrecord& g : row)
        s += std::to_string(g.numbera) + " " + std::to_string(g.numberb) + " " + g.namea + " " + g.nameb + ";";
    return s;
}

}  // namespace

std::vector<logread> readlogs(const std::vector<std::string>& names, unsigned threads)
{
    std::vector<logread> logs(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        logs[i].name = names[i];
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < logs.size(); i = next++)
            readone(logs[i]);
    };
    const std::size_t n = std::min<std::size_t>(std::max(threads, 1u), logs.size());
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < n; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    return logs;
}

mergedlogs mergeparts(std::vector<logread>& logs)
{
    mergedlogs m;
    const logread* first = nullptr;
    for (const logread& log : logs)
        if (log.label && (!first || log.label->part < first->label->part))
            first = &log;
    if (!first) {
        m.foreign = true;
        m.faults.push_back("none of the logs is the log of a part (their beginning names no part of a run)");
        return m;
    }
    m.expected = first->label->replicates;

    // Every log must be a part of the same run: the same split, the same comparisons.
    std::string compared;
    for (const logread& log : logs)
        if (!log.rows.empty()) {
            compared = comparisons(log.rows.front());
            break;
        }
    for (const logread& log : logs) {
        if (!log.label) {
            m.faults.push_back(log.name + " is not the log of a part of a split run");
            m.foreign = true;
        } else if (log.label->parts != first->label->parts || log.label->replicates != m.expected) {
            m.faults.push_back(log.name + " (part " + std::to_string(log.label->part) + " of " +
                               std::to_string(log.label->parts) + ", " + std::to_string(log.label->replicates) +
                               " replicates) and " + first->name + " (part " + std::to_string(first->label->part) +
                               " of " + std::to_string(first->label->parts) + ", " + std::to_string(m.expected) +
                               " replicates) are logs of different runs");
            m.foreign = true;
        } else if (!log.rows.empty() && comparisons(log.rows.front()) != compared) {
            m.faults.push_back(log.name + " compares other groups than " + first->name +
                               ": they are logs of different runs");
            m.foreign = true;
        }
    }
    if (m.foreign)
        return m;

    // Which log holds each complete replicate. A row with fewer comparisons
    // than the run's, or the last row of a log that stops before its end
    // marker, is cut short and does not count.
    std::size_t ncomparisons = 0;
    for (const logread& log : logs)
        for (const std::vector<comparisonrecord>& row : log.rows)
            ncomparisons = std::max(ncomparisons, row.size());
    std::map<int, std::pair<logread*, std::size_t>> holder;
    std::map<int, std::vector<std::string>> doubled;
    std::vector<int> outside;
    for (logread& log : logs) {
        for (std::size_t r = 0; r < log.rows.size(); ++r) {
            const int n = log.replicates[r];
            const bool cut = log.rows[r].size() < ncomparisons || (!log.ended && r + 1 == log.rows.size());
            if (cut)
                continue;
            if (n < log.label->range.first || n > log.label->range.last) {
                outside.push_back(n);
                continue;
            }
            auto [at, fresh] = holder.try_emplace(n, &log, r);
            if (!fresh) {
                std::vector<std::string>& in = doubled[n];
                if (in.empty())
                    in.push_back(at->second.first->name);
                in.push_back(log.name);
            }
        }
    }
    if (!outside.empty()) {
        std::sort(outside.begin(), outside.end());
        m.faults.push_back("replicates " + numberranges(outside) + " stand in a part log whose label does not name them");
    }
    // Doubled replicates, grouped by the logs they stand in.
    std::map<std::string, std::vector<int>> doubledby;
    for (const auto& [n, names] : doubled) {
        std::string where;
        for (const std::string& name : names)
            where += (where.empty() ? "" : " and ") + name;
        doubledby[where].push_back(n);
    }
    for (const auto& [where, numbers] : doubledby)
        m.faults.push_back("replicates " + numberranges(numbers) + " appear more than once: in " + where);

    // Missing replicates, named by the part that should hold them.
    const std::vector<replicaterange> ranges = splitreplicates(m.expected, first->label->parts);
    for (std::size_t k = 0; k < ranges.size(); ++k) {
        std::vector<int> lost;
        for (int n = ranges[k].first; n <= ranges[k].last; ++n)
            if (!holder.count(n))
                lost.push_back(n);
        if (lost.empty())
            continue;
        m.missing.insert(m.missing.end(), lost.begin(), lost.end());
        const logread* owner = nullptr;
        for (const logread& log : logs)
            if (log.label->part == static_cast<int>(k) + 1)
                owner = &log;
        const std::string part = "part " + std::to_string(k + 1) + " of " + std::to_string(ranges.size());
        if (!owner)
            m.faults.push_back("replicates " + numberranges(lost) + " are missing: the log of " + part +
                               " was not given");
        else
            m.faults.push_back("replicates " + numberranges(lost) + " are missing: " + owner->name + " (" + part +
                               ") " + (owner->ended ? "lacks them" : "is cut short"));
    }

    for (auto& [n, where] : holder)
        m.table.push_back(std::move(where.first->rows[where.second]));
    return m;
}

std::string defaultreportname(const std::vector<logread>& logs)
{
    if (logs.empty())
        return "";
    const std::string& name = logs.front().name;
    const std::size_t dot = name.rfind(".log.");
    if (logs.front().label && dot != std::string::npos &&
        name.find_first_not_of("0123456789", dot + 5) == std::string::npos && dot + 5 < name.size())
        return name.substr(0, dot + 4);
    return name;
}
