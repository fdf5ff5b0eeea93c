#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "commander.h"
#include "extractor.h"
#include "jackknife.h"
#include "leaveoneout.h"
#include "straightforward/straightforward.h"
#include "testutil.h"
#include "wordreader.h"

namespace {

bool samebits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<float> randomlist(std::mt19937& rng, std::size_t n)
{
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_real_distribution<float> u(-1.0f, 1.0f);
    std::vector<float> x(n);
    for (float& v : x) {
        switch (kind(rng)) {
        case 0: v = u(rng) * 1e8f; break;     // swamps the small ones
        case 1: v = u(rng) * 1e-30f; break;
        case 2: v = 0.0f; break;
        case 3: v = -0.0f; break;
        case 4: v = 0.125f; break;           // repeated values
        default: v = u(rng); break;
        }
    }
    return x;
}

TEST(FastPaths, LeaveOneOutSumsMatchThePlainLoopOnEveryKernel)
{
    std::mt19937 rng(7);
    std::vector<std::size_t> sizes;
    for (std::size_t n = 0; n <= 140; ++n)
        sizes.push_back(n);
    for (std::size_t n : {255u, 256u, 257u, 1000u, 3200u})
        sizes.push_back(n);
    for (simdlevel level : {simdlevel::portable, simdlevel::avx2, simdlevel::avx512, simdlevel::best}) {
        for (std::size_t n : sizes) {
            const std::vector<float> x = randomlist(rng, n);
            std::vector<float> want;
            straightforward::leaveoneoutsums(x, want);
            std::vector<float> got(n, 99.0f);
            if (!leaveoneoutsums(x.data(), n, got.data(), level))
                break;  // this processor lacks the instruction set
            for (std::size_t i = 0; i < n; ++i)
                ASSERT_TRUE(samebits(got[i], want[i]))
                    << "level " << static_cast<int>(level) << " n " << n << " i " << i << ": " << got[i] << " vs "
                    << want[i];
        }
    }
}

TEST(FastPaths, JackknifeMatchesTheLiteralLoop)
{
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        const std::size_t n =
            round < 200 ? static_cast<std::size_t>(round % 40) : static_cast<std::size_t>(rng() % 700);
        const std::vector<float> a = randomlist(rng, n), b = randomlist(rng, n);
        float f[12], g[12];
        jackknife j;
        j.calc(a, b, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11]);
        straightforward::calc(a, b, g[0], g[1], g[2], g[3], g[4], g[5], g[6], g[7], g[8], g[9], g[10], g[11]);
        for (int k = 0; k < 12; ++k)
            ASSERT_TRUE(samebits(f[k], g[k]) || (f[k] != f[k] && g[k] != g[k])) << "n " << n << " field " << k;
    }
}

// A random log in PAUP's layout: overlapping marks, every row order, undefined
// distances, stray words, odd numbers.
std::string randomlog(std::mt19937& rng)
{
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* numbers[] = {"0.12345", "1.00000", "0.00000", "2.5e-1", "12", "0.333333", "1e-40", "7.25"};
    std::string log = "P A U P *\nNo topological constraints\n";
    const int reps = pick(4);
    for (int r = 0; r < reps + 1; ++r) {
        if (r > 0)
            log += "\nbegin_bootstrap_replicate " + std::to_string(r) + "\n";
        const int comps = 1 + pick(3);
        for (int c = 0; c < comps; ++c) {
            const int ga = pick(3), gb = 3 + pick(9);
            log += "\n###begin " + std::to_string(ga) + " " + std::to_string(gb) + " G" + std::to_string(ga) +
                   " versus G" + std::to_string(gb) + " \n";
            const int trips = pick(5);
            for (int t = 0; t < trips; ++t) {
                std::string labels[3] = {"$" + std::to_string(ga) + "a", "$" + std::to_string(gb) + "b", "$12c"};
                if (pick(4) == 0)
                    labels[0] = "$" + std::to_string(gb) + labels[0];  // in both groups
                if (pick(6) == 0)
                    labels[1] = "x" + labels[1];  // a mark not at the start
                for (int s = 0; s < 3; ++s)
                    std::swap(labels[s], labels[static_cast<std::size_t>(pick(3))]);
                // Undefined-distance messages, by number or by label, one or
                // two before a matrix; now and then a "No" of another text.
                const std::string messages[] = {
                    "No data for comparing taxa 1 and 2. Distance is undefined.\n",
                    "No data for comparing taxa " + labels[0] + " and " + labels[2] + ". Distance is undefined.\n",
                    "No topological constraints in effect\n"};
                for (int m = pick(15) == 0 ? 1 + pick(2) : 0; m > 0; --m)
                    log += messages[pick(3)];
                log += "\n%triplet 1 2 3\nJukes-Cantor distance matrix\n  898 characters are included\n\n"
                       "     1        2        3\n 1 " + labels[0] + "     -\n 2 " + labels[1] + "  " +
                       numbers[pick(8)] + "      -\n 3 " + labels[2] + "  " + numbers[pick(8)] + "  " +
                       numbers[pick(8)] + "     -\n%endtriplet\n";
            }
            if (pick(12) != 0)
                log += "\n###end " + std::to_string(ga) + " " + std::to_string(gb) + "\n";
        }
        if (r > 0 && pick(10) != 0)
            log += "\nend_bootstrap_replicate " + std::to_string(r) + "\n";
    }
    if (pick(3) != 0)
        log += "\nbootstrap_end\n";
    return log;
}

TEST(FastPaths, LogReaderMatchesStreamExtraction)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 600; ++round) {
        std::string log = randomlog(rng);
        // Also cut short at a random place, and without a final line end.
        if (round % 2 == 1)
            log.resize(rng() % (log.size() + 1));
        if (round % 7 == 3 && !log.empty() && log.back() == '\n')
            log.pop_back();
        replicatetable fast, plain;
        std::ostringstream fastout, plainout;
        std::istringstream in1(log), in2(log);
        const std::size_t buffers[] = {16, 37, 1 << 18};
        extractor x(in1, fast, fastout, buffers[round % 3], round % 4 < 2);
        straightforward::extract(in2, plain, plainout);
        EXPECT_EQ(fastout.str(), plainout.str()) << log;
        EXPECT_EQ(straightforward::tabletext(fast), straightforward::tabletext(plain)) << log;
    }
}


// In-place decimal parsing must give exactly what strtof gives.
TEST(FastPaths, PlainDecimalsAreCorrectlyRounded)
{
    auto check = [](std::uint32_t m, int k) {
        std::string text = std::to_string(m);
        if (k > 0) {
            if (text.size() <= static_cast<std::size_t>(k))
                text.insert(0, static_cast<std::size_t>(k) + 1 - text.size(), '0');
            text.insert(text.size() - static_cast<std::size_t>(k), ".");
        }
        const std::string padded = text + std::string(30, ' ');
        float got = -1.0f;
        const char* end = simpledecimal(padded.data(), padded.data() + padded.size(), got);
        if (!end)
            return;  // left to the general path
        ASSERT_EQ(end, padded.data() + text.size()) << text;
        const float want = std::strtof(text.c_str(), nullptr);
        ASSERT_TRUE(samebits(got, want)) << text << ": " << got << " vs " << want;
    };
    // Every distance PAUP can print below 100 with five decimals.
    for (std::uint32_t m = 0; m < 10000000; ++m)
        check(m, 5);
    std::mt19937 rng(13);
    for (int i = 0; i < 2000000; ++i)
        check(rng() % (1u << 24), static_cast<int>(rng() % 9));
}


// The whole construct-first road must write the same command file as the
// straightforward writer, for random alignments and groups (overlapping
// groups and names that begin with a digit included).
TEST(FastPaths, CommandFileMatchesTheStraightforwardWriter)
{
    std::mt19937 rng(17);
    int compared = 0;
    for (int round = 0; round < 12; ++round) {
        tempdir dir;
        const int ntax = 4 + static_cast<int>(rng() % 6);
        const std::size_t nchar = 5 + rng() % 40;
        std::vector<std::string> names, seqs;
        std::string nex = "#NEXUS\nbegin data;\nMATRIX\n";
        for (int t = 0; t < ntax; ++t) {
            names.push_back((t % 3 == 0 ? std::to_string(t) : "t") + "x" + std::to_string(t));
            std::string s(nchar, 'A');
            for (char& c : s)
                c = "ACGT-?"[rng() % 6];
            seqs.push_back(s);
            nex += names.back() + " " + s + "\n";
        }
        writefile("d.nex", nex + ";\nend;\n");
        writefile("MLS", "*MLS1 dset distance=JC;\n");

        const bool ranking = round % 2 == 1;
        const int ngroups = 2 + static_cast<int>(rng() % 3);
        std::vector<group> groups;
        std::string answers = std::string("0\nd.nex\n") + (ranking ? "1" : "0") + "\n0\n";
        for (int g = 0; g <= ngroups; ++g) {
            group gr(g, g == ngroups ? "outgroup" : "g" + std::to_string(g));
            std::string list;
            for (int k = 0; k < 2 + static_cast<int>(rng() % 2); ++k) {
                const int t = 1 + static_cast<int>(rng() % static_cast<unsigned>(ntax));
                gr.taxa.push_back(t);
                list += (k ? "," : "") + std::to_string(t);
            }
            answers += (g == ngroups ? "q\n" : gr.name + "\n") + list + ";\n";
            groups.push_back(gr);
        }
        const int replicatecount = 1 + static_cast<int>(rng() % 4);
        answers += "0\n1\n" + std::to_string(replicatecount) + "\nnone.log\n";
        const runresult res = run(answers);
        if (res.console.find("no comparison can be made") != std::string::npos)
            continue;  // the random groups left nothing to compare
        ASSERT_NE(res.console.find("Hand the file d.nex.cd over to PAUP"), std::string::npos) << res.console;

        std::ostringstream plain;
        straightforward::commandfile(plain, names, seqs, groups, "d.nex", "Mon Jan  1 00:00:00 2001\n",
                                     "dset distance=JC; \n\n", ranking, replicatecount);
        EXPECT_EQ(maskdate(readfile("d.nex.cd")), maskdate(plain.str())) << answers;
        ++compared;
    }
    EXPECT_GE(compared, 8);
}

}  // namespace
