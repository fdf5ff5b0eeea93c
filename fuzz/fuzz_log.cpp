// The PAUP log reader on any text, then the evaluation of what it read.
//
// Invariants: the fast reader gives the same table (bit for bit) and the same
// console text through any buffer size as the plain stream reader (also where
// undefined-distance messages leave matrices out); every
// record holds as many KOAs as KOBs; no row, record or triplet is made up
// (there are at most as many as the log has marker words and labels); the
// leave-one-out sums of every kernel and the whole summary are bit for bit
// those of the literal loops; the evaluation either writes a complete report
// or ends with its message.

#include <algorithm>
#include <cstring>
#include <sstream>

#include "common.h"
#include "driver.h"
#include "extractor.h"
#include "jack.h"
#include "leaveoneout.h"
#include "straightforward/straightforward.h"

namespace {

// The word quoted in the "number expected" message is the readers' own
// choice (the fast one quotes the whole word, the plain one what follows the
// characters the stream took); the rest of the text must agree.
std::string normalised(std::string console)
{
    const std::string lead = "A number was expected in the log, but the word \"";
    const std::size_t p = console.find(lead);
    if (p != std::string::npos) {
        const std::size_t q = console.find("\" was found there.", p + lead.size());
        if (q != std::string::npos)
            console.replace(p + lead.size(), q - p - lead.size(), "...");
    }
    return console;
}

bool samebits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b);
}

void sametable(const replicatetable& x, const replicatetable& y, const std::string& which)
{
    FUZZ_CHECK(x.size() == y.size(), which);
    for (std::size_t r = 0; r < x.size(); ++r) {
        FUZZ_CHECK(x[r].size() == y[r].size(), which + ", row " + std::to_string(r));
        for (std::size_t c = 0; c < x[r].size(); ++c) {
            const grcomp& g = x[r][c];
            const grcomp& h = y[r][c];
            const std::string at = which + ", row " + std::to_string(r) + ", record " + std::to_string(c);
            FUZZ_CHECK(g.grIDa == h.grIDa && g.grIDb == h.grIDb, at);
            FUZZ_CHECK(g.grnamea == h.grnamea && g.grnameb == h.grnameb, at);
            FUZZ_CHECK(g.KOAs.size() == h.KOAs.size() && g.KOBs.size() == h.KOBs.size(), at);
            for (std::size_t i = 0; i < g.KOAs.size(); ++i)
                FUZZ_CHECK(samebits(g.KOAs[i], h.KOAs[i]) && samebits(g.KOBs[i], h.KOBs[i]), at);
        }
    }
}

void wellformed(const replicatetable& t, const std::string& log)
{
    // A number read takes the front of a word and leaves the rest as a word
    // of its own ("1###begin"): count the words that hold a marker.
    std::size_t replicates = 0, begins = 0, labels = 0;
    for (const std::string& w : fuzzing::words(log)) {
        replicates += w.find("begin_bootstrap_replicate") != std::string::npos;
        begins += w.find("###begin") != std::string::npos;
        labels += w.find('$') != std::string::npos;
    }
    std::size_t records = 0, triplets = 0;
    for (const std::vector<grcomp>& row : t)
        for (const grcomp& g : row) {
            FUZZ_CHECK(g.KOAs.size() == g.KOBs.size(), "a record's two branch-length lists differ in length");
            ++records;
            triplets += g.KOAs.size();
        }
    FUZZ_CHECK(t.size() <= replicates, "more rows than replicate markers");
    FUZZ_CHECK(records <= begins, "more records than comparison markers");
    FUZZ_CHECK(triplets <= labels, "more triplets than labels");
}

void samestatistics(const replicatetable& table)
{
    for (const std::vector<grcomp>& row : table)
        for (const grcomp& g : row) {
            std::vector<float> plain;
            straightforward::leaveoneoutsums(g.KOAs, plain);
            for (simdlevel level : {simdlevel::portable, simdlevel::avx2, simdlevel::avx512}) {
                std::vector<float> sums(g.KOAs.size());
                if (!leaveoneoutsums(g.KOAs.data(), g.KOAs.size(), sums.data(), level))
                    continue;
                for (std::size_t i = 0; i < sums.size(); ++i)
                    FUZZ_CHECK(samebits(sums[i], plain[i]), "leave-one-out sum " + std::to_string(i));
            }
        }
    replicatetable fast = table;
    dropshortrows(fast);
    if (fast.empty() || fast[0].empty())
        return;
    replicatetable plain = fast;
    std::vector<grcomp> f, p;
    confint(fast, f);
    straightforward::confint(plain, p);
    FUZZ_CHECK(f.size() == p.size(), "summary sizes");
    for (std::size_t i = 0; i < f.size(); ++i) {
        FUZZ_CHECK(f[i].replicates == p[i].replicates, "replicates used for comparison " + std::to_string(i));
        const float a[] = {f[i].d, f[i].sdd, f[i].ratio, f[i].sdratio};
        const float b[] = {p[i].d, p[i].sdd, p[i].ratio, p[i].sdratio};
        for (int k = 0; k < 4; ++k)
            FUZZ_CHECK(samebits(a[k], b[k]), "summary of comparison " + std::to_string(i) + ", field " + std::to_string(k));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::enterworkdir();
    const std::string log(reinterpret_cast<const char*>(data), size);
    // A small buffer puts its boundaries everywhere in the log.
    const std::size_t small = 16 + (size > 0 ? data[size - 1] % 61 : 0);

    replicatetable fast, fastsmall, plain;
    std::ostringstream fastout, smallout, plainout;
    {
        std::istringstream in(log);
        extractor x(in, fast, fastout);
    }
    {
        // Small pieces read ahead on the second thread, every other input.
        std::istringstream in(log);
        extractor x(in, fastsmall, smallout, small, size % 2 == 1);
    }
    {
        std::istringstream in(log);
        straightforward::extract(in, plain, plainout);
    }
    FUZZ_CHECK(fastout.str() == smallout.str(), fastout.str() + "\n---\n" + smallout.str());
    FUZZ_CHECK(normalised(fastout.str()) == normalised(plainout.str()), fastout.str() + "\n---\n" + plainout.str());
    sametable(fast, fastsmall, "small buffer");
    sametable(fast, plain, "stream reader");
    wellformed(fast, log);
    samestatistics(fast);

    // The section of the alignment as read, also read again by the evaluation
    // for the results table.
    fuzzing::writefile("f.log", log);
    std::istringstream asreadin(log);
    for (const grcomp& g : readasread(asreadin))
        FUZZ_CHECK(g.KOAs.size() == g.KOBs.size(), "a comparison as read: branch-length lists differ in length");

    for (const bool ranking : {false, true}) {
        replicatetable t = fast;
        std::string report = "f.log";
        std::ostringstream out;
        const int rc = evaluate(t, "f.log", ranking, report, 0, true, out);
        const std::string console = out.str();
        if (rc == 0) {
            std::string text;
            FUZZ_CHECK(report == "f.log.ma", report);
            FUZZ_CHECK(fuzzing::readfile(report, text), "no report file");
            FUZZ_CHECK(fuzzing::endswith(text, "\n") && text.find("standard errors based on ") != std::string::npos,
                       text);
            for (const std::vector<grcomp>& row : t)
                FUZZ_CHECK(row.size() >= t[0].size(), "a short row reached the summary");
            FUZZ_CHECK(fuzzing::readfile("f.log.ma.tsv", text), "no results table");
            FUZZ_CHECK(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) == t[0].size() + 1, text);
            FUZZ_CHECK(fuzzing::readfile("f.log.ma.svg", text) && fuzzing::endswith(text, "</svg>\n"), "no figure");
        } else {
            FUZZ_CHECK(rc == 2, std::to_string(rc));
            FUZZ_CHECK(fuzzing::endswith(console, "no report is written.\n"), console);
        }
    }
    fuzzing::clearworkdir();
    return 0;
}
