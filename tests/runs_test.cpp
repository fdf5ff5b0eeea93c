#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "testutil.h"

// Whole construct-first runs, driven by the answers a user would type.

namespace {

// A complete run: the command file is written, handed to tolvi-distances for
// PAUP, and the same answers are given again, now with the log in place. The
// console, the command file and the report are compared with golden files.
void completerun(const std::string& golden, const std::string& nex, const std::vector<std::string>& files,
                 const std::vector<std::string>& answers)
{
    tempdir dir;
    for (const std::string& f : files)
        copydata(f);
    const std::string input = lines(answers) + nex + ".log\n";
    const runresult first = run(input);
    EXPECT_EQ(first.rc, 2) << "no log yet";
    const std::string cd = readfile(nex + ".cd");
    writefile(nex + ".log", pauplog(cd));

    const runresult second = run(input);
    EXPECT_EQ(second.rc, 0);
    EXPECT_EQ(maskdate(readfile(nex + ".cd")), maskdate(cd)) << "the replicates differ between runs";
    expectgolden(golden + ".console", second.console);
    expectgolden(golden + ".cd", maskdate(cd));
    expectgolden(golden + ".ma", readfile(nex + ".ma"));
}

const std::vector<std::string> smallfiles{"small.nex", "MLS", "usertree"};

// Typed groups over several lines, a taxon in two groups, a user tree, and
// the answers -1 and 2 that mean "construct first" and "pairwise" here.
const std::vector<std::string> pairwisetyped{"-1", "small.nex", "2", "0", "apes 1-3;", "clones\n 4 ,5\n;",
                                             "monkeys 6-7, 3;", "q", "8;", "1", "2", "10"};

}  // namespace

TEST(Runs, CompleteRunsMatchTheGoldenFiles)
{
    const struct {
        const char* golden;
        const char* data;
        std::vector<std::string> files;
        std::vector<std::string> answers;
    } cases[] = {
        {"pairwise_typed", "small.nex", smallfiles, pairwisetyped},
        {"ranking_typed", "primates.chars.nexus", {"primates.chars.nexus", "MLS"},
         {"0", "primates.chars.nexus", "1", "0", "hominids 2-4;", "gibbon 6;", "macaques 7 - 10;", "q", "1,11,12;",
          "0", "1", "2"}},
        {"pairwise_grdef", "small.nex", {"small.nex", "small.grdef", "MLS"},
         {"0", "small.nex", "0", "1", "small.grdef", "0", "3", "5"}},
        {"ranking_grdef", "cetaceans.nex", {"cetaceans.nex", "cetaceans.grdef", "MLS"},
         {"0", "cetaceans.nex", "1", "1", "cetaceans.grdef", "0", "1", "2"}},
    };
    for (const auto& c : cases)
        completerun(c.golden, c.data, c.files, c.answers);
}

// Input cut short: every road and branch of the dialogue, with standard input
// cut at every character before the last answer is complete, and every file
// the run reads cut after every word. Each run ends with its reason, and the
// way it ends is the one the program's own rules name for that input.

namespace {

struct script {
    const char* what;
    std::vector<std::string> files;    // from tests/data
    std::vector<std::string> answers;  // complete
    int rc;                            // of the complete run
};

const script scripts[] = {
    {"direct, pairwise", {"pairwise.log"}, {"1", "0", "pairwise.log"}, 1},
    {"direct, ranking", {"ranking.log"}, {"1", "7", "ranking.log"}, 1},
    {"typed groups, user tree", smallfiles, [] {
         auto a = pairwisetyped;
         a.push_back("small.nex.log");
         return a;
     }(), 0},
    {"typed groups, ranking", {"primates.chars.nexus", "MLS"},
     {"0", "primates.chars.nexus", "1", "0", "hominids 2-4;", "gibbon 6;", "macaques 7 - 10;", "q", "1,11,12;", "0",
      "1", "2", "primates.chars.nexus.log"}, 0},
    {"definition file", {"small.nex", "small.grdef", "MLS"},
     {"0", "small.nex", "0", "1", "small.grdef", "0", "3", "3", "small.nex.log"}, 0},
    {"definition file, ranking", {"small.nex", "small.grdef", "MLS"},
     {"0", "small.nex", "1", "1", "small.grdef", "0", "1", "2", "small.nex.log"}, 0},
    {"template", {"small.nex"}, {"0", "small.nex", "0", "2"}, 1},
    {"setting not found", smallfiles, {"0", "small.nex", "0", "0", "a 1-2;", "b 3;", "q 8;", "0", "7"}, 1},
    {"no group defined", smallfiles, {"0", "small.nex", "0", "3", "0", "1"}, 2},
};

// Puts the script's files in place; a construct-first run that names a log
// gets the one tolvi-distances writes for its command file.
void prepare(const script& s)
{
    for (const std::string& f : s.files)
        copydata(f);
    if (s.answers[0] != "1" && s.answers.back().ends_with(".log")) {
        run(lines(s.answers));
        writefile(s.answers.back(), pauplog(readfile(s.answers[1] + ".cd")));
    }
}

// Whether the console says why the run stops, as its last line before the
// command file writer's own end.
bool sayswhy(std::string console)
{
    const std::string destructed = "\ncommander destructed\n";
    if (console.ends_with(destructed))
        console.resize(console.size() - destructed.size());
    return console.ends_with("Tolvi stops.\n") || console.ends_with("no report is written.\n");
}

// The words of a text, and where each ends.
std::vector<std::string> words(const std::string& text, std::vector<std::size_t>& ends)
{
    std::vector<std::string> w;
    std::istringstream in(text);
    for (std::string word; in >> word; ends.push_back(static_cast<std::size_t>(in.tellg())))
        w.push_back(word);
    return w;
}

// What a log cut after the words `w` gives: one row per replicate marker with
// its number, one comparison per "###begin" in it; a row without its end
// marker is the one the log ends inside, and is left out, as are rows holding
// fewer comparisons than the first.
std::string logcount(const std::vector<std::string>& w)
{
    std::vector<long> rows;  // comparisons per row
    bool cut = false;
    for (auto i = w.begin(); i + 1 < w.end(); ++i)
        if (*i == "begin_bootstrap_replicate") {
            const auto end = std::find(i, w.end(), "end_bootstrap_replicate");
            rows.push_back(std::count(i, end, "###begin"));
            cut = end == w.end();
        }
    if (cut)
        rows.pop_back();
    if (rows.empty())
        return std::find(w.begin(), w.end(), "bootstrap_end") == w.end() ? "is cut: it ends"
                                                                          : "No bootstrap replicate could be read";
    if (rows[0] == 0)
        return "hold no group comparison";
    const long kept = std::count_if(rows.begin(), rows.end(), [&](long r) { return r >= rows[0]; });
    return "standard errors based on " + std::to_string(kept) + " bootstrap replicates";
}

}  // namespace

TEST(Runs, StandardInputCutShortEndsWithTwo)
{
    for (const script& s : scripts) {
        tempdir dir;
        prepare(s);
        const std::string input = lines(s.answers);
        for (std::size_t cut = 0; cut + 1 < input.size(); ++cut) {
            const runresult r = run(input.substr(0, cut));
            EXPECT_EQ(r.rc, 2) << s.what << ", cut after: " << input.substr(0, cut);
            EXPECT_TRUE(sayswhy(r.console)) << s.what << ", cut after: " << input.substr(0, cut) << "\n---\n"
                                            << r.console.substr(r.console.size() > 300 ? r.console.size() - 300 : 0);
        }
        EXPECT_EQ(run(input).rc, s.rc) << s.what;
    }
}

TEST(Runs, FilesCutAfterEveryWord)
{
    const struct {
        std::size_t script;
        const char* file;
    } cases[] = {{0, "pairwise.log"}, {1, "ranking.log"}, {2, "small.nex"}, {2, "MLS"}, {2, "usertree"},
                 {3, "primates.chars.nexus"}, {4, "small.grdef"}, {5, "small.nex.log"}, {6, "small.nex"}, {7, "MLS"}};
    for (const auto& c : cases) {
        const script& s = scripts[c.script];
        tempdir dir;
        prepare(s);
        const std::string full = readfile(c.file);
        std::vector<std::size_t> ends{0};
        const std::vector<std::string> w = words(full, ends);
        // Every cut near either end of the file, every seventh in between:
        // a cut inside a long file repeats the same few situations.
        for (std::size_t k = 0; k <= w.size(); ++k) {
            if (k > 60 && k + 60 < w.size() && k % 7 != 0)
                continue;
            writefile(c.file, full.substr(0, ends[k]));
            const runresult r = run(lines(s.answers));
            const std::string where =
                std::string(s.what) + ", " + c.file + " cut after " + std::to_string(k) + " words";
            if (r.rc == 2) {
                EXPECT_TRUE(sayswhy(r.console)) << where;
            }
            if (!std::string(c.file).ends_with(".log")) {  // the complete run's end, a setting not found, or a reason
                EXPECT_TRUE(r.rc == s.rc || r.rc == 1 || r.rc == 2) << where;
                continue;
            }
            const std::string want = logcount({w.begin(), w.begin() + static_cast<long>(k)});
            EXPECT_EQ(r.rc, want.starts_with("standard") ? s.rc : 2) << where;
            EXPECT_NE(r.console.find(want), std::string::npos) << where << ": " << want;
        }
    }
}
