// The group definition file reader on any file.
//
// Invariants: the list is emptied first; every group has a one-word name and
// no character states; either the taxa-group matrix was read to its end and
// the taxon rows 1 .. n then stand each in exactly one group, every group's
// taxa ascending, or reading stopped and no group has taxa; never more groups
// than the file has words.

#include "common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::freshworkdir();
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzzing::writefile("g.grdef", text);
    std::vector<group> groups{group(99, "stale")};
    std::ostringstream out;
    readgroupfile(groups, "g.grdef", out);
    const bool complete = out.str().find("\n\nEnd of taxa-group matrix\n\n") != std::string::npos;
    FUZZ_CHECK(groups.size() <= fuzzing::words(text).size(), std::to_string(groups.size()));
    std::vector<int> all;
    for (const group& g : groups) {
        FUZZ_CHECK(fuzzing::words(g.name) == std::vector<std::string>{g.name} && g.cstates.empty(), g.name);
        FUZZ_CHECK(std::is_sorted(g.taxa.begin(), g.taxa.end()), "taxa of " + g.name + " not ascending");
        all.insert(all.end(), g.taxa.begin(), g.taxa.end());
    }
    std::sort(all.begin(), all.end());
    for (std::size_t i = 0; i < all.size(); ++i)
        FUZZ_CHECK(complete && all[i] == static_cast<int>(i) + 1, "taxon rows not each in one group\n" + out.str());
    return 0;
}
