// Transcript tests: each file of tests/transcripts is a table of cases, each
// case a few steps in a fresh folder (files put in place, the dialogue or a
// sub-command run, tolvi-distances run). Everything a step prints, its
// exit value and the files the case leaves behind form one transcript, held
// byte for byte to tests/golden/NAME.transcript.
//
// Steps, one per line ("---" starts the next case, "#" lines are notes):
//   copy FILE...          files of tests/data, under their own names
//   write FILE TEXT       TEXT with the escapes \n \t \s (a blank) \0 \\ (FILE too)
//   folder NAME           link NAME TARGET
//   paup COMMANDFILE LOG  tolvi-distances carries out the command file
//   cut FILE N TEXT       FILE kept up to N bytes past the first TEXT
//   replace FILE OLD NEW  the first OLD in FILE replaced (escapes as above)
//   answers TEXT          the dialogue, TEXT (escapes as above) on its input
//   tolvi WORD...         the command line, sub-commands included
//   show FILE             the file's text (the command file date masked)
// Shorthands, which the transcript shows expanded:
//   each STEP             (before the first case) STEP begins every case
//   define NAME STEP      STEP is appended to the steps NAME stands for
//   do NAME               the steps NAME stands for

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "driver.h"
#include "testutil.h"

namespace fs = std::filesystem;

namespace {

std::string unescape(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        out += c == 'n' ? '\n' : c == 't' ? '\t' : c == 's' ? ' ' : c == '0' ? '\0' : c;
    }
    return out;
}

// The folder's entries with their sizes (folders and links marked), and
// every file copied from tests/data that was changed.
std::string leftover(const std::map<std::string, std::string>& copied)
{
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::directory_iterator(".")) {
        const std::string name = e.path().filename().string();
        entries[name] = e.is_symlink() ? "@" : e.is_directory() ? "/" : "(" + std::to_string(e.file_size()) + ")";
    }
    std::string text = "files:";
    for (const auto& [name, kind] : entries)
        text += " " + name + kind;
    text += "\n";
    for (const auto& [name, original] : copied)
        if (fs::is_regular_file(name) && readfile(name) != original)
            text += "changed: " + name + "\n";
    return text;
}

std::string runcase(const std::vector<std::string>& steps)
{
    tempdir dir;
    std::map<std::string, std::string> copied;
    std::string text;
    for (const std::string& step : steps) {
        text += "$ " + step + "\n";
        std::istringstream words(step);
        std::string verb, a, b;
        words >> verb >> a;
        a = unescape(a);
        std::getline(words >> std::ws, b);
        if (step[0] == '#') {
        } else if (verb == "copy") {
            for (std::istringstream names(step.substr(5)); names >> a;) {
                copydata(a);
                copied[a] = readfile(a);
            }
        } else if (verb == "write") {
            writefile(a, unescape(b));
        } else if (verb == "folder") {
            fs::create_directory(a);
        } else if (verb == "link") {
            fs::create_symlink(b, a);
        } else if (verb == "paup") {
            try {
                writefile(b, pauplog(readfile(a)));
            } catch (const std::exception& e) {
                text += std::string("tolvi-distances: ") + e.what() + "\n";
            }
        } else if (verb == "replace") {
            std::istringstream rest(b);
            std::string from, to;
            rest >> from >> to;
            from = unescape(from);
            std::string text = readfile(a);
            text.replace(text.find(from), from.size(), unescape(to));
            writefile(a, text);
        } else if (verb == "cut") {
            std::istringstream rest(b);
            std::size_t extra = 0;
            rest >> extra;
            std::string text;
            std::getline(rest >> std::ws, text);
            const std::string full = readfile(a);
            writefile(a, full.substr(0, full.find(unescape(text)) + extra));
        } else if (verb == "answers") {
            const runresult r = run(unescape(step.substr(8)));
            text += r.console + "exit " + std::to_string(r.rc) + "\n";
        } else if (verb == "tolvi") {
            const commandresult r = command(step.substr(6));
            text += r.out + "stderr:\n" + r.err + "exit " + std::to_string(r.rc) + "\n";
        } else if (verb == "show" && !fs::is_regular_file(a)) {
            text += "no file " + a + "\n";
        } else if (verb == "show") {
            const std::string shown = readfile(a);
            text += shown.find("***Command file created by Tolvi ") == std::string::npos ? shown : maskdate(shown);
        } else {
            ADD_FAILURE() << "unknown step: " << step;
        }
    }
    return text + leftover(copied);
}

class Transcripts : public testing::TestWithParam<std::string> {};

TEST_P(Transcripts, MatchTheGoldenFile)
{
    std::istringstream script(readfile(std::string(TOLVI_TRANSCRIPT_DIR) + "/" + GetParam() + ".script"));
    std::string transcript;
    std::vector<std::string> each, steps;
    std::map<std::string, std::vector<std::string>> defined;
    const auto word = [](const std::string& line, std::size_t n) {
        std::istringstream words(line);
        std::string w;
        while (n-- > 0 && words >> w) {
        }
        return w;
    };
    for (std::string line; std::getline(script, line);) {
        if (line == "---") {
            transcript += runcase(steps) + "---\n";
            steps = each;
        } else if (line.starts_with("each ")) {
            each.push_back(line.substr(5));
            steps.push_back(line.substr(5));
        } else if (line.starts_with("define ")) {
            const std::string name = word(line, 2);
            defined[name].push_back(line.substr(8 + name.size()));
        } else if (line.starts_with("do ")) {
            ASSERT_TRUE(defined.count(word(line, 2))) << line;
            const std::vector<std::string>& more = defined[word(line, 2)];
            steps.insert(steps.end(), more.begin(), more.end());
        } else if (!line.empty()) {
            steps.push_back(line);
        }
    }
    expectgolden(GetParam() + ".transcript", transcript + runcase(steps));
}

std::vector<std::string> scripts()
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(TOLVI_TRANSCRIPT_DIR))
        if (e.path().extension() == ".script")
            names.push_back(e.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Runs, Transcripts, testing::ValuesIn(scripts()),
                         [](const testing::TestParamInfo<std::string>& p) { return p.param; });

}  // namespace
