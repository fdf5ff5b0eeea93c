#include <unistd.h>

#include <iostream>

#include "driver.h"

int main()
{
    // Progress lines of long runs go to standard error, and only to a terminal.
    std::ostream* meter = isatty(STDERR_FILENO) ? &std::cerr : nullptr;
    return tolvi(std::cin, std::cout, meter);
}
