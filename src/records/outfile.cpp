#include "outfile.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

constexpr std::size_t buffersize = 1 << 20;

}  // namespace

outfile::outfile(std::string name) : name_(std::move(name)), buffer_(new char[buffersize])
{
    file_.rdbuf()->pubsetbuf(buffer_.get(), static_cast<std::streamsize>(buffersize));
    // Something other than a plain file under the name (a folder, a link, a
    // device) is written to directly, as the user set it up, and never removed.
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::symlink_status(name_, ec);
    if (!ec && std::filesystem::exists(st) && !std::filesystem::is_regular_file(st)) {
        file_.open(name_, std::ios::out | std::ios::trunc | std::ios::binary);
        return;
    }
    temp_ = name_ + ".tmp" + std::to_string(getpid());
    file_.open(temp_, std::ios::out | std::ios::trunc | std::ios::binary);
}

outfile::~outfile()
{
    if (committed_ || temp_.empty())
        return;
    if (file_.is_open())
        file_.close();
    std::remove(temp_.c_str());
}

bool outfile::commit()
{
    if (!file_.is_open())
        return false;
    file_.close();
    if (temp_.empty())
        return static_cast<bool>(file_);
    if (!file_ || std::rename(temp_.c_str(), name_.c_str()) != 0) {
        std::remove(temp_.c_str());
        return false;
    }
    committed_ = true;
    return true;
}
