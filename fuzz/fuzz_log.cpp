// The PAUP log reader on any text, then the evaluation of what it read.
//
// Invariants: the fast reader gives the same table (bit for bit) and the same
// console text through any buffer size, read ahead or not, as the plain
// stream reader; the whole summary is bit for bit that of the literal
// jackknife; the evaluation either writes a
// complete report with its table and figure, or ends with its message.

#include "common.h"

namespace {

// The word quoted in the "number expected" message is the readers' own
// choice (the fast one quotes the whole word, the plain one what follows the
// characters the stream took); the rest of the text must agree.
std::string normalised(std::string console)
{
    const std::string lead = "A number was expected in the log, but the word \"";
    const std::size_t p = console.find(lead), q = console.find("\" was found there.", p + lead.size());
    if (p != std::string::npos && q != std::string::npos)
        console.replace(p + lead.size(), q - p - lead.size(), "...");
    return console;
}

void samestatistics(const replicatetable& table)
{
    replicatetable fast = table;
    if (fast.empty() || fast[0].empty())
        return;
    std::erase_if(fast, [&](const std::vector<comparisonrecord>& row) { return row.size() < table[0].size(); });
    if (fast.empty())
        return;
    replicatetable plain = fast;
    std::vector<comparisonrecord> f, p;
    reducereplicates(fast, f);
    straightforward::reducereplicates(plain, p);
    auto summary = [](const std::vector<comparisonrecord>& s) {  // the bits, every NaN alike
        std::string text;
        for (const comparisonrecord& g : s)
            for (float v : {g.d, g.sed, g.ratio, g.seratio, static_cast<float>(g.replicates)})
                text += std::to_string(v != v ? 0x7fc00000u : std::bit_cast<std::uint32_t>(v)) + " ";
        return text;
    };
    FUZZ_CHECK(summary(f) == summary(p), "the summary differs from the literal jackknife's");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::freshworkdir();
    const std::string log(reinterpret_cast<const char*>(data), size);
    // A small buffer puts its boundaries everywhere in the log; small pieces
    // are read ahead on the second thread every other input.
    const std::size_t small = 16 + (size > 0 ? data[size - 1] % 61 : 0);
    replicatetable fast, fastsmall, plain;
    std::ostringstream fastout, smallout, plainout;
    std::istringstream in1(log), in2(log), in3(log);
    const extractor reading(in1, fast, fastout);
    { extractor x(in2, fastsmall, smallout, small, size % 2 == 1); }
    straightforward::extract(in3, plain, plainout);
    FUZZ_CHECK(fastout.str() == smallout.str(), fastout.str() + "\n---\n" + smallout.str());
    FUZZ_CHECK(normalised(fastout.str()) == normalised(plainout.str()), fastout.str() + "\n---\n" + plainout.str());
    FUZZ_CHECK(straightforward::tabletext(fast) == straightforward::tabletext(fastsmall), "the table read through a small buffer differs");
    FUZZ_CHECK(straightforward::tabletext(fast) == straightforward::tabletext(plain), "the table of the stream reader differs");
    samestatistics(fast);

    // The evaluation reads the log's section of the alignment as read again.
    fuzzing::writefile("f.log", log);
    for (const bool ranking : {false, true}) {
        replicatetable t = fast;
        evaluation how;
        how.logname = how.reportname = "f.log";
        how.ranking = ranking;
        how.direct = true;
        runrecord record;
        std::ostringstream out;
        const int rc = evaluate(t, reading, how, record, out, out);
        if (rc != 0) {
            FUZZ_CHECK(rc == 2 && out.str().ends_with("no report is written.\n"), std::to_string(rc) + out.str());
            continue;
        }
        FUZZ_CHECK(record.report == "f.log.ma", record.report);
        fuzzing::completereport(record.report, out.str());
        FUZZ_CHECK(fuzzing::readfile("f.log.ma.json").ends_with("}\n"), "no run record");
        const std::string table = fuzzing::readfile("f.log.ma.tsv");
        FUZZ_CHECK(std::count(table.begin(), table.end(), '\n') == static_cast<long>(t[0].size()) + 1, table);
        FUZZ_CHECK(fuzzing::readfile("f.log.ma.svg").ends_with("</svg>\n"), "no figure");
    }
    return 0;
}
