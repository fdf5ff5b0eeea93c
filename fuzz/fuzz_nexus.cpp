// The word-by-word reading of a data file (kept for the files only it reads)
// on any file.
//
// Invariants: names and sequences are parallel lists, every sequence has the
// first one's length, no name keeps a "_"; and the rows are exactly those of
// a plain model of the reading (skip to the first word holding "MATRIX", then
// name and sequence words in pairs up to a sequence of another length or the
// last complete pair), with the words running out exactly when the model's do.

#include "common.h"
#include "tokenreading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream file(text);
    const tokenreading read = readtokens(file);
    const std::vector<std::string>& names = read.data.names;
    const std::vector<std::string>& seqs = read.data.sequences;

    // The model.
    const std::vector<std::string> w = fuzzing::words(text);
    std::size_t i = 0;
    while (i < w.size() && w[i].find("MATRIX") == std::string::npos)
        ++i;
    ++i;
    std::vector<std::string> wantnames, wantseqs;
    bool ranout = true;
    for (; i + 1 < w.size(); i += 2) {
        if (!wantseqs.empty() && w[i + 1].size() != wantseqs.front().size()) {
            ranout = false;
            break;
        }
        std::string n = w[i];
        for (char& c : n)
            if (c == '_')
                c = '|';
        wantnames.push_back(n);
        wantseqs.push_back(w[i + 1]);
    }

    FUZZ_CHECK(names.size() == seqs.size(), "names and sequences not parallel");
    for (const std::string& s : seqs)
        FUZZ_CHECK(s.size() == seqs.front().size(), "a sequence of another length");
    for (const std::string& n : names)
        FUZZ_CHECK(n.find('_') == std::string::npos, n);
    FUZZ_CHECK(names == wantnames && seqs == wantseqs,
               std::to_string(names.size()) + " rows read, " + std::to_string(wantnames.size()) + " expected");
    FUZZ_CHECK(read.ranout == ranout, "words ran out: " + std::to_string(read.ranout));
    return 0;
}
