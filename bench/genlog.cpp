// Writes a deterministic, seeded PAUP-style log (or a NEXUS data set) of a
// given shape, for benchmarks and the speed comparison script.
//
//   genlog log OUT --groups G --size S --outgroup O --replicates R [--ranking] [--seed N] [--nchar L]
//   genlog nexus OUT --taxa T --nchar L [--seed N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

namespace {

struct shape {
    int groups = 10;
    int size = 5;
    int outgroup = 5;
    int replicates = 650;
    bool ranking = false;
    unsigned seed = 1;
    int nchar = 3000;
    int taxa = 60;
};

std::string label(int number, int k)
{
    return "$" + std::to_string(number) + "taxon" + std::to_string(number) + "_" + std::to_string(k);
}

void matrix(std::string& out, const std::string& l1, const std::string& l2, const std::string& l3, double d12,
            double d13, double d23, int nchar)
{
    std::size_t w = std::max(l1.size(), std::max(l2.size(), l3.size()));
    char buf[256];
    out += "Jukes-Cantor distance matrix\n  ";
    out += std::to_string(nchar);
    out += " characters are included\n\n";
    out += std::string(3 + w, ' ');
    out += "        1        2        3\n";
    std::snprintf(buf, sizeof buf, " 1 %-*s        -\n", static_cast<int>(w), l1.c_str());
    out += buf;
    std::snprintf(buf, sizeof buf, " 2 %-*s%9.5f        -\n", static_cast<int>(w), l2.c_str(), d12);
    out += buf;
    std::snprintf(buf, sizeof buf, " 3 %-*s%9.5f%9.5f        -\n", static_cast<int>(w), l3.c_str(), d13, d23);
    out += buf;
}

int writelog(const char* path, const shape& s)
{
    std::ofstream f(path, std::ios::binary);
    if (!f) {
        std::cerr << "cannot write " << path << "\n";
        return 1;
    }
    std::mt19937 rng(s.seed);
    std::uniform_real_distribution<double> branch(0.01, 0.4);
    const int og = s.groups;  // the outgroup's number
    // Taxon numbers in data-block order: group g member k is g*size+k+1, the outgroup last.
    auto taxnr = [&](int g, int k) { return g == og ? s.groups * s.size + k + 1 : g * s.size + k + 1; };
    auto groupsize = [&](int g) { return g == og ? s.outgroup : s.size; };
    std::vector<std::pair<int, int>> comps;
    if (s.ranking) {
        for (int a = 0; a + 1 < s.groups; ++a)
            comps.push_back({a, s.groups - 1});
    } else {
        for (int a = 0; a < s.groups; ++a)
            for (int b = a + 1; b < s.groups; ++b)
                comps.push_back({a, b});
    }
    std::string out;
    out += "\nP A U P *\nVersion 4.0a (build 163) for Unix/Linux\nSun Dec  6 10:00:00 2026\n\n";
    auto section = [&](bool resampled) {
        for (auto [a, b] : comps) {
            out += "\n\n###begin " + std::to_string(a) + " " + std::to_string(b) + " group" + std::to_string(a) +
                   " versus group" + std::to_string(b) + " \n\n";
            for (int o = 0; o < s.outgroup; ++o)
                for (int i = 0; i < groupsize(a); ++i)
                    for (int j = 0; j < groupsize(b); ++j) {
                        const double x = branch(rng), y = branch(rng), z = branch(rng);
                        out += "\n\n%triplet " + std::to_string(taxnr(a, i)) + " " + std::to_string(taxnr(b, j)) +
                               " " + std::to_string(taxnr(og, o)) + "\n";
                        // Rows in data-block order: A, B, outgroup.
                        matrix(out, label(a, i), label(b, j), label(og, o), x + y, x + z, y + z, s.nchar);
                        out += "\n%endtriplet\n\n";
                    }
            out += "\n\n###end " + std::to_string(a) + " " + std::to_string(b) + "\n";
            if (out.size() > (1u << 22)) {
                f << out;
                out.clear();
            }
        }
        if (!s.ranking)
            out += "\n$$$end of Tolvi bootstrap replicate\n\n";
        (void)resampled;
    };
    section(false);
    for (int r = 1; r <= s.replicates; ++r) {
        out += "\nbegin_bootstrap_replicate " + std::to_string(r) + "\n\nData read in DNA format\n\n";
        section(true);
        out += "\nend_bootstrap_replicate " + std::to_string(r) + "\n";
    }
    out += "\n\nbootstrap_end\n\n";
    f << out;
    return f ? 0 : 1;
}

int writenexus(const char* path, const shape& s)
{
    std::ofstream f(path, std::ios::binary);
    if (!f) {
        std::cerr << "cannot write " << path << "\n";
        return 1;
    }
    std::mt19937 rng(s.seed);
    const char bases[] = "ACGT";
    std::string ancestor(static_cast<std::size_t>(s.nchar), 'A');
    for (char& c : ancestor)
        c = bases[rng() % 4];
    f << "#NEXUS\n\nBEGIN DATA;\n\tDIMENSIONS NTAX=" << s.taxa << " NCHAR=" << s.nchar
      << ";\n\tFORMAT DATATYPE=DNA GAP=- MISSING=?;\nMATRIX\n";
    for (int t = 0; t < s.taxa; ++t) {
        std::string seq = ancestor;
        for (char& c : seq)
            if (rng() % 8 == 0)
                c = bases[rng() % 4];
        f << "taxon_" << (t + 1) << "  " << seq << "\n";
    }
    f << ";\nEND;\n";
    return f ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || (std::strcmp(argv[1], "log") != 0 && std::strcmp(argv[1], "nexus") != 0)) {
        std::cerr << "usage: genlog log OUT --groups G --size S --outgroup O --replicates R [--ranking] [--seed N]\n"
                     "       genlog nexus OUT --taxa T --nchar L [--seed N]\n";
        return 2;
    }
    shape s;
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (a == "--groups") s.groups = next();
        else if (a == "--size") s.size = next();
        else if (a == "--outgroup") s.outgroup = next();
        else if (a == "--replicates") s.replicates = next();
        else if (a == "--seed") s.seed = static_cast<unsigned>(next());
        else if (a == "--nchar") s.nchar = next();
        else if (a == "--taxa") s.taxa = next();
        else if (a == "--ranking") s.ranking = true;
        else {
            std::cerr << "unknown option " << a << "\n";
            return 2;
        }
    }
    return std::strcmp(argv[1], "log") == 0 ? writelog(argv[2], s) : writenexus(argv[2], s);
}
