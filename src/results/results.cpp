#include "results.h"

#include <filesystem>

#include "extractor.h"
#include "figure.h"
#include "outfile.h"
#include "summary.h"
#include "table.h"

namespace {

// Writes `name` whole through the one writer of result files; false when it
// could not.
template <typename Body>
bool writewhole(const std::string& name, Body body)
{
    outfile file(name);
    if (!file.is_open())
        return false;
    body(file.stream());
    return file.commit();
}

}  // namespace

std::vector<std::string> writeresults(const std::vector<comparisonrecord>& final, const replicatetable& replicates,
                                      const std::string& logname, const runrecord& record)
{
    std::vector<std::string> failed;
    const std::vector<resultrow> rows = summarize(final, replicates, readasread(logname));
    const std::string tablename = record.report + ".tsv";
    if (!writewhole(tablename, [&rows](std::ostream& out) { writetable(rows, out); }))
        failed.push_back("table " + tablename);

    figureinfo info;
    // The title names the data file and the setting, or the log when they
    // are not known.
    info.source = std::filesystem::path(record.datafile.name ? *record.datafile.name : logname).filename().string();
    if (record.datafile.name && record.setting)
        info.setting = *record.setting + (record.settingtext ? ": " + *record.settingtext : "");
    info.replicates = record.used;
    info.identity = record.identity.value_or("");
    info.ranking = record.ranking;
    if (!final.empty())
        info.reference = final.front().nameb;
    const std::string figurename = record.report + ".svg";
    if (!writewhole(figurename, [&](std::ostream& out) { writefigure(rows, info, out); }))
        failed.push_back("figure " + figurename);

    const std::string recordname = record.report + ".json";
    if (!writerecord(record, recordname))
        failed.push_back("run record " + recordname);
    return failed;
}
