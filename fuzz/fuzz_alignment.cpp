// The reading of a data file as the dialogue does it, the NEXUS Class
// Library's parser included: users' files are untrusted input.
//
// Invariants: the file is read or refused with a message that ends the run;
// a read alignment has parallel lists, distinct names without "_" that stand
// as one word in the command file, every sequence of the first one's length,
// and the count line last; the library's reading holds only Tolvi's symbols;
// where the library reads nothing, the word-by-word reading is kept as it is.

#include "common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream file(text), again(text);
    std::ostringstream out;
    const std::optional<alignment> read = importalignment("d.nex", file, out);
    const std::string console = out.str();
    if (!read) {
        FUZZ_CHECK(console.ends_with(": Tolvi stops.\n"), console);
        return 0;
    }
    const std::vector<std::string>& seqs = read->sequences;
    FUZZ_CHECK(!seqs.empty() && read->names.size() == seqs.size() && namefault(*read).empty(), namefault(*read));
    for (std::size_t k = 0; k < seqs.size(); ++k)
        FUZZ_CHECK(seqs[k].size() == seqs[0].size() && read->names[k].find('_') == std::string::npos, read->names[k]);
    FUZZ_CHECK(console.ends_with("\n\n" + std::to_string(seqs.size()) + " sequences read;" +
                                 std::to_string(seqs.front().size()) + " characters\n\n"),
               console);
    if (console.find("NEXUS Class Library") == std::string::npos)
        FUZZ_CHECK(*read == readtokens(again).data, "the word-by-word reading was not kept as it is");
    else
        for (const std::string& s : seqs)
            FUZZ_CHECK(s.find_first_not_of("ACGTMRWSYKVHDBN-?") == std::string::npos, s);
    return 0;
}
