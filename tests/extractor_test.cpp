#include <gtest/gtest.h>

#include <algorithm>
#include <ios>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "extractor.h"
#include "sha256.h"
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
        {"-2.5e+1 +7e0 -1e-3", "fff", "f-25 f7 f-0.001EOF"},
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
        for (std::size_t buffer : {3u, 16u, 1u << 18})
            for (bool prefetch : {false, true})
                EXPECT_EQ(readall(r.text, r.ops, buffer, prefetch), r.expected) << r.text << " " << buffer;
    // A single word longer than the buffer and than the room a read-ahead
    // piece keeps for an unfinished word.
    const std::string longword(70000, 'q');
    for (bool prefetch : {false, true})
        EXPECT_EQ(readall(longword + " x", "ww", 16, prefetch), "[" + longword + "] [x]EOF");
    // The digest taken beside the reading covers every character, in order,
    // however far the words were read and whoever read the pieces.
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "w" + std::to_string(i * 7919 % 1000) + (i % 9 ? " " : "\n");
    for (const std::string& t : {text, longword + " x " + text, std::string()})
        for (std::size_t buffer : {16u, 4096u})
            for (int words : {0, 5, 100000}) {
                std::istringstream in(t);
                sha256 digest;
                wordreader r(in, buffer, buffer == 16 || words == 5, &digest);
                std::string_view w;
                for (int k = 0; k < words && r.word(w); ++k) {
                }
                EXPECT_EQ(r.drain(), t.size()) << buffer << " " << words;
                EXPECT_EQ(digest.hex(), sha256hex(t)) << buffer << " " << words;
            }
}

TEST(WordReader, SkippingToAWordWithGivenCharacters)
{
    // wordwith() reads as a loop of word() that stops at the first word
    // holding one of the characters, whatever the buffer size.
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += (i % 5 == 0 ? "ab$" + std::to_string(i) : i % 7 == 0 ? "###end" : "word" + std::to_string(i)) +
                std::string(static_cast<std::size_t>(1 + i % 4), i % 3 ? ' ' : '\n') +
                (i % 11 == 0 ? std::string(40, 'x') + "N" + std::string(30, 'y') + " " : "");
    for (const std::string& t : {text, text + "end$"})
        for (std::size_t buffer : {16u, 23u, 64u, 1000u}) {
            std::istringstream in1(t), in2(t);
            wordreader fast(in1, buffer, buffer % 2 == 0), plain(in2, buffer);
            std::string_view w, v;
            while (fast.wordwith(w, '$', '#', 'N')) {
                while (plain.word(v) && v.find_first_of("$#N") == std::string_view::npos) {
                }
                ASSERT_EQ(w, v) << buffer;
            }
            while (plain.word(v))  // nothing the fast reading passed over
                ASSERT_EQ(v.find_first_of("$#N"), std::string_view::npos) << v << " " << buffer;
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

TEST(GroupMarks, RolesOfTheTripletsTaxa)
{
    // Distances printed in rows (1,2), (1,3), (2,3); the roles give A-B, A-C, B-C.
    const std::string a = "$0a", b = "$1b", c = "$2c";
    const struct {
        std::string t1, t2, t3;
        float k1, k2, k3, distab, distac, distbc;
    } rows[] = {
        // every row order of A-B 0.3, A-C 0.5, B-C 0.4
        {a, b, c, 0.3f, 0.5f, 0.4f, 0.3f, 0.5f, 0.4f}, {a, c, b, 0.5f, 0.3f, 0.4f, 0.3f, 0.5f, 0.4f},
        {b, a, c, 0.3f, 0.4f, 0.5f, 0.3f, 0.5f, 0.4f}, {b, c, a, 0.4f, 0.3f, 0.5f, 0.3f, 0.5f, 0.4f},
        {c, a, b, 0.5f, 0.4f, 0.3f, 0.3f, 0.5f, 0.4f}, {c, b, a, 0.4f, 0.5f, 0.3f, 0.3f, 0.5f, 0.4f},
        // "$1$0x" lies in both groups: B in the first row, since the second carries only group 0 ...
        {"$1$0x", "$0y", "$2o", 0.3f, 0.4f, 0.5f, 0.3f, 0.5f, 0.4f},
        // ... and A when the B taxon comes second
        {"$1$0x", "$1y", "$2o", 0.3f, 0.4f, 0.5f, 0.3f, 0.4f, 0.5f},
        // unmarked labels fall back on the first two rows, the A test first
        {"p", "q", "r", 0.3f, 0.4f, 0.5f, 0.5f, 0.4f, 0.3f},
    };
    for (const auto& r : rows) {
        const tripletroles t = assignroles(r.t1, r.t2, r.t3, "$0", "$1", r.k1, r.k2, r.k3);
        EXPECT_EQ(t.distab, r.distab) << r.t1 << r.t2 << r.t3;
        EXPECT_EQ(t.distac, r.distac) << r.t1 << r.t2 << r.t3;
        EXPECT_EQ(t.distbc, r.distbc) << r.t1 << r.t2 << r.t3;
    }
}

const std::string triplet = "\n###begin 0 1 X versus Y \n 1 $0a - 2 $1b 0.3 - 3 $2c 0.5 0.4 -\n###end 0 1\n";

std::string replicate(int n)
{
    return "begin_bootstrap_replicate " + std::to_string(n) + triplet + "end_bootstrap_replicate\n";
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
    const std::string log = replicate(1) + replicate(2) + "bootstrap_end";
    for (bool prefetch : {false, true}) {
        failingbuf buf(log, log.find("begin_bootstrap_replicate 2"));
        std::istream in(&buf);
        replicatetable table;
        std::ostringstream out;
        extractor x(in, table, out, 16, prefetch);
        EXPECT_EQ(out.str(), "bootstrap replicate 1\n\n\nEof!\n\n\n\nThe log could not be read to its end (a read "
                             "error; a folder is no log): reading stops, what was read before is kept.\n\n");
        ASSERT_EQ(table.size(), 1u);
        EXPECT_EQ(table[0][0].brancha.size(), 1u);
    }
}

}  // namespace
