#include "names.h"

#include <map>

std::string withbars(std::string name)
{
    for (char& c : name)
        if (c == ' ' || c == '_')
            c = '|';
    return name;
}

std::string firstfew(const std::vector<std::string>& items)
{
    std::string s;
    for (std::size_t i = 0; i < items.size() && i < 3; ++i)
        s += (i ? ", " : "") + items[i];
    if (items.size() > 3)
        s += ", ... (" + std::to_string(items.size()) + " in all)";
    return s;
}

std::string namefaults(const std::vector<std::string>& names)
{
    std::vector<std::string> punctuated, blank;
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& n = names[i];
        const std::string taxon = "taxon " + std::to_string(i + 1);
        if (n.empty())
            return "The name of " + taxon + " is empty";
        bool control = false;
        for (unsigned char c : n)
            control = control || c < 0x21 || c == 0x7f;
        if (control)
            blank.push_back(taxon);
        else if (n.find_first_of(nexuspunctuation) != std::string::npos)
            punctuated.push_back(n + " (" + taxon + ")");
        const auto [it, fresh] = seen.emplace(n, i + 1);
        if (!fresh && !control)
            return "The taxa " + std::to_string(it->second) + " and " + std::to_string(i + 1) + " have the same name " + n;
    }
    if (!blank.empty())
        return "The name of " + firstfew(blank) + " holds a blank or control character";
    if (punctuated.size() == 1)
        return "The name " + punctuated.front() +
               " holds a character that NEXUS reads as punctuation and that would end the name in the command file"
               " (one of " + std::string(nexuspunctuation) + "); write it with _ instead";
    if (!punctuated.empty())
        return "The names " + firstfew(punctuated) +
               " hold characters that NEXUS reads as punctuation and that would end them in the command file"
               " (one of " + std::string(nexuspunctuation) + "); write them with _ instead";
    return "";
}
