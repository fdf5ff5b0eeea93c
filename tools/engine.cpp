#include "engine.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "counts.h"
#include "formulas.h"
#include "likelihood.h"
#include "matrix.h"
#include "model.h"

namespace {

std::string at(long line)
{
    return "line " + std::to_string(line) + ": ";
}

using distances::lowercase;

bool wholenumber(std::string_view s, unsigned long long& v)
{
    if (s.empty())
        return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size();
}

// One "key" or "key=value" of a command, the key in lower case.
struct option {
    std::string key;
    std::string value;  // as written; empty for a bare key
    long line = 0;
};

// The options of a command from its words: "key", "key=value", and
// "key=(...)" for a parenthesised list of words.
std::vector<option> options(const std::vector<token>& args, const std::string& command)
{
    std::vector<option> r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].what != token::word)
            throw engineerror(at(args[i].line) + "\"=\" without an option name in front of it in \"" +
                               command + "\"");
        option o{lowercase(args[i].text), "", args[i].line};
        if (i + 1 < args.size() && args[i + 1].what == token::equals) {
            i += 2;
            if (i >= args.size() || args[i].what != token::word)
                throw engineerror(at(o.line) + "the option \"" + o.key + "\" of \"" + command +
                                   "\" has \"=\" but no value");
            o.value = args[i].text;
            if (!o.value.empty() && o.value.front() == '(')
                while (o.value.back() != ')' && i + 1 < args.size() && args[i + 1].what == token::word)
                    o.value += " " + args[++i].text;
        }
        r.push_back(std::move(o));
    }
    return r;
}

// A data block: the taxon names and the sequences as base masks.
struct datablock {
    std::vector<std::string> names;
    std::vector<std::string> labels;  // the names as a matrix shows them: "_" as a blank
    std::size_t ntax = 0;
    std::size_t nchar = 0;
    char gap = '-';
    char missing = '?';
    bool matrix = false;
    long line = 0;  // where "begin data;" stands
    std::vector<distances::slicedsequence> sliced;  // the sequences laid out for counting
};

// The options of "set" that change no distance.
bool harmlessset(std::string_view key)
{
    for (std::string_view k : {"monitor", "warnreset", "criterion", "autoclose", "notifybeep", "errorbeep",
                               "errorstop", "increase", "maxtrees", "storebrlens", "warntree", "warntsave"})
        if (key == k)
            return true;
    return false;
}

// Distances by pair a * ntax + b, not yet computed: `unknown`; in a flat
// table for up to 1024 taxa, else in a hash table.
class distancecache {
public:
    void reset(std::size_t ntax)
    {
        ntax_ = ntax;
        flat_.assign(ntax <= 1024 ? ntax * ntax : 0, unknown());
        hashed_.clear();
    }
    void clear() { reset(ntax_); }
    distances::distance& operator[](std::size_t key)
    {
        if (!flat_.empty())
            return flat_[key];
        return hashed_.try_emplace(key, unknown()).first->second;
    }

private:
    static distances::distance unknown() { return {0.0, distances::undefined::unknown}; }
    std::size_t ntax_ = 0;
    std::vector<distances::distance> flat_;
    std::unordered_map<std::size_t, distances::distance> hashed_;
};

class interpreter {
public:
    interpreter(std::istream& commands, const logopener& openlog, std::ostream& screen, const std::string& when)
        : reader_(commands), openlog_(openlog), screen_(screen), when_(when)
    {
    }

    enginerun run();

private:
    void next();
    void rest(const std::string& command, long line);
    void print(std::string_view text);
    void openpending();
    void needlog(long line, std::string_view what);

    void command(const std::string& name, long line);
    void datacommand(const std::string& name, long line);
    void logcommand(long line);
    void setcommand(const std::string& name, long line);
    void dimensions(long line);
    void format(long line);
    void matrix(long line);
    void enddata(long line);
    void selection(const std::string& name, long line, bool restore);
    void showdist(long line);
    void showmatrix(long line);  // appends the matrix of the shown taxa to out_
    bool triplet();
    const distances::paircounts& counts(std::size_t a, std::size_t b);
    const distances::model& currentmodel(long line);

    cmdreader reader_;
    const logopener& openlog_;
    std::ostream& screen_;
    const std::string& when_;
    std::ostream* log_ = nullptr;
    enginerun result_;
    // A log named but not yet opened: its name, mode and line, and what has
    // been printed to it so far.
    bool pending_log_ = false;
    std::string pending_name_;
    logmode pending_mode_ = logmode::fresh;
    long pending_line_ = 0;
    std::string pending_text_;

    token t_;
    std::vector<token> args_;
    std::string out_;
    matrixwriter matrices_;
    std::string masks_;  // a matrix row's base sets

    distances::settings settings_;
    std::optional<distances::model> model_;  // resolved from settings_ when first needed
    long settingsline_ = 0;                  // the last dset or lset
    std::unique_ptr<distances::pairlikelihood> fixedlikelihood_;  // where the frequencies do not vary

    bool indata_ = false;
    datablock pending_;
    bool hasdata_ = false;
    datablock data_;
    bool allactive_ = true;
    std::vector<std::size_t> restored_;  // active taxa (0-based) while not all are
    std::unordered_map<std::uint64_t, distances::paircounts> cache_;
    // Distances of pairs, where the model gives a pair the same distance in
    // every matrix (distances::paironly); for this data block and model.
    distancecache distancecache_;

    std::vector<std::size_t> picked_;  // the taxa a delete or restore names
    std::vector<std::size_t> shown_;
    std::vector<const distances::slicedsequence*> taxa_;
    std::vector<std::string_view> labels_;
    std::vector<std::size_t> numbers_;
    std::vector<distances::distance> lower_;
};

// The next token that is not a "[!...]" comment; those are printed on the way.
void interpreter::next()
{
    for (;;) {
        reader_.next(t_);
        if (t_.what != token::printcomment)
            return;
        t_.text += '\n';
        print(t_.text);
    }
}

// The words of the current command up to its ";", into args_.
void interpreter::rest(const std::string& command, long line)
{
    args_.clear();
    for (;;) {
        next();
        if (t_.what == token::semicolon)
            return;
        if (t_.what == token::end)
            throw engineerror(at(line) + "the command \"" + command + "\" that begins here has no \";\"");
        args_.push_back(t_);
    }
}

void interpreter::print(std::string_view text)
{
    if (pending_log_) {
        pending_text_ += text;
        return;
    }
    std::ostream& os = log_ ? *log_ : screen_;
    os.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!os)
        throw engineerror(log_ ? "the log \"" + result_.log + "\" could not be written"
                                : std::string("the output could not be written"));
}

// Opens the log named last and writes what was printed to it so far.
void interpreter::openpending()
{
    if (!pending_log_)
        return;
    pending_log_ = false;
    std::string why;
    std::ostream* os = openlog_(pending_name_, pending_mode_, why);
    if (!os)
        throw engineerror(at(pending_line_) + "the log \"" + pending_name_ + "\" cannot be opened: " + why);
    log_ = os;
    print(pending_text_);
    pending_text_.clear();
}

void interpreter::needlog(long line, std::string_view what)
{
    if (result_.log.empty())
        throw engineerror(at(line) + std::string(what) +
                           " before any log was opened: the command file must begin with "
                           "\"log file=NAME replace=yes;\"");
}

enginerun interpreter::run()
{
    next();
    if (t_.what != token::word || lowercase(t_.text) != "#nexus")
        throw engineerror(at(t_.line) + "a command file begins with \"#NEXUS\"");
    for (;;) {
        if (!indata_ && triplet())
            continue;
        next();
        if (t_.what == token::end)
            break;
        if (t_.what == token::semicolon)
            continue;
        if (t_.what == token::equals)
            throw engineerror(at(t_.line) + "\"=\" where a command should begin");
        const long line = t_.line;
        const std::string name = lowercase(t_.text);
        if (indata_)
            datacommand(name, line);
        else
            command(name, line);
    }
    if (indata_)
        throw engineerror(at(pending_.line) + "the data block that begins here has no \"end;\"");
    if (result_.log.empty())
        throw engineerror("the command file never opens a log: \"log file=NAME replace=yes;\" is missing");
    openpending();
    if (log_) {
        log_->flush();
        if (!*log_)
            throw engineerror("the log \"" + result_.log + "\" could not be written");
    }
    return result_;
}

void interpreter::command(const std::string& name, long line)
{
    // The commands of every triplet first.
    const std::string_view word = name;
    if (word == "delete" || word == "restore") {
        selection(name, line, word == "restore");
    } else if (word == "showdist") {
        showdist(line);
    } else if (name == "begin") {
        rest(name, line);
        const std::string block = args_.empty() ? "" : lowercase(args_[0].text);
        if (block == "data") {
            needlog(line, "a data block");
            indata_ = true;
            pending_ = datablock{};
            pending_.line = line;
        } else if (block != "paup") {
            throw refusal(at(line) + "begin " + block + ": tolvi-distances reads data and paup blocks only");
        }
    } else if (name == "log") {
        logcommand(line);
    } else if (name == "dset" || name == "lset") {
        setcommand(name, line);
    } else if (name == "factory") {
        rest(name, line);
        settings_ = distances::settings{};
        model_.reset();
        settingsline_ = line;
    } else if (name == "set") {
        rest(name, line);
        for (const option& o : options(args_, name))
            if (!harmlessset(o.key))
                throw refusal(at(o.line) + "set " + o.key + ": tolvi-distances accepts set with monitor, warnreset, "
                              "criterion, autoclose, notifybeep, errorbeep, errorstop, increase, maxtrees, "
                              "storebrlens, warntree and warntsave, which change no distance");
    } else if (name == "end" || name == "endblock" || name == "usertree" || name == "quit") {
        rest(name, line);  // change no distance
    } else {
        throw refusal(at(line) + name + ": tolvi-distances does not carry out this command; it carries out "
                      "log, begin data/paup, end, factory, set, dset, lset, delete, restore, ShowDist, usertree "
                      "and quit (see its manual page)");
    }
}

void interpreter::logcommand(long line)
{
    rest("log", line);
    std::string file;
    bool replace = false, append = false, stop = false;
    for (const option& o : options(args_, "log")) {
        const std::string v = lowercase(o.value);
        const bool yes = o.value.empty() || v == "yes";
        if (!o.value.empty() && v != "yes" && v != "no" && o.key != "file")
            throw engineerror(at(o.line) + "log: \"" + o.key + "\" takes yes or no");
        if (o.key == "file") {
            if (o.value.empty())
                throw engineerror(at(o.line) + "log: \"file\" needs a file name, as in file=NAME");
            file = o.value;
        } else if (o.key == "replace") {
            replace = yes;
        } else if (o.key == "append") {
            append = yes;
        } else if (o.key == "stop") {
            stop = yes;
        } else if (o.key != "start") {
            throw engineerror(at(o.line) + "log: unknown option \"" + o.key + "\"");
        }
    }
    if (!stop && file.empty())
        throw engineerror(at(line) + "log without a file name: \"log file=NAME replace=yes;\"");
    openpending();
    if (log_ && !log_->flush())
        throw engineerror(at(line) + "the log \"" + result_.log + "\" could not be written");
    log_ = nullptr;
    if (stop)
        return;
    pending_log_ = true;
    pending_name_ = file;
    pending_mode_ = replace ? logmode::replace : append ? logmode::append : logmode::fresh;
    pending_line_ = line;
    result_.log = file;
    print(banner(when_));
}

void interpreter::setcommand(const std::string& name, long line)
{
    rest(name, line);
    for (const option& o : options(args_, name)) {
        const std::string why = distances::setoption(settings_, name, o.key, o.value);
        if (!why.empty())
            throw refusal(at(o.line) + why);
    }
    model_.reset();
    settingsline_ = line;
}

// The model the settings ask for, resolved once after every change.
const distances::model& interpreter::currentmodel(long line)
{
    if (!model_) {
        std::string why;
        model_ = distances::resolve(settings_, why);
        if (!why.empty())
            throw refusal(at(line) + "ShowDist under the settings made up to line " + std::to_string(settingsline_) +
                          ": " + why);
        fixedlikelihood_.reset();
        distancecache_.clear();
        if (model_->kind == distances::measure::ml && distances::paironly(*model_))
            fixedlikelihood_ =
                std::make_unique<distances::pairlikelihood>(*model_, distances::matrixfrequencies(*model_, {}));
    }
    return *model_;
}

void interpreter::datacommand(const std::string& name, long line)
{
    if (name == "dimensions") {
        dimensions(line);
    } else if (name == "format") {
        format(line);
    } else if (name == "matrix") {
        matrix(line);
    } else if (name == "end" || name == "endblock") {
        rest(name, line);
        enddata(line);
    } else if (name == "begin") {
        throw engineerror(at(line) + "a block begins inside the data block that begins at line " +
                           std::to_string(pending_.line) + " (\"end;\" is missing)");
    } else {
        rest(name, line);
    }
}

void interpreter::dimensions(long line)
{
    rest("dimensions", line);
    for (const option& o : options(args_, "dimensions")) {
        unsigned long long v = 0;
        const bool ntax = o.key == "ntax";
        if (!ntax && o.key != "nchar")
            continue;
        const unsigned long long most = ntax ? 10000000ULL : 2000000000ULL;
        if (!wholenumber(o.value, v) || v < 1 || v > most)
            throw engineerror(at(o.line) + "dimensions: " + o.key + " must be a whole number from 1 to " +
                               std::to_string(most) + ", not \"" + o.value + "\"");
        (ntax ? pending_.ntax : pending_.nchar) = static_cast<std::size_t>(v);
    }
}

void interpreter::format(long line)
{
    rest("format", line);
    for (const option& o : options(args_, "format")) {
        const std::string v = lowercase(o.value);
        if (o.key == "datatype") {
            if (v != "dna" && v != "nucleotide" && v != "rna")
                throw engineerror(at(o.line) + "format: only DNA data can be read, not datatype=" + o.value);
        } else if (o.key == "gap" || o.key == "missing") {
            const char c = o.value.size() == 1 ? o.value[0] : '\0';
            if (c == '\0' || c == '$' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
                throw engineerror(at(o.line) + "format: " + o.key + " must be one symbol that is no letter or digit, not \"" +
                                   o.value + "\"");
            (o.key == "gap" ? pending_.gap : pending_.missing) = c;
        } else if (o.key == "interleave" || o.key == "matchchar" || o.key == "transpose") {
            if (v != "no")
                throw engineerror(at(o.line) + "format: \"" + o.key + "\" matrices cannot be read here");
        }
    }
}

void interpreter::matrix(long line)
{
    datablock& b = pending_;
    if (b.ntax == 0 || b.nchar == 0)
        throw engineerror(at(line) + "the matrix comes before \"dimensions ntax=... nchar=...;\"");
    if (b.matrix)
        throw engineerror(at(line) + "a second matrix in the same data block");
    b.names.clear();
    b.labels.clear();
    b.sliced.clear();
    std::uint8_t symbols[256];
    for (int c = 0; c < 256; ++c)
        symbols[c] = bases::bitsof(static_cast<char>(c), b.gap, b.missing);
    for (std::size_t r = 0; r < b.ntax; ++r) {
        next();
        const std::string row = "row " + std::to_string(r + 1);
        if (t_.what == token::semicolon || t_.what == token::end)
            throw engineerror(at(t_.line) + "the matrix ends after " + std::to_string(r) +
                               " rows, but the dimensions say ntax=" + std::to_string(b.ntax));
        if (t_.what != token::word)
            throw engineerror(at(t_.line) + row + " of the matrix begins with \"" + t_.text + "\"");
        b.names.push_back(t_.text);
        const std::string& taxon = b.names.back();
        b.labels.push_back(taxon);
        std::replace(b.labels.back().begin(), b.labels.back().end(), '_', ' ');
        next();
        if (t_.what != token::word)
            throw engineerror(at(t_.line) + row + " (" + taxon + ") has no sequence");
        if (t_.text.size() != b.nchar)
            throw engineerror(at(t_.line) + row + " (" + taxon + ") has a sequence of " +
                               std::to_string(t_.text.size()) + " characters, but the dimensions say nchar=" +
                               std::to_string(b.nchar));
        masks_.resize(t_.text.size());
        bool unknown = false;
        for (std::size_t i = 0; i < t_.text.size(); ++i) {
            const std::uint8_t m = symbols[static_cast<unsigned char>(t_.text[i])];
            unknown |= m == 0;
            masks_[i] = static_cast<char>(m);
        }
        if (unknown)
            for (std::size_t i = 0; i < t_.text.size(); ++i)
                if (masks_[i] == 0)
                    throw engineerror(at(t_.line) + row + " (" + taxon + "), column " + std::to_string(i + 1) +
                                      ": \"" + std::string(1, t_.text[i]) + "\" is not a DNA symbol");
        b.sliced.emplace_back(masks_);
    }
    next();
    if (t_.what != token::semicolon)
        throw engineerror(at(t_.line) + "the matrix has more rows than ntax=" + std::to_string(b.ntax) +
                           " (or a sequence is split into several words): \"" + t_.text + "\" follows row " +
                           std::to_string(b.ntax));
    b.matrix = true;
}

void interpreter::enddata(long line)
{
    if (!pending_.matrix)
        throw engineerror(at(line) + "the data block that begins at line " + std::to_string(pending_.line) +
                           " has no matrix");
    indata_ = false;
    data_ = std::move(pending_);
    pending_ = datablock{};
    hasdata_ = true;
    allactive_ = true;
    restored_.clear();
    cache_.clear();
    distancecache_.reset(data_.ntax);
    ++result_.datablocks;
    print("\nData read in DNA format\n\nData matrix has " + std::to_string(data_.ntax) + " taxa, " +
          std::to_string(data_.nchar) + " characters\nValid character-state symbols: ACGT\n"
          "Missing data identified by '" + std::string(1, data_.missing) + "'\nGaps identified by '" +
          std::string(1, data_.gap) + "'\n");
}

void interpreter::selection(const std::string& name, long line, bool restore)
{
    rest(name, line);
    if (!hasdata_)
        throw engineerror(at(line) + name + " before any data block");
    const std::size_t ntax = data_.ntax;
    auto number = [&](const token& w, unsigned long long& v) {
        if (!wholenumber(w.text, v))
            return false;
        if (v < 1 || v > ntax)
            throw engineerror(at(w.line) + name + ": taxon " + w.text + " is outside the data block, which has " +
                               std::to_string(ntax) + " taxa");
        return true;
    };
    bool all = false;
    std::vector<std::size_t>& picked = picked_;
    picked.clear();
    for (std::size_t i = 0; i < args_.size(); ++i) {
        const token& w = args_[i];
        if (w.what != token::word)
            throw engineerror(at(w.line) + name + ": \"=\" in a taxon list");
        if (w.text == "/")
            break;  // options of the command follow
        if (lowercase(w.text) == "all") {
            all = true;
            continue;
        }
        unsigned long long from = 0, to = 0;
        const std::size_t dash = w.text.find('-');
        if (dash != std::string::npos && dash > 0 && dash + 1 < w.text.size()) {
            token a = w, b = w;
            a.text = w.text.substr(0, dash);
            b.text = w.text.substr(dash + 1);
            if (number(a, from) && number(b, to)) {
                for (unsigned long long k = std::min(from, to); k <= std::max(from, to); ++k)
                    picked.push_back(static_cast<std::size_t>(k - 1));
                continue;
            }
        }
        if (number(w, from)) {
            if (i + 2 < args_.size() && args_[i + 1].text == "-" && number(args_[i + 2], to)) {
                i += 2;
                for (unsigned long long k = std::min(from, to); k <= std::max(from, to); ++k)
                    picked.push_back(static_cast<std::size_t>(k - 1));
            } else {
                picked.push_back(static_cast<std::size_t>(from - 1));
            }
            continue;
        }
        const std::string want = lowercase(w.text);
        std::size_t k = 0;
        while (k < ntax && lowercase(data_.names[k]) != want)
            ++k;
        if (k == ntax)
            throw engineerror(at(w.line) + name + ": there is no taxon \"" + w.text + "\" in the data block");
        picked.push_back(k);
    }

    if (all) {
        allactive_ = restore;
        restored_.clear();
        return;
    }
    if (restore) {
        if (!allactive_)
            restored_.insert(restored_.end(), picked.begin(), picked.end());
        return;
    }
    std::vector<char> gone(ntax, 0);
    for (std::size_t k : picked)
        gone[k] = 1;
    if (allactive_) {
        restored_.clear();
        for (std::size_t k = 0; k < ntax; ++k)
            if (!gone[k])
                restored_.push_back(k);
        allactive_ = false;
    } else {
        restored_.erase(std::remove_if(restored_.begin(), restored_.end(), [&](std::size_t k) { return gone[k] != 0; }),
                        restored_.end());
    }
}

const distances::paircounts& interpreter::counts(std::size_t a, std::size_t b)
{
    const auto mode = model_->missdist;
    const std::uint64_t key =
        (static_cast<std::uint64_t>(a) * data_.ntax + b) * 2 + (mode == distances::missingmode::infer ? 1 : 0);
    auto it = cache_.find(key);
    if (it == cache_.end())
        it = cache_.emplace(key, distances::countpair(data_.sliced[a], data_.sliced[b], mode)).first;
    return it->second;
}

void interpreter::showdist(long line)
{
    rest("showdist", line);
    out_.clear();
    showmatrix(line);
    print(out_);
}

// A triplet's commands exactly as Tolvi writes them, read straight from the
// input; anything else, and any fault, is left to the reading word by word:
//   \ndelete all;\nrestore A B C;\n[!TEXT]ShowDist;[!TEXT];
bool interpreter::triplet()
{
    static constexpr std::string_view head = "\ndelete all;\nrestore ";
    const std::string_view ahead = reader_.lookahead(512);
    if (!hasdata_ || ahead.substr(0, head.size()) != head)
        return false;
    std::size_t at = head.size();
    std::size_t taxa[3];
    for (std::size_t k = 0; k < 3; ++k) {
        const char* from = ahead.data() + at;
        const auto [stop, ec] = std::from_chars(from, ahead.data() + ahead.size(), taxa[k]);
        if (ec != std::errc() || stop == from || taxa[k] < 1 || taxa[k] > data_.ntax)
            return false;
        at += static_cast<std::size_t>(stop - from);
        if (at >= ahead.size() || ahead[at] != (k < 2 ? ' ' : ';'))
            return false;
        ++at;
    }
    // A printed comment without brackets inside, then `follow`.
    auto comment = [&](std::string_view follow, std::string_view& text) {
        if (ahead.substr(at, 2) != "[!")
            return false;
        std::size_t close = at + 2;
        while (close < ahead.size() && ahead[close] != '[' && ahead[close] != ']')
            ++close;
        if (close == ahead.size() || ahead[close] != ']' || ahead.substr(close + 1, follow.size()) != follow)
            return false;
        text = ahead.substr(at + 2, close - at - 2);
        at = close + 1 + follow.size();
        return true;
    };
    std::string_view before, after;
    if (ahead.substr(at, 1) != "\n")
        return false;
    ++at;
    if (!comment("ShowDist;", before) || !comment(";", after))
        return false;
    if (result_.log.empty())
        return false;  // the word-by-word reading says what is missing
    reader_.skip(head.size());
    const long showline = reader_.line() + 1 + static_cast<long>(std::count(before.begin(), before.end(), '\n'));
    allactive_ = false;
    restored_.assign(taxa, taxa + 3);
    for (std::size_t& k : restored_)
        --k;
    // The two comments and the matrix between them, printed at once.
    out_.assign(before);
    out_ += '\n';
    showmatrix(showline);
    out_ += after;
    out_ += '\n';
    print(out_);
    reader_.skip(at - head.size());
    return true;
}

void interpreter::showmatrix(long line)
{
    needlog(line, "ShowDist");
    if (!hasdata_)
        throw engineerror(at(line) + "ShowDist before any data block");
    shown_.clear();
    if (allactive_) {
        for (std::size_t k = 0; k < data_.ntax; ++k)
            shown_.push_back(k);
    } else {
        shown_ = restored_;
        std::sort(shown_.begin(), shown_.end());
        shown_.erase(std::unique(shown_.begin(), shown_.end()), shown_.end());
    }
    if (shown_.empty())
        throw engineerror(at(line) + "ShowDist while every taxon is deleted");

    const distances::model& chosen = currentmodel(line);
    openpending();

    taxa_.clear();
    labels_.clear();
    numbers_.clear();
    for (std::size_t k : shown_) {
        taxa_.push_back(&data_.sliced[k]);
        labels_.push_back(data_.labels[k]);
        numbers_.push_back(k + 1);
    }
    if (distances::paironly(chosen)) {
        // A pair's distance is computed once for the data block.
        const distances::basefrequencies freqs = distances::matrixfrequencies(chosen, {});
        lower_.clear();
        for (std::size_t i = 1; i < shown_.size(); ++i)
            for (std::size_t j = 0; j < i; ++j) {
                const std::size_t a = shown_[j], b = shown_[i];
                const std::size_t key = a * data_.ntax + b;
                if (distancecache_[key].why == distances::undefined::unknown)
                    distancecache_[key] = distances::pairdistance(chosen, counts(a, b), freqs, data_.sliced[a].bases(),
                                                                  data_.sliced[b].bases(), fixedlikelihood_.get());
                lower_.push_back(distancecache_[key]);
            }
    } else {
        // The model takes the frequencies of the shown taxa.
        std::optional<distances::pairlikelihood> likelihood;
        if (chosen.kind == distances::measure::ml)
            likelihood.emplace(chosen, distances::matrixfrequencies(chosen, taxa_));
        distances::matrixdistances(
            chosen, taxa_,
            [this](std::size_t j, std::size_t i) -> const distances::paircounts& { return counts(shown_[j], shown_[i]); },
            likelihood ? &*likelihood : nullptr, lower_);
    }
    matrices_.write(out_, labels_, numbers_, lower_, chosen, data_.nchar);
    ++result_.matrices;
}

}  // namespace

enginerun runcommands(std::istream& commands, const logopener& openlog, std::ostream& screen,
                       const std::string& when)
{
    interpreter i(commands, openlog, screen, when);
    return i.run();
}
