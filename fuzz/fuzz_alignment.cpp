// The reading of a data file as the dialogue does it, the NEXUS Class
// Library's parser included: users' files are untrusted input.
//
// Invariants: the file is read or refused with a message that ends the run;
// a read alignment has parallel lists, distinct names that stand as one word
// in the command file, every sequence of the first one's length, and the
// count line last; where the library's reading is used, the sequences hold
// only Tolvi's symbols; where the library reads nothing, a proper alignment
// of the word-by-word reading is kept as it is.

#include "common.h"
#include "importer.h"
#include "tokenreading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream file(text);
    std::ostringstream out;
    const std::optional<alignment> read = importalignment("d.nex", file, out);
    const std::string console = out.str();
    if (!read) {
        FUZZ_CHECK(fuzzing::endswith(console, ": Tolvi stops.\n"), console);
        return 0;
    }
    const std::vector<std::string>& names = read->names;
    const std::vector<std::string>& seqs = read->sequences;
    FUZZ_CHECK(!names.empty() && names.size() == seqs.size(), console);
    FUZZ_CHECK(namefault(*read).empty(), namefault(*read));
    for (const std::string& n : names)
        FUZZ_CHECK(n.find('_') == std::string::npos, n);
    for (const std::string& s : seqs)
        FUZZ_CHECK(s.size() == seqs.front().size(), "a sequence of another length");
    const std::string count = "\n\n" + std::to_string(names.size()) + " sequences read;" +
                              std::to_string(seqs.front().size()) + " characters\n\n";
    FUZZ_CHECK(fuzzing::endswith(console, count), console);

    std::istringstream again(text);
    const tokenreading tokens = readtokens(again);
    if (console.find("NEXUS Class Library") != std::string::npos) {
        for (const std::string& s : seqs)
            FUZZ_CHECK(s.find_first_not_of("ACGTMRWSYKVHDBN-?") == std::string::npos, s);
    } else {
        FUZZ_CHECK(*read == tokens.data, "the word-by-word reading was not kept as it is");
    }
    return 0;
}
