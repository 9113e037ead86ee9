// cardmill-genlog [--readable] FILE N: writes a synthetic ADIF log of N QSOs for benchmarks and manual tests;
// --readable leaves out the unreadable field lengths, for parsers that stop at the first.
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string_view>

#include "LogGenerator.h"

int main(int argc, char** argv)
{
    const bool readable = argc == 4 && std::string_view(argv[1]) == "--readable";
    if (argc != 3 && !readable) {
        std::cerr << "usage: cardmill-genlog [--readable] FILE QSOS\n";
        return 2;
    }
    try {
        cardmill::bench::writeSyntheticLog(argv[argc - 2], std::strtoull(argv[argc - 1], nullptr, 10), readable);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
