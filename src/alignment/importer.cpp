#include "importer.h"

#include <map>
#include <sstream>

#include "nclreading.h"
#include "tokenreading.h"

namespace {

// Characters that end a word in PAUP's data block.
constexpr std::string_view punctuation = "()[]{}/\\,;:=*'\"`<>";

std::string firstline(const std::string& text)
{
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return "";
    std::string line = text.substr(start, text.find_first_of("\r\n", start) - start);
    if (line.size() > 60)
        line = line.substr(0, 60) + "...";
    return line;
}

void countline(const alignment& a, std::ostream& out)
{
    out << "\n\n" << a.names.size() << " sequences read;" << (a.sequences.empty() ? 0 : a.sequences.front().size())
        << " characters\n\n";
}

std::string refusal(const std::string& filename, const std::string& text, const tokenreading& tokens,
                    const nclreading& ncl, fileformat format)
{
    const std::string looks = "; the file begins \"" + firstline(text) + "\"";
    const std::string formats = "Tolvi reads NEXUS (with a MATRIX), FASTA and PHYLIP files";
    if (format == fileformat::unknown) {
        if (!tokens.matrixfound)
            return "The data file " + filename +
                   " is no alignment Tolvi can read: it holds no word MATRIX, begins neither with #NEXUS (NEXUS)"
                   " nor with \">\" (FASTA) nor with the numbers of taxa and characters (PHYLIP)" + looks + ". " +
                   formats;
        return "The data file " + filename +
               " does not begin with #NEXUS, and its rows after the word MATRIX are no alignment"
               " (no two distinct names with sequences of one length)" + looks + ". " + formats;
    }
    if (ncl.nomatrix && !tokens.matrixfound)
        return "The data file " + filename + " (" + ncl.kind + ") holds no alignment: " + ncl.reason + looks + ". " +
               formats;
    std::string where = ncl.line > 0 ? ", line " + std::to_string(ncl.line) : "";
    return "The data file " + filename + " cannot be read as " + ncl.kind + where + ": " + ncl.reason;
}

}  // namespace

std::string namefault(const alignment& a)
{
    std::map<std::string, std::size_t> seen;
    for (std::size_t i = 0; i < a.names.size(); ++i) {
        const std::string& n = a.names[i];
        const std::string taxon = "taxon " + std::to_string(i + 1);
        if (n.empty())
            return "The name of " + taxon + " is empty";
        if (n.find_first_of(punctuation) != std::string::npos)
            return "The name " + n + " (" + taxon + ") holds a character that ends a name in the command file"
                   " (one of " + std::string(punctuation) + ")";
        for (unsigned char c : n)
            if (c < 0x21 || c == 0x7f)
                return "The name of " + taxon + " holds a blank or control character";
        const auto [it, fresh] = seen.emplace(n, i + 1);
        if (!fresh)
            return "The taxa " + std::to_string(it->second) + " and " + std::to_string(i + 1) +
                   " have the same name " + n;
    }
    return "";
}

std::optional<alignment> importalignment(const std::string& filename, std::istream& file, std::ostream& out)
{
    std::ostringstream whole;
    whole << file.rdbuf();
    const std::string text = whole.str();

    std::istringstream words(text);
    tokenreading tokens = readtokens(words);
    const fileformat format = guessformat(text);
    const nclreading ncl = format == fileformat::unknown ? nclreading{} : readwithncl(text, format);

    const bool useslibrary =
        ncl.ok && !(tokens.data.names == ncl.data.names && samestates(tokens.data.sequences, ncl.data.sequences));
    if (!useslibrary && !ncl.ok && !isproper(tokens.data)) {
        out << "\n" << refusal(filename, text, tokens, ncl, format) << ": Tolvi stops.\n";
        return std::nullopt;
    }
    alignment chosen = useslibrary ? ncl.data : std::move(tokens.data);
    if (const std::string fault = namefault(chosen); !fault.empty()) {
        out << "\n" << fault << " (data file " << filename << "): Tolvi stops.\n";
        return std::nullopt;
    }
    if (useslibrary) {
        out << "\nThe alignment is read as " << ncl.kind << " by the NEXUS Class Library";
        if (tokens.matrixfound)
            out << "; read word by word after MATRIX it would give " << tokens.data.names.size()
                << " sequences of " << (tokens.data.sequences.empty() ? 0 : tokens.data.sequences.front().size())
                << " characters";
        out << ".\n";
    } else if (tokens.ranout) {
        out << "Error reading data.\n";
    }
    countline(chosen, out);
    return chosen;
}
