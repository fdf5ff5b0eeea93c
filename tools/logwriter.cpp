#include "logwriter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "likelihood.h"

#ifndef TOLVI_VERSION
#define TOLVI_VERSION "unknown"
#endif

std::string banner(const std::string& when)
{
    return "\ntolvi-distances " TOLVI_VERSION ", distances for Tolvi's command files in the layout of PAUP*\n"
           "(it is not PAUP*: the standard formulas and likelihoods, checked against ape, phangorn and PHYLIP)\n" +
           when + "\n\n";
}

namespace {

// The line after an undefined-distance message that says why the model
// gives no distance; it never begins with "No", which would end the log
// reader's comparison.
std::string reason(distances::undefined why, const distances::model& chosen)
{
    const std::string name(distances::modelname(chosen.kind));
    switch (why) {
    case distances::undefined::argument:
        return "(the " + name + " distance has no finite value: the argument of a logarithm or power is 0 or less)\n";
    case distances::undefined::frequency:
        return "(the " + name + " distance divides by a base frequency of 0)\n";
    case distances::undefined::bound: {
        char bound[32];
        std::snprintf(bound, sizeof bound, "%g", distances::mlupperbound);
        return std::string("(the likelihood is highest at the upper bound of the distance, ") + bound +
               " substitutions per site)\n";
    }
    default:
        return "";
    }
}

// A cell of the matrix: right-aligned in 9 places, with at least one blank
// in front so that a long number never runs into the label.
void cell(std::string& out, std::string_view text)
{
    char padded[416];
    const std::size_t width = std::max<std::size_t>(9, text.size() + 1);
    std::fill(padded, padded + width - text.size(), ' ');
    std::copy(text.begin(), text.end(), padded + width - text.size());
    out.append(padded, width);
}

// A number with 5 decimals, as printf's "%.5f" writes it.
std::string_view fixed5(double v, char (&buf)[400])
{
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 5);
    return std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}

std::string_view whole(std::size_t v, char (&buf)[400])
{
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}

}  // namespace

std::string_view matrixwriter::distancecell(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    formatted& slot = cells_[(bits ^ bits >> 29 ^ bits >> 41) % cells_.size()];
    if (std::memcmp(&slot.value, &value, sizeof value) != 0 || slot.size == 0) {
        char buf[400];
        const std::string_view text = fixed5(value, buf);
        if (text.size() + 1 > sizeof slot.text) {
            cellscratch_.clear();
            cell(cellscratch_, text);
            return cellscratch_;
        }
        slot.value = value;
        std::string padded;
        cell(padded, text);
        slot.size = static_cast<unsigned char>(padded.size());
        std::copy(padded.begin(), padded.end(), slot.text);
    }
    return std::string_view(slot.text, slot.size);
}

void matrixwriter::write(std::string& out, const std::vector<std::string_view>& labels,
                         const std::vector<std::size_t>& taxa, const std::vector<distances::distance>& lower,
                         const distances::model& chosen, std::size_t nchar)
{
    const std::size_t k = labels.size();
    double largest = 0.0;
    for (const distances::distance& d : lower)
        if (d.defined())
            largest = std::max(largest, d.value);
    const double undefined = 2.0 * largest;

    out += '\n';
    bool messages = false;
    std::size_t at = 0;
    for (std::size_t i = 1; i < k; ++i)
        for (std::size_t j = 0; j < i; ++j, ++at) {
            if (at >= lower.size() || lower[at].defined())
                continue;
            const std::size_t x = j < taxa.size() ? taxa[j] : j + 1;
            const std::size_t y = i < taxa.size() ? taxa[i] : i + 1;
            char buf[400];
            out += "No data for comparing taxa ";
            out += whole(x, buf);
            out += " and ";
            out += whole(y, buf);
            out += ". Distance is undefined.\n" + reason(lower[at].why, chosen);
            messages = true;
        }
    if (messages)
        out += '\n';

    std::size_t width = 0;
    for (std::string_view l : labels)
        width = std::max(width, l.size());

    // The heading: title, characters, column numbers.
    char buf[400];
    const std::string& title = distances::title(chosen);
    if (&title != title_ || nchar != nchar_ || k != count_ || width != width_) {
        title_ = &title, nchar_ = nchar, count_ = k, width_ = width;
        heading_ = title;
        heading_ += "\n  ";
        heading_ += whole(nchar, buf);
        heading_ += " characters are included\n\n";
        heading_.append(3 + width, ' ');
        for (std::size_t c = 1; c <= k; ++c)
            cell(heading_, whole(c, buf));
        heading_ += '\n';
    }
    out += heading_;

    at = 0;
    for (std::size_t i = 0; i < k; ++i) {
        const std::string_view row = whole(i + 1, buf);
        if (row.size() < 2)
            out += ' ';
        out += row;
        out += ' ';
        out += labels[i];
        out.append(width - labels[i].size(), ' ');
        for (std::size_t j = 0; j < i; ++j, ++at) {
            const distances::distance d = at < lower.size() ? lower[at] : distances::distance{0.0, distances::undefined::nodata};
            out += distancecell(d.defined() ? d.value : undefined);
        }
        cell(out, "-");
        out += '\n';
    }
}
