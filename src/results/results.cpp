#include "results.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "extractor.h"
#include "figure.h"
#include "summary.h"
#include "table.h"

namespace {

// Writes `name` through a temporary file beside it, renamed into place once
// complete: a failure leaves neither a partial file nor the temporary one.
bool writewhole(const std::string& name, const std::function<void(std::ostream&)>& body)
{
    const std::string temporary = name + ".part";
    std::error_code ec;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (file) {
            body(file);
            file.close();
        }
        if (!file) {
            if (!std::filesystem::is_directory(temporary, ec))
                std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::filesystem::rename(temporary, name, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

}  // namespace

void writeresults(const std::vector<comparisonrecord>& final, const replicatetable& replicates,
                  const std::string& logname, bool ranking, int replicatecount,
                  const std::string& reportname, std::ostream& console)
{
    const std::vector<resultrow> rows = summarize(final, replicates, readasread(logname));
    const std::string tablename = reportname + ".tsv";
    if (!writewhole(tablename, [&rows](std::ostream& out) { writetable(rows, out); }))
        console << "The table " << tablename << " could not be written.\n";

    figureinfo info;
    // The title names what the report is named after: the data file, the log
    // or the run of part logs.
    info.source = reportname.ends_with(".ma") ? reportname.substr(0, reportname.size() - 3) : reportname;
    info.replicates = replicatecount;
    info.ranking = ranking;
    if (!final.empty())
        info.reference = final.front().nameb;
    const std::string figurename = reportname + ".svg";
    if (!writewhole(figurename, [&](std::ostream& out) { writefigure(rows, info, out); }))
        console << "The figure " << figurename << " could not be written.\n";
}
