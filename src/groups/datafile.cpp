#include "datafile.h"

#include <fstream>

#include "answer.h"

std::optional<std::string> readdatafile(datareading& read, std::string& filename, std::istream& in,
                                        std::ostream& out)
{
    out << "\n\nPlease enter the name of the NEXUS data file:\n";
    out << "\n\t[Warning: check wether there are data for comparing all sequence pairs.";
    out << "\n\t This can be done in PAUP by any nj or showdist command.";
    out << "\n\t If some distances are undefined,PAUP will set these arbitrarily to 2 times";
    out << "\n\t the maximum defined distance. Meaningless values would result.";
    out << "\n\t Exclude pairs with only few shared positions with nucleotide information,";
    out << "\n\t since the Bootstrap might generate matrices with no shared positions";
    out << "\n\t in these cases. Tolvi outputs a warning later when bootrapping";
    out << "\n\t should have resulted in undefined distances and ignores respective values]\n\n";

    std::string typed;
    if (!readfilename(in, out, typed))
        return std::nullopt;
    filename = typed;

    std::ifstream f(filename);
    if (!f) {
        out << "Can't open " << filename << " !\n";
        return std::string();
    }
    out << "\nskipping NEXUS head....\n\n";

    std::optional<datareading> result = importalignment(filename, f, out);
    if (!result)
        return std::nullopt;
    read = std::move(*result);
    return filename;
}
