#ifndef TOLVI_FUZZ_COMMON_H
#define TOLVI_FUZZ_COMMON_H

// Shared by the fuzz targets: a private working folder, files in and out,
// and the check that turns a broken invariant into a finding.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fuzzing {

// A broken invariant: say which, and abort so that the fuzzer keeps the input.
[[noreturn]] inline void broken(const char* file, int line, const char* what, const std::string& detail)
{
    std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n%s\n", file, line, what, detail.c_str());
    std::abort();
}

#define FUZZ_CHECK(cond, detail)                                                                                   \
    do {                                                                                                           \
        if (!(cond))                                                                                               \
            ::fuzzing::broken(__FILE__, __LINE__, #cond, (detail));                                               \
    } while (0)

inline std::string& workdir()
{
    static std::string dir;
    return dir;
}

// Makes a fresh temporary folder the working folder of the process, once;
// it is removed when the process ends normally.
inline void enterworkdir()
{
    if (!workdir().empty())
        return;
    std::string tmpl = (std::filesystem::temp_directory_path() / "tolvi-fuzzwd-XXXXXX").string();
    if (!mkdtemp(tmpl.data()) || chdir(tmpl.c_str()) != 0) {
        std::perror("tolvi fuzz: working folder");
        std::abort();
    }
    workdir() = tmpl;
    std::atexit([] {
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
        std::filesystem::remove_all(workdir(), ec);
    });
}

// Empties the working folder.
inline void clearworkdir()
{
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(".", ec))
        std::filesystem::remove_all(e.path(), ec);
}

inline void writefile(const std::string& name, const std::string& text)
{
    std::ofstream f(name, std::ios::binary);
    f << text;
    if (!f) {
        std::perror(name.c_str());
        std::abort();
    }
}

inline bool readfile(const std::string& name, std::string& text)
{
    std::ifstream f(name, std::ios::binary);
    if (!f)
        return false;
    std::ostringstream s;
    s << f.rdbuf();
    text = s.str();
    return true;
}

// White space as formatted input of the C locale sees it.
inline bool isspacechar(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The whitespace-separated words of a text.
inline std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> w;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isspacechar(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isspacechar(text[i]))
            ++i;
        if (i > start)
            w.push_back(text.substr(start, i - start));
    }
    return w;
}

// The parts of an input separated by the byte `separator`.
inline std::vector<std::string> split(const std::uint8_t* data, std::size_t size, std::uint8_t separator)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] == separator)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    return parts;
}

inline bool endswith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace fuzzing

#endif
