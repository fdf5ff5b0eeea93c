#include "loghead.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace {

// A log's beginning is small; a file that is no log is not read on and on.
constexpr std::size_t headlimit = 16 << 20;

}  // namespace

loghead readloghead(std::istream& log)
{
    loghead head;
    std::string text, line;
    bool intaxa = false;
    while (text.size() < headlimit && std::getline(log, line)) {
        if (line.find("###begin") != std::string::npos || line.find("begin_bootstrap_replicate") != std::string::npos ||
            line.find("bootstrap_end") != std::string::npos)
            break;
        text += line + "\n";
        // The taxon list: "Taxa and groups assigned in Tolvi:", then one
        // line per taxon, its number and its marked name.
        if (line.find("Taxa and groups assigned in Tolvi:") != std::string::npos) {
            intaxa = true;
            continue;
        }
        std::istringstream words(line);
        std::size_t number = 0;
        std::string label, more;
        if (intaxa && words >> number >> label && !(words >> more) && number == head.taxa.size() + 1)
            head.taxa.push_back(label);
        else if (intaxa && line.find_first_not_of(" \t\r") != std::string::npos)
            intaxa = false;
    }
    head.label = findpartlabel(text);
    head.provenance = findprovenance(text);
    return head;
}

loghead readloghead(const std::string& logname)
{
    std::ifstream log(logname, std::ios::binary);
    return log ? readloghead(log) : loghead{};
}

markedname splitmarks(const std::string& label)
{
    markedname m;
    std::size_t i = 0;
    while (i < label.size() && label[i] == '$') {
        // "$", an optional "-" and all the digits that follow, as the log
        // reader reads a mark.
        std::size_t digits = i + 1 + (i + 1 < label.size() && label[i + 1] == '-' ? 1 : 0);
        const std::size_t first = digits;
        while (digits < label.size() && label[digits] >= '0' && label[digits] <= '9')
            ++digits;
        int number = 0;
        if (digits == first || std::from_chars(label.data() + i + 1, label.data() + digits, number).ec != std::errc())
            break;
        m.groups.push_back(number);
        i = digits;
    }
    // The bar the command file puts between the marks and a name that begins
    // with a digit or "$".
    if (!m.groups.empty() && i + 1 < label.size() && label[i] == '|' &&
        ((label[i + 1] >= '0' && label[i + 1] <= '9') || label[i + 1] == '$'))
        ++i;
    m.name = label.substr(i);
    return m;
}
