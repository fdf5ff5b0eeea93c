#ifndef TOLVI_OUTFILE_H
#define TOLVI_OUTFILE_H

#include <fstream>
#include <memory>
#include <string>

// A file written under a temporary name beside its final name and renamed to
// it only when complete, so that a run that stops part way leaves nothing
// half-written behind: the temporary file is removed unless commit() succeeds.
class outfile {
public:
    // Opens the temporary file (through a large buffer); check is_open(). A
    // name that stands for something other than a plain file (a folder, a
    // link, a device) is opened directly and left in place.
    explicit outfile(std::string name);
    ~outfile();
    outfile(const outfile&) = delete;
    outfile& operator=(const outfile&) = delete;

    bool is_open() const { return file_.is_open(); }
    std::ostream& stream() { return file_; }
    const std::string& name() const { return name_; }

    // Closes the file and gives it its final name; false (and no file left)
    // when it could not be written completely or renamed.
    bool commit();

private:
    std::string name_;
    std::string temp_;
    std::unique_ptr<char[]> buffer_;
    std::ofstream file_;
    bool committed_ = false;
};

#endif
