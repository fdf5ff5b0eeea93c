#ifndef TOLVI_PROVENANCE_H
#define TOLVI_PROVENANCE_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where a run's results come from, as its command files say it: the run
// identity and what only the command file knows, in a comment that PAUP
// copies into the log.

// Tolvi's version, as the run record and the provenance comment give it.
const char* tolviversion();

// What only the data file's reading can tell; null where the reader does not
// say it.
struct readingfacts {
    std::optional<std::string> format;         // the layout, e.g. NEXUS or FASTA
    std::optional<std::string> reading;        // the reading that took it
    std::optional<std::vector<int>> excluded;  // excluded characters, 1-based
    std::optional<std::string> exclusionset;   // the name of their set
};

// A run's data file as far as it is known.
struct datafileinfo {
    std::optional<std::string> name;
    std::optional<std::uint64_t> size;
    std::optional<std::string> sha256;
    readingfacts reading;
    std::optional<std::vector<std::string>> taxa;
    std::optional<std::size_t> characters;
};

// The provenance comment's content. The identity is a short hash over the
// bytes every part of the run has in common (runidentity); the rest is what
// the run record needs and only the command file knows.
struct runprovenance {
    std::string identity;
    int format = 1;  // of the comment; a log of a later format gives its identity only
    std::optional<std::string> tolvi;
    datafileinfo datafile;  // taxa left out: PAUP echoes their list anyway
    std::optional<std::string> setting;  // e.g. *MLS1
    std::optional<std::string> settingtext;
    std::optional<std::uint32_t> seed;
    std::optional<int> replicates;
    std::optional<int> parts;
};

// The run identity: 12 hex digits of the SHA-256 of the command file's head
// after its head comment (the creation time and the log file's name left
// out), the comparison section, the seed and the number of replicates.
std::string runidentity(std::string_view head, std::string_view section, std::uint32_t seed, int replicates);

// The head with the provenance comment of `run` right after its head comment.
std::string withprovenance(std::string_view head, const runprovenance& run);

// The provenance comment in a command file's or a log's text, if there is one.
std::optional<runprovenance> findprovenance(std::string_view text);

// Text fit for a "[!...]" comment: "[" and "]", which would open or end a
// comment, become "(" and ")", and line ends and other control characters
// blanks.
std::string commentsafe(std::string_view text);

#endif
