#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "figure.h"
#include "provenance.h"
#include "sha256.h"
#include "summary.h"
#include "testutil.h"

namespace {

// The figure must be well-formed XML and turn into a PNG of the size it declares.
void expectrenders(const std::string& svg)
{
    const std::string parse =
        "python3 -c \"import sys, xml.etree.ElementTree as e; e.parse(sys.argv[1])\" '" + svg + "'";
    EXPECT_EQ(std::system(parse.c_str()), 0) << svg << " is no well-formed XML";
    ASSERT_EQ(std::system(("rsvg-convert -o '" + svg + ".png' '" + svg + "'").c_str()), 0) << svg << " does not render";
    const std::string text = readfile(svg), png = readfile(svg + ".png");
    int width = 0, height = 0;
    std::sscanf(text.c_str() + text.find(" width="), " width=\"%d\" height=\"%d\"", &width, &height);
    ASSERT_GT(png.size(), 24u);
    auto be32 = [&png](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    EXPECT_EQ(be32(16), width) << svg;
    EXPECT_EQ(be32(20), height) << svg;
}

// Holm's adjustment and the percentile definition the man page states.
TEST(Results, HolmAndPercentiles)
{
    const double nan = std::nan("");
    const std::vector<double> adjusted = holm({0.01, 0.04, 0.03, 0.005, nan});
    const double want[] = {0.03, 0.06, 0.06, 0.02};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(adjusted[i], want[i], 1e-12) << i;
    EXPECT_TRUE(std::isnan(adjusted[4]));
    EXPECT_EQ(holm({0.6, 0.5})[0], 1.0);
    EXPECT_NEAR(twosidedp(-1.959963985), 0.05, 1e-9);
    EXPECT_DOUBLE_EQ(percentile({4, 1, 3, 2}, 0.025), 1.075);
    EXPECT_DOUBLE_EQ(percentile({4, 1, std::nanf(""), 3, 2}, 0.975), 3.925);
    EXPECT_TRUE(std::isnan(percentile({std::nanf("")}, 0.5)));
}

// Figures of 1 and 45 comparisons, nan values, names that need escaping and
// a long one; what the labels say.
TEST(Results, FiguresRenderAtEverySize)
{
    struct row {
        std::size_t comparisons;
        std::string name;
    };
    for (const row& r : {row{1, "Alpha"}, row{45, "G"}, row{2, "A&B<C>\"'"}, row{2, std::string(90, 'L')}}) {
        tempdir dir;
        std::vector<resultrow> rows(r.comparisons);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].triplets = 100 + i;
            rows[i].groupa = r.name + std::to_string(i);
            rows[i].groupb = "Ref";
            rows[i].d = i % 7 == 3 ? std::nanf("") : 0.1f * static_cast<float>(i) - 1.0f;
            rows[i].sed = 0.2f;
            rows[i].ratio = 1.0f + 0.05f * static_cast<float>(i);
            rows[i].ratiolower = i % 5 == 4 ? std::nan("") : rows[i].ratio - 0.3;
            rows[i].ratioupper = rows[i].ratio + 0.3;
            rows[i].pholm = i % 2 ? 0.01 : 0.5;
            rows[i].significance = "<0.05";
        }
        const figuresize size = [&] {
            std::ofstream out("f.svg");
            return writefigure(rows, {r.name + ".nex", "*MLS1: dset distance=JC;", 100, "0123456789ab",
                                      r.comparisons == 45, "Ref"},
                               out);
        }();
        EXPECT_GE(size.height, static_cast<int>(r.comparisons) * 20) << r.comparisons;
        EXPECT_GE(size.width, static_cast<int>(r.name.size() * 7)) << r.name;
        expectrenders("f.svg");
        const std::string svg = readfile("f.svg");
        const bool ranking = r.comparisons == 45;
        for (const std::string& label : std::vector<std::string>
             {"Relative rates: " + xmlescape(r.name) + ".nex, *MLS1: dset distance=JC;</text>", "; run 0123456789ab<",
              ">" + xmlescape(rows.back().groupa) + (ranking ? "<" : " vs Ref<"), ">" + std::to_string(99 + r.comparisons) + "<",
              std::string(ranking ? ">\xE2\x86\x90 Ref faster<" : ">\xE2\x86\x90 second group faster<"),
              std::string(ranking ? ">group faster \xE2\x86\x92<" : ">first group faster \xE2\x86\x92<")})
            EXPECT_NE(svg.find(label), std::string::npos) << label;
    }
}

// Every field of the run record against the run it describes: the dialogue's
// construct-first road, evaluate on the part logs of a run of the same data,
// and the direct road on one of them; the digests against the files' own.
TEST(Results, RunRecordsDescribeTheirRuns)
{
    using json = nlohmann::json;
    tempdir dir;
    for (const char* f : {"small.nex", "small.grdef", "MLS"})
        copydata(f);
    const std::vector<std::string> answers{"0", "small.nex", "0", "1", "small.grdef", "0", "3", "4", "small.nex.log"};
    run(lines(answers));
    writefile("small.nex.log", pauplog(readfile("small.nex.cd")));
    ASSERT_EQ(run(lines(answers)).rc, 0);
    const json dialogue = json::parse(readfile("small.nex.ma.json"));
    ASSERT_EQ(command("construct small.nex --groups small.grdef --setting 3 --bootstrap 4 --parts 2 --seed 5").rc, 0);
    const std::string identity = findprovenance(readfile("small.nex.cd.2"))->identity;
    for (const char* k : {"1", "2"})
        writefile(std::string("small.nex.log.") + k, pauplog(readfile(std::string("small.nex.cd.") + k)));
    ASSERT_EQ(command("evaluate small.nex.log.2 small.nex.log.1").rc, 0);
    const json parts = json::parse(readfile("small.nex.log.ma.json"));
    ASSERT_EQ(run(lines({"1", "0", "small.nex.log.1"})).rc, 1);
    const json direct = json::parse(readfile("small.nex.log.1.ma.json"));

    const json null;
    const struct {
        const json& record;
        json answers, commandline, identity;
        std::vector<std::string> logs;
        int seed, read, used;
        json missing, outgroupname;
    } cases[] = {
        {dialogue, answers, null, null, {"small.nex.log"}, 1, 4, 4, json::array(), "lemur"},
        {parts, null, {"tolvi", "evaluate", "small.nex.log.2", "small.nex.log.1"}, identity,
         {"small.nex.log.2", "small.nex.log.1"}, 5, 4, 4, json::array(), null},
        {direct, {"1", "0", "small.nex.log.1"}, null, identity, {"small.nex.log.1"}, 5, 2, 2,
         {{{"replicates", {3, 4}}, {"reason", "not in the log"}}}, null},
    };
    const std::string data = readfile("small.nex");
    for (const auto& c : cases) {
        const json& r = c.record;
        EXPECT_EQ(r["schema_version"], 1);
        EXPECT_EQ(r["tolvi_version"], TOLVI_VERSION);
        EXPECT_EQ(r["date"], "2023-11-14T22:13:20Z");
        EXPECT_EQ(r["dialogue_answers"], c.answers);
        EXPECT_EQ(r["command_line"], c.commandline);
        EXPECT_EQ(r["run_identity"], c.identity);
        EXPECT_EQ(r["data_file"]["name"], "small.nex");
        EXPECT_EQ(r["data_file"]["size"], data.size());
        EXPECT_EQ(r["data_file"]["sha256"], sha256hex(data));
        EXPECT_EQ(r["data_file"]["characters"], 12);
        EXPECT_EQ(r["data_file"]["format"], "NEXUS");
        EXPECT_EQ(r["data_file"]["reading"], "NEXUS Class Library");
        EXPECT_EQ(r["data_file"]["excluded_characters"], json::array());
        EXPECT_EQ(r["data_file"]["taxa"], json({"Homo|sapiens", "Pan", "Gorilla", "1st|clone", "$weird", "Macaca",
                                                "Papio", "Lemur"}));
        EXPECT_EQ(r["groups"], json::parse(R"([{"number":0,"name":"humans","taxa":[1,4]},
            {"number":1,"name":"apes","taxa":[2,3,5]},{"number":2,"name":"oldworld","taxa":[6,7]}])"));
        EXPECT_EQ(r["outgroup"], json({{"number", 3}, {"name", c.outgroupname}, {"taxa", {8}}}));
        EXPECT_EQ(r["report_kind"], "comparison matrix");
        EXPECT_EQ(r["setting"], json({{"name", "*MLS3"}, {"text", "dset distance=p;"}}));
        EXPECT_EQ(r["seed"], c.seed);
        EXPECT_EQ(r["replicates"], json({{"asked", 4}, {"read", c.read}, {"used", c.used},
                                         {"left_out", json::array()}, {"missing", c.missing}}));
        ASSERT_EQ(r["logs"].size(), c.logs.size());
        for (std::size_t i = 0; i < c.logs.size(); ++i) {
            const std::string log = readfile(c.logs[i]);
            EXPECT_EQ(r["logs"][i], json({{"name", c.logs[i]}, {"size", log.size()}, {"sha256", sha256hex(log)}}));
        }
        const std::string report = r["results"]["report"];
        EXPECT_EQ(r["results"]["record"], report + ".json");
        EXPECT_TRUE(std::filesystem::exists(report + ".tsv") && std::filesystem::exists(report + ".svg"));
    }
    EXPECT_EQ(parts["parts"], json::parse(R"([{"part":1,"of":2,"replicates":[1,2],"run_identity":")" + identity +
                                          R"(","log":"small.nex.log.1"},{"part":2,"of":2,"replicates":[3,4],)"
                                          R"("run_identity":")" + identity + R"(","log":"small.nex.log.2"}])"));
    // One character more in the data file: another digest, the same run;
    // one base changed: another run.
    for (const std::string& changed : {data + " ", std::string(data).replace(data.find("TCGTTC"), 1, "A")}) {
        writefile("small.nex", changed);
        ASSERT_EQ(command("construct small.nex --groups small.grdef --setting 3 -b 4 --parts 2 --seed 5 --redo").rc, 0);
        const std::optional<runprovenance> run = findprovenance(readfile("small.nex.cd.1"));
        EXPECT_EQ(run->datafile.sha256, sha256hex(changed));
        EXPECT_EQ(run->identity == identity, changed.size() > data.size());
    }
}

}  // namespace

