#include "nclreading.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "bases.h"
#include "names.h"

#include <ncl.h>
#include <nxsmultiformat.h>

// NCL ends the whole process (exit 1, its report on standard output) when one
// of its internal checks fails, which some broken FORMAT commands provoke.
// This definition takes the place of the library's: the failed check becomes
// an exception, and the file is refused like any other it cannot read.
void ncl_assertion_failed(char const* expr, char const* function, char const*, long)
{
    throw NxsException(std::string("the NEXUS Class Library cannot go on (its check ") + expr + " in " + function +
                       " failed)");
}

namespace {

// NCL's reader without its chatter: status lines and warnings go nowhere.
class quietreader : public MultiFormatReader {
public:
    quietreader() : MultiFormatReader(-1, NxsReader::IGNORE_WARNINGS)
    {
        SetWarningOutputLevel(NxsReader::SUPPRESS_WARNINGS_LEVEL);
    }
    ~quietreader() override { DeleteBlocksFromFactories(); }  // the reader leaves its blocks to the caller
    void statusMessage(const std::string&) const override {}
};

std::string oneline(std::string s)
{
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// FASTA is checked before NCL reads it: NCL counts columns from 0 in its
// messages and takes rows of different lengths for an unaligned set.
bool checkfasta(const std::string& text, nclreading& r)
{
    std::istringstream in(text);
    std::string line, name, firstname;
    std::size_t length = 0, firstlength = 0, lineno = 0, rows = 0;
    auto endrow = [&]() {
        if (rows == 1) {
            firstname = name;
            firstlength = length;
            return true;
        }
        if (rows > 1 && length != firstlength) {
            r.reason = "the sequence of " + withbars(name) + " has " + std::to_string(length) +
                       " characters, that of " + withbars(firstname) + " " + std::to_string(firstlength);
            return false;
        }
        return true;
    };
    while (std::getline(in, line)) {
        ++lineno;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '>') {
            if (!endrow())
                return false;
            name = oneline(line.substr(1));
            length = 0;
            ++rows;
            continue;
        }
        for (char c : line) {
            if (std::isspace(static_cast<unsigned char>(c)))
                continue;
            ++length;
            if (bases::bitsof(c) == 0) {
                r.line = static_cast<long>(lineno);
                r.reason = "taxon " + withbars(name) + ", column " + std::to_string(length) + ": the character '" +
                           std::string(1, c) + "' is no DNA or RNA state, gap or missing symbol";
                return false;
            }
        }
    }
    return endrow();
}

}  // namespace

unsigned long long declared(const std::string& text, std::string_view key)
{
    unsigned long long most = 0;
    for (std::size_t i = 0; i + key.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < key.size() && std::tolower(static_cast<unsigned char>(text[i + k])) == key[k])
            ++k;
        if (k < key.size())
            continue;
        std::size_t j = i + k;
        while (j < text.size() && (text[j] == ' ' || text[j] == '\t'))
            ++j;
        if (j >= text.size() || text[j] != '=')
            continue;
        ++j;
        while (j < text.size() && (text[j] == ' ' || text[j] == '\t'))
            ++j;
        unsigned long long n = 0;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])) && n < (1ULL << 40))
            n = n * 10 + static_cast<unsigned long long>(text[j++] - '0');
        most = std::max(most, n);
    }
    return most;
}

namespace {

// NCL sets aside the whole matrix the file declares before it reads a state:
// a few bytes declaring billions of characters would take gigabytes. Every
// state takes at least one character of the file, so a matrix larger than
// the file cannot be read and is refused before NCL sees it.
bool fitsthefile(const std::string& text, unsigned long long ntax, unsigned long long nchar, nclreading& r)
{
    const unsigned long long size = text.size();
    if (ntax == 0 || nchar == 0 || (nchar <= size && ntax <= size / nchar))
        return true;
    r.line = 1;
    r.toolarge = true;
    r.reason = "the file declares " + std::to_string(ntax) + " taxa of " + std::to_string(nchar) +
               " characters, more than its " + std::to_string(size) + " characters can hold";
    return false;
}

// PHYLIP with one row per taxon is checked before NCL reads it: a row of
// another length than the first line declares is named with both lengths
// (NCL would take the next taxon's name for characters).
bool checkphylip(const std::string& text, nclreading& r)
{
    std::istringstream in(text);
    std::string line;
    std::vector<std::pair<std::size_t, std::string>> rows;  // line number, text
    std::size_t ntax = 0, nchar = 0, lineno = 0;
    while (std::getline(in, line)) {
        ++lineno;
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        if (ntax == 0) {
            std::istringstream(line) >> ntax >> nchar;
            if (!fitsthefile(text, ntax, nchar, r))
                return false;
            continue;
        }
        rows.emplace_back(lineno, line);
    }
    if (rows.size() != ntax)
        return true;  // wrapped or interleaved: left to NCL
    for (const auto& [at, row] : rows) {
        std::istringstream words(row);
        std::string name, part;
        words >> name;
        std::size_t length = 0;
        while (words >> part)
            length += part.size();
        if (length != nchar) {
            r.line = static_cast<long>(at);
            r.reason = "the sequence of " + withbars(name) + " has " + std::to_string(length) +
                       " characters, the first line declares " + std::to_string(nchar);
            return false;
        }
    }
    return true;
}

// The name of a character matrix for a message: its title, or its place.
std::string matrixname(const NxsCharactersBlock& chars, unsigned place)
{
    const std::string title = chars.IsAutoGeneratedTitle() ? "" : chars.GetTitle();
    return (title.empty() ? "matrix " + std::to_string(place) : "\"" + title + "\"") + " (" +
           std::to_string(chars.GetNTaxTotal()) + " taxa, " + std::to_string(chars.GetNChar()) + " characters)";
}

// The name of the default exclusion set, where the file has one.
std::string defaultexclusionset(quietreader& reader)
{
    const NxsCharactersBlock* any = nullptr;
    for (unsigned a = 0; a < reader.GetNumAssumptionsBlocks(any); ++a)
        if (NxsAssumptionsBlock* block = reader.GetAssumptionsBlock(any, a)) {
            const std::string name = block->GetDefExSetName();
            if (!name.empty())
                return name;
        }
    return "";
}

// The character matrix NCL read, in Tolvi's symbols, without the excluded
// columns. A file with several matrices is refused.
bool takematrix(quietreader& reader, nclreading& r)
{
    std::vector<std::pair<NxsTaxaBlock*, NxsCharactersBlock*>> matrices;
    for (unsigned t = 0; t < reader.GetNumTaxaBlocks(); ++t) {
        NxsTaxaBlock* taxa = reader.GetTaxaBlock(t);
        for (unsigned c = 0; c < reader.GetNumCharactersBlocks(taxa); ++c)
            matrices.emplace_back(taxa, reader.GetCharactersBlock(taxa, c));
    }
    if (matrices.empty()) {
        r.nomatrix = true;
        r.reason = reader.GetNumTaxaBlocks() > 0 && reader.GetNumUnalignedBlocks(reader.GetTaxaBlock(0)) > 0
                       ? "the sequences are not all of one length"
                       : "no character matrix (no MATRIX command) was found";
        return false;
    }
    if (matrices.size() > 1) {
        r.refused = true;
        r.reason = "the file holds " + std::to_string(matrices.size()) + " character matrices, ";
        for (std::size_t m = 0; m < matrices.size(); ++m)
            r.reason += (m == 0 ? "" : m + 1 == matrices.size() ? " and " : ", ") +
                        matrixname(*matrices[m].second, static_cast<unsigned>(m + 1));
        r.reason += "; Tolvi takes one alignment: join them into one matrix (one DATA or CHARACTERS block)";
        return false;
    }
    const auto [taxa, chars] = matrices.front();
    const auto type = chars->GetDataType();
    if (type != NxsCharactersBlock::dna && type != NxsCharactersBlock::rna &&
        type != NxsCharactersBlock::nucleotide) {
        r.refused = true;
        r.reason = "the character matrix is not declared as DNA or RNA (datatype=DNA)";
        return false;
    }
    const unsigned ntax = taxa->GetNTax();
    const unsigned nchar = chars->GetNChar();
    std::vector<unsigned> columns;
    for (unsigned c = 0; c < nchar; ++c)
        if (!chars->IsExcluded(c))
            columns.push_back(c);
        else
            r.excludedcolumns.push_back(static_cast<int>(c) + 1);
    r.characters = nchar;
    r.excluded = nchar - columns.size();
    if (r.excluded > 0)
        r.exclusionset = defaultexclusionset(reader);
    for (unsigned t = 0; t < ntax; ++t) {
        const std::string label = taxa->GetTaxonLabel(t);
        const NxsDiscreteStateRow& row = chars->GetDiscreteMatrixRow(t);
        if (row.size() != nchar) {
            r.reason = "taxon " + withbars(label) + " has no row of " + std::to_string(nchar) + " characters";
            return false;
        }
        std::string seq(columns.size(), '?');
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const unsigned c = columns[k];
            const NxsDiscreteStateCell code = row[c];
            if (code == NXS_GAP_STATE_CODE) {
                seq[k] = '-';
                continue;
            }
            if (code == NXS_MISSING_CODE)
                continue;
            int mask = 0;
            for (NxsDiscreteStateCell s : chars->GetDatatypeMapperForChar(c)->GetStateSetForCode(code))
                if (s >= 0 && s < 4)
                    mask |= 1 << s;
            seq[k] = bases::symbolof(static_cast<std::uint8_t>(mask));
        }
        r.labels.push_back(label);
        r.data.names.push_back(withbars(label));
        r.data.sequences.push_back(std::move(seq));
    }
    return true;
}

// Strict PHYLIP puts the sequence right after a name field of 10
// characters: every row of the first block reaches past it.
bool strictlayout(const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    unsigned long ntax = 0, rows = 0;
    while (rows < ntax + 1 && std::getline(in, line)) {
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        if (rows++ == 0) {
            std::istringstream(line) >> ntax;
            continue;
        }
        if (line.size() <= 10 || std::isspace(static_cast<unsigned char>(line[10])))
            return false;
    }
    return ntax > 0 && rows == ntax + 1;
}

nclreading readas(const std::string& text, MultiFormatReader::DataFormatType type, const std::string& kind)
{
    nclreading r;
    r.kind = kind;
    quietreader reader;
    try {
        std::istringstream in(text);
        reader.ReadStream(in, type);
        r.ok = takematrix(reader, r);
    } catch (const NxsException& e) {
        r.line = e.line > 0 ? e.line : -1;
        r.reason = oneline(e.msg);
        if (r.reason.empty())
            r.reason = "the NEXUS Class Library stops without saying why";
    } catch (const std::exception& e) {
        r.reason = oneline(e.what());
    }
    if (!r.ok)
        r.data = alignment{}, r.labels.clear();
    return r;
}

}  // namespace

fileformat guessformat(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return fileformat::unknown;
    text.remove_prefix(start);
    if (text.front() == '>')
        return fileformat::fasta;
    std::string head(text.substr(0, 6));
    for (char& c : head)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (head == "#NEXUS")
        return fileformat::nexus;
    std::istringstream first(std::string(text.substr(0, text.find('\n'))));
    long ntax = 0, nchar = 0;
    std::string rest;
    if (first >> ntax >> nchar && ntax > 0 && nchar > 0 && !(first >> rest))
        return fileformat::phylip;
    return fileformat::unknown;
}

nclreading readwithncl(const std::string& text, fileformat format)
{
    switch (format) {
    case fileformat::nexus: {
        nclreading r;
        r.kind = "NEXUS";
        if (!fitsthefile(text, std::max(declared(text, "ntax"), 1ULL), declared(text, "nchar"), r))
            return r;
        return readas(text, MultiFormatReader::NEXUS_FORMAT, "NEXUS");
    }
    case fileformat::fasta: {
        nclreading r;
        r.kind = "FASTA";
        if (!checkfasta(text, r))
            return r;
        return readas(text, MultiFormatReader::FASTA_DNA_FORMAT, "FASTA");
    }
    case fileformat::phylip: {
        nclreading relaxed;
        relaxed.kind = "PHYLIP";
        if (checkphylip(text, relaxed)) {
            relaxed = readas(text, MultiFormatReader::RELAXED_PHYLIP_DNA_FORMAT, "sequential PHYLIP");
            if (relaxed.ok)
                return relaxed;
            nclreading inter =
                readas(text, MultiFormatReader::INTERLEAVED_RELAXED_PHYLIP_DNA_FORMAT, "interleaved PHYLIP");
            if (inter.ok)
                return inter;
            relaxed.kind = "PHYLIP";
            relaxed.reason += " (read as interleaved PHYLIP: " + inter.reason + ")";
        } else if (relaxed.line == 1) {
            return relaxed;  // the first line declares more than the file holds
        }
        if (strictlayout(text))
            for (const auto& [format, kind] : {std::pair{MultiFormatReader::PHYLIP_DNA_FORMAT, "strict sequential PHYLIP"},
                                               std::pair{MultiFormatReader::INTERLEAVED_PHYLIP_DNA_FORMAT,
                                                         "strict interleaved PHYLIP"}}) {
                nclreading strict = readas(text, format, kind);
                if (strict.ok) {
                    strict.strict = true;
                    return strict;
                }
            }
        return relaxed;
    }
    case fileformat::unknown:
        break;
    }
    nclreading r;
    r.reason = "unknown format";
    return r;
}

bool samestates(const std::vector<std::string>& tokens, const std::vector<std::string>& ncl)
{
    if (tokens.size() != ncl.size())
        return false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].size() != ncl[i].size())
            return false;
        for (std::size_t j = 0; j < tokens[i].size(); ++j) {
            const int mask = bases::bitsof(tokens[i][j]);
            if (mask == 0 || mask != bases::bitsof(ncl[i][j]))
                return false;
        }
    }
    return true;
}
