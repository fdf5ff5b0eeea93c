#ifndef TOLVI_ANSWER_H
#define TOLVI_ANSWER_H

#include <istream>
#include <ostream>
#include <string>

// Reading the user's answers at the console. Every answer is taken by formatted
// extraction, as typed; a missing answer (end of input) or an answer that is
// not a number where a number is asked for gets a message on `out` and a
// result of false: the run then ends with exit value 2 instead of asking on.

// Formatted integer input that keeps the text it took: an optional sign and
// the digits that follow; whatever comes after them stays in the stream. False
// when there is no number there or it does not fit an int; `text` then holds
// what stood there (the digits of a number too large, or the word that is no
// number; empty at the end of the input).
bool scanint(std::istream& in, int& value, std::string& text);

// One integer answer.
bool readint(std::istream& in, std::ostream& out, int& value);

// One whitespace-delimited word (a file name, a path, a group name).
bool readword(std::istream& in, std::ostream& out, std::string& word);

// A file name: one word without a zero character. The file system would take
// only the part before it, and the run would then write its command file or
// its report over the very file it reads.
bool readfilename(std::istream& in, std::ostream& out, std::string& name);

// The message for the end of standard input where an answer was expected.
void inputended(std::ostream& out);

#endif
