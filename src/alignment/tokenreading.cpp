#include "tokenreading.h"

#include <set>

#include "names.h"

tokenreading readtokens(std::istream& f)
{
    tokenreading r;
    std::string w;
    while (f >> w)
        if (w.find("MATRIX") != std::string::npos) {
            r.matrixfound = true;
            break;
        }

    std::vector<std::string>& name = r.data.names;
    std::vector<std::string>& sequence = r.data.sequences;
    name.reserve(500);
    sequence.reserve(500);
    for (;;) {
        if (!f.good()) {
            r.ranout = true;
            break;
        }
        std::string n, s;
        if (!(f >> n))
            continue;  // no row; the state test above ends the matrix
        if (!(f >> s)) {
            r.dangling = n;
            continue;
        }
        if (!sequence.empty() && s.size() != sequence.front().size()) {
            r.endname = n;
            break;
        }
        n = withbars(std::move(n));
        sequence.push_back(std::move(s));
        name.push_back(std::move(n));
    }
    return r;
}

bool isproper(const alignment& a)
{
    if (a.names.empty())
        return false;
    const std::set<std::string> distinct(a.names.begin(), a.names.end());
    if (distinct.size() != a.names.size())
        return false;
    for (const std::string& s : a.sequences)
        if (s.size() != a.sequences.front().size())
            return false;
    return true;
}

bool endsproperly(const tokenreading& r)
{
    return r.ranout ? r.dangling.empty() : r.endname.starts_with(";");
}
