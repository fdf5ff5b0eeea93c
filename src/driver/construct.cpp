#include "construct.h"

#include <fstream>
#include <set>
#include <sstream>

#include "groupdialogue.h"
#include "answer.h"
#include "commander.h"
#include "driver.h"
#include "extractor.h"
#include "groupfile.h"
#include "logcheck.h"
#include "datafile.h"
#include "outfile.h"
#include "runfacts.h"

namespace {

// The words the log reader acts on: a group or taxon name equal to one of
// them would derail its reading of the log.
bool isloggerword(const std::string& w)
{
    return w == "begin_bootstrap_replicate" || w == "end_bootstrap_replicate" || w == "bootstrap_end" ||
           w == "###begin" || w == "###end";
}

}  // namespace

std::string progress(int k, int replicatecount)
{
    static const double tenths[9] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9};
    for (int j = 0; j < 9; ++j)
        if (static_cast<double>(k) == static_cast<double>(replicatecount) * tenths[j])
            return "\n" + std::to_string((j + 1) * 10) + "%";
    if (k == replicatecount)
        return "\n100%";
    return "";
}

std::string groupsfault(const std::vector<group>& grps, const std::vector<std::string>& names)
{
    for (const group& g : grps)
        for (int t : g.taxa)
            if (t < 1 || static_cast<std::size_t>(t) > names.size())
                return "The taxon number " + std::to_string(t) + " in group " + g.name +
                       " is not a taxon of the data file (1 to " + std::to_string(names.size()) + ")";
    for (const group& g : grps) {
        if (isloggerword(g.name))
            return "The group name " + g.name + " is a word Tolvi looks for in the PAUP log and cannot be used";
        if (g.name.find_first_of("[]") != std::string::npos)
            return "The group name " + g.name +
                   " holds \"[\" or \"]\", which would end the comment that carries it in the command file";
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (isloggerword(names[i]))
            return "The taxon name " + names[i] + " (taxon " + std::to_string(i + 1) +
                   ") is a word Tolvi looks for in the PAUP log and cannot be used";
    return "";
}

bool checkgroups(const std::vector<group>& grps, const std::vector<std::string>& names, std::ostream& out)
{
    const std::string fault = groupsfault(grps, names);
    if (!fault.empty())
        out << "\n\n" << fault << ": Tolvi stops.\n";
    return fault.empty();
}

void overlapnotes(const std::vector<group>& grps, std::ostream& out)
{
    for (std::size_t i = 0; i < grps.size(); ++i) {
        const std::set<int> a(grps[i].taxa.begin(), grps[i].taxa.end());
        for (std::size_t j = i + 1; j < grps.size(); ++j) {
            const std::set<int> b(grps[j].taxa.begin(), grps[j].taxa.end());
            std::size_t shared = 0;
            for (int t : b)
                shared += a.count(t);
            if (shared > 0)
                out << "\nNote: the groups " << grps[i].name << " and " << grps[j].name << " share " << shared
                    << (shared == 1 ? " taxon" : " taxa") << "; triplets that name a taxon twice are left out.\n";
        }
    }
}

bool copyusertree(std::ostream& cdfile, std::ostream& out, const std::string& file)
{
    std::ifstream tree(file);
    if (!tree) {
        out << "\n\nThe tree file \"" << file << "\" cannot be opened: Tolvi stops.\n";
        return false;
    }
    std::string w;
    bool found = false;
    while (!found && tree >> w)
        found = w.find("PAUP_1") != std::string::npos;
    if (!found) {
        out << "\n\nThe tree file \"" << file << "\" holds no tree PAUP_1: Tolvi stops.\n";
        return false;
    }
    std::string dropped, kept, last;
    if (!(tree >> dropped >> kept >> last)) {
        out << "\n\nThe tree file \"" << file << "\" ends inside the tree PAUP_1: Tolvi stops.\n";
        return false;
    }
    const std::string text = "\nusertree " + kept + " " + last + ";\n\n";
    cdfile << text;
    out << text;
    return true;
}

int copysetting(int mls, std::ostream& cdfile, std::ostream& out, const std::string& file)
{
    std::ifstream settings(file);
    const std::string marker = "*MLS" + std::to_string(mls);
    out << "\nusing " << marker << ":\n";
    if (!settings) {
        out << "\n\nThe settings file \"" << file << "\" cannot be opened: Tolvi stops.\n";
        return 2;
    }
    std::string w;
    bool found = false;
    while (!found && settings >> w)
        found = w.find(marker) != std::string::npos;
    if (!found) {
        out << "no matching setting type!\n";
        return 1;
    }
    for (;;) {
        if (!(settings >> w)) {
            out << "EOF!\n";
            break;
        }
        if (w.find('*') != std::string::npos)
            break;
        cdfile << w << " ";
        out << w << " ";
    }
    cdfile << "\n\n";
    out << "\n\n";
    return 0;
}

void writereplicates(std::ostream& cdfile, replicatewriter& writer, bootstrapgenerator& generator,
                     replicaterange range, int replicatecount, std::ostream& out, std::ostream* meter)
{
    for (int N = range.first; N <= range.last; ++N) {
        writer.write(cdfile, N, generator);
        out << progress(N, replicatecount);
        if (!cdfile)
            break;  // a full disk: no use writing on (reported by the caller)
        if (meter && (N % 10 == 0 || N == range.last))
            *meter << "\r  writing bootstrap replicate " << N << " of " << replicatecount
                   << (N == range.last ? "\n" : "") << std::flush;
    }
    cdfile << "\n\n[!bootstrap_end\n\n]";
}

void widenote(std::size_t columns, std::ostream& out)
{
    if (bootstrapgenerator::wide(columns))
        out << "\nThe alignment has " << columns << " columns, more than the " << bootstrapgenerator::narrowcolumns
            << " one bootstrap draw covers: each column of a replicate is drawn from all " << columns
            << " with three draws joined.\n";
}

int constructfirst(std::istream& in, std::ostream& out, runrecord& record, std::ostream* meter)
{
    datareading data;
    std::string nex = "default";
    const std::optional<std::string> opened = readdatafile(data, nex, in, out);
    if (!opened)
        return 2;
    if (opened->empty()) {
        out << "\nThe NEXUS data file " << nex << " cannot be opened: Tolvi stops.\n";
        return 2;
    }
    const std::vector<std::string>& names = data.data.names;
    const std::vector<std::string>& sequences = data.data.sequences;
    if (names.empty()) {
        out << "\nNo taxon could be read from the NEXUS data file " << nex
            << " (Tolvi reads the name and sequence pairs after the word MATRIX): Tolvi stops.\n";
        return 2;
    }

    record.datafile = describedata(nex, data);
    for (std::size_t i = 0; i < names.size(); ++i)
        out << i + 1 << " " << names[i] << "\n";
    out << "\n\n";

    out << "Ranking? (1=yes, 0=pairwise group comparison)\n\n";
    int rankinganswer = 0;
    if (!readint(in, out, rankinganswer))
        return 2;
    const bool ranking = rankinganswer == 1;
    if (ranking)
        out << "last group entered (before outgroup) used as reference (!=OG)\n\n";

    out << "import group definitions?\n\n(1=yes [locate file], 0=no [define groups manually], 2=help construct)";
    out << "definition file by exporting taxa names currently in memory to txt file\n\n";
    int groupsource = 0;
    if (!readint(in, out, groupsource))
        return 2;
    std::vector<group> grps;
    if (groupsource == 0) {
        out << "manual definition. \n\n";
        if (!askgroups(grps, in, out))
            return 2;
    } else if (groupsource == 1) {
        out << "locate file: \n\n";
        std::string deffile;
        if (!readfilename(in, out, deffile))
            return 2;
        if (!readgroupfile(grps, deffile, out, &names))
            return 2;
    } else if (groupsource == 2) {
        return writegrouptemplate(names, nex, out) ? 1 : 2;
    }

    if (!checkgroups(grps, names, out))
        return 2;
    overlapnotes(grps, out);
    recordgroups(record, grps);

    const std::string cdname = nex + ".cd";
    // Written under a temporary name: an end before the file is complete
    // leaves no command file that PAUP would run.
    outfile cd(cdname);
    std::ostream& cdfile = cd.stream();
    if (!cd.is_open()) {
        out << "\n\nThe command file " << cdname << " cannot be created: Tolvi stops.\n";
        return 2;
    }
    commander commandwriter(names, sequences, grps, out);
    commandwriter.writematrix(cdfile, nex);
    cdfile << "begin PAUP;\n";
    cdfile << "factory; set monitor=no warnreset=no;\n";

    out << "\n\nusertree?(needed if ML parameters should be estimated from provided topology)";
    out << " 1=yes: place Nexus treefile called \"usertree\" in program folder), 0=no\n\n";
    int usertreeanswer = 0;
    if (!readint(in, out, usertreeanswer))
        return 2;
    if (usertreeanswer == 1 && !copyusertree(cdfile, out))
        return 2;

    out << "\n\nspecify Maximum Likelihood settings \n(e.g., type\"1\" for \"MLS1\"; see file \"MLS\" and PAUP "
           "manual)\n\n";
    int mls = 0;
    if (!readint(in, out, mls))
        return 2;
    std::ostringstream settingtext;
    if (const int r = copysetting(mls, settingtext, out); r != 0)
        return r;
    cdfile << settingtext.str();
    record.setting = "*MLS" + std::to_string(mls);
    record.settingtext = settingwords(settingtext.str());

    // The comparison section is the same text for the alignment as read and
    // for every replicate: it is formed once.
    std::ostringstream sectiontext;
    const std::uint64_t triplets = ranking ? commandwriter.rank(sectiontext) : commandwriter.writepairwise(sectiontext);
    const std::string section = sectiontext.str();
    cdfile << section;
    if (triplets == 0) {
        out << "\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup taxa:"
               " no comparison can be made. Tolvi stops.\n";
        return 2;
    }

    out << "\nNumber of bootstrap replicates:\n\n";
    int replicatecount = 0;
    if (!readint(in, out, replicatecount))
        return 2;
    if (replicatecount < 1) {
        out << "\n\nAt least one bootstrap replicate is needed: Tolvi stops.\n";
        return 2;
    }
    if (replicatecount > 1000)
        out << "too many!<=1000\n\n";
    out << "\nwriting command file.....\n";
    out << "\nstatus:\n";
    replicatewriter writer(commandwriter.seqnames, commandwriter.seqs, section);
    bootstrapgenerator generator;
    record.seed = bootstrapgenerator::defaultseed;
    record.asked = replicatecount;
    widenote(writer.columns(), out);
    writereplicates(cdfile, writer, generator, {1, replicatecount}, replicatecount, out, meter);
    if (!cd.commit()) {
        out << "\n\nThe command file " << cdname << " could not be written completely: Tolvi stops.\n";
        return 2;
    }

    out << "\nDone.\n\nHand the file " << nex << ".cd over to PAUP and execute it!\n\n";
    out << "PAUP will write a logfile; to proceed with Tolvi, please locate the file: " << nex << ".log. \n\n";

    std::string logname;
    if (!readfilename(in, out, logname))
        return 2;
    replicatetable table;
    const extractor logreading(logname, table, out, meter);
    record.answers = typedanswers(in);
    record.logs.push_back(logrecord(logname, logreading));
    evaluation how;
    how.logname = logname;
    how.reportname = nex;
    how.ranking = ranking;
    how.written = writtencomparisons(grps, ranking);
    return evaluate(table, logreading, how, record, out, out);
}
