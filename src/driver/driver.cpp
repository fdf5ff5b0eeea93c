#include "driver.h"

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <set>
#include <string>
#include <vector>

#include "answer.h"
#include "export.h"
#include "extractor.h"
#include "jackknife.h"
#include "logcheck.h"
#include "partlogs.h"
#include "results.h"
#include "runfacts.h"

namespace {

// The text with its first letter in lower case, for a sub-command's line.
std::string lowerfirst(std::string text)
{
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// "9 replicates are evaluated"
std::string evaluated(int n)
{
    return std::to_string(n) + (n == 1 ? " replicate is" : " replicates are") + " evaluated";
}

// Leaves out the rows that hold fewer comparisons than the first (a log cut
// off inside a replicate, or a replicate's end missing) with their numbers;
// returns the numbers left out.
std::vector<int> dropshortrows(replicatetable& table, std::vector<int>& numbers)
{
    std::vector<int> dropped;
    const std::size_t want = table.front().size();
    std::size_t kept = 0;
    for (std::size_t r = 0; r < table.size(); ++r) {
        if (table[r].size() < want) {
            dropped.push_back(numbers[r]);
            continue;
        }
        if (kept != r) {
            table[kept] = std::move(table[r]);
            numbers[kept] = numbers[r];
        }
        ++kept;
    }
    table.resize(kept);
    numbers.resize(kept);
    return dropped;
}

// One line per comparison whose triplets met undefined distances in the
// replicates evaluated: how many of how many, in how many replicates, and the
// taxa the log's messages named (by name where they gave a number of `taxa`).
void undefinedlines(const replicatetable& table, const std::optional<std::vector<std::string>>& taxa,
                    const char* who, std::ostream& err)
{
    auto nameof = [&taxa](const std::string& word) {
        std::size_t number = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), number);
        if (ec == std::errc() && end == word.data() + word.size() && taxa && number >= 1 && number <= taxa->size())
            return (*taxa)[number - 1];
        return splitmarks(word).name;
    };
    for (std::size_t i = 0; i < table.front().size(); ++i) {
        int undefined = 0, replicates = 0;
        std::size_t triplets = 0;
        std::vector<std::string> named;
        for (const std::vector<comparisonrecord>& row : table) {
            const comparisonrecord& c = row[i];
            undefined += c.undefined;
            replicates += c.undefined > 0 ? 1 : 0;
            triplets += c.brancha.size() + static_cast<std::size_t>(c.undefined);
            for (const std::string& t : c.undefinedtaxa)
                if (std::find(named.begin(), named.end(), nameof(t)) == named.end())
                    named.push_back(nameof(t));
        }
        if (undefined == 0)
            continue;
        std::string list;
        for (const std::string& t : named)
            list += (list.empty() ? "" : ", ") + t;
        err << who << ": " << table.front()[i].namea << " versus " << table.front()[i].nameb << ": " << undefined
            << " of " << triplets << " triplets had an undefined distance in " << replicates
            << (replicates == 1 ? " replicate" : " replicates") << (list.empty() ? "" : ", taxa " + list)
            << "; they are left out\n";
    }
}

// The replicates 1 .. asked that the log does not hold at all.
void notemissing(runrecord& record, const extractor& reading)
{
    if (!record.asked || !record.missing.empty())
        return;
    const std::set<int> read(reading.replicates.begin(), reading.replicates.end());
    replicatenote missing{{}, reading.ended ? "not in the log" : "the log ends before them"};
    for (int n = 1; n <= *record.asked; ++n)
        if (!read.count(n))
            missing.replicates.push_back(n);
    if (!missing.replicates.empty())
        record.missing.push_back(missing);
}

}  // namespace

int evaluate(replicatetable& table, const extractor& reading, const evaluation& how, runrecord& record,
             std::ostream& out, std::ostream& err)
{
    // A fault that ends the evaluation: in the dialogue a paragraph of its
    // own, from a sub-command one line.
    auto refuse = [&](const std::string& fault) {
        if (how.who)
            err << how.who << ": " << lowerfirst(fault) << " No report is written\n";
        else
            out << "\n" << fault << " Tolvi stops, and no report is written.\n";
        return 2;
    };
    auto nothing = [&](const std::string& fault) {
        if (how.who)
            err << how.who << ": " << lowerfirst(fault) << ": there is nothing to evaluate; no report is written\n";
        else
            out << "\n" << fault << ": there is nothing to evaluate, and no report is written.\n";
        return 2;
    };

    std::vector<int> numbers = reading.replicates;
    numbers.resize(table.size());
    record.read = static_cast<int>(table.size());
    notemissing(record, reading);
    // The replicate the log ends inside (or the reading stops inside, at a
    // fault already reported) is incomplete: it is left out.
    std::optional<int> cut;
    const std::string cutinside = reading.fault == logfault::none ? "the log ends inside" : "the reading stops inside";
    if (reading.lastcut && !table.empty()) {
        cut = numbers.back();
        table.pop_back();
        numbers.pop_back();
        record.leftout.push_back({{*cut}, cutinside + " it"});
    }
    if (table.empty()) {
        if (reading.opened && !reading.ended && reading.fault == logfault::none)
            return nothing("The log " + how.logname + " is cut: it " + whereitends(reading) +
                           (cut ? ", before any replicate is complete" : ""));
        return nothing("No bootstrap replicate could be read from the log " + how.logname);
    }
    if (how.direct)
        out << "extraction successful\n\n";
    if (table[0].empty())
        return nothing("The bootstrap replicates of the log " + how.logname + " hold no group comparison");
    const std::optional<std::string> misfit = how.written ? logbelongs(table, *how.written, how.logname)
                                                          : logfitsreport(table, how.ranking, how.logname);
    if (misfit)
        return refuse(*misfit);

    const std::vector<int> shortrows = dropshortrows(table, numbers);
    if (!shortrows.empty())
        record.leftout.push_back({shortrows, "it holds fewer group comparisons than the first"});
    const int n = static_cast<int>(table.size());
    if (cut || !shortrows.empty()) {
        // The replicates left out, in one message.
        const std::string others = std::to_string(shortrows.size()) +
                                   " bootstrap replicate(s) of the log hold fewer group comparisons than the first";
        std::string text = cut ? cutinside + " bootstrap replicate " + std::to_string(*cut) : others;
        if (cut && !shortrows.empty())
            text += ", and " + others;
        text += std::string(cut && shortrows.empty() ? ": it is" : ": they are") + " left out; " + evaluated(n);
        if (how.who)
            err << how.who << ": " << text << "\n";
        else if (!cut)  // the dialogue's words for rows cut short alone
            out << "\nWARNING: " << others << " (the log is cut off); they are left out of the evaluation.\n\n";
        else
            out << "\nWARNING: " << text << ".\n\n";
    } else if (how.who && !reading.ended && reading.fault == logfault::none) {
        err << how.who << ": the log " << whereitends(reading) << ", before its end marker: " << evaluated(n) << "\n";
    }
    if (how.who)
        undefinedlines(table, record.datafile.taxa, how.who, err);

    std::vector<comparisonrecord> finalrecords;
    const std::vector<leftout> left = reducereplicates(table, finalrecords);
    for (const leftout& l : left)
        if (how.who)
            err << how.who << ": " << leftouttext(l, finalrecords.at(l.comparison), table.size()) << "\n";
        else
            out << "\nWARNING: " << leftouttext(l, finalrecords.at(l.comparison), table.size()) << "\n\n";
    // The replicates actually evaluated, on both roads (not the number typed).
    std::string reportname = how.reportname;
    const bool written = how.ranking ? exportlist(finalrecords, reportname, n, out)
                                     : exportmatrix(finalrecords, reportname, n, out);
    if (!written) {
        if (how.who)
            err << how.who << ": the report file " << reportname << " could not be written\n";
        else
            out << "\nThe report file " << reportname << " could not be written!\n";
        return 2;
    }
    record.used = n;
    record.ranking = how.ranking;
    record.report = reportname;
    for (const std::string& failed : writeresults(finalrecords, table, how.logname, record))
        if (how.who)
            err << how.who << ": the " << failed << " could not be written\n";
        else
            out << "The " << failed << " could not be written.\n";
    return 0;
}

int tolvi(std::istream& in, std::ostream& out, std::ostream* meter)
{
    // The answers are kept as they are read, for the run record.
    answerkeeper keeper(in.rdbuf());
    std::istream answers(&keeper);
    answers.tie(in.tie());  // the question is on the console before the answer is awaited
    out << std::fixed << std::setprecision(5);
    out << "\n Tolvi -" << std::string(52, ' ') << "built 24.11.04\n\n";
    out << "\trelative rate tests with groups\n\n";
    out << "\tsupporting all models of nucleotide substitution known by PAUP*\n\n";

    runrecord record;
    out << "\n\nExtract existing logfile? (1=yes, 0=construct first)\n\n";
    int extractanswer = 0;
    if (!readint(answers, out, extractanswer))
        return 2;
    if (extractanswer != 1)
        return constructfirst(answers, out, record, meter);

    out << "\n\nRanking? (1=yes, 0=pairwise group comparison)\n\n";
    int rankinganswer = 0;
    if (!readint(answers, out, rankinganswer))
        return 2;
    out << "locate logfile\n\n";
    std::string logfile;
    if (!readfilename(answers, out, logfile))
        return 2;
    replicatetable table;
    const extractor logreading(logfile, table, out, meter);
    record.answers = typedanswers(answers);
    record.logs.push_back(logrecord(logfile, logreading));
    recordlog(record, readloghead(logfile), table);
    evaluation how;
    how.logname = how.reportname = logfile;
    how.ranking = rankinganswer != 0;
    how.direct = true;
    return evaluate(table, logreading, how, record, out, out) == 0 ? 1 : 2;
}
