#include "plan.h"

#include <algorithm>
#include <cctype>

#include <cstdio>

std::vector<replicaterange> splitreplicates(int replicates, int parts)
{
    std::vector<replicaterange> ranges;
    if (parts < 1)
        return ranges;
    const int base = replicates / parts;
    const int longer = replicates % parts;
    int first = 1;
    for (int k = 0; k < parts; ++k) {
        const int n = base + (k < longer ? 1 : 0);
        ranges.push_back({first, first + n - 1});
        first += n;
    }
    return ranges;
}

namespace {

const char* const labelformat = "Tolvi part %d of %d: bootstrap replicates %d to %d of %d";

}  // namespace

std::string partcomment(const partlabel& label)
{
    char text[160];
    std::snprintf(text, sizeof text, labelformat, label.part, label.parts, label.range.first, label.range.last,
                  label.replicates);
    return std::string("[!\n") + text + "\n]\n";
}

std::optional<partlabel> findpartlabel(std::string_view text)
{
    const std::size_t at = text.find("Tolvi part ");
    if (at == std::string_view::npos)
        return std::nullopt;
    // A copy ends the text for sscanf, which needs a zero character.
    const std::string line(text.substr(at, 120));
    partlabel l{};
    if (std::sscanf(line.c_str(), labelformat, &l.part, &l.parts, &l.range.first, &l.range.last,
                    &l.replicates) != 5)
        return std::nullopt;
    if (l.parts < 1 || l.part < 1 || l.part > l.parts || l.range.first < 1 || l.range.first > l.range.last ||
        l.range.last > l.replicates)
        return std::nullopt;
    return l;
}

const char* const partending = "\nquit warntsave=no;\nend;\n";

std::string logcommand(const std::string& logname)
{
    const bool plain = !logname.empty() && std::all_of(logname.begin(), logname.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-' || c == '/';
    });
    std::string name = logname;
    if (!plain) {
        name = "'";
        for (char c : logname)
            name += c == '\'' ? std::string("''") : std::string(1, c);
        name += "'";
    }
    return "log file = " + name + " replace=yes;\n";
}

std::string partfilename(const std::string& prefix, int part)
{
    return prefix + ".cd." + std::to_string(part);
}

std::string partlogname(const std::string& prefix, int part)
{
    return prefix + ".log." + std::to_string(part);
}

namespace {

// A word for the shell in single quotes.
std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

}  // namespace

std::string shellword(const std::string& s)
{
    const bool plain = !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::string_view("_.-/+,:=@%").find(c) != std::string_view::npos;
    });
    return plain ? s : quoted(s);
}

std::string slurmscript(const std::string& prefix, int parts)
{
    std::string job = prefix.substr(prefix.find_last_of('/') == std::string::npos ? 0 : prefix.find_last_of('/') + 1);
    for (char& c : job)
        if (c == ' ' || c == '\t' || c == '\'' || c == '"' || c == '%' || c == '\\')
            c = '_';
    std::string s = "#!/bin/bash\n";
    s += "# The PAUP runs of the " + std::to_string(parts) + " parts of " + prefix +
         ".cd, one array task each.\n"
         "# Submit with \"sbatch " + prefix + ".slurm\" from the folder tolvi construct ran in;\n"
         "# add the partition, time limit and memory your cluster asks for.\n"
         "# When every task is done: tolvi evaluate " + prefix + ".log.*\n";
    s += "#SBATCH --job-name=tolvi-" + job + "\n";
    s += "#SBATCH --array=1-" + std::to_string(parts) + "\n";
    s += "#SBATCH --ntasks=1\n#SBATCH --cpus-per-task=1\n";
    s += "#SBATCH --output=" + job + ".slurm.%a.out\n";
    s += "#SBATCH --error=" + job + ".slurm.%a.err\n";
    s += "##SBATCH --partition=NAME\n##SBATCH --time=1-00:00:00\n##SBATCH --mem=2G\n\n";
    s += "exec ${PAUP:-paup} -n " + quoted(prefix + ".cd.") + "\"$SLURM_ARRAY_TASK_ID\"\n";
    return s;
}

std::string numberranges(const std::vector<int>& sorted)
{
    std::string s;
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1)
            ++j;
        if (!s.empty())
            s += ", ";
        s += std::to_string(sorted[i]);
        if (j > i)
            s += "-" + std::to_string(sorted[j]);
        i = j + 1;
    }
    return s;
}
