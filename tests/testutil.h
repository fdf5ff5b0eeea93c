#ifndef TOLVI_TESTUTIL_H
#define TOLVI_TESTUTIL_H

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "driver.h"

namespace testutil {

// A fresh, empty working directory for one test; the previous one is restored
// and the directory removed when the object ends.
class tempdir {
public:
    tempdir()
    {
        old_ = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "tolvi-test-XXXXXX").string();
        path_ = mkdtemp(tmpl.data());
        std::filesystem::current_path(path_);
    }
    ~tempdir()
    {
        std::filesystem::current_path(old_);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path old_;
    std::filesystem::path path_;
};

inline std::string readfile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void writefile(const std::filesystem::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary);
    out << text;
}

// Files that belong to the tests: tests/data and tests/golden.
inline std::filesystem::path testfile(const std::string& name)
{
    return std::filesystem::path(TOLVI_TEST_DIR) / name;
}

struct runresult {
    int exitvalue;
    std::string console;
};

// One whole run of the program with `input` as standard input.
inline runresult run(const std::string& input)
{
    std::istringstream in(input);
    std::ostringstream out;
    const int value = tolvi(in, out);
    return {value, out.str()};
}

}  // namespace testutil

#endif
