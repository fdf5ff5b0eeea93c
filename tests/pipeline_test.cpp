// The whole construct-first road in one run: Tolvi writes the command file,
// tolvi-standin carries it out in the place of PAUP while Tolvi waits for the
// log path, and Tolvi evaluates the log.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "commander.h"
#include "driver.h"
#include "standin.h"
#include "testutil.h"

namespace {

// Standard input of a run: the answers up to the hand-off, then, once the
// dialogue asks for more, `between` (the user runs PAUP) and the log path.
class handoffbuf : public std::streambuf {
public:
    handoffbuf(std::string before, std::string after, std::function<void()> between)
        : before_(std::move(before)), after_(std::move(after)), between_(std::move(between))
    {
        setg(before_.data(), before_.data(), before_.data() + before_.size());
    }

protected:
    int_type underflow() override
    {
        if (!handedoff_) {
            handedoff_ = true;
            between_();
            setg(after_.data(), after_.data(), after_.data() + after_.size());
            if (gptr() < egptr())
                return traits_type::to_int_type(*gptr());
        }
        return traits_type::eof();
    }

private:
    std::string before_, after_;
    std::function<void()> between_;
    bool handedoff_ = false;
};

void standin(const std::string& cdname)
{
    std::ifstream cd(cdname, std::ios::binary);
    std::ofstream log;
    const logopener open = [&log](const std::string& name, logmode, std::string& why) -> std::ostream* {
        log.close();
        log.clear();
        log.open(name, std::ios::binary | std::ios::trunc);
        if (!log)
            why = "it cannot be written";
        return log ? &log : nullptr;
    };
    std::ostringstream screen;
    EXPECT_NO_THROW(runcommands(cd, open, screen, "Mon Jan  1 12:00:00 2024"));
}

struct piperun {
    int rc = -1;
    std::string console;
    bool standinran = false;
};

// One run: `answers` up to the hand-off, the stand-in, then the log path.
piperun pipeline(const std::string& answers, const std::string& nex)
{
    piperun r;
    std::ostringstream out;
    handoffbuf buf(answers, nex + ".log\n", [&] {
        // Tolvi asks for the log only when the command file is complete.
        EXPECT_TRUE(out.str().ends_with("please locate the file: " + nex + ".log. \n\n"));
        EXPECT_TRUE(readfile(nex + ".cd").ends_with("[!bootstrap_end\n\n]"));
        standin(nex + ".cd");
        r.standinran = true;
    });
    std::istream in(&buf);
    r.rc = tolvi(in, out);
    r.console = out.str();
    return r;
}

}  // namespace

// The bundled example: its answer files, group definition file, settings and
// user tree go round as the README's main job runs them.
TEST(Pipeline, BundledExample)
{
    const std::string ex = TOLVI_EXAMPLES_DIR;
    for (const char* run : {"pairwise", "ranking"}) {
        tempdir dir;
        for (const char* f : {"primates.chars.nexus", "primates.grdef", "MLS", "usertree"})
            writefile(f, readfile(ex + "/" + f));
        std::string answers = readfile(ex + "/" + run + ".answers");
        const std::string logline = "primates.chars.nexus.log\n";
        ASSERT_TRUE(answers.ends_with("\n" + logline)) << run << " must end with the log path";
        answers.resize(answers.size() - logline.size());
        const piperun r = pipeline(answers, "primates.chars.nexus");
        EXPECT_TRUE(r.standinran);
        EXPECT_EQ(r.rc, 0) << run;
        expectgolden(std::string("example_") + run + ".ma", readfile("primates.chars.nexus.ma"));
    }
}
