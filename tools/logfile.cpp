#include "logfile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool writeall(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

int openfile(const std::string& path, bool append)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0666);
}

}  // namespace

logfile::buffer::buffer(int fd) : fd_(fd), ok_(fd >= 0)
{
    for (auto& half : halves_)
        half.resize(std::size_t{1} << 20);
    setp(halves_[0].data(), halves_[0].data() + halves_[0].size());
}

// Waits for the half being written.
bool logfile::buffer::wait()
{
    if (writing_.valid())
        ok_ = writing_.get() && ok_;
    return ok_;
}

// Hands the filled half to the writing thread and fills the other one.
bool logfile::buffer::handover()
{
    wait();
    const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
    if (size > 0 && fd_ >= 0) {
        const char* data = pbase();
        writing_ = std::async(std::launch::async, [fd = fd_, data, size] { return writeall(fd, data, size); });
        filling_ ^= 1;
    }
    setp(halves_[filling_].data(), halves_[filling_].data() + halves_[filling_].size());
    return ok_ && fd_ >= 0;
}

int logfile::buffer::overflow(int c)
{
    if (!handover())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int logfile::buffer::sync()
{
    return handover() && wait() ? 0 : -1;
}

bool logfile::buffer::finish()
{
    if (fd_ < 0)
        return ok_;
    const bool written = sync() == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    ok_ = written && closed;
    return ok_;
}

logfile::logfile(const std::string& path, bool append) : std::ostream(nullptr), buffer_(openfile(path, append))
{
    rdbuf(&buffer_);
    if (!buffer_.opened())
        setstate(std::ios::badbit);
}

logfile::~logfile()
{
    close();
}

bool logfile::close()
{
    if (!buffer_.finish())
        setstate(std::ios::badbit);
    return good();
}
