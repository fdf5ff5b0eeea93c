#include "importer.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "bases.h"
#include "names.h"
#include "nclreading.h"
#include "nexusscan.h"
#include "tokenreading.h"

namespace {

const char* const formatsread = "Tolvi reads NEXUS (with a MATRIX), FASTA and PHYLIP files";

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

std::size_t width(const alignment& a)
{
    return a.sequences.empty() ? 0 : a.sequences.front().size();
}

std::string taxacharacters(std::size_t taxa, std::size_t characters)
{
    return std::to_string(taxa) + (taxa == 1 ? " taxon" : " taxa") + " of " + std::to_string(characters) +
           " characters";
}

// Why the word-by-word reading cannot stand for the file, or "" when it can:
// it must give whole rows up to the matrix's end, as many taxa and
// characters as the file declares, in DNA symbols.
std::string standinfault(const tokenreading& t, const std::string& text)
{
    const alignment& a = t.data;
    if (!isproper(a))
        return "no two distinct names with sequences of one length";
    if (!t.dangling.empty())
        return "the last name, " + withbars(t.dangling) + ", has no sequence";
    if (!endsproperly(t))
        return "the row of " + withbars(t.endname) + " has another length than the " + std::to_string(a.names.size()) +
               " rows before it (" + std::to_string(width(a)) + " characters)";
    const unsigned long long ntax = declared(text, "ntax"), nchar = declared(text, "nchar");
    if (ntax > 0 && ntax != a.names.size())
        return "the file declares " + std::to_string(ntax) + " taxa; " + std::to_string(a.names.size()) +
               " rows were read";
    if (nchar > 0 && nchar != width(a))
        return "the file declares " + std::to_string(nchar) + " characters; the rows have " + std::to_string(width(a));
    for (std::size_t i = 0; i < a.sequences.size(); ++i)
        for (std::size_t j = 0; j < a.sequences[i].size(); ++j)
            if (bases::bitsof(a.sequences[i][j]) == 0)
                return "taxon " + a.names[i] + ", column " + std::to_string(j + 1) + ": the character '" +
                       std::string(1, a.sequences[i][j]) + "' is no DNA or RNA state, gap or missing symbol";
    return "";
}

// The fault of a NEXUS file the library refuses: the row or taxon count
// where the rows of its matrix show one, else the library's own reason.
datafault nexusfault(const nclreading& ncl, const std::string& text)
{
    datafault f{datafault::frame::cannotread, ncl.kind, ncl.line, ncl.reason, ""};
    const std::vector<nexusword> words = nexuswords(text);
    const std::optional<matrixfault> rows = matrixrowfault(words);
    const auto span = matrixlines(words);
    const bool inmatrix = ncl.line < 0 || ncl.toolarge || (span && ncl.line >= span->first && ncl.line <= span->second);
    if (rows && inmatrix) {
        f.line = rows->line;
        f.reason = rows->reason;
    }
    return f;
}

// FASTA headers that hold more than a name ("Homo_sapiens mitochondrion,
// complete"): their first words, where those serve as distinct names. Else
// why they do not ("" where the headers hold no punctuation).
std::string takefirstwords(nclreading& ncl, datareading& r)
{
    const auto punctuated = [](const std::string& label) {
        return label.find_first_of(nexuspunctuation) != std::string::npos;
    };
    const auto described = std::find_if(ncl.labels.begin(), ncl.labels.end(), punctuated);
    if (described == ncl.labels.end())
        return "";
    std::vector<std::string> first;
    for (const std::string& label : ncl.labels)
        first.push_back(withbars(label.substr(0, label.find_first_of(" \t"))));
    if (std::string fault = namefaults(first); !fault.empty()) {
        fault[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(fault[0])));
        return "; the first words of the headers do not serve as names either: " + fault;
    }
    r.notes.push_back("The FASTA headers hold more than names (" + *described +
                      "): the first word of each header is taken as the taxon's name.");
    ncl.data.names = std::move(first);
    return "";
}

// The library's reading, where it read the file; returns what to add to a
// fault of the names.
std::string readbylibrary(nclreading& ncl, tokenreading& tokens, datareading& r)
{
    r.format = ncl.kind;
    r.characters = ncl.characters;
    r.excluded = ncl.excluded;
    r.excludedcolumns = ncl.excludedcolumns;
    r.exclusionset = ncl.exclusionset;
    const bool same = tokens.data.names == ncl.data.names && samestates(tokens.data.sequences, ncl.data.sequences);
    if (same) {
        r.data = std::move(tokens.data);
        r.ranout = tokens.ranout;
        return "";
    }
    r.library = true;
    std::string line = "The alignment is read as " + ncl.kind + " by the NEXUS Class Library";
    if (tokens.matrixfound)
        line += "; read word by word after MATRIX it would give " + std::to_string(tokens.data.names.size()) +
                " sequences of " + std::to_string(width(tokens.data)) + " characters";
    r.notes.push_back(line + ".");
    if (ncl.strict)
        r.notes.push_back("The names are read as strict PHYLIP writes them: the first 10 characters of each row.");
    std::string namehint;
    if (ncl.kind == "FASTA" && !namefaults(ncl.data.names).empty())
        namehint = takefirstwords(ncl, r);
    if (ncl.excluded > 0)
        r.notes.push_back(std::to_string(ncl.excluded) + " of the " + std::to_string(ncl.characters) +
                          (ncl.excluded == 1 ? " characters is left out, as PAUP leaves it out"
                                             : " characters are left out, as PAUP leaves them out") +
                          ": the file's default exclusion set" +
                          (ncl.exclusionset.empty() ? "" : " " + ncl.exclusionset) + " (EXSET *) names them.");
    r.data = std::move(ncl.data);
    return namehint;
}

}  // namespace

void skipbyteordermark(std::string& text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.erase(0, 3);
}

datareading readalignment(std::string text)
{
    skipbyteordermark(text);
    datareading r;
    std::istringstream words(text);
    tokenreading tokens = readtokens(words);
    const fileformat format = guessformat(text);
    nclreading ncl = format == fileformat::unknown ? nclreading{} : readwithncl(text, format);

    std::string namehint;
    if (ncl.ok) {
        namehint = readbylibrary(ncl, tokens, r);
    } else if (ncl.refused) {
        r.fault = datafault{datafault::frame::cannotread, ncl.kind, ncl.line, ncl.reason, ""};
    } else if (ncl.nomatrix && !tokens.matrixfound) {
        r.fault = datafault{datafault::frame::nomatrix, ncl.kind, -1, ncl.reason, firstline(text)};
    } else if (const std::string why = standinfault(tokens, text); !why.empty()) {
        if (format == fileformat::nexus)
            r.fault = nexusfault(ncl, text);
        else if (format != fileformat::unknown)
            r.fault = datafault{datafault::frame::cannotread, ncl.kind, ncl.line, ncl.reason, ""};
        else if (!tokens.matrixfound)
            r.fault = datafault{datafault::frame::noformat, "", -1,
                                "it holds no word MATRIX, begins neither with #NEXUS (NEXUS) nor with \">\" (FASTA)"
                                " nor with the numbers of taxa and characters (PHYLIP)",
                                firstline(text)};
        else
            r.fault = datafault{datafault::frame::noalignment, "", -1, why, firstline(text)};
    } else {
        // The word-by-word reading stands in: it gives what the file declares.
        r.standin = true;
        r.data = std::move(tokens.data);
        r.ranout = tokens.ranout;
        r.characters = width(r.data);
        const bool declares = declared(text, "ntax") > 0 || declared(text, "nchar") > 0;
        const std::string rows = "its rows after the word MATRIX, read word by word, give " +
                                 taxacharacters(r.data.names.size(), width(r.data)) +
                                 (declares ? ", as the file declares" : "");
        if (format == fileformat::unknown)
            r.notes.push_back("The file does not begin with #NEXUS, and the NEXUS Class Library does not read it; " +
                              rows + ".");
        else
            r.notes.push_back("The NEXUS Class Library cannot read the file as " + ncl.kind +
                              (ncl.line > 0 ? " (line " + std::to_string(ncl.line) + ": " : " (") + ncl.reason +
                              "); " + rows + ".");
        r.format = format == fileformat::unknown ? "" : ncl.kind;
    }
    if (r.fault)
        return r;
    if (const std::string names = namefaults(r.data.names); !names.empty()) {
        r.fault = datafault{datafault::frame::names, r.format, -1, names + namehint, ""};
        r.data = alignment{};
        return r;
    }
    if (format == fileformat::nexus || format == fileformat::unknown)
        if (const std::vector<std::string> left = commandsleftout(nexuswords(text)); !left.empty()) {
            std::string line = "Not applied: ";
            for (std::size_t i = 0; i < left.size(); ++i)
                line += (i ? ", " : "") + left[i];
            r.notes.push_back(line + ". Tolvi's command file carries the alignment without them.");
        }
    return r;
}

std::string readingname(const datareading& r)
{
    if (r.standin)
        return (r.format.empty() ? "" : r.format + ", ") + "read word by word after MATRIX";
    return r.format + ", read by the NEXUS Class Library";
}

std::string dialoguetext(const datafault& f, const std::string& filename)
{
    const std::string looks = "; the file begins \"" + f.begins + "\". " + formatsread;
    switch (f.kind) {
    case datafault::frame::noformat:
        return "The data file " + filename + " is no alignment Tolvi can read: " + f.reason + looks;
    case datafault::frame::noalignment:
        return "The data file " + filename +
               " does not begin with #NEXUS, and its rows after the word MATRIX are no alignment (" + f.reason + ")" +
               looks;
    case datafault::frame::nomatrix:
        return "The data file " + filename + " (" + f.format + ") holds no alignment: " + f.reason + looks;
    case datafault::frame::names:
        return f.reason + " (data file " + filename + ")";
    case datafault::frame::cannotread:
        break;
    }
    return "The data file " + filename + " cannot be read as " + f.format +
           (f.line > 0 ? ", line " + std::to_string(f.line) : "") + ": " + f.reason;
}

std::string plaintext(const datafault& f, const std::string& filename)
{
    const std::string where = filename + (f.line > 0 ? ":" + std::to_string(f.line) : "") + ": ";
    switch (f.kind) {
    case datafault::frame::noformat:
        return where + "no alignment Tolvi can read: " + f.reason + "; it begins \"" + f.begins + "\"";
    case datafault::frame::noalignment:
        return where + "no #NEXUS at its start, and its rows after the word MATRIX are no alignment: " + f.reason;
    case datafault::frame::nomatrix:
        return where + "no alignment (" + f.format + "): " + f.reason;
    case datafault::frame::names: {
        std::string reason = f.reason;
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
        return where + reason;
    }
    case datafault::frame::cannotread:
        break;
    }
    return where + f.reason + " (read as " + f.format + ")";
}

std::optional<datareading> importalignment(const std::string& filename, std::istream& file, std::ostream& out)
{
    std::ostringstream whole;
    whole << file.rdbuf();
    datareading r = readalignment(whole.str());
    if (r.fault) {
        out << "\n" << dialoguetext(*r.fault, filename) << ": Tolvi stops.\n";
        return std::nullopt;
    }
    for (const std::string& note : r.notes)
        out << "\n" << note << "\n";
    if (r.ranout)
        out << "Error reading data.\n";
    out << "\n\n" << r.data.names.size() << " sequences read;" << width(r.data) << " characters\n\n";
    return r;
}
