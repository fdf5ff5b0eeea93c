#include "testutil.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "commander.h"
#include "driver.h"

namespace fs = std::filesystem;

tempdir::tempdir()
{
    std::string tmpl = (fs::temp_directory_path() / "tolvi-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path_ = tmpl;
    old_ = fs::current_path().string();
    fs::current_path(path_);
}

tempdir::~tempdir()
{
    std::error_code ec;
    fs::current_path(old_, ec);
    fs::remove_all(path_, ec);
}

std::string readfile(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    EXPECT_TRUE(f) << "cannot read " << name;
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void writefile(const std::string& name, const std::string& text)
{
    std::ofstream f(name, std::ios::binary);
    f << text;
    ASSERT_TRUE(f) << "cannot write " << name;
}

void copydata(const std::string& name)
{
    writefile(name, readfile(std::string(TOLVI_TEST_DATA) + "/" + name));
}

void expectgolden(const std::string& name, const std::string& actual)
{
    const std::string path = std::string(TOLVI_GOLDEN_DIR) + "/" + name;
    if (std::getenv("TOLVI_UPDATE_GOLDEN")) {
        writefile(path, actual);
        return;
    }
    const std::string expected = readfile(path);
    if (expected == actual)
        return;
    std::size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i])
        ++i;
    const std::size_t from = i < 60 ? 0 : i - 60;
    ADD_FAILURE() << "differs from golden file " << name << " at byte " << i << "\nexpected: ..."
                  << expected.substr(from, 160) << "\nactual:   ..." << actual.substr(from, 160);
}

std::string maskdate(const std::string& cd)
{
    const std::string lead = "***Command file created by Tolvi ";
    const std::size_t p = cd.find(lead);
    if (p == std::string::npos || cd.size() < p + lead.size() + 25) {
        ADD_FAILURE() << "no date in the command file's head";
        return cd;
    }
    std::string masked = cd;
    masked.replace(p + lead.size(), 24, "Www Mmm dd hh:mm:ss yyyy");
    return masked;
}

std::string lines(const std::vector<std::string>& answers)
{
    std::string s;
    for (const std::string& a : answers)
        s += a + "\n";
    return s;
}

runresult run(const std::string& answers)
{
    randreset();
    std::istringstream in(answers);
    std::ostringstream out;
    const int rc = tolvi(in, out);
    return {rc, out.str()};
}

namespace {

struct datablock {
    std::vector<std::string> names;
    std::vector<std::string> seqs;
};

datablock readblock(const std::string& cd, std::size_t& i)
{
    datablock b;
    i += std::string("MATRIX\n\n").size();
    while (i < cd.size() && cd[i] != ';') {
        const std::size_t tab = cd.find('\t', i);
        const std::size_t nl = cd.find('\n', i);
        b.names.push_back(cd.substr(i, tab - i));
        b.seqs.push_back(cd.substr(tab + 1, nl - tab - 1));
        i = nl + 1;
    }
    return b;
}

std::string showdist(const datablock& b, std::vector<int> taxa)
{
    std::sort(taxa.begin(), taxa.end());
    std::string log = "\nUncorrected (\"p\") distance matrix\n\n                1        2        3\n";
    char cell[32];
    for (std::size_t r = 0; r < taxa.size(); ++r) {
        log += " " + std::to_string(r + 1) + " " + b.names.at(static_cast<std::size_t>(taxa[r]) - 1);
        for (std::size_t c = 0; c < r; ++c) {
            const std::string& x = b.seqs.at(static_cast<std::size_t>(taxa[r]) - 1);
            const std::string& y = b.seqs.at(static_cast<std::size_t>(taxa[c]) - 1);
            int diff = 0;
            for (std::size_t k = 0; k < x.size(); ++k)
                diff += x[k] != y[k];
            std::snprintf(cell, sizeof cell, "  %.5f", static_cast<double>(diff) / static_cast<double>(x.size()));
            log += cell;
        }
        log += "        -\n";
    }
    return log;
}

}  // namespace

std::string fakepaup(const std::string& cd)
{
    std::string log = "\nP A U P *\n";
    datablock block;
    std::vector<int> restored;
    auto at = [&cd](std::size_t i, const char* w) { return cd.compare(i, std::string(w).size(), w) == 0; };
    for (std::size_t i = 0; i < cd.size();) {
        if (at(i, "[!")) {
            const std::size_t end = cd.find(']', i);
            log += cd.substr(i + 2, end - i - 2) + "\n";
            i = end + 1;
        } else if (at(i, "MATRIX\n\n")) {
            block = readblock(cd, i);
        } else if (at(i, "restore ")) {
            std::istringstream s(cd.substr(i + 8, cd.find(';', i) - i - 8));
            restored.assign(3, 0);
            s >> restored[0] >> restored[1] >> restored[2];
            i = cd.find(';', i) + 1;
        } else if (at(i, "ShowDist;")) {
            log += showdist(block, restored);
            i += 9;
        } else {
            ++i;
        }
    }
    return log;
}
