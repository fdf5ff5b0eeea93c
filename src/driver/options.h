#ifndef TOLVI_OPTIONS_H
#define TOLVI_OPTIONS_H

#include <ostream>

// The command line. Tolvi takes no arguments for its work: everything comes
// from the dialogue. "--help" (-h) and "--version" (-V) are answered on `out`
// with the exit value 0; anything else gets a short message on `err` and the
// exit value 2. Returns -1 when there are no arguments and the dialogue is to
// run.
int commandline(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

#endif
