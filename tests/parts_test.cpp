#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "plan.h"
#include "provenance.h"
#include "testutil.h"

// The sub-commands: runs without the dialogue, command files in parts and the
// evaluation of part logs.

namespace {

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

// The command file without its provenance comment, which the dialogue's lacks.
std::string withoutprovenance(std::string cd)
{
    const std::size_t at = cd.find("[!\nTolvi run ");
    EXPECT_NE(at, std::string::npos);
    return at == std::string::npos ? cd : cd.erase(at, cd.find(']', at) + 1 - at);
}

}  // namespace

TEST(Parts, ConstructWritesTheDialoguesCommandFile)
{
    tempdir dir;
    for (const char* f : {"small.nex", "small.grdef", "MLS", "primates.chars.nexus", "usertree"})
        copydata(f);
    commandresult r = command("construct small.nex --groups small.grdef --setting 3 --bootstrap 5");
    ASSERT_EQ(r.rc, 0) << r.err;
    expectgolden("pairwise_grdef.cd", maskdate(withoutprovenance(readfile("small.nex.cd"))));
    // --usertree without a file name copies the tree of the file "usertree"
    r = command("construct small.nex --groups small.grdef --usertree --setting 3 --bootstrap 5 --prefix tree");
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_NE(readfile("tree.cd").find("\nusertree [&U] ("), std::string::npos);
    r = command("construct primates.chars.nexus --ranking --group hominids=2-4 --group gibbon=6 --group macaques=7-10 "
              "--outgroup 1,11,12 --setting 1 --bootstrap 2");
    ASSERT_EQ(r.rc, 0) << r.err;
    expectgolden("ranking_typed.cd", maskdate(withoutprovenance(readfile("primates.chars.nexus.cd"))));
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
        ASSERT_EQ(command(smallrun + b + " --prefix one").rc, 0);
        const std::string whole = readfile("one.cd");
        writefile("one.log", pauplog(whole));
        ASSERT_EQ(command("evaluate one.log --report unsplit").rc, 0);

        const commandresult split = command(smallrun + b + " --parts " + std::to_string(c.parts));
        ASSERT_EQ(split.rc, 0) << split.err;
        std::string joined, logs;
        for (int k = 1; k <= c.parts; ++k) {
            const std::string suffix = c.parts == 1 ? "" : "." + std::to_string(k);
            const std::string part = readfile("small.nex.cd" + suffix);
            joined += replicatesof(part);
            EXPECT_NE(part.find("log file = small.nex.log" + suffix + " replace=yes;"), std::string::npos);
            EXPECT_EQ(part.find("###begin") < part.find("begin_bootstrap_replicate"), k == 1) << suffix;
            EXPECT_EQ(part.ends_with(partending), c.parts > 1) << suffix;
            writefile("small.nex.log" + suffix, pauplog(part));
            logs = " small.nex.log" + suffix + logs;  // the last part first
        }
        EXPECT_EQ(joined, replicatesof(whole)) << c.parts << " parts";
        EXPECT_EQ(c.parts > 1, std::filesystem::exists("small.nex.slurm"));
        const commandresult ev = command("evaluate" + logs);
        ASSERT_EQ(ev.rc, 0) << ev.err;
        EXPECT_EQ(readfile("small.nex.log.ma"), readfile("unsplit.ma"))
            << c.parts << " parts";
    }
}


// The run identity is a hash of what the parts of a run share: neither the
// creation time nor the log's name enter it (the transcript of part logs
// shows that the data block, the setting, the seed and the replicate count do).
TEST(Provenance, IdentityAndCommentRoundTrip)
{
    const std::string head = "#NEXUS\n\nlog file = a.log replace=yes;\n[!\n\n***Command file created by Tolvi Mon Jan  1 "
                             "12:00:00 2024\n***\n\n]Begin data;\nMATRIX\n$0a\tACGT\n;\nend;\n";
    const std::string base = runidentity(head, "section", 1, 9);
    for (const std::string& same : {std::string(head).replace(head.find("a.log"), 5, "b.log.2"),
                                    std::string(head).replace(head.find("Mon Jan  1"), 10, "Tue Feb  2")})
        EXPECT_EQ(runidentity(same, "section", 1, 9), base) << same;

    runprovenance run;
    run.identity = base;
    run.tolvi = "1.0.0";
    run.datafile.name = "my [odd] data.nex";
    run.datafile.size = 402;
    run.datafile.reading.excluded = std::vector<int>{3, 4, 5, 9};
    run.settingtext = "dset distance=JC; [a comment]";
    run.seed = 7;
    run.replicates = 9;
    const std::string written = withprovenance(head, run);
    EXPECT_NE(written.find("***\n\n][!\nTolvi run " + base + " (provenance 1)\n"), std::string::npos) << written;
    EXPECT_NE(written.find("\nexcluded characters: 3-5 9\n"), std::string::npos) << written;
    EXPECT_EQ(runidentity(written, "section", 1, 9), base) << "the comment is not part of the identity";
    const std::optional<runprovenance> read = findprovenance(written);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->identity, base);
    EXPECT_EQ(read->datafile.name, "my (odd) data.nex");
    EXPECT_EQ(read->datafile.size, 402u);
    EXPECT_EQ(read->datafile.reading.excluded, run.datafile.reading.excluded);
    EXPECT_EQ(read->settingtext, "dset distance=JC; (a comment)");
    EXPECT_EQ(read->seed, 7u);
    EXPECT_EQ(read->replicates, 9);
    EXPECT_FALSE(read->parts || read->setting || read->datafile.sha256);
    // A later format's comment gives its identity, and nothing read as this one's.
    std::string later = written;
    later.replace(later.find("(provenance 1)"), 14, "(provenance 2)");
    EXPECT_EQ(findprovenance(later)->identity, base);
    EXPECT_FALSE(findprovenance(later)->seed);
}
