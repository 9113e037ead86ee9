#include "support/RealClients.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace cardmill::test {

bool haveRealClients(bool withUno)
{
    return std::getenv("CARDMILL_REAL_CLIENTS") && std::system("command -v soffice >/dev/null 2>&1") == 0 &&
           std::system("command -v pdftotext >/dev/null 2>&1") == 0 &&
           (!withUno || std::system("/usr/bin/python3 -c 'import uno' >/dev/null 2>&1") == 0);
}

std::string shellQuote(const std::string& s)
{
    std::string out = "'";
    for (char c : s)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

void runQuietly(const std::string& command)
{
    EXPECT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command;
}

std::string libreOfficeScript()
{
    return std::string(CARDMILL_SOURCE_DIR) + "/tests/merge/lo/libreoffice.py";
}

} // namespace cardmill::test
