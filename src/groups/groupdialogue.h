#ifndef TOLVI_GROUPDIALOGUE_H
#define TOLVI_GROUPDIALOGUE_H

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "group.h"

// A range in an index list stops expanding once it has passed this number:
// far beyond any taxon count, and it keeps a range like 1-2000000000 from
// filling memory. The taxon check after the group entry then refuses the
// first number above the taxon count.
constexpr int rangelimit = 1000000;

// All the groups of one dialogue together hold at most this many taxon
// numbers: room for ranges cut at the range limit, and a bound on what a few
// typed lines can make the program hold and echo ("a 1-999999;" a hundred
// times over would otherwise take gigabytes and minutes).
constexpr std::size_t entrylimit = 2 * static_cast<std::size_t>(rangelimit);

// The group dialogue: the user names the groups one after another and types
// each one's taxon numbers as an index list closed by ";", then the outgroup's.
// Empties `allgroups` first; leaves the groups in the order entered, the
// outgroup last. Returns false when the run must end (end of input, a list
// longer than 499 characters, a taxon number too large for an int, more than
// `entrylimit` taxon numbers in all); the message has been printed then.
bool askgroups(std::vector<group>& allgroups, std::istream& in, std::ostream& out);

// Parses an index list ("1, 3,4-8, 25-31, 15,44") from `text`, which ends at
// its zero character. On success replaces `indices` with the numbers found
// and returns true; ranges stop expanding once the list holds more than
// `entrylimit` numbers (more than the group dialogue takes in all). On a
// missing number or range end prints the German parser message on `out`,
// leaves `indices` unchanged and returns false. A number too
// large for an int (other than a range end, which only bounds the range) leaves
// `indices` unchanged, returns false and hands the digits as typed back in
// `toolarge` (empty otherwise) for the caller to name.
bool parseindexlist(std::vector<int>& indices, const char* text, std::ostream& out, std::string& toolarge);

// Reads one number at `p`: skips white space, then takes all the digits that
// follow. `value` receives the value, -1 when no digit follows, or a value above
// INT_MAX when the number is too large for an int. Returns the position after
// the digits (or at the first non-blank character when there was no digit).
const char* parsenumber(long long& value, const char* p);

// Appends `a` to `list`.
void appendnumber(std::vector<int>& list, int a);

#endif
