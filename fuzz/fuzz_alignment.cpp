// The reading of a data file as the dialogue does it, the NEXUS Class
// Library's parser included: users' files are untrusted input.
//
// Invariants: the file is read or refused with a fault, never both; a read
// alignment has parallel lists, distinct names without "_" that stand as one
// word in the command file, every sequence of the first one's length, in DNA
// symbols; the library's reading holds only Tolvi's symbols; where the
// library's reading is not taken, the word-by-word reading is kept as it is,
// and where it stands in for a library that fails, a note says so.

#include "common.h"

#include "bases.h"
#include "names.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    const datareading read = readalignment(text);
    if (read.fault) {
        FUZZ_CHECK(read.data.names.empty() && !read.fault->reason.empty(), read.fault->reason);
        return 0;
    }
    const std::vector<std::string>& seqs = read.data.sequences;
    FUZZ_CHECK(!seqs.empty() && read.data.names.size() == seqs.size() && namefaults(read.data.names).empty(),
               namefaults(read.data.names));
    for (std::size_t k = 0; k < seqs.size(); ++k) {
        FUZZ_CHECK(seqs[k].size() == seqs[0].size() && read.data.names[k].find('_') == std::string::npos,
                   read.data.names[k]);
        for (char c : seqs[k])
            FUZZ_CHECK(bases::bitsof(c) != 0 && (!read.library || bases::symbolof(bases::bitsof(c)) == c),
                       seqs[k]);
    }
    skipbyteordermark(text);
    std::istringstream again(text);
    if (!read.library)
        FUZZ_CHECK(read.data == readtokens(again).data, "the word-by-word reading was not kept as it is");
    FUZZ_CHECK(!read.standin || !read.notes.empty(), "the word-by-word reading stood in without a word");
    return 0;
}
