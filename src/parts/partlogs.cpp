#include "partlogs.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

namespace {

void readone(logread& log)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(log.name, ec))
        return;
    {
        std::ifstream file(log.name, std::ios::binary);
        if (!file)
            return;
        log.head = readloghead(file);
    }
    log.readable = true;
    // The reader's console text is the dialogue's: the sub-commands say what
    // it found from the values it returns.
    std::ostream nowhere(nullptr);
    std::string name = log.name;
    log.reading = extractor(name, log.rows, nowhere);
}

// The comparisons of a row, as a text to compare runs by.
std::string comparisons(const std::vector<comparisonrecord>& row)
{
    std::string s;
    for (const comparisonrecord& g : row)
        s += std::to_string(g.numbera) + " " + std::to_string(g.numberb) + " " + g.namea + " " + g.nameb + ";";
    return s;
}

// The rows of a log that were read to their replicate's end marker.
std::size_t completerows(const logread& log)
{
    return log.rows.size() - (log.reading.lastcut ? 1 : 0);
}

// Part logs of different runs, told by their identities: one message naming
// each log with its identity, the logs of one run together; nothing when all
// have one identity, or none has any. A file that is neither a part log nor
// has an identity is left to the other checks.
std::optional<std::string> otherruns(const std::vector<logread>& logs)
{
    std::map<std::string, std::vector<std::string>> byrun;  // identity ("" for none): logs
    for (const logread& log : logs)
        if (log.head.label || log.head.provenance)
            byrun[log.head.provenance ? log.head.provenance->identity : ""].push_back(log.name);
    if (byrun.size() < 2)
        return std::nullopt;
    std::vector<std::string> runs;
    for (auto& [identity, names] : byrun) {
        std::sort(names.begin(), names.end());
        std::string s;
        for (const std::string& name : names)
            s += (s.empty() ? "" : ", ") + name;
        runs.push_back(s + (identity.empty() ? " (no run identity)"
                                            : " (run " + identity + ")"));
    }
    std::sort(runs.begin(), runs.end());
    std::string message = "the logs belong to different runs: ";
    for (std::size_t i = 0; i < runs.size(); ++i)
        message += (i == 0 ? "" : "; ") + runs[i];
    return message;
}

}  // namespace

std::string whereitends(const extractor& reading)
{
    if (reading.replicates.empty())
        return "ends before its first bootstrap replicate";
    return std::string(reading.lastcut ? "ends inside" : "ends after") + " bootstrap replicate " +
           std::to_string(reading.replicates.back());
}

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
    if (const std::optional<std::string> runs = otherruns(logs)) {
        m.faults.push_back(*runs);
        m.foreign = true;
        return m;
    }
    const logread* first = nullptr;
    for (const logread& log : logs)
        if (log.head.label && (!first || log.head.label->part < first->head.label->part))
            first = &log;
    if (!first) {
        m.foreign = true;
        m.faults.push_back("none of the logs is the log of a part (their beginning names no part of a run)");
        return m;
    }
    m.expected = first->head.label->replicates;

    // Every log must be a part of the same run: the same split, the same
    // comparisons (in the replicates read to their end).
    std::string compared;
    for (const logread& log : logs)
        if (completerows(log) > 0) {
            compared = comparisons(log.rows.front());
            break;
        }
    for (const logread& log : logs) {
        const std::optional<partlabel>& label = log.head.label;
        if (!label) {
            m.faults.push_back(log.name + " is not the log of a part of a split run");
            m.foreign = true;
        } else if (label->parts != first->head.label->parts || label->replicates != m.expected) {
            m.faults.push_back(log.name + " (part " + std::to_string(label->part) + " of " +
                               std::to_string(label->parts) + ", " + std::to_string(label->replicates) +
                               " replicates) and " + first->name + " (part " + std::to_string(first->head.label->part) +
                               " of " + std::to_string(first->head.label->parts) + ", " + std::to_string(m.expected) +
                               " replicates) are logs of different runs");
            m.foreign = true;
        } else if (completerows(log) > 0 && comparisons(log.rows.front()) != compared) {
            m.faults.push_back(log.name + " compares other groups than " + first->name +
                               ": they are logs of different runs");
            m.foreign = true;
        }
    }
    if (m.foreign)
        return m;

    // Which log holds each complete replicate. A row with fewer comparisons
    // than the run's, or one the log ends inside, does not count.
    std::size_t ncomparisons = 0;
    for (const logread& log : logs)
        for (const std::vector<comparisonrecord>& row : log.rows)
            ncomparisons = std::max(ncomparisons, row.size());
    std::map<int, std::pair<logread*, std::size_t>> holder;
    std::map<int, std::vector<std::string>> doubled;
    std::vector<int> outside;
    for (logread& log : logs) {
        for (std::size_t r = 0; r < completerows(log); ++r) {
            const int n = log.reading.replicates[r];
            if (log.rows[r].size() < ncomparisons)
                continue;
            if (n < log.head.label->range.first || n > log.head.label->range.last) {
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

    // Missing replicates, named by the part that should hold them: first the
    // parts whose logs are cut, then the others.
    std::vector<std::string> cut, lacking;
    const std::vector<replicaterange> ranges = splitreplicates(m.expected, first->head.label->parts);
    for (std::size_t k = 0; k < ranges.size(); ++k) {
        std::vector<int> lost;
        for (int n = ranges[k].first; n <= ranges[k].last; ++n)
            if (!holder.count(n))
                lost.push_back(n);
        if (lost.empty())
            continue;
        const logread* owner = nullptr;
        for (const logread& log : logs)
            if (log.head.label->part == static_cast<int>(k) + 1)
                owner = &log;
        const std::string part = "part " + std::to_string(k + 1) + " of " + std::to_string(ranges.size());
        const std::string replicates = "replicates " + numberranges(lost);
        std::string why;
        if (!owner)
            lacking.push_back(why = replicates + " are missing: the log of " + part + " was not given");
        else if (owner->reading.fault != logfault::none)
            cut.push_back(why = owner->name + " (" + part + ") could not be read to its end, so " + replicates +
                                " are missing");
        else if (!owner->reading.ended)
            cut.push_back(why = owner->name + " (" + part + ") is cut: it " + whereitends(owner->reading) + ", so " +
                                replicates + " are missing");
        else
            lacking.push_back(why = replicates + " are missing: " + owner->name + " (" + part + ") lacks them");
        m.missing.push_back({lost, why});
    }
    m.faults.insert(m.faults.end(), cut.begin(), cut.end());
    m.faults.insert(m.faults.end(), lacking.begin(), lacking.end());
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
    if (!outside.empty()) {
        std::sort(outside.begin(), outside.end());
        m.faults.push_back("replicates " + numberranges(outside) + " stand in a part log whose label does not name them");
    }

    for (auto& [n, where] : holder) {
        m.table.push_back(std::move(where.first->rows[where.second]));
        m.numbers.push_back(n);
    }
    return m;
}

std::string defaultreportname(const std::vector<logread>& logs)
{
    if (logs.empty())
        return "";
    const std::string& name = logs.front().name;
    const std::size_t dot = name.rfind(".log.");
    if (logs.front().head.label && dot != std::string::npos &&
        name.find_first_not_of("0123456789", dot + 5) == std::string::npos && dot + 5 < name.size())
        return name.substr(0, dot + 4);
    return name;
}
