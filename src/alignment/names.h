#ifndef TOLVI_NAMES_H
#define TOLVI_NAMES_H

#include <string>
#include <string_view>
#include <vector>

// Taxon names as they stand in Tolvi's command file: one word, every blank
// and "_" written as "|" (PAUP shows "_" as a blank, and a blank would end
// the word).
std::string withbars(std::string name);

// The characters NEXUS reads as punctuation: in an unquoted name each would
// end it (PAUP reads "Homo-sapiens" as three words).
constexpr std::string_view nexuspunctuation = "()[]{}/\\,;:=*'\"`+-<>";

// The names that cannot stand in the command file as they are: empty, with
// punctuation, blanks or control characters, or shared by two taxa. An empty
// string when every name is fine; else one sentence naming the taxa (the
// first few) and what to do.
std::string namefaults(const std::vector<std::string>& names);

// "a, b, c" for the first three items, then ", ... (N in all)".
std::string firstfew(const std::vector<std::string>& items);

#endif
