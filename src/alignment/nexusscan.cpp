#include "nexusscan.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "bases.h"

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool is(const nexusword& w, std::string_view keyword)
{
    return !w.quoted && lower(w.text) == keyword;
}

// The number after "key =" in the command that begins at `from` (up to its
// ";"), 0 where there is none.
unsigned long commandnumber(const std::vector<nexusword>& words, std::size_t from, std::string_view key)
{
    for (std::size_t i = from; i + 2 < words.size() && words[i].text != ";"; ++i)
        if (is(words[i], key) && words[i + 1].text == "=") {
            const std::string& n = words[i + 2].text;
            if (!n.empty() && n.size() < 10 && std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return std::stoul(n);
        }
    return 0;
}

// The symbol written after "key =" in the command at `from`, or `fallback`.
char commandsymbol(const std::vector<nexusword>& words, std::size_t from, std::string_view key, char fallback)
{
    for (std::size_t i = from; i + 2 < words.size() && words[i].text != ";"; ++i)
        if (is(words[i], key) && words[i + 1].text == "=" && words[i + 2].text.size() == 1)
            return words[i + 2].text[0];
    return fallback;
}

// Calls `visit(block, word, i)` for the first word of every command, in
// lower case, with the block it stands in ("" outside one); a visit that
// returns false ends the walk.
template <typename Visit>
void eachcommand(const std::vector<nexusword>& words, Visit visit)
{
    std::string block;
    bool commandstart = true;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const nexusword& w = words[i];
        const bool starts = commandstart;
        commandstart = w.text == ";" || (!w.quoted && lower(w.text) == "#nexus");
        if (!starts || w.quoted)
            continue;
        const std::string word = lower(w.text);
        if (word == "begin" && i + 1 < words.size())
            block = lower(words[i + 1].text);
        else if (word == "end" || word == "endblock")
            block.clear();
        else if (!visit(block, word, i))
            return;
    }
}

// The first character matrix as the file describes it.
struct matrixplan {
    unsigned long ntax = 0, nchar = 0;
    bool interleaved = false;
    char gap = '-', missing = '?', matchchar = '\0';
    std::set<std::string> labels;  // of a TAXA block
    std::size_t first = 0, end = 0;  // its words: [first, end)
};

std::optional<matrixplan> findmatrix(const std::vector<nexusword>& words)
{
    matrixplan plan;
    bool found = false;
    eachcommand(words, [&](const std::string& block, const std::string& word, std::size_t i) {
        if (block == "taxa" && word == "dimensions") {
            plan.ntax = commandnumber(words, i, "ntax");
        } else if (block == "taxa" && word == "taxlabels") {
            for (std::size_t k = i + 1; k < words.size() && words[k].text != ";"; ++k)
                plan.labels.insert(words[k].text);
        } else if (block == "data" || block == "characters") {
            if (word == "dimensions") {
                plan.ntax = std::max(plan.ntax, commandnumber(words, i, "ntax"));
                plan.nchar = commandnumber(words, i, "nchar");
            } else if (word == "format") {
                for (std::size_t k = i; k < words.size() && words[k].text != ";"; ++k)
                    if (is(words[k], "interleave"))
                        plan.interleaved = !(k + 2 < words.size() && words[k + 1].text == "=" &&
                                             is(words[k + 2], "no"));
                plan.gap = commandsymbol(words, i, "gap", '-');
                plan.missing = commandsymbol(words, i, "missing", '?');
                plan.matchchar = commandsymbol(words, i, "matchchar", '\0');
            } else if (word == "matrix") {
                plan.first = i + 1;
                plan.end = plan.first;
                while (plan.end < words.size() && words[plan.end].text != ";")
                    ++plan.end;
                found = true;
                return false;
            }
        }
        return true;
    });
    return found ? std::optional<matrixplan>(plan) : std::nullopt;
}

bool symbols(const std::string& text, const matrixplan& plan)
{
    return std::all_of(text.begin(), text.end(), [&](char c) {
        return c == plan.matchchar || bases::bitsof(c, plan.gap, plan.missing) != 0;
    });
}

std::string rowfault(const std::string& taxon, std::size_t length, unsigned long nchar)
{
    return "the row of taxon " + taxon + " has " + std::to_string(length) + " characters where the file declares " +
           std::to_string(nchar);
}

std::string taxacount(unsigned long ntax, std::size_t rows)
{
    return "the file declares " + std::to_string(ntax) + " taxa; " + std::to_string(rows) +
           (rows == 1 ? " row was read" : " rows were read");
}

std::optional<matrixfault> interleavedfault(const std::vector<nexusword>& words, const matrixplan& plan)
{
    std::vector<std::string> order;
    std::map<std::string, std::pair<std::size_t, long>> length;  // name -> characters, last line
    for (std::size_t i = plan.first; i < plan.end;) {
        const nexusword& name = words[i++];
        auto [it, fresh] = length.emplace(name.text, std::make_pair(std::size_t{0}, name.line));
        if (fresh)
            order.push_back(name.text);
        for (; i < plan.end && words[i].line == name.line; ++i)
            it->second.first += words[i].text.size();
    }
    for (const std::string& name : order)
        if (length[name].first != plan.nchar)
            return matrixfault{length[name].second, rowfault(name, length[name].first, plan.nchar)};
    if (order.size() != plan.ntax)
        return matrixfault{words[plan.end - 1].line, taxacount(plan.ntax, order.size())};
    return std::nullopt;
}

std::optional<matrixfault> sequentialfault(const std::vector<nexusword>& words, const matrixplan& plan)
{
    std::size_t rows = 0;
    for (std::size_t i = plan.first; i < plan.end;) {
        const nexusword& name = words[i++];
        ++rows;
        std::size_t length = 0;
        long line = name.line;
        while (length < plan.nchar && i < plan.end) {
            const nexusword& w = words[i];
            const bool nextrow = w.line != line && (plan.labels.count(w.text) > 0 || !symbols(w.text, plan));
            if (nextrow || length + w.text.size() > plan.nchar) {
                if (nextrow)
                    return matrixfault{line, rowfault(name.text, length, plan.nchar)};
                std::size_t more = 0;
                for (std::size_t k = i; k < plan.end && words[k].line == w.line && symbols(words[k].text, plan); ++k)
                    more += words[k].text.size();
                return matrixfault{w.line, rowfault(name.text, length + more, plan.nchar)};
            }
            length += w.text.size();
            line = w.line;
            ++i;
        }
        if (length < plan.nchar)
            return matrixfault{line, rowfault(name.text, length, plan.nchar)};
    }
    if (rows != plan.ntax)
        return matrixfault{plan.end < words.size() ? words[plan.end].line : -1, taxacount(plan.ntax, rows)};
    return std::nullopt;
}

}  // namespace

std::vector<nexusword> nexuswords(std::string_view text)
{
    std::vector<nexusword> words;
    long line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '[') {
            for (int depth = 0; i < n; ++i) {
                depth += text[i] == '[' ? 1 : text[i] == ']' ? -1 : 0;
                line += text[i] == '\n';
                if (depth == 0) {
                    ++i;
                    break;
                }
            }
        } else if (c == ';' || c == '=') {
            words.push_back({std::string(1, c), line, false});
            ++i;
        } else if (c == '\'') {
            nexusword w{"", line, true};
            for (++i; i < n; ++i) {
                if (text[i] == '\'') {
                    if (i + 1 < n && text[i + 1] == '\'') {
                        w.text += '\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                line += text[i] == '\n';
                w.text += text[i];
            }
            words.push_back(std::move(w));
        } else {
            nexusword w{"", line, false};
            while (i < n && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != '[' && text[i] != ';' &&
                   text[i] != '=' && text[i] != '\'')
                w.text += text[i++];
            words.push_back(std::move(w));
        }
    }
    return words;
}

std::optional<matrixfault> matrixrowfault(const std::vector<nexusword>& words)
{
    const std::optional<matrixplan> plan = findmatrix(words);
    if (!plan || plan->nchar == 0 || plan->first == plan->end)
        return std::nullopt;
    return plan->interleaved ? interleavedfault(words, *plan) : sequentialfault(words, *plan);
}

std::optional<std::pair<long, long>> matrixlines(const std::vector<nexusword>& words)
{
    const std::optional<matrixplan> plan = findmatrix(words);
    if (!plan || plan->first == 0)
        return std::nullopt;
    const long last = plan->end < words.size() ? words[plan->end].line : words.back().line;
    return std::make_pair(words[plan->first - 1].line, last);
}

std::vector<std::string> commandsleftout(const std::vector<nexusword>& words)
{
    std::vector<std::string> found;
    eachcommand(words, [&](const std::string& block, const std::string& word, std::size_t i) {
        const std::string at = " (line " + std::to_string(words[i].line) + ")";
        if (block == "paup" && (word == "exclude" || word == "delete" || word == "outgroup" || word == "set"))
            found.push_back(word + " in the PAUP block" + at);
        else if ((word == "wtset" || word == "typeset") && i + 1 < words.size() && words[i + 1].text == "*")
            found.push_back((word == "wtset" ? "WTSET *" : "TYPESET *") + at);
        return true;
    });
    return found;
}
