#include "commands.h"

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <thread>

#include "driver.h"
#include "logcheck.h"
#include "partlogs.h"
#include "plan.h"
#include "subcommand.h"

namespace {

// The names given to evaluate without the report of earlier evaluations of
// the same part logs: `tolvi evaluate PREFIX.log.*` also matches PREFIX.log.ma
// and the results table and figure beside it, which are no logs and are
// written anew. Each one left out is named on `err`.
std::vector<std::string> withoutreports(const std::vector<std::string>& names, const std::string& who,
                                        std::ostream& err)
{
    const auto partof = [](const std::string& name, const std::string& stem) {
        return name.size() > stem.size() + 1 && name.starts_with(stem + ".") &&
               name.find_first_not_of("0123456789", stem.size() + 1) == std::string::npos;
    };
    // The report and the results table and figure written beside it.
    const std::pair<std::string, const char*> written[] = {
        {".ma", "report"}, {".ma.tsv", "results table"}, {".ma.svg", "results figure"}};
    std::vector<std::string> logs;
    for (const std::string& name : names) {
        const auto report = std::find_if(std::begin(written), std::end(written), [&](const auto& w) {
            const std::string stem = name.substr(0, name.size() - std::min(name.size(), w.first.size()));
            const auto ispart = [&](const std::string& other) { return partof(other, stem); };
            return name.ends_with(w.first) && !stem.empty() && std::any_of(names.begin(), names.end(), ispart);
        });
        if (report != std::end(written)) {
            err << who << ": " << name << " is the " << report->second
                << " of these part logs, not a log: left out\n";
            continue;
        }
        logs.push_back(name);
    }
    return logs;
}

}  // namespace

int evaluatelogs(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    const char* const who = "tolvi evaluate";
    CLI::App app("Evaluates the PAUP log of a run, or the part logs of a split run, and writes the report.", who);
    std::vector<std::string> names;
    bool ranking = false, partial = false;
    std::string report;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    app.add_option("LOG", names, "the log, or the part logs PREFIX.log.K in any order")->required();
    app.add_flag("--ranking", ranking, "the run made a ranking list (construct --ranking)");
    app.add_option("--report", report, "write the report to NAME.ma (default: the log's name; PREFIX.log for part logs)");
    app.add_flag("--partial", partial, "evaluate the complete replicates even when some are missing");
    app.add_option("--threads", threads, "logs read at once (default: the number of cores)")
        ->check(CLI::Range(1u, 4096u));
    app.footer("Exit value 0 when the report is written, 2 otherwise (nothing written).");
    if (const int rc = parse(app, argc, argv, out, err); rc >= 0)
        return rc;

    std::vector<logread> logs = readlogs(withoutreports(names, who, err), threads);
    for (const logread& log : logs) {
        if (!log.readable) {
            err << who << ": the log " << log.name << " cannot be read (no such file, a folder, or not readable)\n";
            return 2;
        }
        if (!log.messages.empty())
            err << who << ": " << log.name << ":\n" << log.messages;
    }

    replicatetable table;
    if (logs.size() == 1 && !logs.front().label) {
        table = std::move(logs.front().rows);
    } else {
        mergedlogs merged = mergeparts(logs);
        for (const std::string& f : merged.faults)
            err << who << ": " << f << "\n";
        if (merged.foreign || (!merged.faults.empty() && !partial)) {
            err << who << ": no report is written" << (merged.foreign ? "" : " (--partial evaluates the complete replicates)")
                << "\n";
            return 2;
        }
        if (!merged.faults.empty())
            err << who << ": --partial: evaluating " << merged.table.size() << " of " << merged.expected
                << " bootstrap replicates" << (merged.missing.empty() ? "" : "; missing: " + numberranges(merged.missing))
                << "\n";
        table = std::move(merged.table);
    }
    if (report.empty())
        report = defaultreportname(logs);
    std::ostringstream console;
    console << std::fixed << std::setprecision(5);
    if (!logfitsreport(table, ranking, logs.front().name, console)) {
        err << who << ": " << oneline(console.str()) << "\n";
        return 2;
    }
    // Of part logs, the first part's holds the section of the alignment as read.
    const auto first =
        std::find_if(logs.begin(), logs.end(), [](const logread& l) { return l.label && l.label->part == 1; });
    const std::string& logname = (first == logs.end() ? logs.front() : *first).name;
    const int rc = evaluate(table, logname, ranking, report, static_cast<int>(table.size()), false, console);
    (rc == 0 ? out : err) << console.str();
    return rc == 0 ? 0 : 2;
}
