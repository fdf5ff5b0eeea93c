#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <functional>

#include "testutil.h"

// Whole construct-first runs, driven by the answers a user would type.

namespace {

// The files of a run, copied from tests/data into the working folder.
void setup(const std::vector<std::string>& files)
{
    for (const std::string& f : files)
        copydata(f);
}

// A complete run: the command file is written, handed to the stand-in for
// PAUP, and the same answers are given again, now with the log in place. The
// console, the command file and the report are compared with golden files.
void completerun(const std::string& golden, const std::string& nex, const std::vector<std::string>& files,
                 const std::vector<std::string>& answers)
{
    tempdir dir;
    setup(files);
    const std::string input = lines(answers) + nex + ".log\n";
    const runresult first = run(input);
    EXPECT_EQ(first.rc, 2) << "no log yet";
    const std::string cd = readfile(nex + ".cd");
    writefile(nex + ".log", paulog(cd));

    const runresult second = run(input);
    EXPECT_EQ(second.rc, 0);
    EXPECT_EQ(maskdate(readfile(nex + ".cd")), maskdate(cd)) << "the replicates differ between runs";
    expectgolden(golden + ".console", second.console);
    expectgolden(golden + ".cd", maskdate(cd));
    expectgolden(golden + ".ma", readfile(nex + ".ma"));
}

const std::vector<std::string> smallfiles{"small.nex", "MLS", "usertree"};

// A run that must end within a second.
runresult timedrun(const std::string& input)
{
    const auto start = std::chrono::steady_clock::now();
    runresult r = run(input);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << input;
    return r;
}

// Typed groups over several lines, a taxon in two groups, a user tree, and
// the answers -1 and 2 that mean "construct first" and "pairwise" here.
const std::vector<std::string> pairwisetyped{"-1", "small.nex", "2", "0", "apes 1-3;", "clones\n 4 ,5\n;",
                                             "monkeys 6-7, 3;", "q", "8;", "1", "2", "10"};

}  // namespace

TEST(Runs, PairwiseTypedGroups)
{
    completerun("pairwise_typed", "small.nex", smallfiles, pairwisetyped);
}

TEST(Runs, RankingTypedGroups)
{
    completerun("ranking_typed", "primates.chars.nexus", {"primates.chars.nexus", "MLS"},
                {"0", "primates.chars.nexus", "1", "0", "hominids 2-4;", "gibbon 6;", "macaques 7 - 10;", "q",
                 "1,11,12;", "0", "1", "2"});
}

TEST(Runs, PairwiseDefinitionFile)
{
    completerun("pairwise_grdef", "small.nex", {"small.nex", "small.grdef", "MLS"},
                {"0", "small.nex", "0", "1", "small.grdef", "0", "3", "5"});
}

TEST(Runs, RankingDefinitionFile)
{
    completerun("ranking_grdef", "cetaceans.nex", {"cetaceans.nex", "cetaceans.grdef", "MLS"},
                {"0", "cetaceans.nex", "1", "1", "cetaceans.grdef", "0", "1", "2"});
}

TEST(Runs, Template)
{
    tempdir dir;
    setup({"cob_nt.MATRIX-uppercase.nxs"});
    const runresult r = run(lines({"0", "cob_nt.MATRIX-uppercase.nxs", "0", "2"}));
    EXPECT_EQ(r.rc, 1);
    expectgolden("template.console", r.console);
    expectgolden("template.grdef", readfile("cob_nt.MATRIX-uppercase.nxs.grdef"));
    EXPECT_FALSE(std::filesystem::exists("cob_nt.MATRIX-uppercase.nxs.cd"));
}

TEST(Runs, EndsOfTheRun)
{
    using namespace std::string_literals;
    struct endcase {
        const char* what;
        std::string answers;
        std::vector<std::string> files;
        int rc;
        const char* message;  // in the console output
    };
    const std::string start = "0\nsmall.nex\n";
    const std::string pw = start + "0\n0\n";
    const std::string groups = pw + "a 1-2;b 3;q 8;";
    const endcase cases[] = {
        {"data file missing", "0\nnothere.nex\n", {}, 2,
         "Can't open nothere.nex !\n\nThe NEXUS data file nothere.nex cannot be opened: Tolvi stops.\n"},
        {"no taxon", "0\nempty.nex\n", {}, 2,
         "\nskipping NEXUS head....\n\n\nThe data file empty.nex cannot be read as NEXUS, line 2: NTAX must be a "
         "number greater than 0. Found 0 instead: Tolvi stops.\n"},
        {"not a number", start + "yes\n", smallfiles, 2,
         "\n\nA number was expected as the answer, not \"yes\": Tolvi stops.\n"},
        {"setting not found", groups + "0\n7\n", smallfiles, 1,
         "\nusing *MLS7:\nno matching setting type!\n\ncommander destructed\n"},
        {"no settings file", groups + "0\n1\n", {"small.nex"}, 2,
         "\nusing *MLS1:\n\n\nThe settings file \"MLS\" cannot be opened: Tolvi stops.\n\ncommander destructed\n"},
        {"no user tree", groups + "1\n", {"small.nex", "MLS"}, 2,
         "\n\nThe tree file \"usertree\" cannot be opened: Tolvi stops.\n\ncommander destructed\n"},
        {"taxon 0", pw + "a 0-2;b 3;q 8;", smallfiles, 2,
         "\n\nThe taxon number 0 in group a is not a taxon of the data file (1 to 8): Tolvi stops.\n"},
        {"taxon 9", pw + "a 1-2;b 3;q 8,9;", smallfiles, 2,
         "\n\nThe taxon number 9 in group outgroup is not a taxon of the data file (1 to 8): Tolvi stops.\n"},
        {"huge range", pw + "a 1-2000000000;b 3;q 8;", smallfiles, 2,
         "\n\nThe taxon number 9 in group a is not a taxon of the data file (1 to 8): Tolvi stops.\n"},
        {"taxon too large", pw + "a 1-2;b 3, 4294967297;q 8;", smallfiles, 2,
         "\n\nThe taxon number 4294967297 in group b is too large: Tolvi stops.\n"},
        {"file rows not the taxa", start + "0\n1\nlong.grdef\n", {"small.nex"}, 2,
         "\n\nThe taxon rows of the group definition file do not fit the taxa of the data file:\n  no taxon of the "
         "data file: t1, t2, t3, ... (9 in all)\n  taxa without a row: Homo|sapiens, Pan, Gorilla, ... (8 in all)\n"
         "Tolvi stops.\n"},
        {"one group index for two groups", start + "0\n1\ndup.grdef\n", {"small.nex"}, 2,
         "\n\nThe groups a and og have the same group index 0 in the group definition file"},
        {"marker word as group name", pw + "###end 1;b 3;q 8;", smallfiles, 2,
         "\n\nThe group name ###end is a word Tolvi looks for in the PAUP log and cannot be used: Tolvi stops.\n"},
        {"no ingroup", pw + "q 8;0\n1\n", smallfiles, 2,
         "\nError: no groups defined!\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup "
         "taxa: no comparison can be made. Tolvi stops.\n\ncommander destructed\n"},
        {"no groups at all", start + "0\n3\n0\n1\n", smallfiles, 2,
         "\nError: no groups defined!\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup "
         "taxa: no comparison can be made. Tolvi stops.\n\ncommander destructed\n"},
        {"ranking, one ingroup", start + "1\n0\na 1;q 8;0\n1\n", smallfiles, 2,
         "dset distance=JC; \n\n\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup "
         "taxa: no comparison can be made. Tolvi stops.\n\ncommander destructed\n"},
        {"group without taxa", pw + "a x;b 3;q 8;0\n1\n", smallfiles, 2,
         "set criterion=distance; dset distance=JC; \n\n\n\nThe groups as defined give no triplet"},
        {"only overlapping taxa", pw + "a 1,2;b 1;q 2;0\n1\n", smallfiles, 2,
         "\nNote: the groups a and b share 1 taxon; triplets that name a taxon twice are left out.\n"
         "\nNote: the groups a and outgroup share 1 taxon; triplets that name a taxon twice are left out.\n1  $0"},
        {"only overlapping taxa, the end", pw + "a 1,2;b 1;q 2;0\n1\n", smallfiles, 2,
         "\n\nThe groups as defined give no triplet of an outgroup taxon and two ingroup taxa: no comparison can be "
         "made. Tolvi stops.\n\ncommander destructed\n"},
        {"ranking, only the outgroup", start + "1\n0\nq 8;0\n1\n", smallfiles, 2,
         "\nError: not enough groups defined for ranking!\n\nThe groups as defined give no triplet"},
        {"marker word as taxon name", "0\nmarked.nex\n0\n0\na 1;b 2;q 3;", {}, 2,
         "\n\nThe taxon name ###begin (taxon 2) is a word Tolvi looks for in the PAUP log and cannot be used: Tolvi "
         "stops.\n"},
        {"broken definition file", start + "0\n1\nsmall.nex\n0\n1\n", smallfiles, 2,
         "Tolvi built 22.11.04\n\nNot a Tolvi file!\n\n"},
        {"no replicate", groups + "0\n1\n0\n", smallfiles, 2,
         "\nNumber of bootstrap replicates:\n\n\n\nAt least one bootstrap replicate is needed: Tolvi stops.\n"
         "\ncommander destructed\n"},
        {"no log", groups + "0\n1\n2\nnothere.log\n", smallfiles, 2,
         "Can't open nothere.log !\n\nNo bootstrap replicate could be read from the log nothere.log: there is nothing "
         "to evaluate, and no report is written.\n\ncommander destructed\n"},
        {"command file not created", groups, {"small.nex", "small.nex.cd/"}, 2,
         "\n\nThe command file small.nex.cd cannot be created: Tolvi stops.\n"},
        {"template not created", start + "0\n2\n", {"small.nex", "small.nex.grdef/"}, 2,
         "\nThe group definition template small.nex.grdef could not be written: Tolvi stops.\n"},
        // a full disk stops the writing at once instead of going through every replicate
        {"command file not written", groups + "0\n1\n2000000000\n", {"small.nex", "MLS", "small.nex.cd>/dev/full"},
         2, "\n\nThe command file small.nex.cd could not be written completely: Tolvi stops.\n"},
        // a zero byte would cut the name short, and the run would write over the file it reads
        {"zero byte after the data file name", "0\nsmall.nex\0x\n0\n0\na 1;b 2;q 3;0\n1\n1\nsmall.nex.log\n"s,
         smallfiles, 2, "\n\nThe file name small.nex is followed by a zero character, which no file name can hold"},
        {"zero byte after the log name", groups + "0\n1\n1\nsmall.nex.log\0\n"s, smallfiles, 2,
         "The file name small.nex.log is followed by a zero character"},
        {"zero byte after the definition file name", start + "0\n1\nsmall.grdef\0\n"s, {"small.nex", "small.grdef"}, 2,
         "The file name small.grdef is followed by a zero character"},
        {"zero byte after the log name, direct", "1\n0\npairwise.log\0\n"s, {"pairwise.log"}, 2,
         "The file name pairwise.log is followed by a zero character"},
    };
    for (const endcase& c : cases) {
        tempdir dir;
        writefile("empty.nex", "#NEXUS\nbegin data; dimensions ntax=0;\nend;\n");
        writefile("marked.nex", "MATRIX a AC ###begin AG c AT ; END;");
        writefile("dup.grdef", "#Tolvi a b beginmatrix a 0 b 1 og 0 endmatrix begintaxa");
        writefile("long.grdef", "#Tolvi a b beginmatrix a 0 b 1 og 2 endmatrix begintaxa "
                                "t1 1 t2 1 t3 1 t4 1 t5 1 t6 1 t7 3 t8 3 t9 2 endtaxa");
        for (const std::string& f : c.files)
            if (f.ends_with("/"))
                std::filesystem::create_directory(f);
            else if (const std::size_t link = f.find('>'); link != std::string::npos)
                std::filesystem::create_symlink(f.substr(link + 1), f.substr(0, link));
            else
                copydata(f);
        const runresult r = timedrun(c.answers);
        EXPECT_EQ(r.rc, c.rc) << c.what;
        for (const std::string& f : c.files) {  // never written over
            if (f.find_first_of("/>") == std::string::npos) {
                EXPECT_EQ(readfile(f), readfile(std::string(TOLVI_TEST_DATA) + "/" + f)) << c.what << ": " << f;
            }
        }
        EXPECT_NE(r.console.find(c.message), std::string::npos)
            << c.what << "\n---\n"
            << r.console.substr(r.console.size() > 600 ? r.console.size() - 600 : 0);
        // only a run that wrote its command file completely hands it over, and
        // only then is there a command file (nor any temporary one) left
        const std::string what = c.what;
        const bool complete = what == "no log" || what == "zero byte after the log name";
        EXPECT_EQ(r.console.find("\nDone.\n") != std::string::npos, complete) << c.what;
        if (what.starts_with("command file not"))
            continue;
        std::size_t left = 0;
        for (const auto& e : std::filesystem::directory_iterator("."))
            left += e.path().filename().string().starts_with("small.nex.cd");
        EXPECT_EQ(left, complete ? 1u : 0u) << c.what;
    }
}

// Input cut short: every road and branch of the dialogue, with standard input
// cut at every character before the last answer is complete, and every file
// the run reads cut after every word. Each run must end within a second, and
// the way it ends is the one the program's own rules name for that input.

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
// gets the one the stand-in for PAUP writes for its command file.
void prepare(const script& s)
{
    setup(s.files);
    if (s.answers[0] != "1" && s.answers.back().ends_with(".log")) {
        run(lines(s.answers));
        writefile(s.answers.back(), paulog(readfile(s.answers[1] + ".cd")));
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

std::vector<std::string> words(const std::string& text, std::vector<std::size_t>* ends = nullptr)
{
    std::vector<std::string> w;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        if (i > start) {
            w.push_back(text.substr(start, i - start));
            if (ends)
                ends->push_back(i);
        }
    }
    return w;
}

std::size_t count(const std::vector<std::string>& w, std::size_t from, std::size_t to, const std::string& word)
{
    return static_cast<std::size_t>(std::count(w.begin() + from, w.begin() + to, word));
}

std::size_t find(const std::vector<std::string>& w, const std::string& part, std::size_t from = 0)
{
    while (from < w.size() && w[from].find(part) == std::string::npos)
        ++from;
    return from;
}

struct outcome {
    int rc;
    std::string message;  // in the console
};
using oracle = std::function<outcome(const std::vector<std::string>&)>;

// NEXUS data cut short: the rows up to a sequence of another length, after
// the first word holding MATRIX. No row ends the run; fewer rows than the groups name
// make their taxon numbers refused.
oracle nexus(std::size_t taxa, int rc, const std::string& complete = "")
{
    return [=](const std::vector<std::string>& w) -> outcome {
        std::size_t rows = 0;
        for (std::size_t i = find(w, "MATRIX") + 1; i + 1 < w.size(); i += 2, ++rows)
            if (w[i + 1].size() != w[find(w, "MATRIX") + 2].size())
                break;
        if (rows == 0)
            return {2, "\nThe data file "};
        if (rows < taxa)
            return {2, "is not a taxon of the data file (1 to " + std::to_string(rows) + ")"};
        return {rc, complete};
    };
}

// "MLS": without the setting's marker the Part's own end with 1; a setting
// cut short is copied as far as it goes, with "EOF!".
oracle settings(int n)
{
    return [=](const std::vector<std::string>& w) -> outcome {
        const std::size_t m = find(w, "*MLS" + std::to_string(n));
        if (m == w.size())
            return {1, "no matching setting type!\n"};
        return {0, find(w, "*", m + 1) == w.size() ? "EOF!\n" : ""};
    };
}

outcome usertree(const std::vector<std::string>& w)
{
    const std::size_t p = find(w, "PAUP_1");
    if (p == w.size())
        return {2, "holds no tree PAUP_1"};
    if (p + 3 >= w.size())
        return {2, "ends inside the tree PAUP_1"};
    return {0, "\nusertree [&U] (1,(2,3));;\n"};
}

// small.grdef: every taxon needs its row, and a row cut after its label leaves
// the groups without taxa: nothing to compare.
oracle definitions(int rc)
{
    return [=](const std::vector<std::string>& w) -> outcome {
        const std::size_t b = find(w, "begintaxa");
        if (b < w.size() && w.size() >= b + 17)
            return {rc, "\n\nEnd of taxa-group matrix\n\n"};
        if (b < w.size() && (w.size() - b - 1) % 2 == 0)  // complete rows, but not every taxon's
            return {2, "do not fit the taxa of the data file"};
        return {2, "no comparison can be made"};
    };
}

// A log: one row per replicate marker with its number, one comparison per
// "###begin" in it (not the log's last word, which is read together with the
// end of the file); rows holding fewer comparisons than the first are left
// out of the summary and the count.
oracle log(bool direct)
{
    return [=](const std::vector<std::string>& w) -> outcome {
        std::vector<std::size_t> rows;  // comparisons per row
        for (std::size_t i = 0; i + 1 < w.size(); ++i)
            if (w[i] == "begin_bootstrap_replicate") {
                const std::size_t end = std::min(find(w, "end_bootstrap_replicate", i), find(w, "bootstrap_end", i));
                rows.push_back(count(w, i, std::min(end, w.size() - 1), "###begin"));
            }
        if (rows.empty())
            return {2, "No bootstrap replicate could be read from the log"};
        if (rows[0] == 0)
            return {2, "hold no group comparison"};
        std::size_t dropped = 0;
        for (std::size_t r : rows)
            dropped += r < rows[0];
        // both roads state the replicates the log holds, not the number typed
        const std::size_t n = rows.size() - dropped;
        return {direct ? 1 : 0, "standard errors based on " + std::to_string(n) + " bootstrap replicates"};
    };
}

}  // namespace

TEST(Runs, StandardInputCutShortEndsWithTwo)
{
    for (const script& s : scripts) {
        tempdir dir;
        prepare(s);
        const std::string input = lines(s.answers);
        for (std::size_t cut = 0; cut + 1 < input.size(); ++cut) {
            const runresult r = timedrun(input.substr(0, cut));
            EXPECT_EQ(r.rc, 2) << s.what << ", cut after: " << input.substr(0, cut);
            EXPECT_TRUE(sayswhy(r.console)) << s.what << ", cut after: " << input.substr(0, cut) << "\n---\n"
                                            << r.console.substr(r.console.size() > 300 ? r.console.size() - 300 : 0);
        }
        EXPECT_EQ(timedrun(input).rc, s.rc) << s.what;
    }
}

TEST(Runs, FilesCutAfterEveryWord)
{
    const struct {
        std::size_t script;
        const char* file;
        oracle expect;
    } cases[] = {
        {0, "pairwise.log", log(true)},
        {1, "ranking.log", log(true)},
        {2, "small.nex", nexus(8, 0)},
        {2, "MLS", settings(2)},
        {2, "usertree", usertree},
        {3, "primates.chars.nexus", nexus(12, 0)},
        {4, "small.grdef", definitions(0)},
        {5, "small.grdef", definitions(0)},
        {5, "small.nex.log", log(false)},
        {6, "small.nex", nexus(1, 1, "group definition file template written to small.nex.grdef\n")},
        {7, "MLS", settings(7)},
    };
    for (const auto& c : cases) {
        const script& s = scripts[c.script];
        tempdir dir;
        prepare(s);
        const std::string full = readfile(c.file);
        std::vector<std::size_t> ends{0};
        const std::vector<std::string> w = words(full, &ends);
        // Every cut near either end of the file, every seventh in between:
        // a cut inside a long file repeats the same few situations.
        for (std::size_t k = 0; k <= w.size(); ++k) {
            if (k > 60 && k + 60 < w.size() && k % 7 != 0)
                continue;
            writefile(c.file, full.substr(0, ends[k]));
            const outcome want = c.expect(std::vector<std::string>(w.begin(), w.begin() + static_cast<long>(k)));
            const runresult r = timedrun(lines(s.answers));
            const std::string where = std::string(s.what) + ", " + c.file + " cut after " + std::to_string(k) + " words";
            EXPECT_EQ(r.rc, want.rc) << where;
            EXPECT_NE(r.console.find(want.message), std::string::npos) << where << ": " << want.message;
            if (r.rc == 2) {
                EXPECT_TRUE(sayswhy(r.console)) << where;
            }
        }
    }
}
