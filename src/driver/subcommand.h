#ifndef TOLVI_SUBCOMMAND_H
#define TOLVI_SUBCOMMAND_H

#include <CLI/CLI.hpp>

#include <ostream>
#include <string>

// What the sub-commands share.

// Parses the command line; on --help shows it and returns 0, on a wrong use
// names the fault and returns 2; -1 when the run is to go on.
int parse(CLI::App& app, int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// A message of the dialogue's readers, as one line: blank lines and the
// dialogue's "Tolvi stops." left out.
std::string oneline(const std::string& text);

// A stream that takes everything and keeps nothing.
std::ostream& nowhere();

#endif
