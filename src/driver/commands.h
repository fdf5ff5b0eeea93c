#ifndef TOLVI_COMMANDS_H
#define TOLVI_COMMANDS_H

#include <ostream>

// The sub-commands, runs without the dialogue: `argv[0]` is the sub-command's
// name ("construct", "evaluate" or "template"). Results go to `out`, messages
// to `err`. Returns the exit value: 0 on success, 2 on a wrong use or a run
// that cannot be completed (then no file has been written or replaced).
int construct(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
int evaluatelogs(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
int writetemplate(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

#endif
