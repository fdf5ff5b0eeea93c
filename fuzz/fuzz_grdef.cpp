// The group definition file reader on any file.
//
// Invariants: the list is emptied first; every group has a one-word name and
// no character states; either the taxa-group matrix was read to its end and
// the taxon rows 1 .. n then stand each in exactly one group, every group's
// taxa ascending, or reading stopped and no group has taxa; never more groups
// than the file has words.

#include <algorithm>

#include "common.h"
#include "grdef.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::enterworkdir();
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzzing::writefile("g.grdef", text);

    std::vector<group> groups{group(99, "stale")};
    std::ostringstream out;
    grdefimp(groups, "g.grdef", out);
    const std::string console = out.str();

    FUZZ_CHECK(console.rfind("Tolvi built 22.11.04\n\n", 0) == 0, console);
    FUZZ_CHECK(groups.size() <= fuzzing::words(text).size(), std::to_string(groups.size()));
    std::vector<int> all;
    for (const group& g : groups) {
        FUZZ_CHECK(!g.gname.empty() && fuzzing::words(g.gname).size() == 1 && fuzzing::words(g.gname)[0] == g.gname,
                   "group name \"" + g.gname + "\"");
        FUZZ_CHECK(g.cstates.empty(), g.gname);
        for (std::size_t i = 1; i < g.tind.size(); ++i)
            FUZZ_CHECK(g.tind[i - 1] < g.tind[i], "taxa of " + g.gname + " not ascending");
        all.insert(all.end(), g.tind.begin(), g.tind.end());
    }
    const bool complete = console.find("\n\nEnd of taxa-group matrix\n\n") != std::string::npos;
    if (complete) {
        std::sort(all.begin(), all.end());
        for (std::size_t i = 0; i < all.size(); ++i)
            FUZZ_CHECK(all[i] == static_cast<int>(i) + 1, "taxon rows not each in exactly one group");
    } else {
        FUZZ_CHECK(all.empty(), "taxa kept although reading stopped\n" + console);
    }
    return 0;
}
