#ifndef TOLVI_TESTUTIL_H
#define TOLVI_TESTUTIL_H

#include <string>
#include <vector>

// Helpers shared by the tests: a fresh working folder per test, files in and
// out, golden files, whole runs of the dialogue and tolvi-distances.

// Makes a fresh temporary folder the working folder for the object's lifetime.
class tempdir {
public:
    tempdir();
    ~tempdir();
    tempdir(const tempdir&) = delete;
    tempdir& operator=(const tempdir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string old_;
};

std::string readfile(const std::string& name);
void writefile(const std::string& name, const std::string& text);
// Copies a file of tests/data into the working folder under its own name.
void copydata(const std::string& name);

// Compares `actual` with tests/golden/<name>; with TOLVI_UPDATE_GOLDEN set in
// the environment the golden file is written instead.
void expectgolden(const std::string& name, const std::string& actual);

// The command file with the date and time of its head replaced by a fixed text.
std::string maskdate(const std::string& cd);

struct runresult {
    int rc;
    std::string console;
};
// One whole run of the dialogue on the answers, with the generator reset.
runresult run(const std::string& answers);
// The command line `tolvi WORDS` (words split at blanks, "\s" a blank inside one): standard output and
// error, and the exit value (-1: the dialogue would run).
struct commandresult {
    int rc;
    std::string out, err;
};
commandresult command(const std::string& words);
// Joins the answers, one per line.
std::string lines(const std::vector<std::string>& answers);

// The log tolvi-distances writes for a command file, in the place of PAUP.
std::string pauplog(const std::string& cd);

#endif
