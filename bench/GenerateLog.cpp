// cardmill-genlog FILE N: writes a synthetic ADIF log of N QSOs for benchmarks and manual tests.
#include <cstdlib>
#include <exception>
#include <iostream>

#include "LogGenerator.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: cardmill-genlog FILE QSOS\n";
        return 2;
    }
    try {
        cardmill::bench::writeSyntheticLog(argv[1], std::strtoull(argv[2], nullptr, 10));
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
