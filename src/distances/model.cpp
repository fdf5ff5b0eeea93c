#include "model.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace distances {

namespace {

const char* const dsetoffers =
    "dset supports distance=p|JC|K2P|F81|F84|TamNei|LogDet|ML, rates=equal|gamma with shape=NUMBER (gamma with "
    "JC, K2P, F81 and TamNei), basefreq=empirical|equal, missdist=ignore|infer (infer with p and JC), pinvar=0, "
    "and objective, power and negbrlen, which change no distance";
const char* const lsetoffers =
    "lset supports nst=1|2|6, tratio=NUMBER (nst=2), rmatrix=(AC AG AT CG CT) (nst=6), "
    "basefreq=empirical|equal|(A C G), rates=equal|gamma, shape=NUMBER, ncat=1 to 20, pinvar=0 and variant=hky";

// Whether `word` is `full` or an abbreviation of it with at least `least` characters.
bool abbreviates(std::string_view word, std::string_view full, std::size_t least)
{
    return word.size() >= least && word.size() <= full.size() && full.substr(0, word.size()) == word;
}

bool number(std::string_view text, double& value)
{
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// A parenthesised list of numbers, "(1 2 3)" or "(1,2,3)", of exactly `count`.
bool numbers(std::string_view text, std::size_t count, double* values)
{
    if (text.size() < 2 || text.front() != '(' || text.back() != ')')
        return false;
    std::string inner(text.substr(1, text.size() - 2));
    for (char& c : inner)
        if (c == ',')
            c = ' ';
    std::istringstream words(inner);
    std::size_t n = 0;
    for (std::string w; words >> w; ++n)
        if (n >= count || !number(w, values[n]))
            return false;
    return n == count;
}

bool estimating(std::string_view value)
{
    const std::string v = lowercase(value);
    return abbreviates(v, "estimate", 3) || abbreviates(v, "previous", 4);
}

std::string refuse(std::string_view command, std::string_view key, std::string_view value, std::string_view why)
{
    std::string what = std::string(command) + " " + std::string(key);
    if (!value.empty())
        what += "=" + std::string(value);
    return what + ": " + std::string(why) + "; " + (command == "dset" ? dsetoffers : lsetoffers);
}

std::string estimatedrefusal(std::string_view command, std::string_view key, std::string_view value)
{
    return refuse(command, key, value, "parameters estimated on a tree cannot be carried out by tolvi-distances (use PAUP)");
}

// A parameter given as a positive number, or refused where left to be estimated.
std::string readparameter(parameter& into, std::string_view command, std::string_view key, std::string_view value)
{
    if (estimating(value)) {
        into.estimated = true;
        return estimatedrefusal(command, key, value);
    }
    double v = 0.0;
    if (!number(value, v) || v <= 0.0)
        return refuse(command, key, value, "a positive number is needed");
    into = parameter{v, false};
    return "";
}

std::string readpinvar(parameter& into, std::string_view command, std::string_view key, std::string_view value)
{
    double v = 1.0;
    if (estimating(value) || !number(value, v) || v != 0.0)
        return refuse(command, key, value, "invariable sites are not offered");
    into = parameter{0.0, false};
    return "";
}

std::string dsetoption(settings& s, std::string_view key, std::string_view value)
{
    const std::string v = lowercase(value);
    if (abbreviates(key, "distance", 4)) {
        static const struct {
            const char* name;
            measure kind;
        } names[] = {{"p", measure::p},           {"jc", measure::jc},         {"k2p", measure::k2p},
                     {"f81", measure::f81},       {"f84", measure::f84},       {"tamnei", measure::tamnei},
                     {"logdet", measure::logdet}, {"ml", measure::ml}};
        for (const auto& n : names)
            if (v == n.name) {
                s.distance = n.kind;
                return "";
            }
        return refuse("dset", key, value, "this distance is not offered");
    }
    if (abbreviates(key, "rates", 4)) {
        if (abbreviates(v, "equal", 2) || abbreviates(v, "gamma", 2)) {
            s.distancegamma = v[0] == 'g';
            return "";
        }
        return refuse("dset", key, value, "only equal and gamma-distributed rates are offered");
    }
    if (abbreviates(key, "shape", 2))
        return readparameter(s.distanceshape, "dset", key, value);
    if (abbreviates(key, "pinvar", 4))
        return readpinvar(s.distancepinvar, "dset", key, value);
    if (abbreviates(key, "basefreq", 4)) {
        if (abbreviates(v, "empirical", 3) || abbreviates(v, "equal", 2)) {
            s.distancefreqs = v[1] == 'm' ? frequencies::empirical : frequencies::equal;
            return "";
        }
        return refuse("dset", key, value, "base frequencies are empirical or equal");
    }
    if (abbreviates(key, "missdist", 5)) {
        if (abbreviates(v, "ignore", 3) || abbreviates(v, "infer", 3)) {
            s.missdist = v[1] == 'g' ? missingmode::ignore : missingmode::infer;
            return "";
        }
        return refuse("dset", key, value, "missing data are ignored or inferred");
    }
    if (abbreviates(key, "objective", 3) || abbreviates(key, "power", 3) || abbreviates(key, "negbrlen", 3))
        return "";
    return refuse("dset", key, value, "this option is not offered");
}

std::string lsetoption(settings& s, std::string_view key, std::string_view value)
{
    const std::string v = lowercase(value);
    if (key == "nst") {
        if (v == "1" || v == "2" || v == "6") {
            s.nst = v[0] - '0';
            return "";
        }
        return refuse("lset", key, value, "only 1, 2 or 6 substitution types are offered");
    }
    if (abbreviates(key, "tratio", 3))
        return readparameter(s.tratio, "lset", key, value);
    if (abbreviates(key, "rmatrix", 3)) {
        if (estimating(value))
            return estimatedrefusal("lset", key, value);
        double r[5];
        if (!numbers(value, 5, r) || r[0] <= 0 || r[1] <= 0 || r[2] <= 0 || r[3] <= 0 || r[4] <= 0)
            return refuse("lset", key, value, "five positive rates are needed, AC AG AT CG CT (GT is 1)");
        for (int i = 0; i < 5; ++i)
            s.rmatrix[static_cast<std::size_t>(i)] = parameter{r[i], false};
        return "";
    }
    if (abbreviates(key, "basefreq", 4)) {
        if (abbreviates(v, "empirical", 3) || abbreviates(v, "equal", 2)) {
            s.basefreq = v[1] == 'm' ? frequencies::empirical : frequencies::equal;
            return "";
        }
        if (estimating(value))
            return estimatedrefusal("lset", key, value);
        double f[3];
        if (!numbers(value, 3, f) || f[0] <= 0 || f[1] <= 0 || f[2] <= 0 || f[0] + f[1] + f[2] >= 1.0)
            return refuse("lset", key, value, "three positive frequencies (A C G) with a sum below 1 are needed");
        s.basefreq = frequencies::given;
        s.givenfreqs = {f[0], f[1], f[2]};
        return "";
    }
    if (abbreviates(key, "rates", 4)) {
        if (abbreviates(v, "equal", 2) || abbreviates(v, "gamma", 2)) {
            s.gamma = v[0] == 'g';
            return "";
        }
        return refuse("lset", key, value, "only equal and gamma-distributed rates are offered");
    }
    if (abbreviates(key, "shape", 2))
        return readparameter(s.shape, "lset", key, value);
    if (abbreviates(key, "ncat", 3)) {
        double k = 0.0;
        if (!number(value, k) || k < 1 || k > 20 || k != std::floor(k))
            return refuse("lset", key, value, "a whole number of categories from 1 to 20 is needed");
        s.ncat = static_cast<int>(k);
        return "";
    }
    if (abbreviates(key, "pinvar", 4))
        return readpinvar(s.pinvar, "lset", key, value);
    if (abbreviates(key, "variant", 3)) {
        if (v == "hky")
            return "";
        return refuse("lset", key, value, "only the HKY variant of nst=2 is offered");
    }
    return refuse("lset", key, value, "this option is not offered");
}

}  // namespace

std::string setoption(settings& into, std::string_view command, std::string_view key, std::string_view value)
{
    return command == "dset" ? dsetoption(into, key, value) : lsetoption(into, key, value);
}

std::string_view modelname(measure kind)
{
    switch (kind) {
    case measure::p: return "uncorrected (\"p\")";
    case measure::jc: return "Jukes-Cantor";
    case measure::k2p: return "Kimura 2-parameter";
    case measure::f81: return "F81";
    case measure::f84: return "F84";
    case measure::tamnei: return "Tamura-Nei";
    case measure::logdet: return "LogDet";
    case measure::ml: return "Maximum likelihood";
    }
    return "";
}

const std::string& title(const model& chosen)
{
    static const std::string titles[] = {
        "Uncorrected (\"p\") distance matrix", "Jukes-Cantor distance matrix", "Kimura 2-parameter distance matrix",
        "F81 distance matrix",                 "F84 distance matrix",          "Tamura-Nei distance matrix",
        "LogDet distance matrix",              "Maximum likelihood distance matrix"};
    return titles[static_cast<int>(chosen.kind)];
}

model resolve(const settings& from, std::string& refusal)
{
    refusal.clear();
    model m;
    m.kind = from.distance;
    m.missdist = from.missdist;
    const std::string name = "dset distance=" + std::string(modelname(from.distance));
    if (from.missdist == missingmode::infer && m.kind != measure::p && m.kind != measure::jc) {
        refusal = name + " with missdist=infer: missing data are inferred for p and JC distances only; " + dsetoffers;
        return m;
    }
    if (m.kind == measure::ml) {
        if (from.distancegamma) {
            refusal = name + " with dset rates=gamma: maximum likelihood distances take their rates from lset "
                             "rates=gamma shape=NUMBER ncat=K; " + std::string(lsetoffers);
            return m;
        }
        m.gamma = from.gamma;
        m.shape = from.shape.value;
        m.ncat = from.gamma ? from.ncat : 1;
        m.freqs = from.basefreq;
        m.given = {from.givenfreqs[0], from.givenfreqs[1], from.givenfreqs[2],
                   1.0 - from.givenfreqs[0] - from.givenfreqs[1] - from.givenfreqs[2]};
        m.nst = from.nst;
        m.tratio = from.tratio.value;
        if (from.nst == 6)
            m.rates = {from.rmatrix[0].value, from.rmatrix[1].value, from.rmatrix[2].value,
                       from.rmatrix[3].value, from.rmatrix[4].value, 1.0};
        return m;
    }
    const bool hasgamma = m.kind == measure::jc || m.kind == measure::k2p || m.kind == measure::f81 ||
                          m.kind == measure::tamnei;
    if (from.distancegamma && !hasgamma) {
        refusal = name + " with rates=gamma: this distance has no gamma form here; " + dsetoffers;
        return m;
    }
    m.gamma = from.distancegamma;
    m.shape = from.distanceshape.value;
    m.freqs = from.distancefreqs;
    return m;
}

std::string lowercase(std::string_view word)
{
    std::string r(word);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return r;
}

}  // namespace distances
