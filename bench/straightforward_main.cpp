// The straightforward counterparts of Tolvi's two heavy jobs, for speed
// comparisons:
//   tolvi-straightforward log LOG [ranking]
//       the direct road (word-by-word stream extraction, the literal
//       leave-one-out loop): writes LOG.ma, the console copy to standard output;
//   tolvi-straightforward cd NEXUS GRDEF BR SETTING [ranking]
//       the command file for the groups of GRDEF and BR bootstrap replicates,
//       written one character at a time, to NEXUS.cd; SETTING is the text
//       copied from "MLS" (e.g. "dset distance=JC; ").
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

#include "commander.h"
#include "export.h"
#include "groupfile.h"
#include "datafile.h"
#include "straightforward/straightforward.h"

namespace {

int evaluatelog(std::string name, bool ranking)
{
    std::cout << std::fixed << std::setprecision(5);
    std::ifstream log(name);
    if (!log) {
        std::cerr << "cannot open " << name << "\n";
        return 2;
    }
    replicatetable table;
    straightforward::extract(log, table, std::cout);
    if (table.empty() || table[0].empty())
        return 2;
    std::vector<comparisonrecord> final;
    straightforward::reducereplicates(table, final);
    const bool ok = ranking ? exportlist(final, name, static_cast<int>(table.size()), std::cout)
                            : exportmatrix(final, name, static_cast<int>(table.size()), std::cout);
    return ok ? 1 : 2;
}

int commandfile(const std::string& data, const std::string& grdef, int replicatecount, const std::string& setting,
                bool ranking)
{
    datareading read;
    std::string nex;
    std::istringstream answer(data);
    std::ostringstream console;
    readdatafile(read, nex, answer, console);
    const std::vector<std::string>& names = read.data.names;
    const std::vector<std::string>& seqs = read.data.sequences;
    std::vector<group> groups;
    readgroupfile(groups, grdef, console);
    if (names.empty() || groups.empty()) {
        std::cerr << "cannot read " << data << " or " << grdef << "\n";
        return 2;
    }
    std::ofstream cd(nex + ".cd");
    straightforward::commandfile(cd, names, seqs, groups, nex, datetext(localclock()), setting + "\n\n", ranking,
                                 replicatecount);
    return cd ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "log") == 0)
        return evaluatelog(argv[2], argc > 3);
    if (argc >= 6 && std::strcmp(argv[1], "cd") == 0)
        return commandfile(argv[2], argv[3], std::atoi(argv[4]), argv[5], argc > 6);
    std::cerr << "usage: tolvi-straightforward log LOG [ranking]\n"
                 "       tolvi-straightforward cd NEXUS GRDEF BR SETTING [ranking]\n";
    return 2;
}
