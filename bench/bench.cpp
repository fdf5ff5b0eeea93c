// Benchmarks of the log reader, the jackknife and the command file writer,
// each beside its straightforward counterpart. Arguments are sizes; the
// smallest ones are what CI runs once.
#include <benchmark/benchmark.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "commander.h"
#include "construct.h"
#include "extractor.h"
#include "jackknife.h"
#include "leaveoneout.h"
#include "straightforward/straightforward.h"

namespace {

// A log of `replicates` replicates of one comparison of two groups of
// `size` taxa against an outgroup of 2, in PAUP's layout.
std::string makelog(int replicates, int size)
{
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(0.01, 0.4);
    std::string log = "P A U P *\n";
    char buf[512];
    for (int r = 0; r <= replicates; ++r) {
        if (r > 0)
            log += "\nbegin_bootstrap_replicate " + std::to_string(r) + "\n";
        log += "\n###begin 0 1 left versus right \n";
        for (int o = 0; o < 2; ++o)
            for (int a = 0; a < size; ++a)
                for (int b = 0; b < size; ++b) {
                    const double x = u(rng), y = u(rng), z = u(rng);
                    std::snprintf(buf, sizeof buf,
                                  "\n\n%%triplet %d %d %d\nJukes-Cantor distance matrix\n  3000 characters are "
                                  "included\n\n                     1        2        3\n 1 $0taxon%-6d        -\n"
                                  " 2 $1taxon%-6d%9.5f        -\n 3 $2taxon%-6d%9.5f%9.5f        -\n\n%%endtriplet\n",
                                  a + 1, size + b + 1, 2 * size + o + 1, a, b, x + y, o, x + z, y + z);
                    log += buf;
                }
        log += "\n###end 0 1\n";
        if (r > 0)
            log += "\nend_bootstrap_replicate " + std::to_string(r) + "\n";
    }
    return log + "\nbootstrap_end\n";
}

void logreader(benchmark::State& state, bool fast)
{
    const std::string log = makelog(static_cast<int>(state.range(0)), 10);
    for (auto _ : state) {
        std::istringstream in(log);
        std::ostringstream out;
        replicatetable table;
        if (fast)
            extractor x(in, table, out);
        else
            straightforward::extract(in, table, out);
        benchmark::DoNotOptimize(table.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(log.size()));
}

void BM_LogReader(benchmark::State& state) { logreader(state, true); }
void BM_LogReaderStraightforward(benchmark::State& state) { logreader(state, false); }
BENCHMARK(BM_LogReader)->Arg(1)->Arg(200);
BENCHMARK(BM_LogReaderStraightforward)->Arg(1)->Arg(200);

void benchjackknife(benchmark::State& state, bool fast)
{
    std::mt19937 rng(2);
    std::uniform_real_distribution<float> u(0.0f, 0.4f);
    std::vector<float> a(static_cast<std::size_t>(state.range(0))), b(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = u(rng);
        b[i] = u(rng);
    }
    float f[12];
    for (auto _ : state) {
        if (fast) {
            jackknife j;
            j.calc(a, b, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11]);
        } else {
            straightforward::calc(a, b, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11]);
        }
        benchmark::DoNotOptimize(f);
    }
}

void BM_Jackknife(benchmark::State& state) { benchjackknife(state, true); }
void BM_JackknifeStraightforward(benchmark::State& state) { benchjackknife(state, false); }
BENCHMARK(BM_Jackknife)->Arg(8)->Arg(3200);
BENCHMARK(BM_JackknifeStraightforward)->Arg(8)->Arg(3200);

void BM_LeaveOneOutSums(benchmark::State& state)
{
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> u(0.0f, 0.4f);
    std::vector<float> x(static_cast<std::size_t>(state.range(0))), out(x.size());
    for (float& v : x)
        v = u(rng);
    const simdlevel level = static_cast<simdlevel>(state.range(1));
    if (!leaveoneoutsums(x.data(), x.size(), out.data(), level)) {
        state.SkipWithError("instruction set not available");
        return;
    }
    for (auto _ : state) {
        leaveoneoutsums(x.data(), x.size(), out.data(), level);
        benchmark::DoNotOptimize(out.data());
    }
}
// Second argument: 0 portable, 1 AVX2, 2 AVX-512.
BENCHMARK(BM_LeaveOneOutSums)->Args({8, 0})->Args({3200, 0})->Args({3200, 1})->Args({3200, 2});

// The command file's bootstrap replicates for 60 taxa of 3000 columns in 10
// groups of 6 (the last the outgroup), pairwise: Tolvi's writer (section
// formed once, blocks gathered in place) and the straightforward one.
struct dataset {
    std::vector<std::string> names, seqs;
    std::vector<group> groups;
};

dataset makedata()
{
    dataset d;
    std::mt19937 rng(4);
    for (int t = 0; t < 60; ++t) {
        d.names.push_back("taxon" + std::to_string(t + 1));
        std::string s(3000, 'A');
        for (char& c : s)
            c = "ACGT"[rng() % 4];
        d.seqs.push_back(s);
    }
    for (int g = 0; g < 10; ++g) {
        d.groups.emplace_back(g, "group" + std::to_string(g));
        for (int k = 1; k <= 6; ++k)
            d.groups.back().taxa.push_back(6 * g + k);
    }
    return d;
}

void commandfile(benchmark::State& state, bool fast)
{
    const dataset d = makedata();
    const int replicatecount = static_cast<int>(state.range(0));
    std::ostringstream console;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::ostringstream cd;
        if (fast) {
            commander c(d.names, d.seqs, d.groups, console);
            c.writematrix(cd, "bench.nex");
            std::ostringstream section;
            c.writepairwise(section);
            cd << section.str();
            replicatewriter writer(c.seqnames, c.seqs, section.str());
            bootstrapgenerator generator;
            writereplicates(cd, writer, generator, {1, replicatecount}, replicatecount, console, nullptr);
        } else {
            straightforward::commandfile(cd, d.names, d.seqs, d.groups, "bench.nex", "Mon Jan  1 00:00:00 2001\n",
                                         "\n\n", false, replicatecount);
        }
        bytes += static_cast<std::int64_t>(cd.tellp());
    }
    state.SetBytesProcessed(bytes);
}

void BM_CommandFile(benchmark::State& state) { commandfile(state, true); }
void BM_CommandFileStraightforward(benchmark::State& state) { commandfile(state, false); }
BENCHMARK(BM_CommandFile)->Arg(1)->Arg(20);
BENCHMARK(BM_CommandFileStraightforward)->Arg(1)->Arg(20);

}  // namespace

BENCHMARK_MAIN();
