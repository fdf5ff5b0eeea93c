#include "groupfile.h"

#include "answer.h"
#include "bylabel.h"
#include "importer.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

namespace {

using kind = groupfault::kind;

groupfault faultof(kind what, long line = -1, std::string found = "", std::string wanted = "",
                   std::vector<std::string> concerned = {})
{
    groupfault f;
    f.what = what;
    f.line = line;
    f.found = std::move(found);
    f.wanted = std::move(wanted);
    f.concerned = std::move(concerned);
    return f;
}

// The line of the next word the stream holds (of its end where none).
long lineat(std::istringstream& f, const std::string& text)
{
    const std::streamoff at = f.good() ? static_cast<std::streamoff>(f.tellg()) : -1;
    std::size_t end = at < 0 ? text.size() : static_cast<std::size_t>(at);
    while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end])))
        ++end;
    long line = 1;
    for (std::size_t i = 0; i < end && i < text.size(); ++i)
        line += text[i] == '\n';
    return line;
}

// Two groups with one group index: the index marks a group's taxa.
std::optional<groupfault> sameindex(const std::vector<group>& groups)
{
    std::map<int, const group*> seen;
    for (const group& g : groups) {
        const auto [it, fresh] = seen.emplace(g.number, &g);
        if (!fresh)
            return faultof(kind::sameindex, -1, std::to_string(g.number), "", {it->second->name, g.name});
    }
    return std::nullopt;
}

// Group indices 1 .. G in another order than the rows: a reader may take
// them for what the taxon rows refer to.
std::string numbernote(const std::vector<group>& groups)
{
    std::vector<bool> seen(groups.size() + 1, false);
    bool inorder = true;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const int n = groups[i].number;
        if (n < 1 || static_cast<std::size_t>(n) > groups.size() || seen[static_cast<std::size_t>(n)])
            return "";
        seen[static_cast<std::size_t>(n)] = true;
        inorder = inorder && n == static_cast<int>(i) + 1;
    }
    if (inorder)
        return "";
    std::string numbers, meaning;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        numbers += (i ? "," : "") + std::to_string(groups[i].number);
        meaning += (i ? ", " : "") + std::to_string(i + 1) + " " + groups[i].name;
    }
    return "Warning: the taxon rows of the group definition file refer to the group rows by position, not by the"
           " numbers " + numbers + " written beside the groups: " + meaning + ".";
}

std::string dialoguetext(const groupfault& f)
{
    switch (f.what) {
    case kind::notgroupfile:
    case kind::nobegintaxa:
        return "Not a Tolvi file!\n\n";
    case kind::endsingroups:
        return "\n\nThe group definition file ends before \"endmatrix\": reading stops.\n\n";
    case kind::endsinstates:
        return "Eof";
    case kind::notanumber:
    case kind::rownotanumber:
        return "\n\nThe group definition file " +
               (f.found.empty() ? "ends where " : "holds \"" + f.found + "\" where ") + f.wanted +
               " belongs: reading stops.\n\n";
    case kind::sameindex:
        return "\n\nThe groups " + f.concerned[0] + " and " + f.concerned[1] + " have the same group index " +
               f.found + " in the group definition file; the index marks a group's taxa in the command file, so"
               " each group needs its own: Tolvi stops.\n";
    case kind::groupnumber:
        return "erroneous group index";
    case kind::labels:
        break;
    }
    std::string text = "\n\nThe taxon rows of the group definition file do not fit the taxa of the data file:";
    for (const std::string& line : f.concerned)
        text += "\n  " + line;
    return text + "\nTolvi stops.\n";
}

}  // namespace

std::string plaintext(const groupfault& f)
{
    const std::string at = f.line > 0 ? "line " + std::to_string(f.line) + ": " : "";
    switch (f.what) {
    case kind::notgroupfile:
        return "no group definition file: it does not begin with #Tolvi (tolvi template writes one to fill in)";
    case kind::endsingroups:
        return "the file ends before \"endmatrix\"";
    case kind::endsinstates:
        return "the file ends inside the character states of group " + f.wanted;
    case kind::notanumber:
    case kind::rownotanumber:
        return at + (f.found.empty() ? "the file ends" : "\"" + f.found + "\" stands") + " where " + f.wanted +
               " belongs";
    case kind::sameindex:
        return "the groups " + f.concerned[0] + " and " + f.concerned[1] + " have the same group index " + f.found +
               "; the index marks a group's taxa in the command file, so each group needs its own";
    case kind::nobegintaxa:
        return at + "\"begintaxa\" must follow \"endmatrix\"";
    case kind::groupnumber:
        return at + f.wanted;
    case kind::labels:
        break;
    }
    std::string text = "the taxon rows do not fit the taxa of the data file: ";
    for (std::size_t i = 0; i < f.concerned.size(); ++i)
        text += (i ? "; " : "") + f.concerned[i];
    return text;
}

groupfilereading readgroups(std::string text, const std::vector<std::string>* names)
{
    skipbyteordermark(text);
    groupfilereading r;
    std::istringstream f(text);
    std::string w;
    if (!(f >> w) || w != "#Tolvi") {
        r.fault = faultof(kind::notgroupfile);
        return r;
    }
    f >> w >> w;  // the column heads
    for (;;) {
        if (!(f >> w)) {
            r.headerends = true;
            break;
        }
        if (w == "beginmatrix")
            break;
        ++r.characters;
    }

    // Group rows: name, group index, the character states.
    for (;;) {
        std::string name;
        if (!(f >> name)) {
            r.fault = faultof(kind::endsingroups);
            return r;
        }
        if (name == "endmatrix")
            break;
        int index = 0;
        std::string found;
        long line = lineat(f, text);
        if (!scanint(f, index, found)) {
            r.fault = faultof(kind::notanumber, line, found, "the group index of group " + name);
            return r;
        }
        for (int i = 0; i < r.characters; ++i) {
            int state = 0;
            line = lineat(f, text);
            const bool ok = scanint(f, state, found);
            if (!ok)
                f.setstate(std::ios::failbit);
            if (f.eof()) {
                r.fault = faultof(kind::endsinstates, line, "", name);
                return r;
            }
            if (!ok) {
                r.fault = faultof(kind::notanumber, line, found, "a character state of group " + name);
                return r;
            }
        }
        r.groups.emplace_back(index, name);
    }
    if ((r.fault = sameindex(r.groups)))
        return r;
    const long line = lineat(f, text);
    if (!(f >> w) || w != "begintaxa") {
        r.fault = faultof(kind::nobegintaxa, line);
        return r;
    }

    // Taxon rows: label, row number of the taxon's group.
    std::vector<taxonrow> rows;
    for (;;) {
        std::string label;
        if (!(f >> label) || label == "endtaxa")
            break;
        int g = 0;
        std::string found;
        const std::string row = "taxon row " + std::to_string(rows.size() + 1) + " (" + label + ")";
        const long line = lineat(f, text);
        if (!scanint(f, g, found)) {
            r.fault = faultof(kind::rownotanumber, line, found, "the group number of " + row);
            return r;
        }
        if (g < 1 || static_cast<std::size_t>(g) > r.groups.size()) {
            r.fault = faultof(kind::groupnumber, line, std::to_string(g),
                                 row + " names group " + std::to_string(g) + ", but the group rows are 1 to " +
                                     std::to_string(r.groups.size()));
            return r;
        }
        rows.push_back({label, g});
    }
    std::vector<group> grps = r.groups;
    placement placed = placetaxa(grps, rows, names);
    if (placed.misfits.size() > 0) {
        r.fault = faultof(kind::labels, -1, "", "", placed.misfits);
        return r;
    }
    r.notes = std::move(placed.notes);
    if (std::string note = numbernote(grps); !note.empty())
        r.notes.push_back(note);
    r.groups = std::move(grps);
    return r;
}

bool readgroupfile(std::vector<group>& allgroups, const std::string& groupfile, std::ostream& out,
                   const std::vector<std::string>* names)
{
    out << "Tolvi built 22.11.04\n\n";
    std::ifstream file(groupfile);
    std::ostringstream text;
    if (file)
        text << file.rdbuf();
    groupfilereading r = readgroups(text.str(), names);
    allgroups = r.groups;
    const std::optional<groupfault>& fault = r.fault;
    if (fault && fault->what == kind::notgroupfile) {
        out << dialoguetext(*fault);
        return true;
    }
    out << (r.headerends ? "Eof" : "\nBegin of group-character matrix\n\n");
    out << "\n\n" << r.characters << " chars\n\n";
    if (fault && (fault->what == kind::endsingroups || fault->what == kind::notanumber ||
                  fault->what == kind::endsinstates)) {
        out << dialoguetext(*fault);
        return true;
    }
    out << "\n\nEnd of group-character matrix\n\n";
    if (fault && (fault->what == kind::sameindex || fault->what == kind::nobegintaxa)) {
        out << dialoguetext(*fault);
        return fault->what != kind::sameindex;
    }
    out << "\nBegin of taxon-character matrix\n\n";
    if (fault && fault->what != kind::labels) {
        out << dialoguetext(*fault);
        return true;
    }
    out << "\n\nEnd of taxa-group matrix\n\n";
    if (fault) {
        out << dialoguetext(*fault);
        return false;
    }
    for (const std::string& note : r.notes)
        out << "\n" << note << "\n";
    return true;
}

bool writegrouptemplate(const std::vector<std::string>& names, std::string datafile, std::ostream& out)
{
    const std::string fname = datafile + ".grdef";
    std::ofstream f(fname);
    if (f) {
        f << "#Tolvi\n\n";
        f << "groupname\tgrindex\n";
        f << "beginmatrix\n\n";
        for (int i = 1; i <= 9; ++i)
            f << "[insert " << i << ". groupname here]\t" << i << "\n";
        f << "[remove unneeded or add more]\n\n";
        f << "endmatrix\n\n\n";
        f << "begintaxa\n";
        for (std::size_t i = 0; i < names.size(); ++i) {
            f << names[i];
            if (i == 0)
                f << "\t[insert group indices in this column]";
            f << "\n";
        }
        f << "endtaxa\n";
        f.close();
    }
    if (!f) {
        out << "\nThe group definition template " << fname << " could not be written: Tolvi stops.\n";
        return false;
    }
    out << "group definition file template written to " << fname << "\n";
    out << "\nedit the file and start Tolvi again.";
    return true;
}
