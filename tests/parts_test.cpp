#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "commands.h"
#include "plan.h"
#include "testutil.h"

// The sub-commands: runs without the dialogue, command files in parts and the
// evaluation of part logs.

namespace {

struct cliresult {
    int rc;
    std::string out;
    std::string err;
};

// One sub-command, its words split at blanks.
cliresult tolvi(const std::string& command)
{
    std::vector<std::string> words;
    std::istringstream split(command);
    for (std::string w; split >> w;)
        words.push_back(w);
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());
    std::ostringstream out, err;
    const int argc = static_cast<int>(argv.size());
    int rc = 2;
    if (words[0] == "construct")
        rc = construct(argc, argv.data(), out, err);
    else if (words[0] == "evaluate")
        rc = evaluatelogs(argc, argv.data(), out, err);
    else
        rc = writetemplate(argc, argv.data(), out, err);
    return {rc, out.str(), err.str()};
}

std::set<std::string> folder()
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("."))
        names.insert(e.path().filename().string());
    return names;
}

// The bootstrap replicates of a command file, markers included.
std::string replicatesof(const std::string& cd)
{
    const std::size_t from = cd.find("[!\nbegin_bootstrap_replicate ");
    const std::size_t to = cd.find("\n\n[!bootstrap_end");
    EXPECT_NE(from, std::string::npos);
    EXPECT_NE(to, std::string::npos);
    return cd.substr(from, to - from);
}

const std::string smallrun = "construct small.nex --groups small.grdef --setting 1 --bootstrap ";

}  // namespace

TEST(Parts, ConstructWritesTheDialoguesCommandFile)
{
    tempdir dir;
    for (const char* f : {"small.nex", "small.grdef", "MLS", "primates.chars.nexus", "usertree"})
        copydata(f);
    cliresult r = tolvi("construct small.nex --groups small.grdef --setting 3 --bootstrap 5");
    ASSERT_EQ(r.rc, 0) << r.err;
    expectgolden("pairwise_grdef.cd", maskdate(readfile("small.nex.cd")));
    // --usertree without a file name copies the tree of the file "usertree"
    r = tolvi("construct small.nex --groups small.grdef --usertree --setting 3 --bootstrap 5 --prefix tree");
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(readfile("tree.cd").find("\nusertree [&U] ("), std::string::npos);
    r = tolvi("construct primates.chars.nexus --ranking --group hominids=2-4 --group gibbon=6 --group macaques=7-10 "
              "--outgroup 1,11,12 --setting 1 --bootstrap 2");
    ASSERT_EQ(r.rc, 0) << r.err;
    expectgolden("ranking_typed.cd", maskdate(readfile("primates.chars.nexus.cd")));
    EXPECT_NE(r.out.find("tolvi evaluate primates.chars.nexus.log --ranking"), std::string::npos) << r.out;
}

TEST(Parts, SplitRunsGiveTheUnsplitReplicatesAndReport)
{
    struct splitcase {
        int replicates;
        int parts;
    } cases[] = {{5, 1}, {6, 2}, {5, 3}, {4, 4}, {7, 3}};
    for (const splitcase& c : cases) {
        tempdir dir;
        for (const char* f : {"small.nex", "small.grdef", "MLS"})
            copydata(f);
        const std::string b = std::to_string(c.replicates);
        ASSERT_EQ(tolvi(smallrun + b + " --prefix one").rc, 0);
        const std::string whole = readfile("one.cd");
        writefile("one.log", paulog(whole));
        ASSERT_EQ(tolvi("evaluate one.log --report unsplit").rc, 0);

        const cliresult split = tolvi(smallrun + b + " --parts " + std::to_string(c.parts));
        ASSERT_EQ(split.rc, 0) << split.err;
        std::string joined, logs;
        for (int k = 1; k <= c.parts; ++k) {
            const std::string suffix = c.parts == 1 ? "" : "." + std::to_string(k);
            const std::string part = readfile("small.nex.cd" + suffix);
            joined += replicatesof(part);
            EXPECT_NE(part.find("log file = small.nex.log" + suffix + " replace=yes;"), std::string::npos);
            EXPECT_EQ(part.find("###begin") < part.find("begin_bootstrap_replicate"), k == 1) << suffix;
            EXPECT_EQ(part.ends_with(partending), c.parts > 1) << suffix;
            writefile("small.nex.log" + suffix, paulog(part));
            logs = " small.nex.log" + suffix + logs;  // the last part first
        }
        EXPECT_EQ(joined, replicatesof(whole)) << c.parts << " parts";
        EXPECT_EQ(c.parts > 1, std::filesystem::exists("small.nex.slurm"));
        const cliresult ev = tolvi("evaluate" + logs);
        ASSERT_EQ(ev.rc, 0) << ev.err;
        EXPECT_EQ(readfile("small.nex.log.ma"), readfile("unsplit.ma"))
            << c.parts << " parts";
    }
}

TEST(Parts, WrongUseWritesNothing)
{
    struct usecase {
        std::string args;
        const char* message;  // in standard error
    } cases[] = {
        {"construct small.nex --groups small.grdef --setting 1 --bogus", "--bogus"},
        {"construct small.nex --groups small.grdef --setting", "--setting"},
        {"construct small.nex --groups small.grdef", "--setting"},
        {"construct small.nex --setting 1", "--groups"},
        {"construct small.nex --group a=1-2 --setting 1", "--outgroup"},
        {"construct small.nex --group a=1-x --group b=3 --outgroup 8 --setting 1", "--group a=1-x"},
        {"construct small.nex --group a=1-2 --group b=3 --outgroup 9 --setting 1", "taxon number 9"},
        {"construct small.nex --group a=1-2 --group a=3 --outgroup 8 --setting 1", "given twice"},
        {"construct small.nex --group a --outgroup 8 --setting 1", "--group a"},
        {"construct small.nex --groups small.grdef --group a=1 --outgroup 8 --setting 1", "--group"},
        {"construct small.nex --groups small.grdef --setting 9", "--setting 9"},
        {"construct small.nex --groups small.grdef --setting 1 --settings none", "--settings none"},
        {"construct small.nex --groups small.grdef --setting 1 --usertree none", "--usertree"},
        {"construct small.nex --groups small.grdef --setting 1 --bootstrap 0", "--bootstrap"},
        {"construct small.nex --groups small.grdef --setting 1 --bootstrap 3 --parts 4", "--parts 4"},
        {"construct small.nex --groups small.grdef --setting 1 --parts 0", "--parts"},
        {"construct small.nex --groups small.nex --setting 1", "--groups small.nex"},
        {"construct none.nex --groups small.grdef --setting 1", "none.nex"},
        {"construct small.nex --group a=1 --group b=1 --outgroup 1 --setting 1", "no triplet"},
        {"construct small.nex --groups small.grdef --setting 1 --prefix old", "old.cd exists; --redo"},
        {"construct small.nex --groups small.grdef --setting 1 --prefix old --parts 2", "old.cd.1 exists; --redo"},
        {"evaluate", "LOG"},
        {"evaluate none.log", "none.log cannot be read"},
        {"evaluate .", ". cannot be read"},
        {"evaluate small.grdef --threads 0", "--threads"},
        {"template", "DATAFILE"},
        {"template none.nex", "none.nex"},
    };
    for (const usecase& c : cases) {
        tempdir dir;
        for (const char* f : {"small.nex", "small.grdef", "MLS"})
            copydata(f);
        writefile("old.cd", "earlier");
        writefile("old.cd.1", "earlier");
        const std::set<std::string> before = folder();
        const cliresult r = tolvi(c.args);
        EXPECT_EQ(r.rc, 2) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_EQ(folder(), before) << c.args;
        EXPECT_EQ(readfile("old.cd") + readfile("old.cd.1"), "earlierearlier") << c.args;
    }
}

TEST(Parts, PartLogsMissingCutShortDoubledOrForeign)
{
    tempdir dir;
    for (const char* f : {"small.nex", "small.grdef", "MLS"})
        copydata(f);
    ASSERT_EQ(tolvi(smallrun + "9 --parts 3").rc, 0);
    for (int k = 1; k <= 3; ++k)
        writefile("small.nex.log." + std::to_string(k), paulog(readfile("small.nex.cd." + std::to_string(k))));
    // part 3 cut inside replicate 8, and a part log of a run of 10 replicates
    const std::string third = readfile("small.nex.log.3");
    writefile("cut.log.3", third.substr(0, third.find("end_bootstrap_replicate 8")));
    ASSERT_EQ(tolvi(smallrun + "10 --parts 3 --prefix other").rc, 0);
    writefile("other.log.2", paulog(readfile("other.cd.2")));

    struct logcase {
        std::string logs;
        int rc;
        const char* message;  // in standard error
    } cases[] = {
        {"small.nex.log.1 small.nex.log.3", 2, "replicates 4-6 are missing: the log of part 2 of 3 was not given"},
        {"small.nex.log.1 small.nex.log.2 cut.log.3", 2, "replicates 8-9 are missing: cut.log.3 (part 3 of 3) is cut short"},
        {"small.nex.log.1 small.nex.log.2 small.nex.log.3 small.nex.log.2", 2,
         "replicates 4-6 appear more than once: in small.nex.log.2 and small.nex.log.2"},
        {"small.nex.log.1 other.log.2 small.nex.log.3", 2, "are logs of different runs"},
        {"small.nex.log.1 small.nex.log.2 small.nex.log.3 small.grdef", 2, "small.grdef is not the log of a part"},
        {"small.nex.log.1 small.nex.log.3 --partial", 0, "--partial: evaluating 6 of 9 bootstrap replicates; missing: 4-6"},
        {"small.nex.log.2 small.nex.log.3 small.nex.log.1 --threads 1", 0, ""},
        // the glob small.nex.log.* also matches an earlier report; any other file is read
        {"small.nex.log.1 small.nex.log.2 small.nex.log.3 small.nex.log.ma", 0,
         "small.nex.log.ma is the report of these part logs, not a log: left out"},
        {"small.nex.log.1 small.nex.log.2 small.nex.log.3 small.nex.log.ma.svg small.nex.log.ma.tsv", 0,
         "small.nex.log.ma.tsv is the results table of these part logs, not a log: left out"},
        {"small.nex.log.1 small.nex.log.2 small.nex.log.3 other.log.ma", 2, "other.log.ma cannot be read"},
    };
    for (const logcase& c : cases) {
        std::filesystem::remove("small.nex.log.ma");
        const cliresult r = tolvi("evaluate " + c.logs);
        EXPECT_EQ(r.rc, c.rc) << c.logs << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.logs << "\n" << r.err;
        EXPECT_EQ(std::filesystem::exists("small.nex.log.ma"), c.rc == 0) << c.logs;
        if (c.rc == 0) {
            const bool partial = c.logs.find("partial") != std::string::npos;
            EXPECT_NE(readfile("small.nex.log.ma").find(partial ? "based on 6 " : "based on 9 "), std::string::npos);
        }
    }
}

TEST(Parts, SplitsAndLabels)
{
    const std::vector<replicaterange> r = splitreplicates(10, 4);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].first, 1);
    EXPECT_EQ(r[1].first, 4);
    EXPECT_EQ(r[2].first, 7);
    EXPECT_EQ(r[3].first, 9);
    EXPECT_EQ(r[3].last, 10);
    const partlabel l{2, 4, r[1], 10};
    const std::optional<partlabel> back = findpartlabel("log text\n" + partcomment(l));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->part * 1000 + back->range.first * 10 + back->range.last, 2046);
    EXPECT_FALSE(findpartlabel("Tolvi part 5 of 4: bootstrap replicates 1 to 2 of 10"));
    EXPECT_EQ(numberranges({1, 2, 3, 5, 7, 8}), "1-3, 5, 7-8");
}
