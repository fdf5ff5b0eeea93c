#ifndef TOLVI_GROUP_H
#define TOLVI_GROUP_H

#include <ostream>
#include <string>
#include <vector>

// One group of taxa. In a group list the last group is the outgroup; in the
// ranking mode the group just before it is the reference group.
class group {
public:
    int number;                // group number, written in the group mark "$<number>"
    std::string name;          // one word
    std::vector<int> taxa;     // taxon numbers (1-based) in the order given; repeats possible
    std::vector<int> cstates;  // character states: always empty

    group(int a, const std::string& s);

    // One line: the name, a blank, every taxon number followed by a blank, "\n".
    void print(std::ostream& s) const;
};

std::ostream& operator<<(std::ostream& s, const group& g);

#endif
