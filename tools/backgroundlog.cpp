#include "backgroundlog.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t buffersize = std::size_t{4} << 20;

}  // namespace

backgroundlog::backgroundlog(const std::filesystem::path& path, bool append) : std::ostream(&buffer_)
{
    if (!buffer_.open(path, append))
        setstate(std::ios::badbit);
}

backgroundlog::~backgroundlog()
{
    buffer_.close();
}

void backgroundlog::close()
{
    if (!buffer_.close())
        setstate(std::ios::badbit);
}

bool backgroundlog::buffer::open(const std::filesystem::path& path, bool append)
{
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC), 0666);
    if (fd_ < 0) {
        error = std::strerror(errno);
        return false;
    }
    filling_.resize(buffersize);
    writing_.resize(buffersize);
    setp(filling_.data(), filling_.data() + filling_.size());
    thread_ = std::thread([this] { writer(); });
    return true;
}

bool backgroundlog::buffer::close()
{
    if (fd_ < 0)
        return error.empty();
    bool ok = handover() && wait();
    {
        std::lock_guard<std::mutex> hold(lock_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
    if (::close(fd_) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
    fd_ = -1;
    setp(nullptr, nullptr);
    return ok;
}

backgroundlog::buffer::int_type backgroundlog::buffer::overflow(int_type c)
{
    if (fd_ < 0 || !handover())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int backgroundlog::buffer::sync()
{
    return fd_ >= 0 && handover() && wait() ? 0 : -1;
}

bool backgroundlog::buffer::handover()
{
    if (!wait())
        return false;
    const std::size_t filled = static_cast<std::size_t>(pptr() - pbase());
    if (filled > 0) {
        {
            std::lock_guard<std::mutex> hold(lock_);
            filling_.swap(writing_);
            towrite_ = filled;
            busy_ = true;
        }
        changed_.notify_all();
        setp(filling_.data(), filling_.data() + filling_.size());
    }
    return true;
}

bool backgroundlog::buffer::wait()
{
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return !busy_; });
    return !failed_;
}

void backgroundlog::buffer::writer()
{
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        changed_.wait(hold, [this] { return busy_ || stop_; });
        if (!busy_)
            return;
        const char* data = writing_.data();
        std::size_t left = towrite_;
        hold.unlock();
        std::string why;
        while (left > 0) {
            const ssize_t n = ::write(fd_, data, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                why = n < 0 ? std::strerror(errno) : "nothing could be written";
                break;
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        hold.lock();
        if (!why.empty() && !failed_) {
            failed_ = true;
            error = why;
        }
        busy_ = false;
        changed_.notify_all();
    }
}
