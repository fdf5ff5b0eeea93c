// The distances of tolvi-distances held to the field's reference
// implementations, computed here and now: R's ape (dist.dna with pairwise
// deletion), R's phangorn (its pair likelihood, ambiguous columns left out) and
// PHYLIP's dnadist (JC, JC + gamma), one table of models per tool, on
// generated alignments (divergence up to saturation and past it, skewed base
// composition, gaps, ambiguity codes, 3 to 30 taxa, 50 to 5000 columns) and
// on the real alignments of tests/data. A distance the reference gives
// inside the model's domain must agree within 5e-6; where the domain ends the
// engine's distance is undefined (above a distance of 1, within 5e-6 of it
// relative). The first argument names the tool; exit
// value 77 when it is not installed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "importer.h"
#include "matrix.h"

namespace fs = std::filesystem;

namespace {

struct dataset {
    std::string name;
    std::vector<std::string> rows;  // symbols as written
};

// An alignment whose taxa each diverge from one root sequence by a
// distance of their own (up to `divergence` substitutions per site, with
// more transitions than transversions), drawn with the base frequencies
// given; with `beyond` the last taxon differs from the first at 85% of the
// columns, past saturation; gaps and ambiguity codes at the rates given.
dataset generate(const std::string& name, int taxa, int columns, double divergence, std::array<double, 4> freqs,
                 double gaps, double ambiguous, bool beyond, unsigned seed)
{
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::discrete_distribution<int> base(freqs.begin(), freqs.end());
    const char* letters = "ACGT";
    std::string root(static_cast<std::size_t>(columns), 'A');
    for (char& c : root)
        c = letters[base(random)];
    dataset d{name, {}};
    for (int t = 0; t < taxa; ++t) {
        const double length = divergence * unit(random);
        std::string row = root;
        for (char& c : row) {
            if (unit(random) < 1.0 - std::exp(-length)) {
                if (unit(random) < 0.6)  // a transition
                    c = c == 'A' ? 'G' : c == 'G' ? 'A' : c == 'C' ? 'T' : 'C';
                else
                    c = letters[base(random)];
            }
        }
        if (beyond && t == taxa - 1)
            for (std::size_t i = 0; i < row.size(); ++i)
                if (unit(random) < 0.85)
                    row[i] = letters[(std::string("ACGT").find(d.rows[0][i]) + 1 + random() % 3) % 4];
        for (char& c : row) {
            const double u = unit(random);
            if (u < gaps)
                c = '-';
            else if (u < gaps + ambiguous)
                c = "NRY?WK"[random() % 6];
        }
        d.rows.push_back(row);
    }
    return d;
}

std::vector<dataset> datasets()
{
    const std::array<double, 4> even{0.25, 0.25, 0.25, 0.25}, gc{0.1, 0.4, 0.4, 0.1}, at{0.4, 0.15, 0.05, 0.4};
    std::vector<dataset> sets = {
        generate("short", 3, 50, 2.0, even, 0.0, 0.0, true, 1),
        generate("saturating", 6, 120, 3.0, even, 0.02, 0.02, true, 2),
        generate("skewed", 8, 1000, 0.6, gc, 0.0, 0.0, false, 3),
        generate("atrich", 5, 400, 1.5, at, 0.05, 0.01, true, 4),
        generate("gappy", 12, 600, 0.4, even, 0.25, 0.05, false, 5),
        generate("many", 30, 300, 0.8, gc, 0.01, 0.0, true, 6),
        generate("long", 10, 5000, 0.3, at, 0.0, 0.0, false, 7),
        generate("close", 4, 2000, 0.02, even, 0.0, 0.01, false, 8),
    };
    for (const char* file : {"primates.chars.nexus", "cetaceans.nex", "cob_nt.nxs"}) {
        const std::string path = std::string(TOLVI_TEST_DATA) + "/" + file;
        std::ifstream in(path);
        std::ostringstream quiet;
        const auto a = importalignment(path, in, quiet);
        if (!a)
            throw std::runtime_error("cannot read " + path);
        sets.push_back({file, a->data.sequences});
    }
    return sets;
}

std::vector<distances::slicedsequence> sliced(const dataset& d)
{
    std::vector<distances::slicedsequence> s;
    for (const std::string& row : d.rows) {
        std::string bits(row.size(), '\0');
        for (std::size_t i = 0; i < row.size(); ++i)
            bits[i] = static_cast<char>(bases::bitsof(row[i]));
        s.emplace_back(bits);
    }
    return s;
}

// Up to `most` triplets of the data set, in data-block order.
std::vector<std::array<std::size_t, 3>> triplets(const dataset& d, std::size_t most, unsigned seed)
{
    std::vector<std::array<std::size_t, 3>> all;
    const std::size_t n = d.rows.size();
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = a + 1; b < n; ++b)
            for (std::size_t c = b + 1; c < n; ++c)
                all.push_back({a, b, c});
    std::shuffle(all.begin(), all.end(), std::mt19937(seed));
    if (all.size() > most)
        all.resize(most);
    return all;
}

// The model of settings written as in a command file: "dset distance=K2P
// rates=gamma shape=0.5; lset nst=2 ...".
distances::model modelof(const std::string& commands)
{
    distances::settings s;
    std::string why;
    static const std::regex option(R"((\w+)=(\([^)]*\)|[^ ;]+))");
    std::istringstream statements(commands);
    for (std::string statement, command; std::getline(statements, statement, ';');) {
        std::istringstream(statement) >> command;
        for (std::sregex_iterator o(statement.begin(), statement.end(), option), end; o != end && why.empty(); ++o)
            why = distances::setoption(s, command, (*o)[1].str(), (*o)[2].str());
    }
    const distances::model m = why.empty() ? distances::resolve(s, why) : distances::model{};
    if (!why.empty())
        throw std::runtime_error(commands + ": " + why);
    return m;
}

// The engine's three distances of a triplet.
std::vector<distances::distance> engine(const distances::model& m, const std::vector<distances::slicedsequence>& seqs,
                                        const std::array<std::size_t, 3>& t)
{
    std::vector<const distances::slicedsequence*> taxa{&seqs[t[0]], &seqs[t[1]], &seqs[t[2]]};
    std::optional<distances::pairlikelihood> ml;
    if (m.kind == distances::measure::ml)
        ml.emplace(m, distances::matrixfrequencies(m, taxa));
    std::map<std::pair<std::size_t, std::size_t>, distances::paircounts> counted;
    std::vector<distances::distance> lower;
    distances::matrixdistances(
        m, taxa,
        [&](std::size_t a, std::size_t b) -> const distances::paircounts& {
            return counted[{a, b}] = distances::countpair(*taxa[a], *taxa[b], distances::missingmode::ignore);
        },
        ml ? &*ml : nullptr, lower);
    return lower;
}

// A fresh temporary folder for the tool's files, removed at the end.
struct workdir {
    fs::path path = [] {
        std::string t = (fs::temp_directory_path() / "tolvi-reference-XXXXXX").string();
        return fs::path(mkdtemp(t.data()));
    }();
    ~workdir() { fs::remove_all(path); }
};

struct tally {
    int compared = 0, undefined = 0;
};

// One reference value against the engine's distance. `plain` is the
// reference without gamma where the row has gamma (NaN when the plain formula
// is past its domain too), else the value itself.
void check(const std::string& where, double reference, double plain, const distances::distance& ours, tally& count,
           double bound = INFINITY)
{
    if (std::isfinite(reference) && reference < bound && ours.defined()) {
        ++count.compared;
        // Relative above 1 substitution per site, where the likelihood is so
        // flat that no optimiser places its top closer in doubles.
        EXPECT_NEAR(ours.value, reference, 5e-6 * std::max(1.0, reference)) << where;
    } else if (!ours.defined()) {
        ++count.undefined;
        // Undefined where the reference is too, or where its gamma form gives
        // a finite value past the plain formula's domain.
        EXPECT_TRUE(!std::isfinite(reference) || !std::isfinite(plain) || reference >= bound)
            << where << ": undefined, the reference gives " << reference;
    } else {
        ADD_FAILURE() << where << ": " << ours.value << ", the reference gives none (" << reference << ")";
    }
}

// Every model compared often, and (p distances aside) taken past the end of
// its domain by the data.
void expectcoverage(const std::map<std::string, tally>& counts)
{
    for (const auto& [settings, c] : counts) {
        EXPECT_GT(c.compared, 100) << settings;
        EXPECT_TRUE(c.undefined > 0 || settings == "dset distance=p;")
            << settings << ": the data never reach the end of its domain";
    }
}

// The data sets and triplets of a reference table, written for R: set<N>.fasta
// and triplets.txt (set, then the three taxa, numbered from 1).
struct tripletjobs {
    workdir dir;
    std::vector<dataset> sets = datasets();
    std::vector<std::vector<distances::slicedsequence>> seqs;
    std::vector<std::array<std::size_t, 3>> triplets;
    std::vector<std::size_t> setof;

    explicit tripletjobs(std::size_t perset)
    {
        std::ofstream jobs(dir.path / "triplets.txt");
        for (std::size_t s = 0; s < sets.size(); ++s) {
            std::ofstream fasta(dir.path / ("set" + std::to_string(s) + ".fasta"));
            for (std::size_t i = 0; i < sets[s].rows.size(); ++i)
                fasta << ">t" << i + 1 << "\n" << sets[s].rows[i] << "\n";
            seqs.push_back(sliced(sets[s]));
            for (const auto& t : ::triplets(sets[s], perset, static_cast<unsigned>(s))) {
                jobs << s << " " << t[0] + 1 << " " << t[1] + 1 << " " << t[2] + 1 << "\n";
                triplets.push_back(t);
                setof.push_back(s);
            }
        }
    }

    // Runs the R script, which prints a line per triplet and model (the
    // settings and the bound of each in `models`), `stride` numbers per pair:
    // the reference value, then (stride 2) the value without gamma; NA, NaN
    // and infinities stand for none. The engine is held to them.
    void compare(const std::string& script, const std::vector<std::pair<std::string, double>>& models,
                 std::size_t stride)
    {
        std::ofstream(dir.path / "run.R") << script;
        const std::string cmd = "cd '" + dir.path.string() + "' && Rscript --vanilla run.R > out.txt 2> err.txt";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << std::ifstream(dir.path / "err.txt").rdbuf();
        std::ifstream out(dir.path / "out.txt");
        std::map<std::string, tally> counts;
        std::size_t lines = 0;
        for (std::string line; std::getline(out, line); ++lines) {
            const std::size_t r = lines / models.size();
            const auto& [settings, bound] = models[lines % models.size()];
            ASSERT_LT(r, triplets.size());
            std::istringstream words(line);
            std::vector<double> v;
            for (std::string w; words >> w;)
                v.push_back(w == "NA" || w == "NaN" || w == "Inf" || w == "-Inf" ? NAN : std::stod(w));
            ASSERT_EQ(v.size(), 3 * stride);
            const auto ours = engine(modelof(settings), seqs[setof[r]], triplets[r]);
            for (std::size_t k = 0; k < 3; ++k)
                check(sets[setof[r]].name + " triplet " + std::to_string(r) + " pair " + std::to_string(k) + ", " +
                          settings,
                      v[stride * k], v[stride * k + stride - 1], ours[k], counts[settings], bound);
        }
        EXPECT_EQ(lines, triplets.size() * models.size());
        expectcoverage(counts);
    }
};

// The head of the R loop over the jobs: `x` the triplet's three rows.
const std::string eachtriplet =
    "jobs <- read.table('triplets.txt')\nsets <- list()\n"
    "for (r in seq_len(nrow(jobs))) {\n"
    "  s <- as.character(jobs[r, 1])\n"
    "  if (is.null(sets[[s]])) sets[[s]] <- as.matrix(read.dna(paste0('set', s, '.fasta'), format = 'fasta'))\n"
    "  x <- sets[[s]][as.integer(jobs[r, 2:4]), ]\n";

TEST(Reference, Ape)
{
    // Each row: ape's model and gamma (0: none), the settings that ask for
    // it, and above which value ape's distance is rounding noise: a LogDet
    // above 8 stands for a determinant below 1e-14, where ape's expansion in
    // doubles no longer tells a singular table (which the engine finds exact)
    // from a regular one.
    const struct {
        const char* ape;
        double gamma;
        const char* settings;
        double noise = INFINITY;
    } models[] = {
        {"raw", 0, "dset distance=p;"},
        {"JC69", 0, "dset distance=JC;"},
        {"JC69", 0.5, "dset distance=JC rates=gamma shape=0.5;"},
        {"JC69", 2, "dset distance=JC rates=gamma shape=2;"},
        {"K80", 0, "dset distance=K2P;"},
        {"K80", 0.7, "dset distance=K2P rates=gamma shape=0.7;"},
        {"F81", 0, "dset distance=F81;"},
        {"F81", 1.5, "dset distance=F81 rates=gamma shape=1.5;"},
        {"F84", 0, "dset distance=F84;"},
        {"TN93", 0, "dset distance=TamNei;"},
        {"TN93", 0.5, "dset distance=TamNei rates=gamma shape=0.5;"},
        {"paralin", 0, "dset distance=LogDet;", 8.0},
    };
    std::string script = "suppressMessages(library(ape))\nmodels <- c(";
    std::vector<std::pair<std::string, double>> rows;
    for (const auto& m : models) {
        script += std::string(&m == models ? "" : ",") + "'" + m.ape + "'," + std::to_string(m.gamma);
        rows.emplace_back(m.settings, m.noise);
    }
    script += ")\n" + eachtriplet +
              "  for (m in seq(1, length(models), 2)) {\n"
              "    g <- as.numeric(models[m + 1])\n"
              "    d <- suppressWarnings(dist.dna(x, model = models[m], pairwise.deletion = TRUE, gamma = if (g > 0) g else FALSE))\n"
              "    p <- suppressWarnings(dist.dna(x, model = models[m], pairwise.deletion = TRUE))\n"
              "    cat(sprintf('%.17g %.17g', as.vector(d), as.vector(p)), '\\n')\n"
              "  }\n}\n";
    tripletjobs(40).compare(script, rows, 2);
}

TEST(Reference, Phangorn)
{
    // Each row: the settings, and the same model for phangorn (bf, Q in the
    // order AC AG AT CG CT GT, k, shape) in R, from the triplet's empirical
    // frequencies `e`; tratio is PAUP's ratio of transitions to
    // transversions, kappa = tratio (A+G)(C+T) / (AG + CT).
    const struct {
        const char* settings;
        const char* r;
    } models[] = {
        {"lset nst=1 basefreq=equal; dset distance=ML;", "rep(0.25, 4), rep(1, 6), 1, 1"},
        {"lset nst=1 basefreq=empirical rates=gamma shape=0.3; dset distance=ML;",
         "e, rep(1, 6), 4, 0.3"},
        {"lset nst=2 tratio=2 basefreq=empirical; dset distance=ML;", "e, hky(2, e), 1, 1"},
        {"lset nst=2 tratio=0.8 basefreq=empirical rates=gamma shape=0.5; dset distance=ML;",
         "e, hky(0.8, e), 4, 0.5"},
        {"lset nst=6 rmatrix=(1.5 4 0.7 1.2 5) basefreq=equal; dset distance=ML;",
         "rep(0.25, 4), c(1.5, 4, 0.7, 1.2, 5, 1), 1, 1"},
        {"lset nst=6 rmatrix=(2 6 1 0.5 8) basefreq=(0.3 0.2 0.15) rates=gamma shape=1.2 ncat=6; dset distance=ML;",
         "c(0.3, 0.2, 0.15, 0.35), c(2, 6, 1, 0.5, 8, 1), 6, 1.2"},
    };
    // dist.ml stops once the log likelihood gains less than 1e-5, which
    // leaves its distances up to 1e-2 off the optimum: the reference is
    // phangorn's own pair likelihood (edQt, discrete.gamma, getP) maximised
    // by R's optimize to 1e-11.
    std::string script =
        "suppressMessages(library(phangorn))\n"
        "hky <- function(tratio, f) { k <- tratio * (f[1] + f[3]) * (f[2] + f[4]) / (f[1] * f[3] + f[2] * f[4]); c(1, k, 1, 1, k, 1) }\n"
        "best <- function(N, bf, Q, k, shape) {\n"
        "  if (sum(N) == 0) return(NA)\n"
        "  if (sum(N) == sum(diag(N))) return(0)\n"
        "  eig <- edQt(Q, bf); g <- discrete.gamma(shape, k)\n"
        "  ll <- function(t) { P <- Reduce(`+`, phangorn:::getP(t, eig, g)) / k; sum(N[N > 0] * log((bf * t(P))[N > 0])) }\n"
        "  o <- optimize(ll, c(0, 10), maximum = TRUE, tol = 1e-11)\n"
        "  if (ll(10) >= o$objective) 10 else o$maximum\n"
        "}\n"
        "ml <- function(x, bf, Q, k, shape) {\n"
        "  a <- c(); for (p in list(c(1, 2), c(1, 3), c(2, 3))) {\n"
        "    u <- as.character(x[p[1], ]); v <- as.character(x[p[2], ]); ok <- u %in% b & v %in% b\n"
        "    a <- c(a, best(table(factor(u[ok], b), factor(v[ok], b)), bf, Q, k, shape)) }\n"
        "  cat(sprintf('%.17g', a), '\\n')\n"
        "}\n"
        "b <- c('a', 'c', 'g', 't')\n" +
        eachtriplet + "  e <- as.vector(base.freq(x))\n";
    std::vector<std::pair<std::string, double>> rows;
    for (const auto& m : models) {
        script += std::string("  ml(x, ") + m.r + ")\n";
        rows.emplace_back(m.settings, distances::mlupperbound - 1e-6);
    }
    tripletjobs(12).compare(script + "}\n", rows, 1);
}

TEST(Reference, Dnadist)
{
    // Each row: dnadist's coefficient of variation (0: equal rates) and the
    // settings; dnadist is given the alignments without gaps and ambiguity
    // codes, all pairs at once, and writes -1 for an infinite distance.
    const struct {
        double variation;
        const char* settings;
    } models[] = {
        {0, "dset distance=JC;"},
        {1 / std::sqrt(0.5), "dset distance=JC rates=gamma shape=0.5;"},
        {1 / std::sqrt(3.0), "dset distance=JC rates=gamma shape=3;"},
    };
    workdir dir;
    std::map<std::string, tally> counts;
    for (dataset d : datasets()) {
        // Only the columns where every taxon has one of A, C, G, T.
        std::vector<std::string> kept(d.rows.size());
        for (std::size_t c = 0; c < d.rows[0].size(); ++c)
            if (std::all_of(d.rows.begin(), d.rows.end(), [c](const std::string& r) { return std::strchr("ACGTacgt", r[c]) && r[c]; }))
                for (std::size_t i = 0; i < d.rows.size(); ++i)
                    kept[i] += d.rows[i][c];
        d.rows = kept;
        const auto seqs = sliced(d);
        std::ofstream infile(dir.path / "infile");
        infile << d.rows.size() << " " << d.rows[0].size() << "\n";
        for (std::size_t i = 0; i < d.rows.size(); ++i)
            infile << std::left << std::setw(10) << "t" + std::to_string(i + 1) << d.rows[i] << "\n";
        infile.close();
        for (const auto& m : models) {
            char answers[64];
            std::snprintf(answers, sizeof answers, m.variation > 0 ? "D\nD\nG\nY\n%.17g\n" : "D\nD\nY\n", m.variation);
            std::ofstream(dir.path / "answers") << answers;
            fs::remove(dir.path / "outfile");
            const std::string cmd = "cd '" + dir.path.string() + "' && phylip dnadist < answers > screen 2>&1";
            ASSERT_EQ(std::system(cmd.c_str()), 0);
            std::ifstream out(dir.path / "outfile");
            std::size_t n = 0;
            out >> n;
            ASSERT_EQ(n, d.rows.size());
            const distances::model chosen = modelof(m.settings);
            for (std::size_t i = 0; i < n; ++i) {
                std::string name;
                out >> name;
                for (std::size_t j = 0; j < n; ++j) {
                    double reference = 0;
                    out >> reference;
                    reference = reference < 0 ? NAN : reference;
                    if (j < i)
                        check(d.name + " taxa " + std::to_string(j + 1) + " " + std::to_string(i + 1) + ", " + m.settings,
                              reference, reference,
                              distances::closedform(chosen,
                                                    distances::countpair(seqs[j], seqs[i], distances::missingmode::ignore),
                                                    {}, {}, {}),
                              counts[m.settings]);
                }
            }
        }
    }
    expectcoverage(counts);
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const std::string tool = argc > 1 ? argv[1] : "";
    const std::map<std::string, std::string> probes = {
        {"ape", "Rscript --vanilla -e 'suppressMessages(library(ape))' >/dev/null 2>&1"},
        {"phangorn", "Rscript --vanilla -e 'suppressMessages(library(phangorn))' >/dev/null 2>&1"},
        {"dnadist", "command -v phylip >/dev/null 2>&1"},
    };
    const auto probe = probes.find(tool);
    if (probe == probes.end()) {
        std::fprintf(stderr, "usage: reference_tests ape|phangorn|dnadist [gtest options]\n");
        return 2;
    }
    if (std::system(probe->second.c_str()) != 0) {
        std::fprintf(stderr, "%s is not installed: skipped\n", tool.c_str());
        return 77;
    }
    std::string filter = "Reference." + std::string(1, static_cast<char>(std::toupper(tool[0]))) + tool.substr(1);
    testing::GTEST_FLAG(filter) = filter;
    return RUN_ALL_TESTS();
}
