#include "commands.h"

#include <CLI/CLI.hpp>

#include <algorithm>
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
#include "subcommand.h"

namespace {

struct alignment {
    std::vector<std::string> names;
    std::vector<std::string> sequences;
};

// Reads the NEXUS data file as the dialogue does; false with a message.
bool readdata(const std::string& file, alignment& a, const std::string& who, std::ostream& err)
{
    if (file.empty() || file.find_first_of(" \t\n\r\v\f") != std::string::npos || file.find('\0') != std::string::npos) {
        err << who << ": the data file name \"" << file << "\" cannot be used (it is empty or holds white space)\n";
        return false;
    }
    std::istringstream answer(file);
    std::ostringstream console;
    std::string typed;
    const std::optional<std::string> opened = readdatafile(a.names, a.sequences, typed, answer, console);
    const std::string read = console.str();
    if (const std::size_t head = read.find("\nskipping NEXUS head....\n\n"); !opened && head != std::string::npos) {
        err << who << ": " << oneline(read.substr(head + 26)) << "\n";  // the file is no alignment to use
        return false;
    }
    std::error_code ec;
    if (!opened || opened->empty() || std::filesystem::is_directory(file, ec)) {
        err << who << ": the data file " << file << " cannot be opened\n";
        return false;
    }
    if (a.names.empty()) {
        err << who << ": no taxon could be read from the data file " << file
            << " (Tolvi reads the name and sequence pairs after the word MATRIX)\n";
        return false;
    }
    return true;
}

const char* const who_construct = "tolvi construct";

// The groups from --group NAME=LIST ... and --outgroup LIST, numbered as the
// dialogue numbers typed groups.
bool typedgroups(const std::vector<std::string>& groupoptions, const std::string& outgroup, std::vector<group>& groups,
                 std::ostream& err)
{
    auto parselist = [&](const std::string& list, std::vector<int>& numbers, const std::string& option) {
        std::ostringstream msg;
        std::string toolarge;
        if (list.find('\0') != std::string::npos || !parseindexlist(numbers, list.c_str(), msg, toolarge) ||
            list.find_first_not_of("0123456789,- \t") != std::string::npos) {
            err << who_construct << ": " << option << ": the list \"" << list
                << "\" is no list of taxon numbers (like 2-6 or 1,3,5-7)\n";
            return false;
        }
        if (!toolarge.empty()) {
            err << who_construct << ": " << option << ": the taxon number " << toolarge << " is too large\n";
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
        if (!parselist(given.substr(eq + 1), g.taxa, "--group " + given))
            return false;
        groups.push_back(std::move(g));
    }
    group og(static_cast<int>(groups.size()), "outgroup");
    if (!parselist(outgroup, og.taxa, "--outgroup " + outgroup))
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
    bool ranking = false, redo = false;
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
    app.add_option("--prefix", prefix, "the name output files are formed from (default: DATAFILE)");
    app.add_flag("--redo", redo, "replace command files, parts and job script of an earlier run");
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

    alignment data;
    if (!readdata(datafile, data, who_construct, err))
        return 2;

    std::vector<group> groups;
    std::string groupoption = "--groups " + groupfile;
    if (groupfileopt->count() > 0) {
        std::ostringstream msg;
        if (!readgroupfile(groups, groupfile, msg, &data.names) ||
            msg.str().find("End of taxa-group matrix") == std::string::npos) {
            err << who_construct << ": " << groupoption << ": the group definition file cannot be read: "
                << oneline(msg.str()) << "\n";
            return 2;
        }
    } else {
        groupoption = "--group";
        if (!typedgroups(groupspecs, outgroup, groups, err))
            return 2;
    }
    {
        std::ostringstream msg;
        if (!checkgroups(groups, data.names, msg)) {
            err << who_construct << ": " << groupoption << ": " << oneline(msg.str()) << "\n";
            return 2;
        }
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

    commander commandwriter(data.names, data.sequences, groups, nowhere());
    std::ostringstream headtext, sectiontext;
    commandwriter.writematrix(headtext, prefix);
    headtext << "begin PAUP;\nfactory; set monitor=no warnreset=no;\n" << tree.str() << settingtext.str();
    const std::uint64_t triplets = ranking ? commandwriter.rank(sectiontext) : commandwriter.writepairwise(sectiontext);
    if (triplets == 0) {
        err << who_construct << ": " << groupoption
            << ": the groups give no triplet of an outgroup taxon and two ingroup taxa: no comparison can be made\n";
        return 2;
    }
    std::ostringstream notes;
    overlapnotes(groups, notes);
    if (!notes.str().empty())
        err << who_construct << ": " << oneline(notes.str()) << "\n";

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

    const std::string section = sectiontext.str();
    // The provenance comment after the head comment of every command file.
    const runprovenance run = describerun(headtext.str(), section, describedata(datafile, data.names, data.sequences),
                                          setting, settingtext.str(), seed, replicates, parts);
    const std::string head = withprovenance(headtext.str(), run);
    replicatewriter writer(commandwriter.seqnames, commandwriter.seqs, section);
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
        if (parts == 1) {
            *cd << head << section;
        } else {
            std::string parthead = head;
            const std::size_t at = parthead.find(logline);
            parthead.replace(at, logline.size(),
                             "log file = " + partlogname(prefix, k) + " replace=yes;\n" +
                                 partcomment({k, parts, ranges[k - 1], replicates}));
            *cd << parthead;
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
            << "  tolvi evaluate " << prefix << ".log" << (ranking ? " --ranking" : "") << "\n";
        return 0;
    }
    out << "Wrote " << parts << " command files of " << replicates << " bootstrap replicates:\n";
    for (int k = 1; k <= parts; ++k)
        out << "  " << partfilename(prefix, k) << "  replicates " << ranges[k - 1].first << "-" << ranges[k - 1].last
            << ", log " << partlogname(prefix, k) << "\n";
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    out << "and the SLURM job script " << prefix << ".slurm.\n"
        << "Run the parts on this machine with GNU parallel:\n"
        << "  parallel -j " << cores << " ${PAUP:-paup} -n {} ::: " << prefix << ".cd.*\n"
        << "or on a SLURM cluster:\n"
        << "  sbatch --wait " << prefix << ".slurm\n"
        << "then evaluate the part logs:\n"
        << "  tolvi evaluate " << prefix << ".log.*" << (ranking ? " --ranking" : "") << "\n";
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
    alignment data;
    if (!readdata(datafile, data, who, err))
        return 2;
    // Written under a temporary name, then renamed.
    const std::string temp = datafile + ".tmp" + std::to_string(::getpid());
    std::ostringstream msg;
    if (!writegrouptemplate(data.names, temp, msg) ||
        std::rename((temp + ".grdef").c_str(), (datafile + ".grdef").c_str()) != 0) {
        std::remove((temp + ".grdef").c_str());
        err << who << ": the template " << datafile << ".grdef could not be written\n";
        return 2;
    }
    out << "Wrote the group definition template " << datafile << ".grdef for " << data.names.size()
        << " taxa; fill in the groups and use it with: tolvi construct " << datafile << " --groups " << datafile
        << ".grdef ...\n";
    return 0;
}
