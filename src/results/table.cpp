#include "table.h"

#include <charconv>
#include <cmath>

std::string tablenumber(double v)
{
    if (std::isnan(v))
        return "nan";
    if (std::isinf(v))
        return v < 0 ? "-inf" : "inf";
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 9);
    return std::string(buf, res.ptr);
}

namespace {

// A name as a cell: never empty, and quoted (quotes doubled) only where it
// holds a quote, which would otherwise open a quoted cell for the readers.
std::string namecell(const std::string& name)
{
    if (name.empty())
        return "NA";
    if (name.find('"') == std::string::npos)
        return name;
    std::string cell = "\"";
    for (char c : name) {
        if (c == '"')
            cell += '"';
        cell += c;
    }
    return cell + "\"";
}

}  // namespace

void writetable(const std::vector<resultrow>& rows, std::ostream& out)
{
    out << "group_a\tgroup_b\ttriplets\treplicates\td\tse_d\tz\tsignificance\tratio\tse_ratio\tratio_lower95\t"
           "ratio_upper95\tp\tp_holm\td_as_read\tratio_as_read\tratio_pct2.5\tratio_pct97.5\tse_d_jackknife\t"
           "se_ratio_jackknife\n";
    for (const resultrow& r : rows) {
        const double numbers[] = {r.d, r.sed, r.z};
        const double more[] = {r.ratio,      r.seratio, r.ratiolower,         r.ratioupper,
                               r.p,          r.pholm,   r.dasread,            r.ratioasread,
                               r.ratiopercentilelow,    r.ratiopercentilehigh, r.sedjackknife,
                               r.seratiojackknife};
        out << namecell(r.groupa) << '\t' << namecell(r.groupb) << '\t' << r.triplets << '\t' << r.replicates;
        for (double v : numbers)
            out << '\t' << tablenumber(v);
        out << '\t' << r.significance;
        for (double v : more)
            out << '\t' << tablenumber(v);
        out << '\n';
    }
}
