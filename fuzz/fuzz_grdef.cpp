// The group definition file reader on any file.
//
// Invariants: either the file is read to its end and the taxon rows 1 .. n
// then stand each in exactly one group, every group's taxa ascending, or
// reading stopped with a fault and no group has taxa; every group has a
// one-word name and no character states; never more groups than the file has
// words; the dialogue's reading of the same file stops where the value does.

#include "common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const groupfilereading read = readgroups(text, nullptr);
    FUZZ_CHECK(read.groups.size() <= fuzzing::words(text).size(), std::to_string(read.groups.size()));
    std::vector<int> all;
    for (const group& g : read.groups) {
        FUZZ_CHECK(fuzzing::words(g.name) == std::vector<std::string>{g.name} && g.cstates.empty(), g.name);
        FUZZ_CHECK(std::is_sorted(g.taxa.begin(), g.taxa.end()), "taxa of " + g.name + " not ascending");
        all.insert(all.end(), g.taxa.begin(), g.taxa.end());
    }
    std::sort(all.begin(), all.end());
    for (std::size_t i = 0; i < all.size(); ++i)
        FUZZ_CHECK(!read.fault && all[i] == static_cast<int>(i) + 1, "taxon rows not each in one group");

    fuzzing::freshworkdir();
    fuzzing::writefile("g.grdef", text);
    std::vector<group> groups{group(99, "stale")};
    std::ostringstream out;
    readgroupfile(groups, "g.grdef", out);
    const bool complete = out.str().find("\n\nEnd of taxa-group matrix\n\n") != std::string::npos;
    FUZZ_CHECK(complete == !read.fault && groups.size() == read.groups.size(), out.str());
    return 0;
}
