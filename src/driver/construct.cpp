#include "construct.h"

#include <fstream>
#include <set>
#include <sstream>

#include "abfrage.h"
#include "answer.h"
#include "commander.h"
#include "driver.h"
#include "extractor.h"
#include "grdef.h"
#include "logcheck.h"
#include "nexim.h"
#include "outfile.h"

namespace {

// The words the log reader acts on: a group or taxon name equal to one of
// them would derail its reading of the log.
bool isloggerword(const std::string& w)
{
    return w == "begin_bootstrap_replicate" || w == "end_bootstrap_replicate" || w == "bootstrap_end" ||
           w == "###begin" || w == "###end";
}

}  // namespace

std::string progress(int k, int br)
{
    static const double tenths[9] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9};
    for (int j = 0; j < 9; ++j)
        if (static_cast<double>(k) == static_cast<double>(br) * tenths[j])
            return "\n" + std::to_string((j + 1) * 10) + "%";
    if (k == br)
        return "\n100%";
    return "";
}

bool checkgroups(const std::vector<group>& grps, const std::vector<std::string>& names, std::ostream& out)
{
    for (const group& g : grps)
        for (int t : g.tind)
            if (t < 1 || static_cast<std::size_t>(t) > names.size()) {
                out << "\n\nThe taxon number " << t << " in group " << g.gname
                    << " is not a taxon of the data file (1 to " << names.size() << "): Tolvi stops.\n";
                return false;
            }
    for (const group& g : grps)
        if (isloggerword(g.gname)) {
            out << "\n\nThe group name " << g.gname
                << " is a word Tolvi looks for in the PAUP log and cannot be used: Tolvi stops.\n";
            return false;
        }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (isloggerword(names[i])) {
            out << "\n\nThe taxon name " << names[i] << " (taxon " << i + 1
                << ") is a word Tolvi looks for in the PAUP log and cannot be used: Tolvi stops.\n";
            return false;
        }
    return true;
}

void overlapnotes(const std::vector<group>& grps, std::ostream& out)
{
    for (std::size_t i = 0; i < grps.size(); ++i) {
        const std::set<int> a(grps[i].tind.begin(), grps[i].tind.end());
        for (std::size_t j = i + 1; j < grps.size(); ++j) {
            const std::set<int> b(grps[j].tind.begin(), grps[j].tind.end());
            std::size_t shared = 0;
            for (int t : b)
                shared += a.count(t);
            if (shared > 0)
                out << "\nNote: the groups " << grps[i].gname << " and " << grps[j].gname << " share " << shared
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
                     replicaterange range, int br, std::ostream& out, std::ostream* meter)
{
    for (int N = range.first; N <= range.last; ++N) {
        writer.write(cdfile, N, generator);
        out << progress(N, br);
        if (!cdfile)
            break;  // a full disk: no use writing on (reported by the caller)
        if (meter && (N % 10 == 0 || N == range.last))
            *meter << "\r  writing bootstrap replicate " << N << " of " << br << (N == range.last ? "\n" : "")
                   << std::flush;
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

int constructfirst(std::istream& in, std::ostream& out, replicatetable& verglgr, std::ostream* meter)
{
    std::vector<std::string> names;
    std::vector<std::string> sequences;
    std::string nex = "default";
    const std::optional<std::string> opened = nexim(names, sequences, nex, in, out);
    if (!opened)
        return 2;
    if (opened->empty()) {
        out << "\nThe NEXUS data file " << nex << " cannot be opened: Tolvi stops.\n";
        return 2;
    }
    if (names.empty()) {
        out << "\nNo taxon could be read from the NEXUS data file " << nex
            << " (Tolvi reads the name and sequence pairs after the word MATRIX): Tolvi stops.\n";
        return 2;
    }

    for (std::size_t i = 0; i < names.size(); ++i)
        out << i + 1 << " " << names[i] << "\n";
    out << "\n\n";

    out << "Ranking? (1=yes, 0=pairwise group comparison)\n\n";
    int rankodernicht = 0;
    if (!readint(in, out, rankodernicht))
        return 2;
    const bool ranking = rankodernicht == 1;
    if (ranking)
        out << "last group entered (before outgroup) used as reference (!=OG)\n\n";

    std::string nexc = nex;
    out << "import group definitions?\n\n(1=yes [locate file], 0=no [define groups manually], 2=help construct)";
    out << "definition file by exporting taxa names currently in memory to txt file\n\n";
    int howtodefgr = 0;
    if (!readint(in, out, howtodefgr))
        return 2;
    std::vector<group> grps;
    if (howtodefgr == 0) {
        out << "manual definition. \n\n";
        if (!abfrage(grps, in, out))
            return 2;
    } else if (howtodefgr == 1) {
        out << "locate file: \n\n";
        std::string deffile;
        if (!readfilename(in, out, deffile))
            return 2;
        if (!grdefimp(grps, deffile, out, &names))
            return 2;
    } else if (howtodefgr == 2) {
        return grdefhelp(names, nexc, out) ? 1 : 2;
    }

    if (!checkgroups(grps, names, out))
        return 2;
    overlapnotes(grps, out);

    nexc = nex + ".cd";
    // Written under a temporary name: an end before the file is complete
    // leaves no command file that PAUP would run.
    outfile cd(nexc);
    std::ostream& cdfile = cd.stream();
    if (!cd.is_open()) {
        out << "\n\nThe command file " << nexc << " cannot be created: Tolvi stops.\n";
        return 2;
    }
    commander cdtype1(names, sequences, grps, out);
    cdtype1.writematrix(cdfile, nex);
    cdfile << "begin PAUP;\n";
    cdfile << "factory; set monitor=no warnreset=no;\n";

    out << "\n\nusertree?(needed if ML parameters should be estimated from provided topology)";
    out << " 1=yes: place Nexus treefile called \"usertree\" in program folder), 0=no\n\n";
    int ut = 0;
    if (!readint(in, out, ut))
        return 2;
    if (ut == 1 && !copyusertree(cdfile, out))
        return 2;

    out << "\n\nspecify Maximum Likelihood settings \n(e.g., type\"1\" for \"MLS1\"; see file \"MLS\" and PAUP "
           "manual)\n\n";
    int mls = 0;
    if (!readint(in, out, mls))
        return 2;
    if (const int r = copysetting(mls, cdfile, out); r != 0)
        return r;

    // The comparison section is the same text for the alignment as read and
    // for every replicate: it is formed once.
    std::ostringstream sectiontext;
    const std::uint64_t triplets = ranking ? cdtype1.rank(sectiontext) : cdtype1.writecds(sectiontext);
    const std::string section = sectiontext.str();
    cdfile << section;
    if (triplets == 0) {
        out << "\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup taxa:"
               " no comparison can be made. Tolvi stops.\n";
        return 2;
    }

    out << "\nNumber of bootstrap replicates:\n\n";
    int br = 0;
    if (!readint(in, out, br))
        return 2;
    if (br < 1) {
        out << "\n\nAt least one bootstrap replicate is needed: Tolvi stops.\n";
        return 2;
    }
    if (br > 1000)
        out << "too many!<=1000\n\n";
    out << "\nwriting command file.....\n";
    out << "\nstatus:\n";
    replicatewriter writer(cdtype1.seqnames, cdtype1.seqs, section);
    bootstrapgenerator generator;
    widenote(writer.columns(), out);
    writereplicates(cdfile, writer, generator, {1, br}, br, out, meter);
    if (!cd.commit()) {
        out << "\n\nThe command file " << nexc << " could not be written completely: Tolvi stops.\n";
        return 2;
    }

    out << "\nDone.\n\nHand the file " << nex << ".cd over to PAUP and execute it!\n\n";
    out << "PAUP will write a logfile; to proceed with Tolvi, please locate the file: " << nex << ".log. \n\n";

    std::string einl;
    if (!readfilename(in, out, einl))
        return 2;
    extractor ersteslog(einl, verglgr, out, meter);
    if (!logbelongs(verglgr, writtencomparisons(grps, ranking), einl, out))
        return 2;
    std::string reportname = nex;
    return evaluate(verglgr, einl, ranking, reportname, br, false, out);
}
