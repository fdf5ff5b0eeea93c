#ifndef TOLVI_FUZZ_COMMON_H
#define TOLVI_FUZZ_COMMON_H

// Shared by the fuzz targets: the parts of Tolvi they drive, the check that
// turns a broken invariant into a finding, a private working folder, files in
// and out.

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "groupdialogue.h"
#include "driver.h"
#include "extractor.h"
#include "groupfile.h"
#include "importer.h"
#include "jackknife.h"
#include "leaveoneout.h"
#include "straightforward/straightforward.h"
#include "tokenreading.h"

// A broken invariant: say which, and abort so that the fuzzer keeps the input.
#define FUZZ_CHECK(cond, detail)                                                                                   \
    ((cond) ? void() : (std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n%s\n", __FILE__, __LINE__, #cond,      \
                                     std::string(detail).c_str()),                                                \
                        std::abort()))

namespace fuzzing {

// Makes a fresh temporary folder the working folder of the process (once;
// it is removed when the process ends normally) and empties it.
inline void freshworkdir()
{
    static std::string dir;
    std::error_code ec;
    if (dir.empty()) {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tolvi-fuzzwd-XXXXXX").string();
        FUZZ_CHECK(mkdtemp(tmpl.data()) && chdir(tmpl.c_str()) == 0, "no working folder " + tmpl);
        dir = tmpl;
        std::atexit([] {
            std::error_code e;
            std::filesystem::current_path(std::filesystem::temp_directory_path(), e);
            std::filesystem::remove_all(dir, e);
        });
    }
    for (const auto& e : std::filesystem::directory_iterator(".", ec))
        std::filesystem::remove_all(e.path(), ec);
}

inline void writefile(const std::string& name, const std::string& text)
{
    FUZZ_CHECK(std::ofstream(name, std::ios::binary) << text, "cannot write " + name);
}

// The file's text, empty when there is no such file.
inline std::string readfile(const std::string& name)
{
    std::ostringstream s;
    s << std::ifstream(name, std::ios::binary).rdbuf();
    return s.str();
}

// The whitespace-separated words of a text.
inline std::vector<std::string> words(const std::string& text)
{
    std::istringstream s(text);
    return {std::istream_iterator<std::string>(s), std::istream_iterator<std::string>()};
}

// A report written to its end.
inline void completereport(const std::string& name, const std::string& detail)
{
    const std::string text = readfile(name);
    FUZZ_CHECK(text.ends_with("\n") && text.find("standard errors based on ") != std::string::npos,
               "the report " + name + " is not complete\n" + text + "\n---\n" + detail);
}

}  // namespace fuzzing

#endif
