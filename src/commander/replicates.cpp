#include "replicates.h"

#include <cstring>

replicatewriter::replicatewriter(const std::vector<std::string>& names, const std::vector<std::string>& sequences,
                                 std::string section)
    : section_(std::move(section))
{
    columns_ = sequences.empty() ? 0 : sequences.front().size();
    sequences_.resize(names.size());
    for (std::size_t t = 0; t < names.size() && t < sequences.size(); ++t)
        sequences_[t] = sequences[t];

    const std::string head = "\nBegin data;\ndimensions ntax=" + std::to_string(names.size()) +
                             " nchar=" + std::to_string(columns_) +
                             ";\nFormat datatype=DNA gap=- missing=?;\n\nMATRIX\n\n";
    const std::string tail = ";\nend;\n\n\n";
    size_ = head.size() + tail.size();
    for (const std::string& n : names)
        size_ += n.size() + 1 + columns_ + 1;
    block_.reset(new char[size_]);

    char* p = block_.get();
    std::memcpy(p, head.data(), head.size());
    p += head.size();
    rowstart_.reserve(names.size());
    for (const std::string& n : names) {
        std::memcpy(p, n.data(), n.size());
        p += n.size();
        *p++ = '\t';
        rowstart_.push_back(static_cast<std::size_t>(p - block_.get()));
        p += columns_;
        *p++ = '\n';
    }
    std::memcpy(p, tail.data(), tail.size());
}

void replicatewriter::fill(bootstrapgenerator& generator)
{
    generator.replicate(columns_, positions_);
    const std::uint32_t* pos = positions_.data();
    for (std::size_t t = 0; t < sequences_.size(); ++t) {
        const std::string& s = sequences_[t];
        char* row = block_.get() + rowstart_[t];
        if (s.size() >= columns_) {
            const char* from = s.data();
            for (std::size_t k = 0; k < columns_; ++k)
                row[k] = from[pos[k]];
        } else {
            // A row shorter than the first: what it lacks is missing data.
            for (std::size_t k = 0; k < columns_; ++k)
                row[k] = pos[k] < s.size() ? s[pos[k]] : '?';
        }
    }
}

std::string_view replicatewriter::block(bootstrapgenerator& generator)
{
    fill(generator);
    return {block_.get(), size_};
}

void replicatewriter::write(std::ostream& cd, int replicate, bootstrapgenerator& generator)
{
    fill(generator);
    cd << "[!\nbegin_bootstrap_replicate " << replicate << "\n]";
    cd.write(block_.get(), static_cast<std::streamsize>(size_));
    cd << "begin PAUP;\n";
    cd.write(section_.data(), static_cast<std::streamsize>(section_.size()));
    cd << "[!\nend_bootstrap_replicate " << replicate << "\n]";
}
