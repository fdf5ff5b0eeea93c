#include "options.h"

#include <string_view>

#include "commands.h"

namespace {

const char* const usage =
    "Usage: tolvi\n"
    "       tolvi construct DATAFILE --groups FILE | --group NAME=LIST... --outgroup LIST\n"
    "                       --setting K [options]\n"
    "       tolvi evaluate LOG... [--ranking] [--report NAME] [--partial] [--threads N]\n"
    "       tolvi template DATAFILE\n"
    "       tolvi --help | --version\n"
    "\n"
    "Relative-rate tests between groups of taxa of an aligned DNA data set, with\n"
    "the distances computed by PAUP. Without a sub-command Tolvi asks its\n"
    "questions on standard output and reads the answers from standard input.\n"
    "It either evaluates an existing PAUP log, or it first reads a NEXUS data\n"
    "file and the groups, writes the PAUP command file DATAFILE.cd, waits while\n"
    "you run that file in PAUP, and then evaluates the log DATAFILE.log. The\n"
    "report (a matrix of group comparisons or a ranking list) is written to a\n"
    "file ending in \".ma\" and shown. The files \"MLS\" (maximum-likelihood\n"
    "settings) and \"usertree\" are read from the current directory.\n"
    "\n"
    "Sub-commands (runs without the dialogue; 'tolvi COMMAND --help' lists the\n"
    "options):\n"
    "  construct      write the command file, or with --parts N the part files\n"
    "                 DATAFILE.cd.1 .. DATAFILE.cd.N and the SLURM job script\n"
    "  evaluate       evaluate a log, or the part logs of a split run, and write\n"
    "                 the report\n"
    "  template       write the group definition template DATAFILE.grdef\n"
    "The sub-commands return 0 on success and 2 otherwise.\n"
    "\n"
    "  -h, --help     show this text and exit\n"
    "  -V, --version  show the version and exit\n"
    "\n"
    "Exit value: 0 after a complete construct-first run; 1 after the evaluation\n"
    "of an existing log, after writing a group definition template, and when the\n"
    "chosen setting is not in \"MLS\"; 2 when Tolvi stops on input it cannot go\n"
    "on with, or on a wrong argument. See tolvi(1).\n";

}  // namespace

int commandline(int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    if (argc < 2)
        return -1;
    const std::string_view command = argv[1];
    if (command == "construct")
        return construct(argc - 1, argv + 1, out, err);
    if (command == "evaluate")
        return evaluatelogs(argc - 1, argv + 1, out, err);
    if (command == "template")
        return writetemplate(argc - 1, argv + 1, out, err);
    bool help = false;
    bool version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--help" || a == "-h") {
            help = true;
        } else if (a == "--version" || a == "-V") {
            version = true;
        } else {
            err << "tolvi: " << (a.starts_with('-') ? "unknown option" : "unexpected argument") << " '" << a
                << "'\n"
                << "Usage: tolvi [--help | --version]; the files are named in the dialogue.\n";
            return 2;
        }
    }
    if (help)
        out << usage;
    else if (version)
        out << "tolvi " TOLVI_VERSION "\n";
    return 0;
}
