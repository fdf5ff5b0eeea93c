#ifndef TOLVI_ENGINE_LOGFILE_H
#define TOLVI_ENGINE_LOGFILE_H

#include <array>
#include <future>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

// A log file as an output stream whose bytes are written a megabyte at a
// time on a second thread while the next megabyte is filled: a log runs to
// gigabytes, and the copying into the file then costs the engine no time of
// its own.
class logfile : public std::ostream {
public:
    // Opens `path` for writing, appending to it or replacing it; good() is
    // false when it cannot be opened.
    logfile(const std::string& path, bool append);
    ~logfile() override;
    logfile(const logfile&) = delete;
    logfile& operator=(const logfile&) = delete;

    // Writes what is left and closes the file; false when anything could not
    // be written.
    bool close();

private:
    class buffer : public std::streambuf {
    public:
        explicit buffer(int fd);
        bool opened() const { return fd_ >= 0; }
        bool finish();

    protected:
        int overflow(int c) override;
        int sync() override;

    private:
        bool handover();
        bool wait();

        int fd_;
        std::array<std::vector<char>, 2> halves_;
        int filling_ = 0;
        std::future<bool> writing_;
        bool ok_;
    };

    buffer buffer_;
};

#endif
