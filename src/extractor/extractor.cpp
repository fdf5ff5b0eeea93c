#include "extractor.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "sha256.h"

void undefinedwarning(int numbera, int numberb, std::ostream& out)
{
    out << "\nWARNING: " << numbera << " " << numberb
        << " distance matrix contains undefined distance(s).\nThese have been arbitrarily set to 2 "
           "times the maximum defined distance by PAUP.\n Meaningless values would result."
        << "\nTriplet ignored by Tolvi"
        << "\nRecommendation: Please make sure that distance between all sequence pairs can be "
           "calculated.\nIf this is not the case, PAUP outputs the error message: No data for "
           "comparing taxa x and y. Distance is undefined.\n\n";
}

std::string groupmark(int g)
{
    return "$" + std::to_string(g);
}

bool hasmark(std::string_view label, std::string_view mark)
{
    std::size_t i = 0;
    while (i < label.size() && label[i] == '$') {
        std::size_t k = i + 1;
        if (k < label.size() && label[k] == '-')
            ++k;
        while (k < label.size() && label[k] >= '0' && label[k] <= '9')
            ++k;
        if (label.substr(i, k - i) == mark)
            return true;
        i = k;
    }
    return false;
}

tripletroles assignroles(std::string_view tax1, std::string_view tax2, std::string_view tax3,
                         std::string_view marka, std::string_view markb, float k1, float k2, float k3)
{
    // The six row orders, each as the positions (0-based) of the A and the B
    // row, with the distances that are then distab, distac and distbc.
    struct order {
        int arow, brow;
        int distab, distac, distbc;  // 0: k1, 1: k2, 2: k3
    };
    static const order orders[6] = {
        {0, 1, 0, 1, 2},  // A, B, C
        {0, 2, 1, 0, 2},  // A, C, B
        {1, 0, 0, 2, 1},  // B, A, C
        {2, 0, 1, 2, 0},  // B, C, A
        {1, 2, 2, 0, 1},  // C, A, B
        {2, 1, 2, 1, 0},  // C, B, A
    };
    const std::string_view tax[3] = {tax1, tax2, tax3};
    const float k[3] = {k1, k2, k3};
    for (const order& o : orders)
        if (hasmark(tax[o.arow], marka) && hasmark(tax[o.brow], markb))
            return {k[o.distab], k[o.distac], k[o.distbc]};

    // No order fits both marks: decide by the first two labels alone, the
    // A test first, as for labels of groups that do not overlap.
    int which;
    if (hasmark(tax1, marka))
        which = hasmark(tax2, markb) ? 0 : 1;
    else if (hasmark(tax1, markb))
        which = hasmark(tax2, marka) ? 2 : 3;
    else
        which = hasmark(tax2, marka) ? 4 : 5;
    const order& o = orders[which];
    return {k[o.distab], k[o.distac], k[o.distbc]};
}

namespace {

// The rest of a triplet matrix after its first label, parsed in place in the
// reader's buffer: the usual case of plain words and plain decimals that all
// end well inside the buffer. Anything else returns false with nothing
// consumed, and the word-by-word reading takes over.
bool quickmatrix(wordreader& logfile, std::string_view& tax2, float& k1, std::string_view& tax3, float& k2,
                 float& k3)
{
    const std::string_view win = logfile.window(1024);
    const char* p = win.data();
    const char* const end = p + win.size();
    auto word = [&](std::string_view& w) {
        while (p < end && isblankchar(static_cast<unsigned char>(*p)))
            ++p;
        const char* start = p;
        while (p < end && !isblankchar(static_cast<unsigned char>(*p)))
            ++p;
        w = std::string_view(start, static_cast<std::size_t>(p - start));
        return p < end;
    };
    auto number = [&](float& v) {
        while (p < end && isblankchar(static_cast<unsigned char>(*p)))
            ++p;
        const char* q = simpledecimal(p, end, v);
        if (!q)
            return false;
        p = q;
        return true;
    };
    std::string_view skip;
    if (word(skip) && word(skip) && word(tax2) && number(k1) && word(skip) && word(skip) && word(tax3) &&
        number(k2) && number(k3)) {
        logfile.consume(static_cast<std::size_t>(p - win.data()));
        return true;
    }
    return false;
}

void numberexpected(const wordreader& logfile, std::ostream& out)
{
    out << "\n\nA number was expected in the log, but the word \"" << logfile.badword()
        << "\" was found there. Reading stops; what was read before is kept.\n\n";
}

void readerror(const wordreader& logfile, std::ostream& out)
{
    if (logfile.readerror())
        out << "\n\nThe log could not be read to its end (a read error; a folder is no log): reading stops, what "
               "was read before is kept.\n\n";
}

}  // namespace

messageend skipmessage(wordreader& logfile, std::vector<std::string>* taxa)
{
    std::string_view w;
    // The words after "taxa" and after "and" name the two taxa.
    bool taxonnext = false;
    for (;;) {
        const bool got = logfile.word(w);
        if (logfile.eof())
            return messageend::logend;
        if (!got)
            return messageend::stop;
        if (w == "undefined.")
            return messageend::read;
        if (w == "###end")
            return messageend::comparisonend;
        if (taxa && taxonnext) {
            const std::string taxon(w.ends_with('.') ? w.substr(0, w.size() - 1) : w);
            if (std::find(taxa->begin(), taxa->end(), taxon) == taxa->end())
                taxa->push_back(taxon);
        }
        taxonnext = w == "taxa" || w == "and";
    }
}

extractor::extractor(std::string& logname, replicatetable& table, std::ostream& out, std::ostream* meter)
{
    std::ifstream logfile(logname, std::ios::binary);
    if (!logfile) {
        out << "Can't open " << logname << " !\n";
        return;
    }
    opened = true;
    table.clear();
    class sha256 digest;
    wordreader reader(logfile, 1 << 18, true, &digest);
    if (meter) {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(logname, ec);
        if (!ec && size > 0)
            reader.onfill([meter, size, last = -1](std::uint64_t done) mutable {
                const int percent = static_cast<int>(100.0 * static_cast<double>(done) / static_cast<double>(size));
                if (percent != last) {
                    last = percent;
                    *meter << "\r  reading the log: " << percent << "%" << std::flush;
                }
            });
    }
    readreplicates(reader, table, out);
    readerror(reader, out);
    notefault(reader);
    // The digest covers the whole file, also what follows the end marker.
    size = reader.drain();
    if (!reader.readerror())
        sha256 = digest.hex();
    if (meter)
        *meter << "\r  reading the log: done\n" << std::flush;
}

extractor::extractor(std::istream& log, replicatetable& table, std::ostream& out, std::size_t buffersize,
                     bool prefetch)
{
    opened = true;
    table.clear();
    wordreader reader(log, buffersize, prefetch);
    readreplicates(reader, table, out);
    readerror(reader, out);
    notefault(reader);
}

void extractor::notefault(const wordreader& logfile)
{
    if (logfile.failed()) {
        fault = logfault::badnumber;
        badword = logfile.badword();
    } else if (logfile.readerror()) {
        fault = logfault::readerror;
    }
}

void extractor::readreplicates(wordreader& logfile, replicatetable& table, std::ostream& out)
{
    std::string_view word;
    for (;;) {
        bool got = logfile.word(word);
        if (got && word == "bootstrap_end") {
            out << "\n\nlast bootstr repl!\n\n";
            ended = true;
            return;
        }
        if (logfile.eof()) {
            out << "\n\nEof!\n\n";
            return;
        }
        if (!got)
            return;
        if (word == "begin_bootstrap_replicate") {
            int repl = 0;
            if (!logfile.number(repl)) {
                // No number to show: the log ends here, or a word stands where
                // the replicate number belongs.
                if (logfile.failed())
                    numberexpected(logfile, out);
                else
                    out << "\n\nEof!\n\n";
                return;
            }
            out << "bootstrap replicate " << repl << "\n";
            std::vector<comparisonrecord> replicaterow;
            lastcut = !readcomparisons(logfile, replicaterow, out);
            table.push_back(std::move(replicaterow));
            replicates.push_back(repl);
        }
    }
}

bool extractor::readcomparisons(wordreader& logfile, std::vector<comparisonrecord>& replicaterow, std::ostream& out)
{
    std::string_view word;
    for (;;) {
        bool got = logfile.word(word);
        if (got && word == "end_bootstrap_replicate")
            return true;
        if (logfile.eof()) {
            out << "\n\nEof!\n\n";
            return false;
        }
        if (!got)
            return false;
        if (word == "###begin") {
            int numbera = 0;
            int numberb = 0;
            std::string namea;
            std::string nameb;
            std::string_view w;
            if (logfile.number(numbera) && logfile.number(numberb) && logfile.word(w)) {
                namea = w;
                if (logfile.word(w) && logfile.word(w))
                    nameb = w;
            }
            if (logfile.failed()) {
                numberexpected(logfile, out);
                return false;
            }
            comparisonrecord record(numbera, numberb, namea, nameb);
            readtriplets(logfile, numbera, numberb, record, out);
            replicaterow.push_back(std::move(record));
        }
    }
}

bool extractor::readtriplets(wordreader& logfile, int numbera, int numberb, comparisonrecord& record, std::ostream& out)
{
    const std::string marka = groupmark(numbera);
    const std::string markb = groupmark(numberb);
    std::string tax1, tax2, tax3;
    std::string_view word;
    // Set by an undefined-distance message: the next matrix is left out.
    bool undefined = false;
    for (;;) {
        // Only "###end", "No" and words with a "$" matter here: skip to the
        // next word that holds a "#", an "N" or a "$".
        bool got = logfile.wordwith(word, '$', '#', 'N');
        if (logfile.eof()) {
            out << "\n\nEnd of file reached!\n\n";
            return false;
        }
        if (!got)
            return false;
        if (word == "###end")
            return true;
        if (word == "No") {
            // One warning per matrix, however many messages stand before it.
            if (!undefined) {
                undefinedwarning(numbera, numberb, out);
                ++record.undefined;
            }
            undefined = true;
            switch (skipmessage(logfile, &record.undefinedtaxa)) {
            case messageend::read: continue;
            case messageend::comparisonend: return true;
            case messageend::logend: out << "\n\nEnd of file reached!\n\n"; return false;
            case messageend::stop: return false;
            }
        }
        if (word.find('$') == std::string_view::npos)
            continue;

        // The first label of a triplet matrix; then: "-", row number, label 2,
        // distance (1,2), "-", row number, label 3, distance (1,3), distance (2,3).
        tax1 = word;
        float k1 = 0.0f, k2 = 0.0f, k3 = 0.0f;
        std::string_view t2, t3;
        if (!quickmatrix(logfile, t2, k1, t3, k2, k3)) {
            std::string_view w;
            bool complete = logfile.word(w) && logfile.word(w) && logfile.word(w);
            if (complete) {
                tax2 = w;
                complete = logfile.number(k1) && logfile.word(w) && logfile.word(w) && logfile.word(w);
            }
            if (complete) {
                tax3 = w;
                complete = logfile.number(k2) && logfile.number(k3);
            }
            if (logfile.failed()) {
                numberexpected(logfile, out);
                return false;
            }
            if (!complete)
                continue;  // cut short by the end of the log: no triplet
            t2 = tax2;
            t3 = tax3;
        }

        if (undefined) {
            // The matrix with the undefined distance: read, and left out.
            undefined = false;
            continue;
        }
        const tripletroles r = assignroles(tax1, t2, t3, marka, markb, k1, k2, k3);
        const double distab = r.distab, distac = r.distac, distbc = r.distbc;
        record.brancha.push_back(static_cast<float>(distac - ((distbc + distac) - distab) / 2.0));
        record.branchb.push_back(static_cast<float>(distbc - ((distbc + distac) - distab) / 2.0));
    }
}

std::vector<comparisonrecord> readasread(std::istream& log)
{
    std::vector<comparisonrecord> row;
    wordreader reader(log);
    extractor reading;
    std::string_view w;
    while (reader.word(w) && w != "begin_bootstrap_replicate" && w != "bootstrap_end") {
        if (w != "###begin")
            continue;
        int numbera = 0;
        int numberb = 0;
        std::string namea;
        std::string nameb;
        if (reader.number(numbera) && reader.number(numberb) && reader.word(w)) {
            namea = w;
            if (reader.word(w) && reader.word(w))
                nameb = w;
        }
        if (reader.failed() || reader.eof())
            break;
        // Triplets with an undefined distance are left out as in the
        // replicates; a comparison cut short cannot stand for the alignment.
        std::ostream nowhere(nullptr);
        comparisonrecord record(numbera, numberb, namea, nameb);
        if (!reading.readtriplets(reader, numbera, numberb, record, nowhere)) {
            record.brancha.clear();
            record.branchb.clear();
        }
        row.push_back(std::move(record));
        if (reader.failed())
            break;
    }
    return row;
}

std::vector<comparisonrecord> readasread(const std::string& logname)
{
    std::ifstream log(logname, std::ios::binary);
    if (!log)
        return {};
    return readasread(log);
}
