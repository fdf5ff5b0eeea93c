#include "commands.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <filesystem>
#include <memory>
#include <sstream>
#include <thread>

#include <unistd.h>

#include <cstdio>
#include <iomanip>

#include "groupdialogue.h"
#include "construct.h"
#include "driver.h"
#include "groupfile.h"
#include "logcheck.h"
#include "datafile.h"
#include "outfile.h"
#include "partlogs.h"
#include "plan.h"
#include "runfacts.h"
#include "runplan.h"
#include "subcommand.h"

namespace {

// Reads a data file as the dialogue does, opened by its path as given;
// false with a message.
bool readdata(const std::string& file, datareading& read, const std::string& who, std::ostream& err)
{
    std::error_code ec;
    std::ifstream f(file, std::ios::binary);
    if (file.empty() || std::filesystem::is_directory(file, ec) || !f) {
        err << who << ": the data file " << file << " cannot be opened\n";
        return false;
    }
    std::ostringstream text;
    text << f.rdbuf();
    read = readalignment(text.str());
    if (read.fault) {
        err << who << ": " << plaintext(*read.fault, file) << "\n";
        return false;
    }
    if (read.data.names.empty()) {
        err << who << ": no taxon could be read from the data file " << file << "\n";
        return false;
    }
    return true;
}

const char* const who_construct = "tolvi construct";

// A taxon list of the command line, strictly: numbers and ascending ranges
// of taxa 1 .. `taxa`, each taxon once. False with the reason.
bool parsetaxonlist(const std::string& list, std::size_t taxa, std::vector<int>& numbers, std::string& why)
{
    const auto number = [&](std::string_view text, long long& value) {
        while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        value = std::stoll(std::string(text));
        return true;
    };
    numbers.clear();
    std::set<int> seen;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const std::size_t dash = item.find('-');
        long long first = 0, last = 0;
        if (!number(item.substr(0, dash), first) ||
            (dash != std::string::npos && !number(std::string_view(item).substr(dash + 1), last))) {
            why = "the list \"" + list + "\" is no list of taxon numbers (like 2-6 or 1,3,5-7)";
            return false;
        }
        if (dash == std::string::npos)
            last = first;
        if (last < first) {
            why = "the range " + std::to_string(first) + "-" + std::to_string(last) + " runs downwards (write " +
                  std::to_string(last) + "-" + std::to_string(first) + ")";
            return false;
        }
        for (long long t : {first, last})
            if (t < 1 || static_cast<unsigned long long>(t) > taxa) {
                why = "taxon " + std::to_string(t) + " is not a taxon of the data file (1 to " + std::to_string(taxa) +
                      ")";
                return false;
            }
        for (long long t = first; t <= last; ++t) {
            if (!seen.insert(static_cast<int>(t)).second) {
                why = "taxon " + std::to_string(t) + " is listed twice";
                return false;
            }
            numbers.push_back(static_cast<int>(t));
        }
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// The groups from --group NAME=LIST ... and --outgroup LIST, numbered as the
// dialogue numbers typed groups; every taxon in one group at most.
bool typedgroups(const std::vector<std::string>& groupoptions, const std::string& outgroup, std::size_t taxa,
                 std::vector<group>& groups, std::ostream& err)
{
    std::map<int, std::string> ingroup;  // taxon -> the group holding it
    auto parselist = [&](const std::string& list, group& g, const std::string& option) {
        std::string why;
        if (!parsetaxonlist(list, taxa, g.taxa, why)) {
            err << who_construct << ": " << option << ": " << why << "\n";
            return false;
        }
        for (int t : g.taxa)
            if (const auto [it, fresh] = ingroup.emplace(t, g.name); !fresh) {
                err << who_construct << ": " << option << ": taxon " << t << " is in the groups " << it->second
                    << " and " << g.name << "; a taxon belongs to one group\n";
                return false;
            }
        return true;
    };
    for (const std::string& given : groupoptions) {
        const std::size_t eq = given.find('=');
        const std::string name = given.substr(0, eq);
        if (eq == std::string::npos || name.empty() || name.find_first_of(" \t\n") != std::string::npos) {
            err << who_construct << ": --group " << given << ": give a group as NAME=LIST, e.g. apes=2-6\n";
            return false;
        }
        for (const group& g : groups)
            if (g.name == name) {
                err << who_construct << ": --group " << given << ": the group " << name << " is given twice\n";
                return false;
            }
        group g(static_cast<int>(groups.size()), name);
        if (!parselist(given.substr(eq + 1), g, "--group " + given))
            return false;
        groups.push_back(std::move(g));
    }
    group og(static_cast<int>(groups.size()), "outgroup");
    if (!parselist(outgroup, og, "--outgroup " + outgroup))
        return false;
    groups.push_back(std::move(og));
    return true;
}

// The files a construct run writes.
std::vector<std::string> targets(const std::string& prefix, int parts)
{
    if (parts == 1)
        return {prefix + ".cd"};
    std::vector<std::string> t;
    for (int k = 1; k <= parts; ++k)
        t.push_back(partfilename(prefix, k));
    t.push_back(prefix + ".slurm");
    return t;
}

}  // namespace

int construct(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    CLI::App app("Writes the PAUP command file of a run (or its parts) without the dialogue.", who_construct);
    std::string datafile, groupfile, outgroup, settingsfile = "MLS", prefix;
    std::vector<std::string> groupspecs, usertree;
    bool ranking = false, redo = false, check = false;
    int setting = 0, replicates = 100, parts = 1;
    std::uint32_t seed = bootstrapgenerator::defaultseed;
    app.add_option("DATAFILE", datafile, "the NEXUS data file")->required();
    auto* groupfileopt = app.add_option("--groups", groupfile, "a group definition file");
    auto* groupopt = app.add_option("--group", groupspecs, "a group as NAME=LIST (repeatable), e.g. apes=2-6")
                         ->excludes(groupfileopt)->take_all()->allow_extra_args(false);
    auto* outopt =
        app.add_option("--outgroup", outgroup, "the outgroup's taxa, e.g. 1 or 1,12")->excludes(groupfileopt);
    app.add_flag("--ranking", ranking, "the ranking list (the last group is the reference) instead of pairwise comparisons");
    app.add_option("--setting", setting, "the setting *MLSK of the settings file")->required();
    app.add_option("--settings", settingsfile, "the settings file (default MLS)");
    auto* treeopt = app.add_option("--usertree", usertree, "copy the user tree PAUP_1 (default file: usertree)")
                        ->expected(0, 1);
    app.add_option("--bootstrap,-b", replicates, "bootstrap replicates (default 100)")->check(CLI::Range(1, 1 << 30));
    app.add_option("--parts", parts, "split the replicates into N command files (default 1)")
        ->check(CLI::Range(1, 1 << 30));
    app.add_option("--seed", seed, "start of the bootstrap generator (default 1, as the dialogue)");
    auto* prefixopt = app.add_option("--prefix", prefix, "the name output files are formed from (default: DATAFILE)");
    app.add_flag("--redo", redo, "replace command files, parts and job script of an earlier run");
    app.add_flag("--check", check, "show what the run would be and write nothing");
    app.footer("Writes PREFIX.cd, or PREFIX.cd.1 .. PREFIX.cd.N and PREFIX.slurm with --parts N;\n"
               "PAUP writes the logs PREFIX.log (PREFIX.log.K), which 'tolvi evaluate' reads.");
    if (const int rc = parse(app, argc, argv, out, err); rc >= 0)
        return rc;

    if (groupfileopt->count() == 0 && groupopt->count() == 0) {
        err << who_construct << ": the groups are missing: give --groups FILE, or --group NAME=LIST ... and --outgroup LIST\n";
        return 2;
    }
    if (groupopt->count() > 0 && outopt->count() == 0) {
        err << who_construct << ": --group needs --outgroup LIST\n";
        return 2;
    }
    if (outopt->count() > 0 && groupopt->count() == 0) {
        err << who_construct << ": --outgroup goes with --group NAME=LIST\n";
        return 2;
    }
    if (parts > replicates) {
        err << who_construct << ": --parts " << parts << ": more parts than the " << replicates
            << " bootstrap replicates\n";
        return 2;
    }
    if (prefix.empty())
        prefix = datafile;
    if (prefix.find_first_of("'\"") != std::string::npos ||
        std::any_of(prefix.begin(), prefix.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; })) {
        err << who_construct << ": --prefix: the files' names are formed from \"" << prefix
            << "\", which holds a quote or a control character that PAUP cannot take in a file name"
            << (prefixopt->count() ? "" : " (the data file's name serves when --prefix is not given)")
            << "; give --prefix NAME\n";
        return 2;
    }

    datareading data;
    if (!readdata(datafile, data, who_construct, err))
        return 2;
    const std::vector<std::string>& names = data.data.names;

    std::vector<group> groups;
    std::string groupoption = "--groups " + groupfile;
    std::vector<std::string> groupnotes;
    if (groupfileopt->count() > 0) {
        std::ifstream file(groupfile);
        std::ostringstream text;
        std::error_code ec;
        if (!file || std::filesystem::is_directory(groupfile, ec)) {
            err << who_construct << ": " << groupoption << ": the group definition file cannot be opened\n";
            return 2;
        }
        text << file.rdbuf();
        groupfilereading read = readgroups(text.str(), &names);
        if (read.fault) {
            err << who_construct << ": " << groupoption << ": " << plaintext(*read.fault) << "\n";
            return 2;
        }
        groups = std::move(read.groups);
        groupnotes = std::move(read.notes);
    } else {
        groupoption = "--group";
        if (!typedgroups(groupspecs, outgroup, names.size(), groups, err))
            return 2;
    }
    if (std::string fault = groupsfault(groups, names); !fault.empty()) {
        fault[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(fault[0])));
        err << who_construct << ": " << groupoption << ": " << fault << "\n";
        return 2;
    }

    std::ostringstream tree, settingtext, msg;
    const std::string treefile = usertree.empty() || usertree.front().empty() ? "usertree" : usertree.front();
    if (treeopt->count() > 0 && !copyusertree(tree, msg, treefile)) {
        err << who_construct << ": --usertree: " << oneline(msg.str()) << "\n";
        return 2;
    }
    if (const int rc = copysetting(setting, settingtext, msg, settingsfile); rc != 0) {
        if (rc == 1)
            err << who_construct << ": --setting " << setting << ": the settings file " << settingsfile
                << " holds no setting *MLS" << setting << "\n";
        else
            err << who_construct << ": --settings " << settingsfile << ": the settings file cannot be opened\n";
        return 2;
    }

    commander commandwriter(names, data.data.sequences, groups, nowhere());
    std::ostringstream headtext, sectiontext;
    commandwriter.writematrix(headtext, prefix);
    headtext << "begin PAUP;\nfactory; set monitor=no warnreset=no;\n" << tree.str() << settingtext.str();
    const std::uint64_t triplets = ranking ? commandwriter.rank(sectiontext) : commandwriter.writepairwise(sectiontext);
    if (triplets == 0) {
        err << who_construct << ": " << groupoption
            << ": the groups give no triplet of an outgroup taxon and two ingroup taxa: no comparison can be made\n";
        return 2;
    }
    const std::string section = sectiontext.str();
    // The provenance comment after the head comment of every command file.
    const runprovenance run = describerun(headtext.str(), section, describedata(datafile, data), setting,
                                          settingtext.str(), seed, replicates, parts);
    const std::string head = withprovenance(headtext.str(), run);
    replicatewriter writer(commandwriter.seqnames, commandwriter.seqs, section);

    runplan plan{datafile, &data, groupfileopt->count() > 0 ? groupfile : "", groupnotes, &groups, ranking,
                 triplets, replicates, parts, seed, prefix};
    plan.size = head.size() + section.size() + 32 +
                static_cast<std::uintmax_t>(replicates) * replicatesize(writer, seed);
    describe(plan, out);
    // Nothing of an earlier run is replaced without --redo; with it, parts of
    // an earlier split beyond this run's are removed as well.
    std::vector<std::string> files = targets(prefix, parts);
    std::error_code ec;
    for (int k = parts == 1 ? 1 : parts + 1; std::filesystem::exists(partfilename(prefix, k), ec); ++k)
        files.push_back(partfilename(prefix, k));
    if (!redo)
        for (const std::string& f : files)
            if (std::filesystem::exists(f, ec)) {
                err << who_construct << ": " << f << " exists; --redo replaces it\n";
                return 2;
            }
    if (check)
        return 0;

    bootstrapgenerator generator(seed);
    widenote(writer.columns(), err);
    std::vector<std::unique_ptr<outfile>> written;
    auto open = [&](const std::string& name) -> std::ostream* {
        written.push_back(std::make_unique<outfile>(name));
        if (!written.back()->is_open()) {
            err << who_construct << ": " << name << " cannot be created\n";
            return nullptr;
        }
        return &written.back()->stream();
    };
    const std::vector<replicaterange> ranges = splitreplicates(replicates, parts);
    const std::string logline = "log file = " + prefix + ".log replace=yes;\n";
    for (int k = 1; k <= parts; ++k) {
        std::ostream* cd = open(parts == 1 ? prefix + ".cd" : partfilename(prefix, k));
        if (!cd)
            return 2;
        std::string filehead = head;
        const std::size_t at = filehead.find(logline);
        if (parts == 1) {
            filehead.replace(at, logline.size(), logcommand(prefix + ".log"));
            *cd << filehead << section;
        } else {
            filehead.replace(at, logline.size(),
                             logcommand(partlogname(prefix, k)) + partcomment({k, parts, ranges[k - 1], replicates}));
            *cd << filehead;
            if (k == 1)
                *cd << section;  // the unresampled comparison, once
        }
        writereplicates(*cd, writer, generator, ranges[k - 1], replicates, nowhere(), nullptr);
        if (parts > 1)
            *cd << partending;
    }
    if (parts > 1) {
        std::ostream* job = open(prefix + ".slurm");
        if (!job)
            return 2;
        *job << slurmscript(prefix, parts);
    }
    for (const std::unique_ptr<outfile>& f : written)
        if (!f->commit()) {
            err << who_construct << ": " << f->name() << " could not be written completely\n";
            return 2;
        }
    for (std::size_t k = static_cast<std::size_t>(parts) + (parts > 1 ? 1 : 0); k < files.size(); ++k)
        std::filesystem::remove(files[k], ec);

    if (parts == 1) {
        out << "Wrote " << prefix << ".cd (" << replicates << " bootstrap replicates).\n"
            << "Run it in PAUP (execute " << prefix << ".cd); PAUP writes the log " << prefix << ".log. Then:\n"
            << "  tolvi evaluate " << shellword(prefix + ".log") << (ranking ? " --ranking" : "") << "\n";
        return 0;
    }
    out << "Wrote " << parts << " command files of " << replicates << " bootstrap replicates:\n";
    for (int k = 1; k <= parts; ++k)
        out << "  " << partfilename(prefix, k) << "  replicates " << ranges[k - 1].first << "-" << ranges[k - 1].last
            << ", log " << partlogname(prefix, k) << "\n";
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    out << "and the SLURM job script " << prefix << ".slurm.\n"
        << "Run the parts on this machine with GNU parallel:\n"
        << "  parallel -j " << cores << " ${PAUP:-paup} -n {} ::: " << shellword(prefix) << ".cd.*\n"
        << "or on a SLURM cluster:\n"
        << "  sbatch --wait " << shellword(prefix + ".slurm") << "\n"
        << "then evaluate the part logs:\n"
        << "  tolvi evaluate " << shellword(prefix) << ".log.*" << (ranking ? " --ranking" : "") << "\n";
    return 0;
}

int writetemplate(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    const char* const who = "tolvi template";
    CLI::App app("Writes the group definition template DATAFILE.grdef for the data file's taxa.", who);
    std::string datafile;
    app.add_option("DATAFILE", datafile, "the NEXUS data file")->required();
    if (const int rc = parse(app, argc, argv, out, err); rc >= 0)
        return rc;
    datareading data;
    if (!readdata(datafile, data, who, err))
        return 2;
    // Written under a temporary name, then renamed.
    const std::string temp = datafile + ".tmp" + std::to_string(::getpid());
    std::ostringstream msg;
    if (!writegrouptemplate(data.data.names, temp, msg) ||
        std::rename((temp + ".grdef").c_str(), (datafile + ".grdef").c_str()) != 0) {
        std::remove((temp + ".grdef").c_str());
        err << who << ": the template " << datafile << ".grdef could not be written\n";
        return 2;
    }
    out << "Wrote the group definition template " << datafile << ".grdef for " << data.data.names.size()
        << " taxa; fill in the groups and use it with: tolvi construct " << datafile << " --groups " << datafile
        << ".grdef ...\n";
    return 0;
}
