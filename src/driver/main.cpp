#include <unistd.h>

#include <iostream>

#include "driver.h"
#include "options.h"

int main(int argc, char** argv)
{
    if (const int rc = commandline(argc, argv, std::cout, std::cerr); rc >= 0)
        return rc;
    // Progress lines of long runs go to standard error, and only to a terminal.
    std::ostream* meter = isatty(STDERR_FILENO) ? &std::cerr : nullptr;
    return tolvi(std::cin, std::cout, meter);
}
