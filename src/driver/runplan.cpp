#include "runplan.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "bootstrap.h"
#include "names.h"

namespace {

std::string aboutsize(std::uintmax_t bytes)
{
    char text[32];
    if (bytes < 1000000)
        std::snprintf(text, sizeof text, "%.0f kB", static_cast<double>(bytes) / 1e3);
    else if (bytes < 1000000000)
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    else
        std::snprintf(text, sizeof text, "%.2f GB", static_cast<double>(bytes) / 1e9);
    return text;
}

std::string taxa(std::size_t n)
{
    return std::to_string(n) + (n == 1 ? " taxon" : " taxa");
}

}  // namespace

void describe(const runplan& plan, std::ostream& out)
{
    const datareading& data = *plan.data;
    const std::vector<group>& groups = *plan.groups;
    const std::string indent(13, ' ');
    out << "Data file    " << plan.datafile << ": " << readingname(data) << "\n";
    out << indent << taxa(data.data.names.size()) << " x "
        << (data.data.sequences.empty() ? 0 : data.data.sequences.front().size()) << " characters";
    if (data.excluded > 0)
        out << " (" << data.excluded << " of " << data.characters << " left out by the exclusion set"
            << (data.exclusionset.empty() ? "" : " " + data.exclusionset) << ")";
    out << "\n";
    for (const std::string& note : data.notes)
        out << indent << note << "\n";

    const std::size_t ingroups = groups.size() - 1;
    out << "Groups       " << (plan.groupfile.empty() ? "from the command line" : "from " + plan.groupfile) << " ("
        << ingroups << (ingroups == 1 ? " group" : " groups") << " and the outgroup)\n";
    for (const std::string& note : plan.groupnotes)
        out << indent << note << "\n";
    std::size_t width = 0;
    for (const group& g : groups)
        width = std::max(width, g.name.size());
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const group& g = groups[i];
        std::vector<std::string> labels;
        for (int t : g.taxa)
            labels.push_back(data.data.names[static_cast<std::size_t>(t) - 1]);
        out << "  " << g.name << std::string(width - g.name.size() + 2, ' ') << taxa(g.taxa.size())
            << (labels.empty() ? "" : ": " + firstfew(labels)) << (i + 1 == groups.size() ? " (the outgroup)" : "")
            << "\n";
    }

    const std::size_t comparisons = plan.ranking ? ingroups - 1 : ingroups * (ingroups - 1) / 2;
    out << "Comparisons  " << comparisons
        << (plan.ranking ? " against the reference group " + groups[ingroups - 1].name : std::string(" pairwise"))
        << ", " << plan.triplets << " triplets in each replicate\n";
    out << "Replicates   " << plan.replicates << " (seed " << plan.seed << ") in " << plan.parts
        << (plan.parts == 1 ? " command file" : " command files") << ", about " << aboutsize(plan.size)
        << (plan.parts == 1 ? "" : " together") << "\n";
}

std::size_t replicatesize(replicatewriter& writer, std::uint32_t seed)
{
    bootstrapgenerator generator(seed);
    std::ostringstream one;
    writer.write(one, 1, generator);
    return one.str().size();
}
