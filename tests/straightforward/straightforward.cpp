#include "straightforward.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "bootstrap.h"
#include "commander.h"
#include "extractor.h"

namespace straightforward {

namespace {

void numberexpected(std::istream& log, std::ostream& out)
{
    log.clear();
    std::string w;
    log >> w;
    out << "\n\nA number was expected in the log, but the word \"" << w
        << "\" was found there. Reading stops; what was read before is kept.\n\n";
}

// One number by formatted input; `v` changes only when it was read. On a
// failure `bad` tells a word that is no number, or a number too large (the
// stream then holds the largest value), from a number cut off by the end.
template <typename T>
bool number(std::istream& log, T& v, bool& bad)
{
    T x{};
    if (log >> x) {
        v = x;
        return true;
    }
    bad = !log.eof() || x == std::numeric_limits<T>::max() || x == std::numeric_limits<T>::lowest();
    return false;
}

bool readtriplets(std::istream& log, int numbera, int numberb, comparisonrecord& record, std::ostream& out)
{
    const std::string marka = groupmark(numbera), markb = groupmark(numberb);
    std::string word;
    bool undefined = false;  // the next matrix follows an undefined-distance message
    for (;;) {
        log >> word;
        if (log.eof()) {
            out << "\n\nEnd of file reached!\n\n";
            return true;
        }
        if (word == "###end")
            return true;
        if (word == "No") {
            if (!undefined)
                undefinedwarning(numbera, numberb, out);
            undefined = true;
            // Past the message's last word; a "###end" first ends the comparison.
            while (log >> word && word != "undefined." && word != "###end") {
            }
            if (log.eof())
                out << "\n\nEnd of file reached!\n\n";
            if (log.eof() || word == "###end")
                return true;
            continue;
        }
        if (word.find('$') != std::string::npos) {
            std::string tax1 = word, tax2, tax3, skip;
            float k1 = 0, k2 = 0, k3 = 0;
            bool bad = false;
            if (!((log >> skip >> skip >> tax2) && number(log, k1, bad) && (log >> skip >> skip >> tax3) &&
                  number(log, k2, bad) && number(log, k3, bad))) {
                if (!bad)
                    continue;  // cut short by the end of the log
                numberexpected(log, out);
                return false;
            }
            if (undefined) {
                undefined = false;
                continue;
            }
            const tripletroles r = assignroles(tax1, tax2, tax3, marka, markb, k1, k2, k3);
            const double distab = r.distab, distac = r.distac, distbc = r.distbc;
            record.brancha.push_back(static_cast<float>(distac - ((distbc + distac) - distab) / 2.0));
            record.branchb.push_back(static_cast<float>(distbc - ((distbc + distac) - distab) / 2.0));
        }
    }
}

bool readcomparisons(std::istream& log, std::vector<comparisonrecord>& row, std::ostream& out)
{
    std::string word;
    for (;;) {
        log >> word;
        if (log && word == "end_bootstrap_replicate")
            return true;
        if (log.eof()) {
            out << "\n\nEof!\n\n";
            return true;
        }
        if (word == "###begin") {
            int numbera = 0, numberb = 0;
            std::string namea, nameb, skip;
            bool bad = false;
            if (number(log, numbera, bad) && number(log, numberb, bad))
                log >> namea >> skip >> nameb;
            if (bad) {
                numberexpected(log, out);
                return false;
            }
            comparisonrecord record(numbera, numberb, namea, nameb);
            const bool go = readtriplets(log, numbera, numberb, record, out);
            row.push_back(record);
            if (!go)
                return false;
        }
    }
}

}  // namespace

void extract(std::istream& log, replicatetable& table, std::ostream& out)
{
    table.clear();
    std::string word;
    for (;;) {
        log >> word;
        if (log && word == "bootstrap_end") {
            out << "\n\nlast bootstr repl!\n\n";
            return;
        }
        if (log.eof()) {
            out << "\n\nEof!\n\n";
            return;
        }
        if (word == "begin_bootstrap_replicate") {
            int repl = 0;
            bool bad = false;
            if (!number(log, repl, bad)) {
                if (bad)
                    numberexpected(log, out);
                else
                    out << "\n\nEof!\n\n";
                return;
            }
            out << "bootstrap replicate " << repl << "\n";
            std::vector<comparisonrecord> row;
            const bool go = readcomparisons(log, row, out);
            table.push_back(row);
            if (!go)
                return;
        }
    }
}

std::string tabletext(const replicatetable& table)
{
    std::string text;
    for (const std::vector<comparisonrecord>& row : table) {
        text += "row\n";
        for (const comparisonrecord& g : row) {
            text += std::to_string(g.numbera) + " " + std::to_string(g.numberb) + " " + g.namea + "\n" + g.nameb + "\n";
            for (const std::vector<float>* branches : {&g.brancha, &g.branchb}) {
                text += std::to_string(branches->size()) + ":";
                for (float v : *branches)
                    text += " " + std::to_string(v != v ? 0x7fc00000u : std::bit_cast<std::uint32_t>(v));
                text += "\n";
            }
        }
    }
    return text;
}

void leaveoneoutsums(const std::vector<float>& x, std::vector<float>& out)
{
    out.assign(x.size(), 0.0f);
    for (std::size_t i = 0; i < x.size(); ++i) {
        float s = 0.0f;
        for (std::size_t j = 0; j < x.size(); ++j)
            if (j != i)
                s = s + x[j];
        out[i] = s;
    }
}

void calc(const std::vector<float> &a, const std::vector<float> &b, float &d, float &ratio, float &sed, float &seratio,
          float &ratiochebyshevlower, float &ratiochebyshevupper, float &ratiozlower, float &ratiozupper,
          float &dchebyshevlower, float &dchebyshevupper, float &dzlower, float &dzupper)
{
    float suma = 0.0f, sumb = 0.0f;
    for (float x : a)
        suma = suma + x;
    for (float x : b)
        sumb = sumb + x;
    ratio = suma / sumb;
    const float q = static_cast<float>(a.size());
    d = static_cast<float>((static_cast<double>(suma) - static_cast<double>(sumb)) / static_cast<double>(q));
    float jksumr = 0.0f, jksumd = 0.0f;
    auto xbit = b.begin();
    for (auto xait = a.begin(); xait != a.end(); ++xait, ++xbit) {
        float jsuma = 0.0f, jsumb = 0.0f;
        for (auto it = a.begin(); it != a.end(); ++it)
            if (it != xait)
                jsuma = jsuma + *it;
        for (auto it = b.begin(); it != b.end(); ++it)
            if (it != xbit)
                jsumb = jsumb + *it;
        const float jratiodiff = static_cast<float>(
            (static_cast<double>(jsuma) / jsumb - static_cast<double>(ratio)) *
            (static_cast<double>(jsuma) / jsumb - static_cast<double>(ratio)));
        const float jddiff = static_cast<float>(
            ((static_cast<double>(jsuma) - jsumb) / (static_cast<double>(q) - 1.0) - static_cast<double>(d)) *
            ((static_cast<double>(jsuma) - jsumb) / (static_cast<double>(q) - 1.0) - static_cast<double>(d)));
        jksumr = jksumr + jratiodiff;
        jksumd = jksumd + jddiff;
    }
    const double qd = q;
    seratio = static_cast<float>(std::sqrt(static_cast<double>(jksumr) * ((qd - 1.0) / qd)));
    sed = static_cast<float>(std::sqrt(static_cast<double>(jksumd) * ((qd - 1.0) / qd)));
    const double s20 = std::sqrt(20.0);
    ratiochebyshevlower = static_cast<float>(ratio - seratio * s20);
    ratiochebyshevupper = static_cast<float>(ratio + seratio * s20);
    ratiozlower = static_cast<float>(ratio - seratio * 1.96);
    ratiozupper = static_cast<float>(ratio + seratio * 1.96);
    dchebyshevlower = static_cast<float>(d - sed * s20);
    dchebyshevupper = static_cast<float>(d + sed * s20);
    dzlower = static_cast<float>(d - sed * 1.96);
    dzupper = static_cast<float>(d + sed * 1.96);
}

namespace {

void put(std::ostream& o, const std::string& s)
{
    for (char c : s)
        o.put(c);
}

std::string str(long long v)
{
    return std::to_string(v);
}

void triplets(std::ostream& o, const group& og, const group& a, const group& b)
{
    for (int x : og.taxa)
        for (int y : a.taxa)
            for (int z : b.taxa)
                if (x != y && x != z && y != z)
                    put(o, "\ndelete all;\nrestore " + str(x) + " " + str(y) + " " + str(z) + ";\n[!\n\n%triplet " +
                               str(y) + " " + str(z) + " " + str(x) + "\n]ShowDist;[!\n%endtriplet\n\n];");
}

void comparison(std::ostream& o, const group& og, const group& a, const group& b)
{
    const std::string numbers = str(a.number) + " " + str(b.number);
    put(o, "[!\n\n###begin " + numbers + " " + a.name + " versus " + b.name + " \n\n]");
    triplets(o, og, a, b);
    put(o, "[!\n\n###end " + numbers + "\n]");
}

void section(std::ostream& o, const std::vector<group>& g, bool ranking)
{
    if (g.size() < 2)
        return;
    const std::size_t k = g.size() - 1;
    if (ranking) {
        for (std::size_t i = 0; i + 1 < k; ++i)
            comparison(o, g[k], g[i], g[k - 1]);
        return;
    }
    for (std::size_t i = 0; i < k; ++i)
        for (std::size_t j = i + 1; j < k; ++j)
            comparison(o, g[k], g[i], g[j]);
    put(o, "[!\n$$$end of Tolvi bootstrap replicate\n\n]");
}

}  // namespace

void commandfile(std::ostream& cd, const std::vector<std::string>& names, const std::vector<std::string>& seqs,
                 const std::vector<group>& groups, const std::string& nex, const std::string& date,
                 const std::string& setting, bool ranking, int replicatecount)
{
    std::vector<std::string> marked = names;
    std::vector<bool> hasmark(names.size(), false);
    for (const group& g : groups)
        for (int t : g.taxa) {
            std::string& n = marked[static_cast<std::size_t>(t - 1)];
            const bool bar = !hasmark[static_cast<std::size_t>(t - 1)] && !n.empty() &&
                             ((n[0] >= '0' && n[0] <= '9') || n[0] == '$');
            n = "$" + std::to_string(g.number) + (bar ? "|" : "") + n;
            hasmark[static_cast<std::size_t>(t - 1)] = true;
        }
    const std::size_t L = seqs.at(0).size();
    put(cd, "#NEXUS\n\nlog file = " + nex + ".log replace=yes;\n[!\n\n***Command file created by Tolvi " + date +
                "***\n\n]Begin data;\ndimensions ntax=");
    const std::string dimensions =
        str(static_cast<long long>(names.size())) + " nchar=" + str(static_cast<long long>(L)) +
        ";\nFormat datatype=DNA gap=- missing=?;\n\nMATRIX\n\n";
    put(cd, dimensions);
    for (std::size_t i = 0; i < names.size(); ++i)
        put(cd, marked[i] + "\t" + seqs[i] + "\n");
    put(cd, ";\nend;\n\n\n[!\n\nTaxa and groups assigned in Tolvi:\n\n];");
    for (std::size_t i = 0; i < names.size(); ++i)
        put(cd, "\n[!" + std::to_string(i + 1) + " " + marked[i] + "]");
    put(cd, "[!\n\nStarting rate calculations...\n\n];begin PAUP;\nfactory; set monitor=no warnreset=no;\n");
    put(cd, setting);
    section(cd, groups, ranking);
    bootstrapgenerator generator;
    for (int n = 1; n <= replicatecount; ++n) {
        put(cd, "[!\nbegin_bootstrap_replicate " + std::to_string(n) + "\n]\nBegin data;\ndimensions ntax=");
        put(cd, dimensions);
        std::vector<int> randpos;
        for (std::size_t i = 0; i < L; ++i)
            randpos.push_back(scaledraw(static_cast<int>(L), generator.next15()));
        for (std::size_t t = 0; t < names.size(); ++t) {
            put(cd, marked[t] + "\t");
            for (int p : randpos)
                cd.put(seqs[t][static_cast<std::size_t>(p)]);
            cd.put('\n');
        }
        put(cd, ";\nend;\n\n\nbegin PAUP;\n");
        section(cd, groups, ranking);
        put(cd, "[!\nend_bootstrap_replicate " + std::to_string(n) + "\n]");
    }
    put(cd, "\n\n[!bootstrap_end\n\n]");
}

void reducereplicates(replicatetable& table, std::vector<comparisonrecord>& finalrecords)
{
    for (std::vector<comparisonrecord>& row : table)
        for (comparisonrecord& g : row)
            calc(g.brancha, g.branchb, g.d, g.ratio, g.sed, g.seratio, g.ratiochebyshevlower, g.ratiochebyshevupper,
                 g.ratiozlower, g.ratiozupper, g.dchebyshevlower, g.dchebyshevupper, g.dzlower, g.dzupper);
    finalrecords = table.at(0);
    for (std::size_t j = 0; j < finalrecords.size(); ++j) {
        // The replicates with a finite d and ratio; all of them when there are none.
        std::vector<const comparisonrecord*> used;
        for (const std::vector<comparisonrecord>& r : table)
            if (std::isfinite(r.at(j).d) && std::isfinite(r.at(j).ratio))
                used.push_back(&r.at(j));
        finalrecords[j].replicates = static_cast<int>(used.size());
        if (used.empty())
            for (const std::vector<comparisonrecord>& r : table)
                used.push_back(&r.at(j));
        const float N = static_cast<float>(used.size());
        float sumratio = 0.0f, sumd = 0.0f;
        for (const comparisonrecord* g : used) {
            sumratio = sumratio + g->ratio;
            sumd = sumd + g->d;
        }
        const float meanratio = sumratio / N, meand = sumd / N;
        finalrecords[j].d = meand;
        finalrecords[j].ratio = meanratio;
        float sr = 0.0f, sd = 0.0f;
        for (const comparisonrecord* g : used) {
            const float a = g->ratio - meanratio, b = g->d - meand;
            sr = sr + a * a;
            sd = sd + b * b;
        }
        finalrecords[j].seratio = static_cast<float>(std::sqrt(static_cast<double>(sr / (N - 1.0f))));
        finalrecords[j].sed = static_cast<float>(std::sqrt(static_cast<double>(sd / (N - 1.0f))));
    }
}

}  // namespace straightforward
