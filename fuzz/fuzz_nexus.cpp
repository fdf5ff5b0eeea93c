// The word-by-word reading of a data file (kept for the files only it reads)
// on any file, held to a plain model: skip to the first word holding
// "MATRIX", then name and sequence words in pairs up to a sequence of another
// length or the last complete pair, every "_" of a name read as "|"; the
// words run out exactly when the model's do.

#include "common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream file(text);
    const tokenreading read = readtokens(file);

    const std::vector<std::string> w = fuzzing::words(text);
    std::size_t i = 0;
    while (i < w.size() && w[i].find("MATRIX") == std::string::npos)
        ++i;
    std::vector<std::string> names, seqs;
    bool ranout = true;
    for (i += 1; i + 1 < w.size(); i += 2) {
        if (!seqs.empty() && w[i + 1].size() != seqs.front().size()) {
            ranout = false;
            break;
        }
        names.push_back(w[i]);
        std::replace(names.back().begin(), names.back().end(), '_', '|');
        seqs.push_back(w[i + 1]);
    }
    FUZZ_CHECK(read.data.names == names && read.data.sequences == seqs,
               std::to_string(read.data.names.size()) + " rows read, " + std::to_string(names.size()) + " expected");
    FUZZ_CHECK(read.ranout == ranout, "words ran out: " + std::to_string(read.ranout));
    return 0;
}
