#ifndef TOLVI_DISTANCES_MODEL_H
#define TOLVI_DISTANCES_MODEL_H

#include <array>
#include <string>
#include <string_view>

#include "counts.h"

// The distance settings of PAUP's "dset" and "lset" commands as far as
// tolvi-distances carries them out: read one option at a time into
// `settings`, which records for every parameter whether it is given or left
// to be estimated, then resolved into the `model` the distances are computed
// under. Whatever cannot be carried out is refused with a message that names
// the command and lists what it supports; nothing falls back to another model.
namespace distances {

enum class measure { p, jc, k2p, f81, f84, tamnei, logdet, ml };

// Where the base frequencies come from: the taxa of the matrix being printed
// (their unambiguous bases), a quarter each, or given.
enum class frequencies { empirical, equal, given };

// A number that is either given or to be estimated (on a tree, which
// tolvi-distances cannot do).
struct parameter {
    double value = 0.0;
    bool estimated = false;
};

// Everything dset and lset have set, at PAUP's initial ("factory") values.
struct settings {
    // dset
    measure distance = measure::p;
    bool distancegamma = false;  // dset rates=gamma
    parameter distanceshape{0.5};
    parameter distancepinvar{0.0};
    frequencies distancefreqs = frequencies::empirical;
    missingmode missdist = missingmode::ignore;
    // lset
    int nst = 2;
    parameter tratio{2.0};
    std::array<parameter, 5> rmatrix{{{1.0}, {1.0}, {1.0}, {1.0}, {1.0}}};  // AC AG AT CG CT; GT is 1
    frequencies basefreq = frequencies::empirical;
    bool basefreqestimated = false;
    std::array<double, 3> givenfreqs{};  // A C G; T is the rest
    bool gamma = false;  // lset rates=gamma
    parameter shape{0.5};
    int ncat = 4;
    parameter pinvar{0.0};
};

// A word of a command file in lower case: PAUP reads commands, options and
// their values without regard to case (ASCII letters only).
std::string lowercase(std::string_view word);

// Reads one option of a dset or lset command ("key" or "key=value"; the key
// in lower case, PAUP's abbreviations allowed). Returns an empty string, or
// why the option is refused: a value it cannot read, a parameter left to be
// estimated, an option it does not know.
std::string setoption(settings& into, std::string_view command, std::string_view key, std::string_view value);

// What the distances are computed under.
struct model {
    measure kind = measure::p;
    bool gamma = false;
    double shape = 0.5;
    int ncat = 1;                 // gamma categories of the likelihood
    frequencies freqs = frequencies::empirical;
    std::array<double, 4> given{};  // the frequencies where given
    // The likelihood's substitution model: the relative rates AC AG AT CG CT
    // GT, except that under nst=2 AG and CT are filled in from the
    // transition/transversion ratio and the frequencies (see ratesfor).
    int nst = 1;
    double tratio = 0.0;
    std::array<double, 6> rates{1, 1, 1, 1, 1, 1};
    missingmode missdist = missingmode::ignore;
};

// The model the settings ask for, or in `refusal` why they cannot be carried
// out (a combination of settings offered nowhere).
model resolve(const settings& from, std::string& refusal);

// The title of a distance matrix under the model, as PAUP words it.
const std::string& title(const model& chosen);
// The model's name in messages ("Jukes-Cantor", "Kimura 2-parameter", ...).
std::string_view modelname(measure kind);

}  // namespace distances

#endif
