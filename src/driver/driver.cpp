#include "driver.h"

#include <iomanip>
#include <string>
#include <vector>

#include "answer.h"
#include "export.h"
#include "extractor.h"
#include "jackknife.h"
#include "logcheck.h"
#include "results.h"

int evaluate(replicatetable& table, const std::string& logname, bool ranking, std::string& reportname,
             int replicatecount, bool direct, std::ostream& out)
{
    if (table.empty()) {
        out << "\nNo bootstrap replicate could be read from the log " << logname
            << ": there is nothing to evaluate, and no report is written.\n";
        return 2;
    }
    if (direct)
        out << "extraction successful\n\n";
    if (table[0].empty()) {
        out << "\nThe bootstrap replicates of the log " << logname
            << " hold no group comparison: there is nothing to evaluate, and no report is written.\n";
        return 2;
    }
    if (direct && !logfitsreport(table, ranking, logname, out))
        return 2;
    const std::size_t dropped = dropshortrows(table);
    if (dropped > 0)
        out << "\nWARNING: " << dropped
            << " bootstrap replicate(s) of the log hold fewer group comparisons than the first"
               " (the log is cut off); they are left out of the evaluation.\n\n";

    std::vector<comparisonrecord> finalrecords;
    leftoutlines(reducereplicates(table, finalrecords), finalrecords, table.size(), out);
    // The replicates actually evaluated, on both roads (not the number typed).
    static_cast<void>(replicatecount);
    const int n = static_cast<int>(table.size());
    const bool written = ranking ? exportlist(finalrecords, reportname, n, out)
                                 : exportmatrix(finalrecords, reportname, n, out);
    if (!written) {
        out << "\nThe report file " << reportname << " could not be written!\n";
        return 2;
    }
    writeresults(finalrecords, table, logname, ranking, n, reportname, out);
    return 0;
}

int tolvi(std::istream& in, std::ostream& out, std::ostream* meter)
{
    out << std::fixed << std::setprecision(5);
    out << "\n Tolvi -" << std::string(52, ' ') << "built 24.11.04\n\n";
    out << "\trelative rate tests with groups\n\n";
    out << "\tsupporting all models of nucleotide substitution known by PAUP*\n\n";

    replicatetable table;
    out << "\n\nExtract existing logfile? (1=yes, 0=construct first)\n\n";
    int extractanswer = 0;
    if (!readint(in, out, extractanswer))
        return 2;
    if (extractanswer != 1)
        return constructfirst(in, out, table, meter);

    out << "\n\nRanking? (1=yes, 0=pairwise group comparison)\n\n";
    int rankinganswer = 0;
    if (!readint(in, out, rankinganswer))
        return 2;
    out << "locate logfile\n\n";
    std::string logfile;
    if (!readfilename(in, out, logfile))
        return 2;
    extractor logreading(logfile, table, out, meter);
    const std::string logname = logfile;
    if (evaluate(table, logname, rankinganswer != 0, logfile, 0, true, out) != 0)
        return 2;
    return 1;
}
