#pragma once

#include <string>
#include <string_view>

namespace cardmill {

// One comma-separated value of a label line as Unicode (UTF-8): the bytes themselves when they are valid UTF-8,
// else read as Windows-1250, so one log with mixed encodings reads right value by value.
std::string decodeValue(std::string_view bytes);

} // namespace cardmill
