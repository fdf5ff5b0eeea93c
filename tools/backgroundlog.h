#ifndef TOLVI_ENGINE_BACKGROUNDLOG_H
#define TOLVI_ENGINE_BACKGROUNDLOG_H

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

// A log file written behind the program's back: what is printed fills a
// buffer of a few megabytes while a thread of its own writes the one filled
// before, so that the computing never waits for the file system. A log runs
// to gigabytes in pieces of a hundred bytes.
class backgroundlog : public std::ostream {
public:
    // Opens `path` for writing, from its start or appended to; a log that
    // cannot be opened is not good() and says why in error().
    backgroundlog(const std::filesystem::path& path, bool append);
    ~backgroundlog() override;

    // Writes what is left and closes the file; a failure to write any of the
    // log leaves the stream bad, with the reason in error().
    void close();
    const std::string& error() const { return buffer_.error; }

private:
    class buffer : public std::streambuf {
    public:
        bool open(const std::filesystem::path& path, bool append);
        bool close();
        std::string error;

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        bool handover();  // passes the filled buffer to the writer
        bool wait();      // until the writer has written all it was given
        void writer();

        int fd_ = -1;
        std::vector<char> filling_, writing_;
        std::size_t towrite_ = 0;
        bool busy_ = false, stop_ = false, failed_ = false;
        std::mutex lock_;
        std::condition_variable changed_;
        std::thread thread_;
    };
    buffer buffer_;
};

#endif
