// tolvi-distances: carries out a command file written by Tolvi in place of
// PAUP and writes the log PAUP would write. See engine.h for what it does.

#include <ctime>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "backgroundlog.h"
#include "engine.h"

namespace {

const char* const usage =
    "Usage: tolvi-distances [-n] [-C DIR] COMMANDFILE\n"
    "       tolvi-distances --help | --version\n"
    "\n"
    "Carries out a command file written by Tolvi in place of PAUP and writes the\n"
    "log PAUP would write, under the name the file's \"log file=NAME\" command gives,\n"
    "relative to DIR (default: the current directory). Distances: dset distance=p,\n"
    "JC, K2P, F81, F84, TamNei, LogDet (gamma with JC, K2P, F81, TamNei) and ML\n"
    "with lset nst=1|2|6 and given parameters; see the manual page. -n is taken as\n"
    "PAUP takes it in job scripts (paup -n FILE) and changes nothing. This program\n"
    "is not PAUP.\n"
    "Exit value: 0 done, 1 the command file could not be carried out, 2 usage, or a\n"
    "command or setting it does not carry out (then no log is written).\n";

std::string now()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    char buf[64] = "";
    if (t != static_cast<std::time_t>(-1) && localtime_r(&t, &local))
        std::strftime(buf, sizeof buf, "%a %b %e %H:%M:%S %Y", &local);
    return buf;
}

}  // namespace

int main(int argc, char** argv)
{
    std::filesystem::path dir = ".";
    std::string commandfile;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << usage;
            return 0;
        }
        if (a == "--version") {
            std::cout << "tolvi-distances " TOLVI_VERSION "\n";
            return 0;
        }
        if (a == "-n") {
            // PAUP's "no window" switch, as job scripts call PAUP: tolvi-distances has none
        } else if (a == "-C" && i + 1 < argc) {
            dir = argv[++i];
        } else if (commandfile.empty() && !a.empty() && a[0] != '-') {
            commandfile = a;
        } else {
            std::cerr << "tolvi-distances: unexpected argument \"" << a << "\"\n" << usage;
            return 2;
        }
    }
    if (commandfile.empty()) {
        std::cerr << usage;
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        std::cerr << "tolvi-distances: " << dir.string() << " is not a directory\n";
        return 2;
    }

    std::ifstream commands(commandfile, std::ios::binary);
    if (!commands) {
        std::cerr << "tolvi-distances: cannot open the command file \"" << commandfile << "\"\n";
        return 1;
    }

    std::unique_ptr<backgroundlog> log;
    const logopener openlog = [&](const std::string& name, logmode mode, std::string& why) -> std::ostream* {
        if (log)
            log->close();
        log.reset();
        const std::filesystem::path path = dir / name;
        std::error_code exists;
        if (mode == logmode::fresh && std::filesystem::exists(path, exists)) {
            why = "the file exists, and the log command asks neither to replace nor to append to it";
            return nullptr;
        }
        auto f = std::make_unique<backgroundlog>(path, mode == logmode::append);
        if (!*f) {
            why = "it cannot be written (" + f->error() + ")";
            return nullptr;
        }
        log = std::move(f);
        return log.get();
    };

    try {
        const enginerun r = runcommands(commands, openlog, std::cout, now());
        if (log) {
            log->close();
            if (!*log)
                throw engineerror("the log \"" + r.log + "\" could not be written (" + log->error() + ")");
        }
        std::cout << "tolvi-distances: " << r.datablocks << " data blocks read, " << r.matrices
                  << " distance matrices written to the log " << (dir / r.log).string() << "\n";
        return 0;
    } catch (const refusal& e) {
        std::cerr << "tolvi-distances: " << commandfile << ": " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "tolvi-distances: " << commandfile << ": " << e.what() << "\n";
        return 1;
    }
}
