#include "export.h"

#include <cmath>
#include <fstream>
#include <iomanip>
#include <memory>

#include "outfile.h"

matrixview::matrixview(const std::vector<comparisonrecord>& b)
    : records(b),
      n(static_cast<int>((std::sqrt(8.0 * static_cast<double>(b.size()) + 1.0) + 1.0) / 2.0))
{
}

int matrixview::size() const
{
    return n;
}

const comparisonrecord& matrixview::at(int i, int k) const
{
    if (i == k)
        throw diagonal();
    const int p = i < k ? i : k;
    const int q = i < k ? k : i;
    const long long index = static_cast<long long>(p) * (2LL * n - 3 - p) / 2 + q - 1;
    return records.at(static_cast<std::size_t>(index));
}

const char* significance(const comparisonrecord& g)
{
    const double z = static_cast<double>(g.d) / static_cast<double>(g.sed);
    if (z >= 3.89 || z <= -3.89)
        return " (<0.0001)";
    if (z >= 3.29 || z <= -3.29)
        return " (<0.001)";
    if (z >= 2.58 || z <= -2.58)
        return " (<0.01)";
    if (z >= 1.96 || z <= -1.96)
        return " (<0.05)";
    return " (insign.)";
}

namespace {

// Opens the report file: ".ma" is appended to the caller's name. It is
// written under a temporary name and takes its own when complete.
std::ostream& openreport(std::unique_ptr<outfile>& output, std::string& nex)
{
    nex += ".ma";
    output = std::make_unique<outfile>(nex);
    output->stream() << std::fixed << std::setprecision(3);
    return output->stream();
}

bool closereport(std::unique_ptr<outfile>& output)
{
    return output->commit();
}

void replicateline(std::ostream& s, int replicatecount)
{
    s << "standard errors based on " << replicatecount << " bootstrap replicates\n\n";
}

void headerline(std::ostream& s, const std::vector<std::string>& names)
{
    s << "taxa\t";
    for (const std::string& name : names)
        s << name << "\t";
    s << "\n";
}

}  // namespace

bool exportmatrix(std::vector<comparisonrecord>& b, std::string& nex, int replicatecount, std::ostream& console)
{
    std::unique_ptr<outfile> report;
    std::ostream& output = openreport(report, nex);
    const matrixview matrix(b);
    const int n = matrix.size();

    // Group names: name 0 is group A of the first record, name j that of
    // group B of record j-1.
    std::vector<std::string> names;
    for (int j = 0; j < n; ++j)
        names.push_back(j == 0 ? matrix.records.at(0).namea : matrix.records.at(static_cast<std::size_t>(j - 1)).nameb);

    console << "n:" << n << "\n";
    replicateline(output, replicatecount);
    replicateline(console, replicatecount);
    output << "d (above diagonal), S.E. (below diagonal)\n";
    console << "d (above diagonal), S.E. (below diagonal)\n\n";
    headerline(output, names);
    headerline(console, names);
    for (int i = 0; i < n; ++i) {
        output << names[static_cast<std::size_t>(i)] << "\t";
        console << names[static_cast<std::size_t>(i)] << "\t";
        for (int k = 0; k < n; ++k) {
            if (k == i) {
                output << "-\t";
                console << "-\t";
            } else if (i < k) {
                const comparisonrecord& g = matrix.at(i, k);
                output << g.d << significance(g) << "\t";
                console << significance(g) << g.d << " (" << g.brancha.size() << ")\t";
            } else {
                const comparisonrecord& g = matrix.at(i, k);
                output << g.sed << " (" << g.brancha.size() << ")\t";
                console << g.sed << " (" << g.brancha.size() << ")\t";
            }
        }
        output << "\n";
        console << "\n";
    }
    output << "\n\n";
    console << " \n\n";
    output << "ratio (above diagonal), 95% confidence interval (below diagonal)\n";
    console << "ratio (above diagonal), 95% confidence interval (below diagonal)\n";
    headerline(output, names);
    headerline(console, names);
    for (int i = 0; i < n; ++i) {
        output << names[static_cast<std::size_t>(i)] << "\t";
        console << names[static_cast<std::size_t>(i)] << "\t";
        for (int k = 0; k < n; ++k) {
            if (k == i) {
                output << "-\t";
                console << "-\t";
            } else if (i < k) {
                const comparisonrecord& g = matrix.at(i, k);
                output << g.ratio << " (" << g.seratio << ")\t";
                console << g.ratio << "\t";
            } else {
                const comparisonrecord& g = matrix.at(i, k);
                const double spread = 1.96 * static_cast<double>(g.seratio);
                const double lower = static_cast<double>(g.ratio) - spread;
                const double upper = static_cast<double>(g.ratio) + spread;
                output << "(" << lower << "-" << upper << ")\t";
                console << "(" << lower << "-" << upper << ")\t";
            }
        }
        output << "\n";
        console << "\n";
    }
    return closereport(report);
}

bool exportlist(std::vector<comparisonrecord>& b, std::string& nex, int replicatecount, std::ostream& console)
{
    std::unique_ptr<outfile> report;
    std::ostream& output = openreport(report, nex);
    const std::string& reference = b.at(0).nameb;
    output << "relative rates of groups compared to " << reference << "\n\n";
    console << "relative rates of groups compared to " << reference << "\n\n";
    replicateline(output, replicatecount);
    replicateline(console, replicatecount);
    output << "group\td\tS.E.\tsignificance\n\n";
    console << "group\td\tS.E.\tsignificance\n";
    for (const comparisonrecord& record : b) {
        output << record.namea << "\t" << record.d << "\t" << record.sed << "\t";
        console << record.namea << "\t" << record.d << "\t" << record.sed << "\t";
        output << significance(record);
        console << significance(record);
        output << "\n";
        console << "\n";
    }
    return closereport(report);
}
