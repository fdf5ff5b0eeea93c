#include "figure.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Okabe-Ito colours: told apart with every common colour-vision deficiency,
// and significant rows differ in the marker's fill as well.
const char* const significantcolour = "#D55E00";
const char* const plaincolour = "#0072B2";
const char* const textcolour = "#222222";
const char* const mutedcolour = "#777777";
const char* const font = "DejaVu Sans, Helvetica, Arial, sans-serif";

constexpr double margin = 20;
constexpr double charwidth = 7.6;  // a generous average at 13 px
constexpr double panelwidth = 300;
constexpr double panelgap = 40;
constexpr double classwidth = 90;
constexpr double tripletwidth = 70;
constexpr double rowtop = 92;
constexpr double rowheight = 22;

// A coordinate or length in the SVG: one decimal, C locale.
std::string num(double v)
{
    if (!std::isfinite(v))
        v = 0;
    char buf[48];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
    return std::string(buf, res.ptr);
}

// A tick label with the decimals the step needs.
std::string ticklabel(double v, double step)
{
    char buf[64];
    std::to_chars_result res;
    if (step >= 1e6 || step < 1e-6) {
        res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 4);
    } else {
        const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
        res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    }
    std::string s(buf, res.ptr);
    if (s.find_first_not_of("-0.") == std::string::npos && s[0] == '-')
        s.erase(0, 1);
    return s;
}

// The range of one panel's axis and the position of a value on it.
struct axis {
    double low = 0;
    double high = 1;
    double left = 0;
    double step = 0.2;

    double x(double v) const { return left + (v - low) / (high - low) * panelwidth; }

    // The range that holds every finite value and the reference line, with
    // some room at both ends; ticks at 1, 2 or 5 times a power of ten.
    axis(const std::vector<double>& values, double reference, double left_) : left(left_)
    {
        double lo = reference;
        double hi = reference;
        for (double v : values)
            if (std::isfinite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        double span = hi - lo;
        if (span <= 0)
            span = std::max(1.0, std::fabs(hi));
        low = lo - 0.06 * span;
        high = hi + 0.06 * span;
        // The smallest step of 1, 2 or 5 times a power of ten whose labels
        // do not crowd each other.
        double power = std::pow(10.0, std::floor(std::log10((high - low) / 10)));
        for (;; power *= 10)
            for (double m : {1.0, 2.0, 5.0}) {
                step = power * m;
                const double chars = static_cast<double>(
                    std::max(ticklabel(low, step).size(), ticklabel(high, step).size()));
                if (step / (high - low) * panelwidth >= chars * 6.5 + 14 || step > high - low)
                    return;
            }
    }
};

// A row's label, whole however long: the figure grows with it.
std::string rowlabel(const resultrow& r, bool ranking)
{
    return ranking ? r.groupa : r.groupa + " vs " + r.groupb;
}

class svgwriter {
public:
    explicit svgwriter(std::ostream& out) : out_(out) {}

    void text(double x, double y, const std::string& s, const char* anchor, double size, const char* colour,
              bool bold = false, bool italic = false)
    {
        out_ << "<text x=\"" << num(x) << "\" y=\"" << num(y) << "\" text-anchor=\"" << anchor << "\" font-size=\""
             << num(size) << "\" fill=\"" << colour << "\"";
        if (bold)
            out_ << " font-weight=\"bold\"";
        if (italic)
            out_ << " font-style=\"italic\"";
        out_ << ">" << xmlescape(s) << "</text>\n";
    }
    void line(double x1, double y1, double x2, double y2, const char* colour, double width, bool dashed = false)
    {
        out_ << "<line x1=\"" << num(x1) << "\" y1=\"" << num(y1) << "\" x2=\"" << num(x2) << "\" y2=\"" << num(y2)
             << "\" stroke=\"" << colour << "\" stroke-width=\"" << num(width) << "\"";
        if (dashed)
            out_ << " stroke-dasharray=\"4 3\"";
        out_ << "/>\n";
    }
    void rect(double x, double y, double w, double h, const char* fill, const char* stroke = "none")
    {
        out_ << "<rect x=\"" << num(x) << "\" y=\"" << num(y) << "\" width=\"" << num(w) << "\" height=\"" << num(h)
             << "\" fill=\"" << fill << "\" stroke=\"" << stroke << "\"/>\n";
    }
    void marker(double x, double y, bool significant)
    {
        const char* colour = significant ? significantcolour : plaincolour;
        out_ << "<circle cx=\"" << num(x) << "\" cy=\"" << num(y) << "\" r=\"4.5\" fill=\""
             << (significant ? colour : "#FFFFFF") << "\" stroke=\"" << colour << "\" stroke-width=\"1.8\"/>\n";
    }

private:
    std::ostream& out_;
};

// Which way along an axis each group evolves faster: the first group's
// branches are the longer ones right of the reference line.
struct faster {
    std::string left;
    std::string right;
};

// One panel: frame, grid, reference line, axis labels, which way is faster,
// and one estimate with its interval per row (a missing mark where the
// estimate is not a number).
void panel(svgwriter& svg, const axis& ax, double reference, const std::string& heading, const faster& way,
           const std::vector<resultrow>& rows, double (*estimate)(const resultrow&),
           std::pair<double, double> (*interval)(const resultrow&))
{
    const double bottom = rowtop + rowheight * static_cast<double>(rows.size());
    svg.text(ax.left + panelwidth / 2, rowtop - 12, heading, "middle", 13, textcolour, true);
    svg.text(ax.left, bottom + 36, "\xE2\x86\x90 " + way.left, "start", 11, textcolour);
    svg.text(ax.left + panelwidth, bottom + 36, way.right + " \xE2\x86\x92", "end", 11, textcolour);
    for (double t = std::ceil(ax.low / ax.step) * ax.step; t <= ax.high; t += ax.step) {
        const double x = ax.x(t);
        svg.line(x, rowtop, x, bottom, "#E4E4E4", 1);
        svg.line(x, bottom, x, bottom + 5, mutedcolour, 1);
        svg.text(x, bottom + 18, ticklabel(t, ax.step), "middle", 11, mutedcolour);
    }
    svg.line(ax.x(reference), rowtop, ax.x(reference), bottom, "#555555", 1.2, true);
    svg.rect(ax.left, rowtop, panelwidth, bottom - rowtop, "none", "#BBBBBB");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const resultrow& r = rows[i];
        const double y = rowtop + rowheight * (static_cast<double>(i) + 0.5);
        const double v = estimate(r);
        if (!std::isfinite(v)) {
            svg.text(ax.left + panelwidth / 2, y + 4, "no value", "middle", 11, mutedcolour, false, true);
            continue;
        }
        const auto [lo, hi] = interval(r);
        const char* colour = r.significant() ? significantcolour : plaincolour;
        if (std::isfinite(lo) && std::isfinite(hi)) {
            const double width = r.significant() ? 2.2 : 1.5;
            svg.line(ax.x(lo), y, ax.x(hi), y, colour, width);
            svg.line(ax.x(lo), y - 4, ax.x(lo), y + 4, colour, width);
            svg.line(ax.x(hi), y - 4, ax.x(hi), y + 4, colour, width);
        }
        svg.marker(ax.x(v), y, r.significant());
    }
}

double destimate(const resultrow& r)
{
    return r.d;
}
std::pair<double, double> dinterval(const resultrow& r)
{
    const double spread = 1.96 * static_cast<double>(r.sed);
    return {static_cast<double>(r.d) - spread, static_cast<double>(r.d) + spread};
}
double ratioestimate(const resultrow& r)
{
    return r.ratio;
}
std::pair<double, double> ratiointerval(const resultrow& r)
{
    return {r.ratiolower, r.ratioupper};
}

}  // namespace

std::string xmlescape(const std::string& text)
{
    std::string s;
    for (char c : text) {
        switch (c) {
        case '&': s += "&amp;"; break;
        case '<': s += "&lt;"; break;
        case '>': s += "&gt;"; break;
        case '"': s += "&quot;"; break;
        case '\'': s += "&apos;"; break;
        default:
            // Control characters are not allowed in XML 1.0 text.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
                s += '?';
            else
                s += c;
        }
    }
    return s;
}

figuresize writefigure(const std::vector<resultrow>& rows, const figureinfo& info, std::ostream& out)
{
    std::size_t labelchars = 0;
    for (const resultrow& r : rows)
        labelchars = std::max(labelchars, rowlabel(r, info.ranking).size());
    const double labelwidth = std::max(100.0, static_cast<double>(labelchars) * charwidth + 20);
    const double dleft = margin + labelwidth + tripletwidth;
    const double ratioleft = dleft + panelwidth + panelgap;

    const std::string title = "Relative rates: " + info.source + (info.setting.empty() ? "" : ", " + info.setting);
    std::string subtitle = std::to_string(info.replicates) + " bootstrap replicates";
    subtitle += info.ranking ? "; groups compared to " + info.reference
                             : "; " + std::to_string(rows.size()) + " pairwise group comparisons";
    if (!info.identity.empty())
        subtitle += "; run " + info.identity;
    const std::string groups = info.ranking ? "A: the group, B: the reference group " + info.reference
                                            : "A: the first group of a comparison, B: the second";
    const faster way = info.ranking ? faster{info.reference + " faster", "group faster"}
                                    : faster{"second group faster", "first group faster"};
    const std::string meaning = "A, B: branch lengths of the taxa of the two groups in a triplet (" + groups +
                                "); d > 0 and ratio > 1: A evolves faster";
    const double textwidth = std::max({static_cast<double>(title.size()) * 9.5,
                                       static_cast<double>(subtitle.size()) * 6.8,
                                       static_cast<double>(meaning.size()) * 6.2});
    const double right = std::max(ratioleft + panelwidth + classwidth, margin + textwidth);
    const int width = static_cast<int>(std::ceil(right + margin));
    const double bottom = rowtop + rowheight * static_cast<double>(rows.size());
    const int height = static_cast<int>(std::ceil(bottom + 96));

    std::vector<double> dvalues, ratiovalues;
    for (const resultrow& r : rows) {
        const auto [dlo, dhi] = dinterval(r);
        dvalues.insert(dvalues.end(), {static_cast<double>(r.d), dlo, dhi});
        ratiovalues.insert(ratiovalues.end(), {static_cast<double>(r.ratio), r.ratiolower, r.ratioupper});
    }
    const axis daxis(dvalues, 0.0, dleft);
    const axis ratioaxis(ratiovalues, 1.0, ratioleft);

    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << width << "\" height=\"" << height
        << "\" viewBox=\"0 0 " << width << " " << height << "\" font-family=\"" << font << "\">\n"
        << "<title>" << xmlescape(title + " (" + subtitle + ")") << "</title>\n";
    svgwriter svg(out);
    svg.rect(0, 0, width, height, "#FFFFFF");
    svg.text(margin, 28, title, "start", 16, textcolour, true);
    svg.text(margin, 48, subtitle, "start", 12, mutedcolour);
    for (std::size_t i = 1; i < rows.size(); i += 2)
        svg.rect(margin, rowtop + rowheight * static_cast<double>(i), width - 2 * margin, rowheight, "#F3F3F3");

    panel(svg, daxis, 0.0, "d = mean(A \xE2\x88\x92 B) \xC2\xB1 1.96 SE", way, rows, destimate, dinterval);
    panel(svg, ratioaxis, 1.0, "ratio = \xCE\xA3""A / \xCE\xA3""B, 95% interval", way, rows, ratioestimate,
          ratiointerval);

    const double labelright = margin + labelwidth - 10;
    svg.text(labelright, rowtop - 12, info.ranking ? "group" : "comparison", "end", 13, textcolour, true);
    svg.text(dleft - 14, rowtop - 12, "triplets", "end", 13, textcolour, true);
    svg.text(ratioleft + panelwidth + 12, rowtop - 12, "class", "start", 13, textcolour, true);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const resultrow& r = rows[i];
        const double y = rowtop + rowheight * (static_cast<double>(i) + 0.5) + 4.5;
        const bool s = r.significant();
        const char* colour = s ? significantcolour : textcolour;
        svg.text(labelright, y, rowlabel(r, info.ranking), "end", 13, colour, s);
        svg.text(dleft - 14, y, std::to_string(r.triplets), "end", 12, mutedcolour);
        svg.text(ratioleft + panelwidth + 12, y, r.significance, "start", 12, colour, s);
    }

    const double legend = bottom + 64;
    svg.marker(margin + 6, legend - 4, true);
    svg.text(margin + 16, legend, "significant (Holm-adjusted p < 0.05)", "start", 11, textcolour);
    svg.marker(margin + 266, legend - 4, false);
    svg.text(margin + 276, legend, "not significant", "start", 11, textcolour);
    svg.text(margin + 390, legend, "dashed: no difference; class: unadjusted, as in the report", "start", 11,
             mutedcolour);
    svg.text(margin, legend + 18, meaning, "start", 11, mutedcolour);
    out << "</svg>\n";
    return {width, height};
}
