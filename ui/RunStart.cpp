#include "ui/RunStart.h"

#include <system_error>

namespace cardmill {

RunStart::RunStart() = default;

RunStart::~RunStart()
{
    std::error_code ec;
    if (!scratch.empty())
        std::filesystem::remove_all(scratch, ec);
}

} // namespace cardmill
