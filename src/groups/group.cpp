#include "group.h"

group::group(int a, const std::string& s) : gind(a), gname(s) {}

void group::ausgabe(std::ostream& s) const
{
    s << gname << " ";
    for (int t : tind)
        s << t << " ";
    s << "\n";
}

std::ostream& operator<<(std::ostream& s, const group& g)
{
    g.ausgabe(s);
    return s;
}
