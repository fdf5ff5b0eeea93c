#ifndef TOLVI_REPLICATES_H
#define TOLVI_REPLICATES_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "bootstrap.h"
#include "commander.h"

// Writes the bootstrap replicates of a command file: for each one the begin
// marker, the resampled data block, "begin PAUP;", the comparison section and
// the end marker. The data block's fixed text (its head, the marked names, the
// tabs and line ends) is laid out once; a replicate only draws its columns and
// gathers them into place, so writing allocates nothing per replicate.
class replicatewriter {
public:
    // `names` are the marked taxon names (commander::seqnames after
    // writematrix), `sequences` parallel to them; the writer keeps copies.
    replicatewriter(const std::vector<std::string>& names, const std::vector<std::string>& sequences,
                    std::string section);

    // Replicate number `replicate`, its columns drawn from `generator`.
    void write(std::ostream& cd, int replicate, bootstrapgenerator& generator);
    // The resampled data block alone (the last one written, or the next one
    // drawn with `generator`).
    std::string_view block(bootstrapgenerator& generator);

    std::size_t columns() const { return columns_; }

private:
    void fill(bootstrapgenerator& generator);

    std::vector<std::string> sequences_;
    std::vector<std::size_t> rowstart_;  // where each row's columns begin in the block
    std::size_t columns_ = 0;
    std::size_t size_ = 0;
    std::unique_ptr<char[]> block_;  // not zero-filled: every byte is written before use
    std::vector<std::uint32_t> positions_;
    std::string section_;
};

#endif
