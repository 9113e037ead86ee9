#pragma once

#include <ostream>

namespace cardmill {

// cardmill-convert: the command line read, then a conversion run or a label-stock task; progress on `err`,
// the outcome on `out` and `err`. Ctrl-C, SIGTERM and SIGHUP are the "Stop" button during a run. Returns the
// exit code.
int runConvertProgram(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

} // namespace cardmill
