// A whole run of the program: the input is standard input and the files of
// the working folder, separated by the byte 0x1e (written RS here), in this
// order:
//   answers RS d.nex RS MLS RS usertree RS g.grdef RS d.nex.log
// A part that is missing leaves its file out. The answers name the files
// (the seeds use these names); answers with a "/" are refused, so that the
// run never reaches beyond its own empty folder.
//
// Invariants: the exit value is 0, 1 or 2; every end with 2 says why the run
// stops; the files the run was given are never written; a run that hands
// over the command file has written it to its end, with its replicates
// numbered 1 .. n and every triplet naming three different taxa of the data
// block; a run that ends with 0 has written the whole report, a run that
// ends with 1 the template, the report of the direct road, or said that the
// setting was not found; a run that says it wrote no report has written none.

#include <algorithm>

#include "abfrage.h"
#include "commander.h"
#include "common.h"
#include "driver.h"

namespace {

const char* const filenames[] = {"d.nex", "MLS", "usertree", "g.grdef", "d.nex.log"};

// A bound on the work a run may do: the command file repeats the comparison
// sections (outgroup x group x group taxa) and the data block once per
// bootstrap replicate, so a few numbers in the answers can ask for hours of
// writing. The number of taxon entries is bounded by the numbers in the
// answers (ranges counted in full) and the words of the definition file; the
// replicate count by the largest number in the answers.
bool affordable(const std::string& answers, const std::string& nexus, const std::string& grdef)
{
    const double cap = 1e9;
    double entries = static_cast<double>(fuzzing::words(grdef).size());
    double largest = 0;
    double previous = -1;  // the number before a "-", if any
    for (std::size_t i = 0; i < answers.size();) {
        if (answers[i] < '0' || answers[i] > '9') {
            ++i;
            continue;
        }
        double v = 0;
        for (; i < answers.size() && answers[i] >= '0' && answers[i] <= '9'; ++i)
            v = std::min(cap, v * 10 + (answers[i] - '0'));
        largest = std::max(largest, v);
        entries += previous >= 0 ? std::max(1.0, std::min(v, double(rangelimit) + 1) - previous) : 1;
        std::size_t j = i;
        while (j < answers.size() && fuzzing::isspacechar(answers[j]))
            ++j;
        previous = j < answers.size() && answers[j] == '-' ? v : -1;
    }
    const double work = (largest + 1) * (entries * entries * entries + static_cast<double>(nexus.size()) + 1);
    return work <= 2e7;
}

std::string between(const std::string& s, const std::string& lead, const std::string& tail)
{
    const std::size_t p = s.find(lead);
    if (p == std::string::npos)
        return {};
    const std::size_t q = s.find(tail, p + lead.size());
    return q == std::string::npos ? std::string() : s.substr(p + lead.size(), q - p - lead.size());
}

// The reports in the working folder, complete or not.
std::vector<std::string> reports()
{
    std::vector<std::string> r;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(".", ec))
        if (fuzzing::endswith(e.path().filename().string(), ".ma"))
            r.push_back(e.path().filename().string());
    return r;
}

void completereport(const std::string& name, const std::string& console)
{
    std::string text;
    FUZZ_CHECK(fuzzing::readfile(name, text), "no report " + name + "\n" + console);
    FUZZ_CHECK(fuzzing::endswith(text, "\n") && text.find("standard errors based on ") != std::string::npos,
               name + ":\n" + text);
}

// The command file handed over: complete, replicates numbered from 1 on,
// every restored triplet three different taxa of the data block.
void completecommandfile(const std::string& name, const std::string& detail)
{
    std::string cd;
    FUZZ_CHECK(fuzzing::readfile(name, cd), detail);
    FUZZ_CHECK(fuzzing::endswith(cd, "\n\n[!bootstrap_end\n\n]"), "the command file is not complete\n" + detail);
    const std::string dim = between(cd, "dimensions ntax=", " ");
    FUZZ_CHECK(!dim.empty(), detail);
    const long ntax = std::stol(dim);
    long replicates = 0;
    for (std::size_t p = cd.find("[!\nbegin_bootstrap_replicate "); p != std::string::npos;
         p = cd.find("[!\nbegin_bootstrap_replicate ", p + 1))
        FUZZ_CHECK(std::stol(cd.substr(p + 29, 12)) == ++replicates, "replicate markers out of order\n" + detail);
    FUZZ_CHECK(replicates >= 1, "no replicate\n" + detail);
    // The triplets Tolvi writes (the settings copied from "MLS" may hold any command).
    const std::string restore = "\ndelete all;\nrestore ";
    for (std::size_t p = cd.find(restore); p != std::string::npos; p = cd.find(restore, p + 1)) {
        std::istringstream s(cd.substr(p + restore.size(), 40));
        long o = 0, a = 0, b = 0;
        s >> o >> a >> b;
        FUZZ_CHECK(s && o != a && o != b && a != b && o >= 1 && a >= 1 && b >= 1 && o <= ntax && a <= ntax && b <= ntax,
                   "a triplet that PAUP cannot show: " + cd.substr(p, 30) + "\n" + detail);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzing::enterworkdir();
    std::vector<std::string> parts = fuzzing::split(data, size, 0x1e);
    const std::size_t given = parts.size() - 1;  // files
    parts.resize(std::max<std::size_t>(parts.size(), 6));
    const std::string answers = parts[0];
    if (answers.find('/') != std::string::npos || !affordable(answers, parts[1], parts[4]))
        return -1;

    fuzzing::clearworkdir();
    for (std::size_t k = 0; k < 5 && k < given; ++k)
        fuzzing::writefile(filenames[k], parts[k + 1]);

    std::istringstream in(answers);
    std::ostringstream out;
    const int rc = tolvi(in, out);
    std::string console = out.str();
    const std::string detail = "exit value " + std::to_string(rc) + "\n" + console;
    if (fuzzing::endswith(console, "\ncommander destructed\n"))
        console.resize(console.size() - std::string("\ncommander destructed\n").size());

    FUZZ_CHECK(rc == 0 || rc == 1 || rc == 2, detail);
    for (std::size_t k = 0; k < 5 && k < given; ++k) {
        std::string text;
        FUZZ_CHECK(fuzzing::readfile(filenames[k], text) && text == parts[k + 1],
                   std::string("the input file ") + filenames[k] + " was written\n" + detail);
    }
    const std::string nex = between(console, "\nDone.\n\nHand the file ", ".cd over to PAUP and execute it!\n\n");
    if (!nex.empty())
        completecommandfile(nex + ".cd", detail);
    const std::vector<std::string> written = reports();
    if (rc == 0) {
        FUZZ_CHECK(!nex.empty(), detail);
        completereport(nex + ".ma", detail);
    } else if (rc == 1) {
        const std::string tmpl = between(console, "group definition file template written to ", "\n");
        if (!tmpl.empty()) {
            std::string text;
            FUZZ_CHECK(fuzzing::readfile(tmpl, text) && fuzzing::endswith(text, "endtaxa\n"), detail);
        } else if (!fuzzing::endswith(console, "no matching setting type!\n")) {
            FUZZ_CHECK(written.size() == 1, detail);
            completereport(written[0], detail);
        }
    } else {
        FUZZ_CHECK(fuzzing::endswith(console, "Tolvi stops.\n") || fuzzing::endswith(console, "no report is written.\n") ||
                       fuzzing::endswith(console, " could not be written!\n"),
                   "an end with 2 that does not say why\n" + detail);
        if (fuzzing::endswith(console, "no report is written.\n"))
            FUZZ_CHECK(written.empty(), "a report although none was written\n" + detail);
    }
    return 0;
}
