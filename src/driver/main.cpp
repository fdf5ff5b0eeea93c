#include <iostream>

#include "driver.h"

int main()
{
    return tolvi(std::cin, std::cout);
}
