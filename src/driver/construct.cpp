#include "driver.h"

int constructfirst(std::istream&, std::ostream& out, replicatetable&)
{
    out << "\nConstructing the PAUP command file is not available yet.\n";
    return 2;
}
