#include "ui/RunStart.h"

#include "engine/TempFiles.h"

namespace cardmill {

RunStart::RunStart() = default;

RunStart::~RunStart()
{
    if (!scratch.empty())
        removeScratchFolder(scratch);
}

} // namespace cardmill
