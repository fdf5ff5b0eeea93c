// The direct road done the straightforward way (word-by-word stream
// extraction, the literal leave-one-out loop), for speed comparisons:
//   tolvi-straightforward LOG [ranking]
// writes LOG.ma and the console copy to standard output.
#include <fstream>
#include <iomanip>
#include <iostream>
#include <string>

#include "export.h"
#include "straightforward/straightforward.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: tolvi-straightforward LOG [ranking]\n";
        return 2;
    }
    std::cout << std::fixed << std::setprecision(5);
    std::string name = argv[1];
    std::ifstream log(name);
    if (!log) {
        std::cerr << "cannot open " << name << "\n";
        return 2;
    }
    replicatetable table;
    straightforward::extract(log, table, std::cout);
    if (table.empty() || table[0].empty())
        return 2;
    std::vector<grcomp> final;
    straightforward::confint(table, final);
    const bool ok = argc > 2 ? exportlist(final, name, static_cast<int>(table.size()), std::cout)
                             : exportmatrix(final, name, static_cast<int>(table.size()), std::cout);
    return ok ? 1 : 2;
}
