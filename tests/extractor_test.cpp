#include <gtest/gtest.h>

#include <algorithm>
#include <ios>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "extractor.h"
#include "testutil.h"
#include "wordreader.h"

namespace {

// Reads the whole text with `ops`: 'w' a word, 'i' an int, 'f' a float; each
// result is listed as it would be printed, "EOF" after a read that ran into
// the end, "FAIL:<word>" after a number that could not be read.
std::string readall(const std::string& text, const std::string& ops, std::size_t buffer = 1 << 18,
                    bool prefetch = false)
{
    std::istringstream in(text);
    wordreader r(in, buffer, prefetch);
    std::ostringstream got;
    for (char op : ops) {
        bool ok;
        if (op == 'w') {
            std::string_view w;
            ok = r.word(w);
            if (ok)
                got << "[" << w << "]";
        } else if (op == 'i') {
            int v = 0;
            ok = r.number(v);
            if (ok)
                got << "i" << v;
        } else {
            float v = 0;
            ok = r.number(v);
            if (ok)
                got << "f" << v;
        }
        if (r.eof())
            got << "EOF";
        if (r.failed())
            got << "FAIL:" << r.badword();
        if (!ok || r.eof() || r.failed())
            break;
        got << " ";
    }
    return got.str();
}

TEST(WordReader, BehavesLikeFormattedExtraction)
{
    struct row {
        const char* text;
        const char* ops;
        const char* expected;
    };
    const row rows[] = {
        {"  alpha\tbeta\n gamma\n", "www", "[alpha] [beta] [gamma] "},
        {"alpha beta", "ww", "[alpha] [beta]EOF"},  // last word runs into the end
        {"alpha beta\n", "www", "[alpha] [beta] EOF"},
        {"12abc 7", "iwi", "i12 [abc] i7EOF"},  // a number takes only its prefix
        {"-3 +4 0x5", "iiiw", "i-3 i4 i0 [x5]EOF"},
        {"0.34326 1e-3 -.5 2.5e+1x", "ffffw", "f0.34326 f0.001 f-0.5 f25 [x]EOF"},
        {"1.2.3\n", "fw", "f1.2 [.3] "},
        {"abc", "i", "FAIL:abc"},
        {"- 5", "f", "FAIL:-"},
        {"+x", "i", "FAIL:+x"},
        {"1e", "f", "EOF"},  // cut off by the end: that is the end, not a bad word
        {"abc", "f", "FAIL:abc"},
        {"1e50 ", "f", "FAIL:1e50"},
        {"99999999999 ", "i", "FAIL:99999999999"},
        // too large is too large also at the very end: no digits cut off make it so
        {"-1e50", "f", "FAIL:-1e50"},
        {"0099999999999", "i", "FAIL:0099999999999"},
        {"  \n\t ", "w", "EOF"},
    };
    for (const row& r : rows)
        EXPECT_EQ(readall(r.text, r.ops), r.expected) << r.text;
}

TEST(WordReader, WordsAcrossBufferBoundaries)
{
    std::string text;
    std::string ops;
    std::string expected;
    for (int i = 0; i < 200; ++i) {
        std::string w = "w" + std::string(static_cast<std::size_t>(i % 37), 'x') + std::to_string(i);
        text += w + ((i % 3) ? " " : "\n\n");
        ops += 'w';
        expected += "[" + w + "] ";
        text += std::to_string(i * 7) + " " + std::to_string(i) + ".25 ";
        ops += "if";
        expected += "i" + std::to_string(i * 7) + " f" + std::to_string(i) + ".25 ";
    }
    for (bool prefetch : {false, true}) {
        for (std::size_t buffer : {16u, 17u, 61u, 4096u})
            EXPECT_EQ(readall(text, ops, buffer, prefetch), expected) << buffer;
        // A single word longer than the buffer (and than the room a read-ahead
        // piece keeps for an unfinished word).
        const std::string longword(70000, 'q');
        EXPECT_EQ(readall(longword + " x", "ww", 16, prefetch), "[" + longword + "] [x]EOF");
    }
}

TEST(WordReader, SkippingToAWordWithGivenCharacters)
{
    // wordwith() must read exactly as a loop of word() that stops at the
    // first word holding one of the characters, whatever the buffer size.
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += (i % 5 == 0) ? "ab$" + std::to_string(i) : (i % 7 == 0) ? "###end" : "word" + std::to_string(i);
        text += std::string(static_cast<std::size_t>(1 + i % 4), i % 3 ? ' ' : '\n');
        if (i % 11 == 0)
            text += std::string(40, 'x') + "N" + std::string(30, 'y') + " ";
    }
    for (const std::string& t : {text, text + "end$"}) {
        for (std::size_t buffer : {16u, 23u, 64u, 1000u}) {
            std::istringstream in1(t), in2(t);
            wordreader fast(in1, buffer, buffer % 2 == 0), plain(in2, buffer);
            for (;;) {
                std::string_view w, v;
                const bool got = fast.wordwith(w, '$', '#', 'N');
                bool found = false;
                while (plain.word(v) && !plain.eof())
                    if (v.find_first_of("$#N") != std::string_view::npos) {
                        found = true;
                        break;
                    }
                if (plain.eof() && !found && !v.empty() && v.find_first_of("$#N") != std::string_view::npos)
                    found = true;
                ASSERT_EQ(got, found) << buffer;
                ASSERT_EQ(fast.eof(), plain.eof()) << buffer;
                if (!got)
                    break;
                ASSERT_EQ(w, v) << buffer;
                if (fast.eof())
                    break;
            }
        }
    }
}

TEST(GroupMarks, ExactMarkTest)
{
    struct row {
        const char* label;
        int group;
        bool has;
    };
    const row rows[] = {
        {"$1Apes", 1, true},     {"$1Apes", 2, false},  {"$12Apes", 1, false}, {"$12Apes", 12, true},
        {"$1$12x", 1, true},     {"$1$12x", 12, true},  {"$2$0name", 0, true}, {"$2$0name", 2, true},
        {"$0|12abc", 0, true},   {"$0|12abc", 12, false}, {"$0|$1abc", 1, false}, {"x$1", 1, false},
        {"$-3Out", -3, true},    {"$-3Out", 3, false},  {"$$1", 1, true},      {"$", 0, false},
    };
    for (const row& r : rows)
        EXPECT_EQ(hasmark(r.label, groupmark(r.group)), r.has) << r.label << " " << r.group;
}

TEST(GroupMarks, EveryRowOrderGivesTheSameRoles)
{
    // Distances of A-B 0.3, A-C 0.5, B-C 0.4 printed in all six row orders.
    const std::string a = "$0a", b = "$1b", c = "$2c";
    struct row {
        std::string t1, t2, t3;
        float k1, k2, k3;  // rows (1,2), (1,3), (2,3)
    };
    const row rows[] = {
        {a, b, c, 0.3f, 0.5f, 0.4f}, {a, c, b, 0.5f, 0.3f, 0.4f}, {b, a, c, 0.3f, 0.4f, 0.5f},
        {b, c, a, 0.4f, 0.3f, 0.5f}, {c, a, b, 0.5f, 0.4f, 0.3f}, {c, b, a, 0.4f, 0.5f, 0.3f},
    };
    for (const row& r : rows) {
        const tripletroles t = assignroles(r.t1, r.t2, r.t3, "$0", "$1", r.k1, r.k2, r.k3);
        EXPECT_EQ(t.KAB, 0.3f) << r.t1 << r.t2 << r.t3;
        EXPECT_EQ(t.KAC, 0.5f) << r.t1 << r.t2 << r.t3;
        EXPECT_EQ(t.KBC, 0.4f) << r.t1 << r.t2 << r.t3;
    }
}

TEST(GroupMarks, TaxonInBothComparedGroupsPlaysEitherRole)
{
    // Taxon "$1$0x" lies in groups 0 and 1. As the B taxon in the first row it
    // must still be taken as B, because the second row carries only group 0.
    tripletroles t = assignroles("$1$0x", "$0y", "$2o", "$0", "$1", 0.3f, 0.4f, 0.5f);
    EXPECT_EQ(t.KAB, 0.3f);
    EXPECT_EQ(t.KAC, 0.5f);
    EXPECT_EQ(t.KBC, 0.4f);
    // As the A taxon in the first row, with the B taxon second.
    t = assignroles("$1$0x", "$1y", "$2o", "$0", "$1", 0.3f, 0.4f, 0.5f);
    EXPECT_EQ(t.KAB, 0.3f);
    EXPECT_EQ(t.KAC, 0.4f);
    EXPECT_EQ(t.KBC, 0.5f);
    // Unmarked labels fall back on the first two rows, the A test first.
    t = assignroles("p", "q", "r", "$0", "$1", 0.3f, 0.4f, 0.5f);
    EXPECT_EQ(t.KAB, 0.5f);
    EXPECT_EQ(t.KAC, 0.4f);
    EXPECT_EQ(t.KBC, 0.3f);
}

// A triplet matrix as PAUP prints it, labels in data-block order.
std::string matrix(const std::string& l1, const std::string& l2, const std::string& l3, const char* d12,
                   const char* d13, const char* d23)
{
    return "\n%triplet 1 2 3\nJukes-Cantor distance matrix\n  898 characters are included\n\n"
           "                1        2        3\n 1 " +
           l1 + "        -\n 2 " + l2 + "   " + d12 + "        -\n 3 " + l3 + "   " + d13 + "  " + d23 +
           "        -\n\n%endtriplet\n";
}

struct extraction {
    replicatetable table;
    std::string console;
};

extraction extract(const std::string& log)
{
    std::istringstream in(log);
    extraction e;
    std::ostringstream out;
    extractor x(in, e.table, out);
    e.console = out.str();
    return e;
}

const std::string M1 = matrix("$0a", "$1b", "$2c", "0.30000", "0.50000", "0.40000");  // KOA 0.2, KOB 0.1
const std::string M2 = matrix("$2c", "$1b", "$0a", "0.25000", "0.75000", "0.50000");  // KOA 0.5, KOB 0

std::string comparison(const std::string& body, int a = 0, int b = 1)
{
    return "\n###begin " + std::to_string(a) + " " + std::to_string(b) + " GroupX versus GroupY \n" + body +
           "\n###end " + std::to_string(a) + " " + std::to_string(b) + "\n";
}

std::string replicate(int n, const std::string& body)
{
    return "\nbegin_bootstrap_replicate " + std::to_string(n) + "\n" + body + "\n$$$end of Tolvi bootstrap replicate\n" +
           "\nend_bootstrap_replicate " + std::to_string(n) + "\n";
}

TEST(Extractor, ReadsReplicatesAndSkipsTheUnresampledSection)
{
    const std::string log = "P A U P *\n[taxa] 1 $0a 2 $1b\n" + comparison(M1 + M1 + M1) +
                            "\n$$$end of Tolvi bootstrap replicate\n" + replicate(7, comparison(M1 + M2)) +
                            replicate(3, comparison(M2) + comparison(M1, 0, 2)) + "\nbootstrap_end\n" +
                            replicate(9, comparison(M1));
    const extraction e = extract(log);
    EXPECT_EQ(e.console, "bootstrap replicate 7\nbootstrap replicate 3\n\n\nlast bootstr repl!\n\n");
    ASSERT_EQ(e.table.size(), 2u);
    ASSERT_EQ(e.table[0].size(), 1u);
    const grcomp& g = e.table[0][0];
    EXPECT_EQ(g.grIDa, 0);
    EXPECT_EQ(g.grIDb, 1);
    EXPECT_EQ(g.grnamea, "GroupX");
    EXPECT_EQ(g.grnameb, "GroupY");
    // KOA = KAC - ((KBC + KAC) - KAB) / 2 in double from the float distances.
    const double kab = 0.3f, kac = 0.5f, kbc = 0.4f;
    EXPECT_EQ(g.KOAs, (std::vector<float>{static_cast<float>(kac - ((kbc + kac) - kab) / 2.0), 0.5f}));
    EXPECT_EQ(g.KOBs, (std::vector<float>{static_cast<float>(kbc - ((kbc + kac) - kab) / 2.0), 0.0f}));
    EXPECT_EQ(g.d, 0.0f);
    ASSERT_EQ(e.table[1].size(), 2u);
    EXPECT_EQ(e.table[1][1].grIDb, 2);
    // In the comparison of groups 0 and 2, M1's "$2c" is the B taxon.
    EXPECT_EQ(e.table[1][1].KOAs.size(), 1u);
}

TEST(Extractor, EndOfFileAtEveryLevel)
{
    struct row {
        std::string log;
        std::string console;
        std::vector<std::size_t> triplets;  // per record of the last row
        std::size_t rows;
    };
    const std::string head = "\nbegin_bootstrap_replicate 1\n\n###begin 0 1 GroupX versus GroupY\n" + M1;
    const row rows[] = {
        // Inside a comparison: three messages, the partial record and row kept.
        {head, "bootstrap replicate 1\n\n\nEnd of file reached!\n\n\n\nEof!\n\n\n\nEof!\n\n", {1}, 1},
        // "###end" as the very last word counts as cut off.
        {head + "###end", "bootstrap replicate 1\n\n\nEnd of file reached!\n\n\n\nEof!\n\n\n\nEof!\n\n", {1}, 1},
        // Inside a matrix: the cut matrix adds no triplet.
        {head + matrix("$0a", "$1b", "$2c", "0.3", "0.5", "0.4").substr(0, 150),
         "bootstrap replicate 1\n\n\nEnd of file reached!\n\n\n\nEof!\n\n\n\nEof!\n\n", {1}, 1},
        // Between comparisons.
        {head + "###end 0 1\n", "bootstrap replicate 1\n\n\nEof!\n\n\n\nEof!\n\n", {1}, 1},
        // Outside a replicate, without "bootstrap_end".
        {head + "###end 0 1\nend_bootstrap_replicate 1\n", "bootstrap replicate 1\n\n\nEof!\n\n", {1}, 1},
        // "end_bootstrap_replicate" and "bootstrap_end" as last words still count.
        {head + "###end 0 1\nend_bootstrap_replicate", "bootstrap replicate 1\n\n\nEof!\n\n", {1}, 1},
        {head + "###end 0 1\nend_bootstrap_replicate 1 bootstrap_end", "bootstrap replicate 1\n\n\nlast bootstr repl!\n\n",
         {1}, 1},
        // Right after a replicate marker: no made-up replicate number, no row.
        {"begin_bootstrap_replicate", "\n\nEof!\n\n", {}, 0},
        {"", "\n\nEof!\n\n", {}, 0},
        // Inside a begin line: the record is kept, without triplets.
        {"begin_bootstrap_replicate 1\n###begin 0 1 GroupX",
         "bootstrap replicate 1\n\n\nEnd of file reached!\n\n\n\nEof!\n\n\n\nEof!\n\n", {0}, 1},
    };
    for (const row& r : rows) {
        const extraction e = extract(r.log);
        EXPECT_EQ(e.console, r.console) << r.log;
        ASSERT_EQ(e.table.size(), r.rows) << r.log;
        if (r.rows == 0)
            continue;
        const std::vector<grcomp>& last = e.table.back();
        ASSERT_EQ(last.size(), r.triplets.size()) << r.log;
        for (std::size_t i = 0; i < last.size(); ++i) {
            EXPECT_EQ(last[i].KOAs.size(), r.triplets[i]) << r.log;
            EXPECT_EQ(last[i].KOBs.size(), r.triplets[i]) << r.log;
        }
    }
}

TEST(Extractor, WordWhereANumberBelongsStopsTheReading)
{
    struct row {
        std::string log;
        std::string word;
        std::size_t rows;
        std::size_t records;  // in the last row
        std::size_t triplets; // in the last record
    };
    const std::string rep1 = replicate(1, comparison(M1 + M2));
    const row rows[] = {
        {rep1 + "begin_bootstrap_replicate two\n" + comparison(M1), "two", 1, 1, 2},
        {rep1 + "begin_bootstrap_replicate 2\n###begin 0 x GroupX versus GroupY\n" + M1, "x", 2, 0, 0},
        {rep1 + "begin_bootstrap_replicate 2\n###begin 0 1 GroupX versus GroupY\n" + M1 +
             matrix("$0a", "$1b", "$2c", "0.3", "n/a", "0.4"),
         "n/a", 2, 1, 1},
    };
    // Also as the log's last word.
    const extraction last = extract(rep1 + "begin_bootstrap_replicate 2\n###begin 0 99999999999");
    EXPECT_NE(last.console.find("\"99999999999\""), std::string::npos) << last.console;
    ASSERT_EQ(last.table.size(), 2u);
    EXPECT_TRUE(last.table.back().empty());
    for (const row& r : rows) {
        const extraction e = extract(r.log + "\nbootstrap_end\n");
        EXPECT_NE(e.console.find("\"" + r.word + "\""), std::string::npos) << e.console;
        EXPECT_EQ(e.console.find("last bootstr repl"), std::string::npos);
        EXPECT_EQ(e.console.find("Eof"), std::string::npos);
        ASSERT_EQ(e.table.size(), r.rows);
        ASSERT_EQ(e.table.back().size(), r.records);
        if (r.records > 0) {
            EXPECT_EQ(e.table.back().back().KOAs.size(), r.triplets);
        }
    }
}

TEST(Extractor, UndefinedDistanceCostsExactlyItsTriplet)
{
    // PAUP's message stands before the matrix it concerns; that matrix is left
    // out, and the comparison reads on. The record must be the one read from
    // the same log without the message and its matrix.
    const std::string byno = "\nNo data for comparing taxa 1 and 2. Distance is undefined.\n";
    const std::string bylabel = "\nNo data for comparing taxa $0a and $1b. Distance is undefined.\n";
    const std::string saturated = "\nNo finite Jukes-Cantor distance for taxa 1 and 3 (p >= 0.75). Distance is "
                                  "undefined.\n";
    const std::string M3 = matrix("$0a", "$1b", "$2c", "9.00000", "0.10000", "4.00000");
    struct row {
        std::string with, without;
    };
    const row rows[] = {
        {M1 + byno + M3 + M2, M1 + M2},              // in the middle
        {byno + M3 + M2 + M1, M2 + M1},              // first
        {M2 + bylabel + M3, M2},                     // last; labels in the message are no matrix
        {M1 + byno + saturated + M3 + M1, M1 + M1},  // two messages, one matrix
        {M1 + bylabel, M1},                          // no matrix follows
        // A "No" of some other text, without the message's end: the comparison ends there.
        {M2 + "\nNo topological constraints in effect\n" + M1, M2},
    };
    const std::string warning =
        "\nWARNING: 4 12 distance matrix contains undefined distance(s).\nThese have been arbitrarily set to 2 "
        "times the maximum defined distance by PAUP.\n Meaningless values would result.\nTriplet ignored by "
        "Tolvi\nRecommendation: Please make sure that distance between all sequence pairs can be "
        "calculated.\nIf this is not the case, PAUP outputs the error message: No data for comparing taxa x and "
        "y. Distance is undefined.\n\n";
    auto log = [](const std::string& body) {
        return replicate(1, comparison(body, 4, 12) + comparison(M2 + M2, 4, 5)) + "bootstrap_end";
    };
    for (const row& r : rows) {
        const extraction got = extract(log(r.with)), want = extract(log(r.without));
        EXPECT_EQ(got.console, "bootstrap replicate 1\n" + warning + "\n\nlast bootstr repl!\n\n") << r.with;
        ASSERT_EQ(got.table.size(), 1u);
        ASSERT_EQ(got.table[0].size(), 2u) << r.with;
        EXPECT_EQ(got.table[0][0].KOAs, want.table[0][0].KOAs) << r.with;
        EXPECT_EQ(got.table[0][0].KOBs, want.table[0][0].KOBs) << r.with;
        EXPECT_EQ(got.table[0][1].KOAs.size(), 2u) << r.with;  // the next comparison as usual
    }
    // Cut off inside the message: the end of the log as anywhere in a comparison.
    const extraction cut = extract("begin_bootstrap_replicate 1\n###begin 4 12 X versus Y\n" + M1 +
                                   byno.substr(0, 30));
    EXPECT_EQ(cut.console,
              "bootstrap replicate 1\n" + warning + "\n\nEnd of file reached!\n\n\n\nEof!\n\n\n\nEof!\n\n");
    EXPECT_EQ(cut.table.at(0).at(0).KOAs.size(), 1u);
}

TEST(Extractor, MissingEndWordsSwallowWhatFollows)
{
    // Without "###end" the next begin line is skipped and its matrices join
    // the open record; without "end_bootstrap_replicate" the next replicate's
    // comparisons join the open row.
    std::string log = "begin_bootstrap_replicate 1\n###begin 0 1 GroupX versus GroupY\n" + M1 +
                      comparison(M2) + "end_bootstrap_replicate 1\n";
    extraction e = extract(log + "bootstrap_end");
    ASSERT_EQ(e.table.size(), 1u);
    ASSERT_EQ(e.table[0].size(), 1u);
    EXPECT_EQ(e.table[0][0].KOAs.size(), 2u);

    log = "begin_bootstrap_replicate 1\n" + comparison(M1) + replicate(2, comparison(M2)) + "bootstrap_end";
    e = extract(log);
    EXPECT_EQ(e.console, "bootstrap replicate 1\n\n\nlast bootstr repl!\n\n");
    ASSERT_EQ(e.table.size(), 1u);
    EXPECT_EQ(e.table[0].size(), 2u);
}

// A file buffer that fails with an exception after handing out `good` bytes,
// as the one of a folder or of a failing device does.
class failingbuf : public std::streambuf {
public:
    failingbuf(std::string text, std::size_t good) : text_(std::move(text)), good_(good) {}

protected:
    std::streamsize xsgetn(char* s, std::streamsize n) override
    {
        if (pos_ >= good_)
            throw std::ios_base::failure("read error");
        const std::size_t k = std::min(static_cast<std::size_t>(n), good_ - pos_);
        text_.copy(s, k, pos_);
        pos_ += k;
        return static_cast<std::streamsize>(k);
    }

private:
    std::string text_;
    std::size_t good_, pos_ = 0;
};

TEST(Extractor, ReadErrorStopsTheReadingWithAMessage)
{
    const std::string log = replicate(1, comparison(M1)) + replicate(2, comparison(M2)) + "bootstrap_end";
    for (bool prefetch : {false, true}) {
        failingbuf buf(log, log.find("begin_bootstrap_replicate 2"));
        std::istream in(&buf);
        extraction e;
        std::ostringstream out;
        extractor x(in, e.table, out, 16, prefetch);
        EXPECT_EQ(out.str(), "bootstrap replicate 1\n\n\nEof!\n\n\n\nThe log could not be read to its end (a read "
                             "error; a folder is no log): reading stops, what was read before is kept.\n\n");
        ASSERT_EQ(e.table.size(), 1u);
        EXPECT_EQ(e.table[0][0].KOAs.size(), 1u);
    }

    tempdir dir;  // a folder given as the log ends the same way instead of crashing
    std::string name = ".";
    replicatetable table;
    std::ostringstream folder;
    extractor y(name, table, folder);
    EXPECT_NE(folder.str().find("The log could not be read to its end"), std::string::npos);
    EXPECT_TRUE(table.empty());
}

}  // namespace
