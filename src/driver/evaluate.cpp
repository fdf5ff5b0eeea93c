#include "commands.h"

#include <algorithm>
#include <iomanip>
#include <sstream>
#include <thread>

#include "driver.h"
#include "partlogs.h"
#include "plan.h"
#include "runfacts.h"
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
        {".ma", "report"}, {".ma.tsv", "results table"}, {".ma.svg", "results figure"}, {".ma.json", "run record"}};
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
    runrecord record;
    record.commandline = std::vector<std::string>{"tolvi"};
    record.commandline->insert(record.commandline->end(), argv, argv + argc);
    for (const logread& log : logs) {
        if (!log.readable) {
            err << who << ": the log " << log.name << " cannot be read (no such file, a folder, or not readable)\n";
            return 2;
        }
        if (log.reading.fault == logfault::badnumber)
            err << who << ": " << log.name << ": a number was expected where the word \"" << log.reading.badword
                << "\" stands: the reading stops there, and what was read before is kept\n";
        else if (log.reading.fault == logfault::readerror)
            err << who << ": " << log.name
                << ": the log could not be read to its end (a read error): what was read before is kept\n";
        record.logs.push_back(logrecord(log.name, log.reading));
    }

    replicatetable table;
    extractor reading;
    // Of part logs, the first part's holds the section of the alignment as read.
    const logread* first = &logs.front();
    if (logs.size() == 1 && !logs.front().head.label) {
        table = std::move(logs.front().rows);
        reading = logs.front().reading;
    } else {
        mergedlogs merged = mergeparts(logs);
        for (const std::string& f : merged.faults)
            err << who << ": " << f << "\n";
        if (merged.foreign || (!merged.faults.empty() && !partial)) {
            err << who << ": no report is written" << (merged.foreign ? "" : " (--partial evaluates the complete replicates)")
                << "\n";
            return 2;
        }
        if (!merged.faults.empty()) {
            std::vector<int> missing;
            for (const replicatenote& m : merged.missing)
                missing.insert(missing.end(), m.replicates.begin(), m.replicates.end());
            std::sort(missing.begin(), missing.end());
            err << who << ": --partial: evaluating " << merged.table.size() << " of " << merged.expected
                << " bootstrap replicates" << (missing.empty() ? "" : "; missing: " + numberranges(missing)) << "\n";
        }
        table = std::move(merged.table);
        // Merged, the replicates are complete and in order.
        reading.opened = reading.ended = true;
        reading.replicates = merged.numbers;
        record.asked = merged.expected;
        record.missing = merged.missing;
        for (const logread& log : logs) {
            const partlabel& l = *log.head.label;
            if (l.part < first->head.label->part)
                first = &log;
            const std::optional<runprovenance>& run = log.head.provenance;
            record.parts.push_back(
                {l.part, l.parts, l.range.first, l.range.last, run ? std::optional(run->identity) : std::nullopt, log.name});
        }
        std::sort(record.parts.begin(), record.parts.end(),
                  [](const partrecord& a, const partrecord& b) { return a.part < b.part; });
    }
    recordlog(record, first->head, table);
    if (report.empty())
        report = defaultreportname(logs);
    std::ostringstream console;
    console << std::fixed << std::setprecision(5);
    evaluation how;
    how.logname = first->name;
    how.reportname = report;
    how.ranking = ranking;
    how.who = who;
    const int rc = evaluate(table, reading, how, record, console, err);
    out << console.str();
    return rc == 0 ? 0 : 2;
}
