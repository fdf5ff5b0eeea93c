// A whole run of the program on "answers RS d.nex RS MLS RS usertree RS g.grdef
// RS d.nex.log" (RS the byte 0x1e): standard input, then the files of an empty
// working folder (a missing part leaves its file out; answers with a "/" are
// refused, so that the run stays in its folder).
//
// Invariants: the exit value is 0, 1 or 2; every end with 2 says why; the
// files given are never written; a command file handed over is complete, its
// replicates numbered 1 .. n, every triplet three taxa of the data block; an
// end with 0 leaves the whole report, an end with 1 the template, the report
// of the direct road, or says the setting was not found; a run that says it
// wrote no report wrote none.

#include "common.h"

namespace {

const char* const filenames[] = {"d.nex", "MLS", "usertree", "g.grdef", "d.nex.log"};

// A bound on the work a run may do: the command file repeats the comparisons
// (outgroup x group x group taxa) and the data block once per replicate. The
// taxon entries are bounded by the numbers of the answers (ranges in full)
// and the words of the definition file, the replicates by the largest number.
bool affordable(const std::string& answers, const std::string& nexus, const std::string& grdef)
{
    double entries = static_cast<double>(fuzzing::words(grdef).size()), largest = 0, previous = -1;
    const char* const digits = "0123456789";
    for (std::size_t i = answers.find_first_of(digits); i != std::string::npos; i = answers.find_first_of(digits, i)) {
        double v = 0;
        for (; i < answers.size() && answers[i] >= '0' && answers[i] <= '9'; ++i)
            v = std::min(1e9, v * 10 + (answers[i] - '0'));
        largest = std::max(largest, v);
        entries += previous >= 0 ? std::max(1.0, std::min(v, double(rangelimit) + 1) - previous) : 1;
        const std::size_t j = answers.find_first_not_of(" \t\n\v\f\r", i);
        previous = j != std::string::npos && answers[j] == '-' ? v : -1;
    }
    return (largest + 1) * (entries * entries * entries + static_cast<double>(nexus.size()) + 1) <= 2e7;
}

std::string between(const std::string& s, const std::string& lead, const std::string& tail)
{
    const std::size_t p = s.find(lead), q = s.find(tail, p + lead.size());
    return p == std::string::npos || q == std::string::npos ? "" : s.substr(p + lead.size(), q - p - lead.size());
}

void completecommandfile(const std::string& name, const std::string& detail)
{
    const std::string cd = fuzzing::readfile(name);
    FUZZ_CHECK(cd.ends_with("\n\n[!bootstrap_end\n\n]"), "the command file is not complete\n" + detail);
    const long ntax = std::stol("0" + between(cd, "dimensions ntax=", " "));
    long replicates = 0;
    const std::string marker = "[!\nbegin_bootstrap_replicate ", restore = "\ndelete all;\nrestore ";
    for (std::size_t p = cd.find(marker); p != std::string::npos; p = cd.find(marker, p + 1))
        FUZZ_CHECK(std::stol(cd.substr(p + marker.size(), 12)) == ++replicates, "replicates out of order\n" + detail);
    FUZZ_CHECK(replicates >= 1 && ntax >= 1, "no replicate or no data block\n" + detail);
    // The triplets Tolvi writes (the settings copied from "MLS" may hold any command).
    for (std::size_t p = cd.find(restore); p != std::string::npos; p = cd.find(restore, p + 1)) {
        std::istringstream s(cd.substr(p + restore.size(), 40));
        long o = 0, a = 0, b = 0;
        s >> o >> a >> b;
        FUZZ_CHECK(s && o != a && o != b && a != b && std::min({o, a, b}) >= 1 && std::max({o, a, b}) <= ntax,
                   "a triplet that PAUP cannot show: " + cd.substr(p, 30) + "\n" + detail);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    for (std::size_t p = 0, q = 0; q != std::string::npos; p = q + 1)
        parts.push_back(input.substr(p, (q = input.find('\x1e', p)) - p));
    const std::size_t given = std::min<std::size_t>(parts.size() - 1, 5);  // files
    parts.resize(std::max<std::size_t>(parts.size(), 6));
    if (parts[0].find('/') != std::string::npos || !affordable(parts[0], parts[1], parts[4]))
        return -1;
    fuzzing::freshworkdir();
    for (std::size_t k = 0; k < given; ++k)
        fuzzing::writefile(filenames[k], parts[k + 1]);

    std::istringstream in(parts[0]);
    std::ostringstream out;
    const int rc = tolvi(in, out);
    std::string console = out.str();
    const std::string detail = "exit value " + std::to_string(rc) + "\n" + console;
    if (console.ends_with("\ncommander destructed\n"))
        console.resize(console.size() - std::string("\ncommander destructed\n").size());
    FUZZ_CHECK(rc == 0 || rc == 1 || rc == 2, detail);
    for (std::size_t k = 0; k < given; ++k)
        FUZZ_CHECK(fuzzing::readfile(filenames[k]) == parts[k + 1],
                   std::string("the input file ") + filenames[k] + " was written\n" + detail);
    const std::string nex = between(console, "\nDone.\n\nHand the file ", ".cd over to PAUP and execute it!\n\n");
    if (!nex.empty())
        completecommandfile(nex + ".cd", detail);
    std::vector<std::string> reports;  // complete or not
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(".", ec))
        if (e.path().extension() == ".ma")
            reports.push_back(e.path().filename().string());
    const std::string tmpl = between(console, "group definition file template written to ", "\n");
    if (rc == 0) {
        FUZZ_CHECK(!nex.empty(), detail);
        fuzzing::completereport(nex + ".ma", detail);
    } else if (rc == 1 && !tmpl.empty()) {
        FUZZ_CHECK(fuzzing::readfile(tmpl).ends_with("endtaxa\n"), detail);
    } else if (rc == 1 && !console.ends_with("no matching setting type!\n")) {
        FUZZ_CHECK(reports.size() == 1, detail);
        fuzzing::completereport(reports[0], detail);
    } else if (rc == 2) {
        FUZZ_CHECK(console.ends_with("Tolvi stops.\n") || console.ends_with(" could not be written!\n") ||
                       (console.ends_with("no report is written.\n") && reports.empty()),
                   "an end with 2 that does not say why, or a report although none was written\n" + detail);
    }
    return 0;
}
