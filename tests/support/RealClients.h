#pragma once

// What the real-client tests share: whether the clients are there, and running them from the shell.
#include <string>

namespace cardmill::test {

// True when CARDMILL_REAL_CLIENTS is set and LibreOffice and poppler-utils are installed (with `withUno`,
// LibreOffice's Python bridge too, for its own mail merge).
bool haveRealClients(bool withUno);

// `s` quoted for the shell.
std::string shellQuote(const std::string& s);

// Runs a shell command with its output discarded; a test failure when it does not exit 0.
void runQuietly(const std::string& command);

// The script that drives LibreOffice's own mail merge and its PDF export.
std::string libreOfficeScript();

} // namespace cardmill::test
