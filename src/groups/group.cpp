#include "group.h"

group::group(int a, const std::string& s) : number(a), name(s) {}

void group::print(std::ostream& s) const
{
    s << name << " ";
    for (int t : taxa)
        s << t << " ";
    s << "\n";
}

std::ostream& operator<<(std::ostream& s, const group& g)
{
    g.print(s);
    return s;
}
