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
#include "options.h"
#include "engine.h"

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

namespace {

// The run record's date, the same in every run of the tests.
void fixdate()
{
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
}

}  // namespace

runresult run(const std::string& answers)
{
    fixdate();
    std::istringstream in(answers);
    std::ostringstream out;
    const int rc = tolvi(in, out);
    return {rc, out.str()};
}

std::string pauplog(const std::string& cd)
{
    std::ostringstream log, screen;
    const logopener open = [&log](const std::string&, logmode, std::string&) -> std::ostream* { return &log; };
    std::istringstream commands(cd);
    runcommands(commands, open, screen, "Mon Jan  1 12:00:00 2024");
    return log.str();
}

commandresult command(const std::string& words)
{
    fixdate();
    std::vector<std::string> args{"tolvi"};
    std::istringstream split(words);
    for (std::string w; split >> w;) {
        for (std::size_t at; (at = w.find("\\s")) != std::string::npos;)
            w.replace(at, 2, " ");  // a blank inside a word
        args.push_back(w);
    }
    std::vector<const char*> argv;
    for (const std::string& w : args)
        argv.push_back(w.c_str());
    std::ostringstream out, err;
    const int rc = commandline(static_cast<int>(argv.size()), argv.data(), out, err);
    return {rc, out.str(), err.str()};
}
