#ifndef TOLVI_ENGINE_LOGWRITER_H
#define TOLVI_ENGINE_LOGWRITER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "formulas.h"
#include "model.h"

// The banner at the top of every log.
std::string banner(const std::string& when);

// Writes ShowDist's matrices; keeps the heading of the last one for the next
// of the same size.
class matrixwriter {
public:
    // Appends to `out` what ShowDist prints for the shown taxa: first, for every
    // pair without a defined distance, PAUP's message "No data for comparing taxa
    // X and Y. Distance is undefined." (the form the log reader reads past), and
    // where the model rather than the data leaves it undefined a line of its own
    // with the reason; then the title, the number of characters, a blank line,
    // the column numbers and one row per shown taxon: its number among the shown
    // rows right-aligned in 2 places, a blank, its label left-aligned in a field
    // as wide as the longest shown label (labels come as shown: a name's
    // underscores as blanks), the
    // distances to the rows above, each right-aligned in 9 places with 5
    // decimals, and "-" on the diagonal. An undefined distance is shown as twice
    // the largest defined distance of the matrix (0 where there is none).
    // `labels` and `taxa` (the taxa's numbers in the data block, 1-based, for the
    // messages) are parallel; `lower` holds the distances below the diagonal row
    // by row: (2,1), (3,1), (3,2), (4,1), ...
    void write(std::string& out, const std::vector<std::string_view>& labels, const std::vector<std::size_t>& taxa,
               const std::vector<distances::distance>& lower, const distances::model& chosen, std::size_t nchar);

private:
    // A distance's cell, as "%.5f" right-aligned: the same few distances recur
    // in thousands of matrices of a data block, so the text of the last one
    // written at each slot is kept.
    std::string_view distancecell(double value);

    struct formatted {
        double value = -1.0;
        unsigned char size = 0;
        char text[31];
    };
    std::vector<formatted> cells_ = std::vector<formatted>(4096);
    std::string cellscratch_;
    std::string heading_;
    const std::string* title_ = nullptr;
    std::size_t nchar_ = 0, count_ = 0, width_ = 0;
};

#endif
